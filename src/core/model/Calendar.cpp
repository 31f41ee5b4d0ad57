#include "core/model/Calendar.h"

#include <QList>
#include <algorithm>

namespace velmora {
namespace {

constexpr int FirstBlock = 2001;

// The whole numbers of a typed date's parts, whatever separates them: "2025/06/10", "2025年6月10日",
// "2025-6-10"; a text of digits alone is split as yyyymm or yyyymmdd.
QList<qint64> dateParts(const QString& text, int digitsAlone)
{
    const QString plain = text.normalized(QString::NormalizationForm_KC).trimmed();
    if (plain.size() == digitsAlone && std::all_of(plain.begin(), plain.end(), [](QChar c) { return c.isDigit(); })) {
        QList<qint64> parts{plain.left(4).toLongLong(), plain.mid(4, 2).toLongLong()};
        if (digitsAlone == 8)
            parts << plain.mid(6, 2).toLongLong();
        return parts;
    }
    QList<qint64> parts;
    QString digits;
    for (const QChar c : plain) {
        if (c.isDigit() && c.unicode() < 128) {
            digits += c;
            continue;
        }
        if (digits.isEmpty() || !QStringLiteral("/-.年月日").contains(c))
            return {};
        parts << digits.toLongLong();
        digits.clear();
    }
    if (!digits.isEmpty())
        parts << digits.toLongLong();
    return parts;
}

} // namespace

bool isRecordMonth(MonthKey key)
{
    const MonthKey month = key % 100;
    return key / 100 >= FirstRecordYear && key / 100 <= LastRecordYear && month >= 1 && month <= 12;
}

bool isCalendarDate(qint64 date)
{
    return date >= 19000101 && date <= 21001231 &&
           QDate(static_cast<int>(date / 10000), static_cast<int>(date / 100 % 100), static_cast<int>(date % 100))
               .isValid();
}

int fiscalYearOf(MonthKey key)
{
    const auto year = static_cast<int>(key / 100);
    return key % 100 >= 4 ? year : year - 1;
}

int blockStart(int fiscalYear)
{
    const int offset = fiscalYear - FirstBlock;
    return FirstBlock + (offset >= 0 ? offset / 5 : (offset - 4) / 5) * 5;
}

MonthKey monthOf(const QDate& date)
{
    return MonthKey{date.year()} * 100 + date.month();
}

QString monthName(MonthKey key)
{
    return QStringLiteral("%1年%2月").arg(key / 100).arg(key % 100);
}

QString quarterName(int quarter)
{
    const int first = quarter * 3 % 12 + 1; // 4, 7, 10, 1
    return QStringLiteral("%1～%2月").arg(first).arg(first + 2);
}

std::optional<MonthKey> typedYearMonth(const QString& text)
{
    const QList<qint64> parts = dateParts(text, 6);
    if (parts.size() != 2 || parts[1] < 1 || parts[1] > 12 || !isRecordMonth(parts[0] * 100 + parts[1]))
        return std::nullopt;
    return parts[0] * 100 + parts[1];
}

QString yearMonthText(MonthKey key)
{
    return QStringLiteral("%1/%2").arg(key / 100).arg(key % 100, 2, 10, QLatin1Char('0'));
}

std::optional<qint64> typedDay(const QString& text)
{
    const QList<qint64> parts = dateParts(text, 8);
    if (parts.size() != 3 || parts[1] > 12 || parts[2] > 31)
        return std::nullopt;
    const qint64 day = parts[0] * 10000 + parts[1] * 100 + parts[2];
    return isCalendarDate(day) ? std::optional(day) : std::nullopt;
}

} // namespace velmora
