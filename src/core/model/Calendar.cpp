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
    return date >= 19000101 && date <= 21001231 && dayOf(date).isValid();
}

QDate dayOf(qint64 yyyymmdd)
{
    return QDate(static_cast<int>(yyyymmdd / 10000), static_cast<int>(yyyymmdd / 100 % 100),
                 static_cast<int>(yyyymmdd % 100));
}

qint64 dayNumber(const QDate& day)
{
    return qint64{day.year()} * 10000 + day.month() * 100 + day.day();
}

FiscalYear FiscalYear::of(MonthKey key)
{
    const auto year = static_cast<int>(key / 100);
    return FiscalYear(key % 100 >= 4 ? year : year - 1);
}

MonthKey FiscalYear::month(int slot) const
{
    return slot < 9 ? firstMonth() + slot : MonthKey{number + 1} * 100 + slot - 8;
}

std::pair<qint64, qint64> FiscalYear::quarterDays(int quarter) const
{
    static constexpr int FirstMonths[] = {4, 7, 10, 1};
    static constexpr int LastDays[] = {630, 930, 1231, 331};
    const qint64 year = quarter < 3 ? number : number + 1;
    return {year * 10000 + FirstMonths[quarter] * 100 + 1, year * 10000 + LastDays[quarter]};
}

FiscalYear FiscalYear::blockStart() const
{
    const int offset = number - FirstBlock;
    return FiscalYear(FirstBlock + (offset >= 0 ? offset / 5 : (offset - 4) / 5) * 5);
}

int slotInYear(MonthKey key)
{
    const auto month = static_cast<int>(key % 100);
    return month >= 4 ? month - 4 : month + 8;
}

MonthKey nextMonth(MonthKey key)
{
    return key % 100 == 12 ? (key / 100 + 1) * 100 + 1 : key + 1;
}

int fiscalYearOf(MonthKey key)
{
    return FiscalYear::of(key).year();
}

int blockStart(int fiscalYear)
{
    return FiscalYear(fiscalYear).blockStart().year();
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
