#pragma once

#include "core/model/Result.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <functional>

// CSV files as Excel on a Japanese PC writes and reads them, for exchanging values with spreadsheets.
namespace velmora::csv {

// A file Excel opens by a double-click with its Japanese intact: UTF-8 with a byte-order mark, CR LF,
// each field quoted where it holds a comma, a quote or a line break. A text that begins as a formula does
// (=, +, -, @, a tab or CR, and is no number) is written behind an apostrophe, so that a spreadsheet shows
// it rather than runs it; readRows takes that apostrophe away again.
QByteArray excelFile(const QList<QStringList>& rows);
// One row of such a file, for a file written a row at a time after excelFile of its headings.
QByteArray excelRow(const QStringList& row);

// One row of a CSV file and the line it starts on.
struct Row {
    int line = 0;
    QStringList cells;
};

// The rows of a CSV file: code page 932 (Excel's "CSV"), or UTF-8 with or without a byte-order mark;
// cells separated by commas, or by tabs where the first line holds more tabs than commas; lines ending
// CR LF, LF or CR; quoted fields holding commas, doubled quotes and line breaks. A file that
// is neither encoding, or whose quote is never closed, is refused naming the line.
Result<QList<Row>> readRows(QByteArrayView bytes, const QString& shownName);
// The same rows given to `take` one at a time until it answers false, none held beside the next: a file of a
// million rows is read in the memory of its text and one row.
Status forEachRow(QByteArrayView bytes, const QString& shownName, const std::function<bool(const Row&)>& take);
// The bytes of a file to read rows from, named in messages by its file name; a file over LargestFile is
// refused unread.
constexpr qint64 LargestFile = qint64(64) << 20; // as large as the largest list an import may fill
Result<QByteArray> fileBytes(const QString& path);
// The rows of such a file.
Result<QList<Row>> readFile(const QString& path);

// "A", "Z", "AA": a column (1 the first) as a spreadsheet names it.
QString columnLetter(int column);

// A heading as files are compared by: without blanks or line breaks ("氏　名" is "氏名").
QString compactHeading(const QString& heading);

// The column of each of the `known` headings in a file's heading row, -1 where it has none. Headings are
// compared without blanks, so that "氏　名" as the windows write it is found too. RepeatedColumn when a
// heading stands twice; MissingColumns naming those of `needed` (with their alternatives joined by
// "または") of which none was found.
Result<QList<qsizetype>> findColumns(const QStringList& headings, const QStringList& known,
                                     const QList<QList<qsizetype>>& needed, const QString& shownName);

// Whether a cell holds the mark of a dose below detection: M or Ｍ, in either case.
bool isBelowDetection(const QString& cell);

// The most a dose cell may hold, in mSv: no badge reports more in a month.
constexpr double LargestDose = 10000;

// A dose cell of an imported file, or a typed dose: empty or M is 0; a decimal number from 0 to
// LargestDose (full-width digits too, an exponent with E only) is its value; anything else is a doubt.
struct DoseReading {
    enum Doubt { None, NotANumber, Negative, TooLarge, TooPrecise };
    double value = 0;
    Doubt doubt = None;
};
DoseReading readDose(const QString& cell);
// The doubt of a dose's value however it was read (a window's field by LeadingNumber, a cell by readDose):
// no number, below 0, over LargestDose (infinity too), or finer than the exact type keeps; None when it can
// be stored.
DoseReading::Doubt doseValueDoubt(double value);

// Why a row cannot be read as the headings say: fewer cells than headings (RowCutShort) or a value beyond
// them (ValueBeyondHeadings); nothing when it can.
std::optional<Failure> rowShapeProblem(const QStringList& cells, qsizetype headings);

} // namespace velmora::csv
