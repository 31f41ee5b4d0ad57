#include "core/files/Csv.h"

#include "core/files/Cp932.h"
#include "core/files/NumberForms.h"
#include "core/files/TextFile.h"
#include "core/model/ExactDose.h"

#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>
#include <cmath>
#include <functional>

namespace velmora::csv {
namespace {

const QByteArray ByteOrderMark("\xEF\xBB\xBF");

// The first characters with which a spreadsheet takes a cell for a formula.
const QString FormulaStarts = QStringLiteral("=+-@\t\r");

bool looksLikeFormula(QStringView text)
{
    return !text.isEmpty() && FormulaStarts.contains(text.front()) && !cellNumber(text);
}

// A field as written: a text a spreadsheet would run as a formula ("=1+1", "@A1") behind an apostrophe,
// the spreadsheets' own mark of a text, and quoted; numbers such as -0.5 stay numbers.
QString writtenField(const QString& text)
{
    static const QString needsQuotes = QStringLiteral(",\"\r\n");
    const bool formula = looksLikeFormula(text);
    if (!formula && std::none_of(text.begin(), text.end(), [](QChar c) { return needsQuotes.contains(c); }))
        return text;
    const QString field = formula ? QLatin1Char('\'') + text : text;
    return QLatin1Char('"') + QString(field).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

std::optional<QString> decodeUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

// The first line (from 1) that a decoder cannot read.
int firstUnreadableLine(QByteArrayView bytes, const std::function<bool(QByteArrayView)>& readable)
{
    int line = 1;
    for (qsizetype start = 0; start <= bytes.size(); ++line) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        if (!readable(bytes.sliced(start, end - start)))
            return line;
        start = end + 1;
    }
    return line;
}

Result<QString> decodeText(QByteArrayView bytes, const QString& shownName)
{
    const bool marked = bytes.startsWith(ByteOrderMark);
    const QByteArrayView body = marked ? bytes.sliced(ByteOrderMark.size()) : bytes;
    if (auto text = decodeUtf8(body))
        return *text;
    if (!marked)
        if (auto text = cp932::decode(body))
            return *text;
    // A marked file must be UTF-8 throughout; any other is taken for whichever of UTF-8 and code page 932
    // (Excel's own) reads further, and named where that one stops.
    const int utf8 = firstUnreadableLine(body, [](QByteArrayView b) { return decodeUtf8(b).has_value(); });
    const int line = marked ? utf8 : std::max(utf8, firstUnreadableLine(body, [](QByteArrayView b) {
                                                  return cp932::decode(b).has_value();
                                              }));
    return failure(FailureKind::NotText, shownName, line);
}

} // namespace

QByteArray excelRow(const QStringList& row)
{
    QStringList fields;
    for (const QString& cell : row)
        fields << writtenField(cell);
    return fields.join(QLatin1Char(',')).toUtf8() + LineEnd;
}

QByteArray excelFile(const QList<QStringList>& rows)
{
    QByteArray bytes = ByteOrderMark;
    for (const QStringList& row : rows)
        bytes += excelRow(row);
    return bytes;
}

namespace {

// A tab where the first line holds more tabs than commas (a spreadsheet saved as "テキスト（タブ区切り）"),
// otherwise a comma.
QChar separatorOf(const QString& text)
{
    qsizetype end = 0;
    while (end < text.size() && text[end] != QLatin1Char('\r') && text[end] != QLatin1Char('\n'))
        ++end;
    const QStringView first = QStringView(text).first(end);
    return first.count(QLatin1Char('\t')) > first.count(QLatin1Char(',')) ? QLatin1Char('\t') : QLatin1Char(',');
}

} // namespace

Status forEachRow(QByteArrayView bytes, const QString& shownName, const std::function<bool(const Row&)>& take)
{
    const auto decoded = decodeText(bytes, shownName);
    if (!decoded)
        return decoded.error();
    const QString& text = *decoded;
    const QChar separator = separatorOf(text);
    Row row{1, {}};
    QString cell;
    int line = 1;
    int quoteLine = 0; // the line of an open quote, 0 outside quotes
    bool afterQuote = false;
    const auto endCell = [&] {
        // The apostrophe written before a text that looks like a formula is not part of it.
        if (cell.startsWith(QLatin1Char('\'')) && looksLikeFormula(QStringView(cell).sliced(1)))
            cell.remove(0, 1);
        row.cells << cell;
        cell.clear();
        afterQuote = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool lineEnd = c == QLatin1Char('\r') || c == QLatin1Char('\n');
        const bool crlf = c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n');
        if (quoteLine) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                cell += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoteLine = 0;
                afterQuote = true;
            } else {
                // A line break inside a cell is kept as LF, whatever the file's line ends.
                if (lineEnd) {
                    ++line;
                    i += crlf ? 1 : 0;
                }
                cell += lineEnd ? QChar(QLatin1Char('\n')) : c;
            }
        } else if (c == separator) {
            endCell();
        } else if (lineEnd) {
            endCell();
            if (!take(row))
                return {};
            row = {++line, {}};
            i += crlf ? 1 : 0;
        } else if (afterQuote) {
            return failure(FailureKind::Damaged, shownName, line); // text after a closing quote
        } else if (c == QLatin1Char('"') && cell.isEmpty()) {
            quoteLine = line;
        } else {
            cell += c;
        }
    }
    if (quoteLine)
        return failure(FailureKind::Damaged, shownName, quoteLine);
    if (!cell.isEmpty() || afterQuote || !row.cells.isEmpty()) {
        endCell();
        take(row);
    }
    return {};
}

Result<QList<Row>> readRows(QByteArrayView bytes, const QString& shownName)
{
    QList<Row> rows;
    if (const Status read = forEachRow(bytes, shownName, [&rows](const Row& row) { return rows << row, true; }); !read)
        return read.error();
    return rows;
}

Result<QByteArray> fileBytes(const QString& path)
{
    return readFileBytes(path, QFileInfo(path).fileName(), LargestFile);
}

Result<QList<Row>> readFile(const QString& path)
{
    const auto bytes = fileBytes(path);
    if (!bytes)
        return bytes.error();
    return readRows(*bytes, QFileInfo(path).fileName());
}

QString columnLetter(int column)
{
    QString letters;
    for (int n = column; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + (n - 1) % 26));
    return letters;
}

QString compactHeading(const QString& heading)
{
    QString compact;
    for (QChar c : heading)
        if (!c.isSpace())
            compact += c;
    return compact;
}

Result<QList<qsizetype>> findColumns(const QStringList& headings, const QStringList& known,
                                     const QList<QList<qsizetype>>& needed, const QString& shownName)
{
    QList<qsizetype> columns(known.size(), -1);
    for (qsizetype i = 0; i < headings.size(); ++i) {
        const qsizetype at = known.indexOf(compactHeading(headings[i]));
        if (at < 0)
            continue;
        if (columns[at] >= 0) {
            Failure repeated = failure(FailureKind::RepeatedColumn, shownName);
            repeated.text = known[at];
            return repeated;
        }
        columns[at] = i;
    }
    QStringList missing;
    for (const QList<qsizetype>& alternatives : needed)
        if (std::all_of(alternatives.begin(), alternatives.end(), [&](qsizetype at) { return columns[at] < 0; })) {
            QStringList names;
            for (const qsizetype at : alternatives)
                names << known[at];
            missing << names.join(QStringLiteral("または"));
        }
    if (!missing.isEmpty()) {
        Failure failed = failure(FailureKind::MissingColumns, shownName);
        failed.names = missing;
        return failed;
    }
    return columns;
}

namespace {

// Whether a number's text has more digits than a stored dose keeps: more than 12 places after the point of
// an mSv, or more than 15 significant digits ("1.23E-03" has 5 places and 3 digits).
bool hasTooManyDigits(const QString& cell)
{
    QString text = cell.normalized(QString::NormalizationForm_KC).trimmed().toLower();
    qsizetype exponent = 0;
    if (const qsizetype e = text.indexOf(QLatin1Char('e')); e >= 0) {
        exponent = text.mid(e + 1).toLongLong();
        text.truncate(e);
    }
    text.remove(QLatin1Char('+')).remove(QLatin1Char('-')).remove(QLatin1Char(','));
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    QString fraction = point < 0 ? QString() : text.mid(point + 1);
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    QString digits = (point < 0 ? text : text.left(point)) + fraction;
    while (digits.startsWith(QLatin1Char('0')))
        digits.remove(0, 1);
    while (point < 0 && digits.endsWith(QLatin1Char('0')))
        digits.chop(1);
    return fraction.size() - exponent > 12 || digits.size() > 15;
}

} // namespace

DoseReading readDose(const QString& cell)
{
    const QString text = cell.trimmed();
    if (text.isEmpty() || isBelowDetection(text))
        return {};
    // "1d2" is an exponent to a spreadsheet of old, a typing slip to everyone else.
    const bool fortran = text.normalized(QString::NormalizationForm_KC).contains(QLatin1Char('d'), Qt::CaseInsensitive);
    const auto number = fortran ? std::nullopt : cellNumber(text);
    if (!number)
        return {0, DoseReading::NotANumber};
    if (const DoseReading::Doubt doubt = doseValueDoubt(*number); doubt != DoseReading::None)
        return {0, doubt};
    if (hasTooManyDigits(text))
        return {0, DoseReading::TooPrecise};
    return {*number, DoseReading::None};
}

DoseReading::Doubt doseValueDoubt(double value)
{
    if (std::isnan(value))
        return DoseReading::NotANumber;
    if (value < 0)
        return DoseReading::Negative;
    if (value > LargestDose)
        return DoseReading::TooLarge;
    if (!ExactDose::holds(value))
        return DoseReading::TooPrecise;
    return DoseReading::None;
}

std::optional<Failure> rowShapeProblem(const QStringList& cells, qsizetype headings)
{
    if (cells.size() < headings) {
        Failure cut = failureWithText(FailureKind::RowCutShort, QString::number(headings));
        cut.line = static_cast<int>(cells.size());
        return cut;
    }
    for (qsizetype at = headings; at < cells.size(); ++at)
        if (!cells[at].trimmed().isEmpty()) {
            Failure beyond = failureWithText(FailureKind::ValueBeyondHeadings, cells[at]);
            beyond.line = static_cast<int>(at + 1);
            return beyond;
        }
    return std::nullopt;
}

bool isBelowDetection(const QString& cell)
{
    static const QStringList marks = {QStringLiteral("M"), QStringLiteral("m"), QStringLiteral("Ｍ"),
                                      QStringLiteral("ｍ")};
    return marks.contains(cell);
}

} // namespace velmora::csv
