#pragma once

#include "core/files/Csv.h"
#include "core/files/ImportLayouts.h"
#include "core/model/Records.h"
#include "core/model/Result.h"

#include <QString>
#include <QStringList>

// The Japanese texts the user reads about what went wrong, made in this one place.
namespace velmora {

// The message every window gives for a typed value it cannot take.
inline const QString InvalidInputMessage = QStringLiteral("正しく入力して下さい");

// What the user is told about a failure: the file and line it concerns, the persons or files it names.
QString messageOf(const Failure& failure);

// The message that names the personal files a report could not read.
QString unreadableFilesMessage(const QStringList& files);

// What an entry of doses elsewhere or of declarations cannot hold, in the words of the windows' messages.
QString entryFaultText(EntryFault fault);

// Why a dose cannot be stored, after the field or cell that holds it: "は負の値です", "は10000 mSvを超えています",
// "は桁が多すぎます（…）", "は線量ではありません". The imports and the windows that take doses say the same.
QString doseDoubtText(csv::DoseReading::Doubt doubt);

// The names with doses received elsewhere or declarations that are neither registrants nor removed persons.
QString unknownPersonsMessage(const QStringList& names);

// A text as a message box or the console shows it: a control character from a file (a NUL in a CSV cell)
// as its visible picture ("␀"), so that nothing after it is cut off; line ends and tabs stay.
QString shownText(QString text);

// Names or files for a message, one per line: the first `shown` (ten), then "ほか5件" (with the counter
// `unit`).
QString listForMessage(const QStringList& items, const QString& unit, qsizetype shown = 10);

// The kinds of rows an import's review names apart, each under a heading of its own.
enum class ReviewRows {
    Unmatched,       // no registrant (the month import)
    Removed,         // a removed person (the month import)
    OtherName,       // the number names another registrant than the name (the month import)
    Repeated,        // registrants on two rows or more (the month import)
    NotNumbers,      // cells that are not doses (the month import)
    Unusable,        // values that cannot be stored
    WithoutValues,   // registrants without a row (the month import)
    UnknownPersons,  // names neither registered nor removed (doses elsewhere)
    StoredAlready,   // rows already stored alike (doses elsewhere)
    OwnFacility,     // rows naming this facility (doses elsewhere)
    AcrossYears,     // periods across fiscal years (doses elsewhere)
    SenderDoubts,    // rows the sender marked 要確認 (doses elsewhere)
    DeclarationRows, // declarations (doses elsewhere)
    NumberOtherName, // the service's number recorded for another person than the row's name (service files)
    MarksInInternal, // marks of below detection where the internal dose has no such meaning (service files)
    ServiceDiffers,  // persons whose doses the service computed otherwise than from the readings (service files)
    Wearings,        // persons wearing more than one badge, and how (service files)
    NewNumbers,      // the service's numbers recorded for persons (service files)
};

// The review's paragraphs: for each kind with lines, its heading, how many, and the first twenty lines.
QString reviewParagraphs(std::initializer_list<std::pair<ReviewRows, const QStringList*>> rows);

// The review of a month import before its question: the file, the month, how many registrants get values.
QString monthImportText(const QString& file, MonthKey key, qsizetype registrants, qsizetype taken);

// What the review of a dosimetry service's file says before its doubts: the cells read as below detection,
// and the rows of other months left.
QString serviceImportText(qsizetype marks, qsizetype otherMonths);

// A layout of the service's files that cannot read doses, for the mapping window.
QString layoutFaultText(LayoutFault fault);

// The review of an import of doses elsewhere before its question.
QString otherDoseImportText(const QString& file, qsizetype entries, qsizetype declarations);

// Persons a month's values bring over or near a limit, and those whose limits could not be checked: the
// paragraph before the question that saves or takes the month; empty when all lists are.
QString monthLimitText(const QStringList& over, const QStringList& near, const QStringList& unreadable,
                       const QString& unchecked);

// A backup made of a store that holds fewer personal files or a shorter change history than `generation`,
// which is kept.
QString storeShrankMessage(const QString& generation, qsizetype personsThen, qsizetype personsNow, bool historyShorter);

// The change history's head as a signed page states it: its record count and last hash.
QString historyHeadText(qsizetype records, const QByteArray& lastHash);

// A damaged change history kept under `name`, the history begun anew.
QString setAsideMessage(const QString& name);

} // namespace velmora
