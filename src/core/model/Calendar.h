#pragma once

#include "core/model/Records.h"

#include <QDate>
#include <QString>
#include <optional>
#include <utility>

// The calendar of the records: the years a record may name, the fiscal year (April to March) and its
// five-year blocks, and months and days as the operator types them.
namespace velmora {

// The years a month of a record, of a dose elsewhere or of data entry may fall in.
constexpr int FirstRecordYear = 1950;
constexpr int LastRecordYear = 2100;

// Whether a month key names a month of those years: year × 100 + month 1–12.
bool isRecordMonth(MonthKey key);

// Whether a date yyyymmdd is a real day from 1900 to 2100.
bool isCalendarDate(qint64 date);

// A date yyyymmdd as a day (invalid when it is none), and a day as yyyymmdd.
QDate dayOf(qint64 yyyymmdd);
qint64 dayNumber(const QDate& day);

// A fiscal year, April to March: its months and days, its quarters and its place in the five-year blocks,
// which run from April 2001. The one place their arithmetic is written.
class FiscalYear {
public:
    constexpr explicit FiscalYear(int year) : number(year) {}
    // The fiscal year a month belongs to: January to March belong to the year that began the April before.
    static FiscalYear of(MonthKey key);

    constexpr int year() const { return number; }
    constexpr MonthKey firstMonth() const { return MonthKey{number} * 100 + 4; }
    constexpr MonthKey lastMonth() const { return MonthKey{number + 1} * 100 + 3; }
    constexpr qint64 firstDay() const { return qint64{number} * 10000 + 401; }
    constexpr qint64 lastDay() const { return qint64{number + 1} * 10000 + 331; }
    // The month at `slot`: April 0 … March 11.
    MonthKey month(int slot) const;
    // The first and last days (yyyymmdd) of quarter 0 (April–June) … 3 (January–March).
    std::pair<qint64, qint64> quarterDays(int quarter) const;
    // The first fiscal year of its five-year block, and its place there (0 to 4).
    FiscalYear blockStart() const;
    int placeInBlock() const { return number - blockStart().year(); }

private:
    int number;
};

// The place of a month in its fiscal year, April 0 … March 11, and its quarter, 0 (April–June) … 3.
int slotInYear(MonthKey key);
inline int quarterOf(MonthKey key)
{
    return slotInYear(key) / 3;
}

// The month after `key`.
MonthKey nextMonth(MonthKey key);

// The number of the fiscal year a month belongs to (FiscalYear::of).
int fiscalYearOf(MonthKey key);

// The first fiscal year of the five-year block that holds `fiscalYear` (FiscalYear::blockStart).
int blockStart(int fiscalYear);

// The month of a date, as a month key.
MonthKey monthOf(const QDate& date);

// "2025年5月", as reasons and reports name a month.
QString monthName(MonthKey key);

// A quarter of the fiscal year (1 to 4) as reasons, notices and reports name it to a person: "4～6月",
// "7～9月", "10～12月", "1～3月". (Column headings and the CSV keep the short Q1 to Q4.)
QString quarterName(int quarter);

// A typed year and month ("2025/05", "2025/5", "202505", "2025年5月", full-width digits too) of the record
// years as a key; nothing for anything else.
std::optional<MonthKey> typedYearMonth(const QString& text);

// A month as it is typed and as a CSV of doses elsewhere gives it: "2025/05".
QString yearMonthText(MonthKey key);

// A typed day ("2025/06/10", "20250610", "2025年6月10日") as yyyymmdd; nothing for anything else or a day
// that does not exist.
std::optional<qint64> typedDay(const QString& text);

} // namespace velmora
