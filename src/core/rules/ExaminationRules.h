#pragma once

#include "core/files/DataDir.h"
#include "core/files/DoseAdditions.h"
#include "core/files/Examinations.h"
#include "core/model/Result.h"
#include "core/rules/DoseTotals.h"

#include <QDate>
#include <array>
#include <span>

// The schedule of the health examinations (at least every six months), what the doctor is shown at each (the
// doses since the last one and the figures of the rule that lets the blood, eye and skin items be left out),
// and the figures of the report to the labour standards office after the periodic examinations of a half year.
namespace velmora {

// The day the next examination is due after `last`: six months on (the month's last day where the day
// does not exist, 31 August → 28 or 29 February).
QDate nextExaminationDue(const Examination& last);

// A registrant's standing: the last examination, when there is one, and the day the next is due.
struct ExaminationStanding {
    QString name;
    std::optional<Examination> last;
    bool overdue = false; // past its due day, or never examined
    std::optional<QDate> due() const { return last ? std::optional(nextExaminationDue(*last)) : std::nullopt; }
};

// Every registrant's standing on `today`: the overdue first (the longest overdue first), then those never
// examined, then the rest by their due day; registrants of equal standing in list order.
QList<ExaminationStanding> examinationSchedule(const QStringList& registrants, const QList<Examination>& examinations,
                                               const QDate& today);

// How many registrants are past their due day and how many were never examined.
struct OverdueCount {
    qsizetype overdue = 0;
    qsizetype neverExamined = 0;
};
OverdueCount overdueCount(const QList<ExaminationStanding>& schedule);

// The person's examinations, latest first.
QList<Examination> examinationsOf(const QString& name, const QList<Examination>& examinations);

// What the doctor is shown of one person on `today`: the doses month by month from the month of the last
// examination (from January of the last calendar year when there is none) to today's month; the effective
// dose of the last calendar year and of this year so far (the rule for leaving out items 2–5 judges them
// against 5 mSv). Doses elsewhere are counted in.
struct DoctorSheet {
    PersonalHeader header;
    std::optional<Examination> last;
    QList<std::pair<MonthKey, MonthDoses>> months;
    int year = 0; // today's calendar year
    MonthDoses lastYear;
    MonthDoses thisYear;     // January to the last month with a record
    MonthKey thisYearTo = 0; // that month; 0 when this year has none yet
};
inline constexpr int LeaveOutItemsAtMostMSv = 5;
Result<DoctorSheet> doctorSheet(const DataDir& dir, const QString& name, const QList<Examination>& examinations,
                                const DoseAdditions& additions, const QDate& today);

// A half year of examinations as the report names it: "2026-1" January to June, "2026-2" July to December.
struct HalfYear {
    int year = 0;
    int half = 1;
    QDate first() const { return QDate(year, half == 1 ? 1 : 7, 1); }
    QDate last() const { return QDate(year, half == 1 ? 6 : 12, half == 1 ? 30 : 31); }
};
std::optional<HalfYear> halfYearOf(const QString& text);

// The dose bands of the report's count section (様式第2号 as revised 2021-04-01), each band's upper edge in
// mSv, "以下"; a dose above the last edge falls in the band after it. Band 0 is 検出限界未満: a year whose
// every recorded month is 0, or that has no record.
inline constexpr std::array<int, 3> EffectiveBandEdges = {5, 15, 50};
inline constexpr std::array<int, 2> LensBandEdges = {20, 50};
inline constexpr std::array<int, 3> SkinBandEdges = {50, 150, 500};
// The band of a calendar year's dose: 0 below detection, then 1 up to the first edge, and on.
int doseBand(const ExactDose& dose, std::span<const int> edges);

// The figures of the report for the periodic examinations of a half year: each person examined once (the
// latest examination of the half year counts), the items done and those with findings, and the examined
// counted by the bands of the previous calendar year's doses.
struct ExaminationReport {
    HalfYear period;
    int examined = 0;
    std::array<int, ExaminationItems> done{};
    std::array<int, ExaminationItems> findings{};
    int withFindings = 0; // any item with findings
    int instructed = 0;
    std::array<int, EffectiveBandEdges.size() + 2> effective{};
    std::array<int, LensBandEdges.size() + 2> lens{};
    std::array<int, SkinBandEdges.size() + 2> skin{};
    QStringList withoutRecord; // examined persons without a record in the previous year (counted below detection)
};
// The report's figures line by line as the form's count section words them: its part (受診労働者数, 健康診断項目,
// the three dose parts of the previous year), the line and the count.
struct ReportLine {
    QString part;
    QString line;
    int count;
};
QList<ReportLine> examinationReportLines(const ExaminationReport& report);
// The same as a CSV (区分,項目,人数) that Excel opens.
QByteArray examinationReportCsv(const ExaminationReport& report);

// Fails naming the personal file or list that cannot be read: a report is exact or not made.
Result<ExaminationReport> examinationReport(const DataDir& dir, const HalfYear& period);

} // namespace velmora
