#pragma once

#include "core/model/Records.h"

#include <QDate>
#include <QString>
#include <optional>

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

// The fiscal year a month belongs to: January to March belong to the year that began the April before.
int fiscalYearOf(MonthKey key);

// The first fiscal year of the five-year block that holds `fiscalYear` (the blocks run from April 2001).
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
