#include "core/rules/DoseDistribution.h"

#include "core/files/Csv.h"

#include <algorithm>
#include <numeric>

namespace velmora {
namespace {

DoseBand band(std::optional<int> above, std::optional<int> upTo)
{
    QString label;
    if (above)
        label += QStringLiteral("%1超").arg(*above);
    if (upTo)
        label += QStringLiteral("%1以下").arg(*upTo);
    return {above ? std::optional(ExactDose::whole(*above)) : std::nullopt,
            upTo ? std::optional(ExactDose::whole(*upTo)) : std::nullopt, label};
}

BandCounts count(const BandTable& table, const ExactDose& dose, bool belowDetection)
{
    BandCounts counts{&table, QList<int>(table.bands.size() + (table.belowDetectionApart ? 1 : 0), 0)};
    if (table.belowDetectionApart && belowDetection) {
        counts.counts[0] = 1;
        return counts;
    }
    const qsizetype first = table.belowDetectionApart ? 1 : 0;
    for (qsizetype at = 0; at < table.bands.size(); ++at)
        if (table.bands[at].contains(dose))
            ++counts.counts[first + at];
    return counts;
}

void add(BandCounts& into, const BandCounts& counts)
{
    for (qsizetype at = 0; at < counts.counts.size(); ++at)
        into.counts[at] += counts.counts[at];
}

BandCounts none(const BandTable& table)
{
    return {&table, QList<int>(table.bands.size() + (table.belowDetectionApart ? 1 : 0), 0)};
}

void addToGroup(QList<GroupCounts>& groups, const QString& group, const BandCounts& counts)
{
    const QString name = group.isEmpty() ? NoGroupLabel : group;
    auto found = std::find_if(groups.begin(), groups.end(), [&](const GroupCounts& g) { return g.group == name; });
    if (found == groups.end())
        found = groups.insert(groups.end(), {name, none(effectiveYearBands())});
    add(found->effective, counts);
}

bool recordedIn(const DoseTotals& totals, int firstMonth, int months)
{
    return std::any_of(totals.months.begin() + firstMonth, totals.months.begin() + firstMonth + months,
                       [](const MonthDoses& month) { return month.recorded; });
}

} // namespace

bool DoseBand::contains(const ExactDose& dose) const
{
    return (!above || *above < dose) && (!upTo || dose <= *upTo);
}

const BandTable& effectiveYearBands()
{
    static const BandTable table{QStringLiteral("実効_年度"),
                                 QStringLiteral("実効線量（年度）"),
                                 true,
                                 {band({}, 5), band(5, 15), band(15, 20), band(20, 25), band(25, 50), band(50, {})}};
    return table;
}

const BandTable& lensYearBands()
{
    static const BandTable table{QStringLiteral("水晶体_年度"),
                                 QStringLiteral("水晶体の等価線量（年度）"),
                                 true,
                                 {band({}, 20), band(20, 50), band(50, {})}};
    return table;
}

const BandTable& skinYearBands()
{
    static const BandTable table{QStringLiteral("皮膚_年度"),
                                 QStringLiteral("皮膚の等価線量（年度）"),
                                 false,
                                 {band({}, 50), band(50, 150), band(150, 500), band(500, {})}};
    return table;
}

const BandTable& womenQuarterBands()
{
    static const BandTable table{QStringLiteral("女性実効"),
                                 QStringLiteral("女性の実効線量（四半期）"),
                                 false,
                                 {band({}, 1), band(1, 2), band(2, 5), band(5, {})}};
    return table;
}

QStringList BandCounts::labels() const
{
    QStringList labels;
    if (table->belowDetectionApart)
        labels << BelowDetectionLabel;
    for (const DoseBand& band : table->bands)
        labels << band.label;
    return labels;
}

int BandCounts::total() const
{
    return std::accumulate(counts.begin(), counts.end(), 0);
}

DoseDistribution doseDistribution(const QList<TotalsRow>& rows, int fiscalYear)
{
    DoseDistribution distribution;
    distribution.fiscalYear = fiscalYear;
    distribution.effective = none(effectiveYearBands());
    distribution.lens = none(lensYearBands());
    distribution.skin = none(skinYearBands());
    for (BandCounts& quarter : distribution.womenQuarters)
        quarter = none(womenQuarterBands());
    for (const TotalsRow& row : rows) {
        if (!row.totals) {
            distribution.unreadable << DataDir::shownPersonalFile(row.name);
            continue;
        }
        const DoseTotals& totals = *row.totals;
        if (!recordedIn(totals, 0, 12))
            continue; // not at work in this fiscal year
        ++distribution.workers;
        const BandCounts effective = count(effectiveYearBands(), totals.effectiveYear, totals.effectiveYear.isZero());
        add(distribution.effective, effective);
        add(distribution.lens, count(lensYearBands(), totals.lensYear, totals.lensYear.isZero()));
        add(distribution.skin, count(skinYearBands(), totals.skinYear, false));
        distribution.collective += totals.effectiveYear;
        distribution.maximum = std::max(distribution.maximum, totals.effectiveYear);
        if (row.sexCode != 0)
            for (int quarter = 0; quarter < 4; ++quarter)
                if (recordedIn(totals, quarter * 3, 3))
                    add(distribution.womenQuarters[static_cast<size_t>(quarter)],
                        count(womenQuarterBands(), totals.effectiveQuarters[static_cast<size_t>(quarter)], false));
        addToGroup(distribution.byJobType, row.jobType, effective);
        addToGroup(distribution.byAffiliation, row.affiliation, effective);
    }
    distribution.mean = distribution.collective.dividedBy(distribution.workers);
    return distribution;
}

QByteArray distributionCsv(const DoseDistribution& distribution)
{
    QList<QStringList> table{{QStringLiteral("分布"), QStringLiteral("区分"), QStringLiteral("人数")}};
    const auto rowsOf = [&table](const QString& name, const BandCounts& counts) {
        const QStringList labels = counts.labels();
        for (qsizetype at = 0; at < counts.counts.size(); ++at)
            table.append({name, labels[at], QString::number(counts.counts[at])});
    };
    const QString effective = effectiveYearBands().name;
    rowsOf(effective, distribution.effective);
    table.append({effective, QStringLiteral("合計人数"), QString::number(distribution.workers)});
    table.append({effective, QStringLiteral("集団線量"), distribution.collective.text()});
    table.append({effective, QStringLiteral("平均"), distribution.mean.text()});
    table.append({effective, QStringLiteral("最大"), distribution.maximum.text()});
    rowsOf(lensYearBands().name, distribution.lens);
    rowsOf(skinYearBands().name, distribution.skin);
    for (int quarter = 0; quarter < 4; ++quarter)
        rowsOf(womenQuarterBands().name + QStringLiteral("_Q%1").arg(quarter + 1),
               distribution.womenQuarters[static_cast<size_t>(quarter)]);
    table.append({QStringLiteral("読込不可"), QString(), QString::number(distribution.unreadable.size())});
    for (const auto& [kind, groups] : {std::pair{QStringLiteral("職種"), &distribution.byJobType},
                                       std::pair{QStringLiteral("所属"), &distribution.byAffiliation}})
        for (const GroupCounts& group : *groups) {
            const QString name = QStringLiteral("%1／%2:%3").arg(effective, kind, group.group);
            rowsOf(name, group.effective);
            table.append({name, QStringLiteral("合計人数"), QString::number(group.effective.total())});
        }
    return csv::excelFile(table);
}

} // namespace velmora
