#include "core/rules/ExaminationRules.h"

#include "core/files/PersonalFile.h"

#include <QRegularExpression>
#include <algorithm>
#include <map>

namespace velmora {
namespace {

QDate dayOf(qint64 yyyymmdd)
{
    return QDate(static_cast<int>(yyyymmdd / 10000), static_cast<int>(yyyymmdd / 100 % 100),
                 static_cast<int>(yyyymmdd % 100));
}

// The latest examination of each person.
std::map<QString, Examination> latestOf(const QList<Examination>& examinations)
{
    std::map<QString, Examination> latest;
    for (const Examination& examination : examinations) {
        auto found = latest.find(examination.name);
        if (found == latest.end() || found->second.day < examination.day)
            latest[examination.name] = examination;
    }
    return latest;
}

} // namespace

QDate nextExaminationDue(const Examination& last)
{
    return dayOf(last.day).addMonths(6);
}

QList<ExaminationStanding> examinationSchedule(const QStringList& registrants, const QList<Examination>& examinations,
                                               const QDate& today)
{
    const auto latest = latestOf(examinations);
    QList<ExaminationStanding> schedule;
    for (const QString& name : registrants) {
        ExaminationStanding standing;
        standing.name = name;
        if (const auto found = latest.find(name); found != latest.end())
            standing.last = found->second;
        standing.overdue = !standing.last || *standing.due() < today;
        schedule.append(standing);
    }
    // Overdue (0) before never examined (1) before the rest (2); within each, the earliest due day first.
    const auto rank = [](const ExaminationStanding& s) { return !s.last ? 1 : s.overdue ? 0 : 2; };
    std::stable_sort(schedule.begin(), schedule.end(), [&](const ExaminationStanding& a, const ExaminationStanding& b) {
        if (rank(a) != rank(b))
            return rank(a) < rank(b);
        return a.last && b.last && *a.due() < *b.due();
    });
    return schedule;
}

OverdueCount overdueCount(const QList<ExaminationStanding>& schedule)
{
    OverdueCount count;
    for (const ExaminationStanding& standing : schedule)
        if (!standing.last)
            ++count.neverExamined;
        else if (standing.overdue)
            ++count.overdue;
    return count;
}

QList<Examination> examinationsOf(const QString& name, const QList<Examination>& examinations)
{
    QList<Examination> own;
    for (const Examination& examination : examinations)
        if (examination.name == name)
            own.append(examination);
    std::stable_sort(own.begin(), own.end(), [](const Examination& a, const Examination& b) { return a.day > b.day; });
    return own;
}

Result<DoctorSheet> doctorSheet(const DataDir& dir, const QString& name, const QList<Examination>& examinations,
                                const DoseAdditions& additions, const QDate& today)
{
    DoctorSheet sheet;
    sheet.year = today.year();
    const QList<Examination> own = examinationsOf(name, examinations);
    if (!own.isEmpty())
        sheet.last = own.first();
    const MonthKey now = monthOf(today);
    const MonthKey lastYearFrom = MonthKey{sheet.year - 1} * 100 + 1;
    const MonthKey from = sheet.last ? std::min(sheet.last->day / 100, now) : lastYearFrom;
    const auto person = ReadPersonalRecordsBetween(dir, name, std::min(from, lastYearFrom), now);
    if (!person)
        return person.error();
    sheet.header = person->header;
    sheet.months = monthsBetween(*person, additions, from, now);
    sheet.lastYear = calendarYearDoses(*person, sheet.year - 1, additions);
    for (const auto& [key, month] : monthsBetween(*person, additions, MonthKey{sheet.year} * 100 + 1, now))
        if (month.recorded) {
            sheet.thisYear += month;
            sheet.thisYearTo = key;
        }
    return sheet;
}

std::optional<HalfYear> halfYearOf(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{4})-([12])$"));
    const auto match = form.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const int year = match.captured(1).toInt();
    if (year < FirstRecordYear || year > LastRecordYear)
        return std::nullopt;
    return HalfYear{year, match.captured(2).toInt()};
}

int doseBand(const ExactDose& dose, std::span<const int> edges)
{
    if (dose <= ExactDose())
        return 0;
    for (size_t at = 0; at < edges.size(); ++at)
        if (dose <= ExactDose::whole(edges[at]))
            return static_cast<int>(at) + 1;
    return static_cast<int>(edges.size()) + 1;
}

Result<ExaminationReport> examinationReport(const DataDir& dir, const HalfYear& period)
{
    const auto examinations = ReadExaminations(dir);
    if (!examinations)
        return examinations.error();
    const auto additions = ReadDoseAdditions(dir);
    if (!additions)
        return additions.error();
    const qint64 first = period.first().toString(QStringLiteral("yyyyMMdd")).toLongLong();
    const qint64 last = period.last().toString(QStringLiteral("yyyyMMdd")).toLongLong();
    QList<Examination> periodic;
    for (const Examination& examination : *examinations)
        if (examination.kind == ExaminationKind::Periodic && examination.day >= first && examination.day <= last)
            periodic.append(examination);
    ExaminationReport report;
    report.period = period;
    const int lastYear = period.year - 1;
    for (const auto& [name, examination] : latestOf(periodic)) {
        const auto person = ReadPersonalRecordsBetween(dir, name, MonthKey{lastYear} * 100 + 1,
                                                       MonthKey{lastYear} * 100 + 12);
        if (!person)
            return person.error();
        ++report.examined;
        for (size_t item = 0; item < ExaminationItems; ++item) {
            report.done[item] += examination.items[item] != ItemResult::LeftOut;
            report.findings[item] += examination.items[item] == ItemResult::Findings;
        }
        report.withFindings += examination.anyFindings();
        report.instructed += examination.instructed;
        const MonthDoses year = calendarYearDoses(*person, lastYear, additions->value(name));
        if (!year.recorded)
            report.withoutRecord << name;
        ++report.effective[static_cast<size_t>(doseBand(year.effective, EffectiveBandEdges))];
        ++report.lens[static_cast<size_t>(doseBand(year.lens, LensBandEdges))];
        ++report.skin[static_cast<size_t>(doseBand(year.skin, SkinBandEdges))];
    }
    return report;
}

} // namespace velmora
