#include "core/rules/ExaminationRules.h"

#include "core/files/Csv.h"
#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"

#include <QRegularExpression>
#include <algorithm>
#include <map>

namespace velmora {
namespace {

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

namespace {

// "5mSv以下の者", "5mSvを超え15mSv以下の者", "50mSvを超える者": band 1 on of the edges.
QStringList bandLines(std::span<const int> edges)
{
    QStringList lines{QStringLiteral("検出限界未満の者")};
    for (size_t at = 0; at <= edges.size(); ++at)
        lines << (at == edges.size() ? QStringLiteral("%1mSvを超える者").arg(edges[at - 1])
                  : at == 0          ? QStringLiteral("%1mSv以下の者").arg(edges[at])
                            : QStringLiteral("%1mSvを超え%2mSv以下の者").arg(edges[at - 1]).arg(edges[at]));
    return lines;
}

} // namespace

QList<ReportLine> examinationReportLines(const ExaminationReport& report)
{
    static const QString items[ExaminationItems] = {
        QStringLiteral("被ばく歴の有無の調査及びその評価"), QStringLiteral("白血球数及び白血球百分率の検査"),
        QStringLiteral("赤血球数の検査及び血色素量又はヘマトクリット値の検査"),
        QStringLiteral("白内障に関する眼の検査"), QStringLiteral("皮膚の検査")};
    const QString examined = QStringLiteral("受診労働者数");
    const QString checks = QStringLiteral("健康診断項目");
    QList<ReportLine> lines{{examined, examined, report.examined}};
    for (size_t item = 0; item < ExaminationItems; ++item) {
        lines.append({checks, items[item] + QStringLiteral("（実施者数）"), report.done[item]});
        lines.append({checks, items[item] + QStringLiteral("（有所見者数）"), report.findings[item]});
    }
    lines.append({checks, QStringLiteral("所見のあった者の人数"), report.withFindings});
    lines.append({checks, QStringLiteral("医師の指示人数"), report.instructed});
    const auto bands = [&](const QString& part, std::span<const int> edges, std::span<const int> counts) {
        const QStringList texts = bandLines(edges);
        for (qsizetype at = 0; at < texts.size(); ++at)
            lines.append({part, texts[at], counts[static_cast<size_t>(at)]});
    };
    bands(QStringLiteral("前年1年間の実効線量による区分"), EffectiveBandEdges, report.effective);
    bands(QStringLiteral("前年1年間の眼の水晶体の等価線量による区分"), LensBandEdges, report.lens);
    bands(QStringLiteral("前年1年間の皮膚の等価線量による区分"), SkinBandEdges, report.skin);
    return lines;
}

QByteArray examinationReportCsv(const ExaminationReport& report)
{
    QList<QStringList> rows{{QStringLiteral("区分"), QStringLiteral("項目"), QStringLiteral("人数")}};
    for (const ReportLine& line : examinationReportLines(report))
        rows.append({line.part, line.line, QString::number(line.count)});
    return csv::excelFile(rows);
}

Result<ExaminationReport> examinationReport(const DataDir& dir, const HalfYear& period)
{
    const auto examinations = ReadExaminations(dir);
    if (!examinations)
        return examinations.error();
    const auto persons = ReadAllPersonNames(dir);
    if (!persons)
        return persons.error();
    if (auto nobody = examinationOfNobody(*examinations, *persons))
        return *nobody;
    const auto additions = ReadDoseAdditions(dir);
    if (!additions)
        return additions.error();
    const qint64 first = dayNumber(period.first());
    const qint64 last = dayNumber(period.last());
    QList<Examination> periodic;
    for (const Examination& examination : *examinations)
        if (examination.kind == ExaminationKind::Periodic && examination.day >= first && examination.day <= last)
            periodic.append(examination);
    ExaminationReport report;
    report.period = period;
    const int lastYear = period.year - 1;
    for (const auto& [name, examination] : latestOf(periodic)) {
        const auto person =
            ReadPersonalRecordsBetween(dir, name, MonthKey{lastYear} * 100 + 1, MonthKey{lastYear} * 100 + 12);
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
