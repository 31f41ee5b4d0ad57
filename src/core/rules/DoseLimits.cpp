#include "core/rules/DoseLimits.h"

#include "core/model/Calendar.h"

namespace velmora {
namespace {

using Q = LimitQuantity;
using P = LimitPeriod;
using H = LimitHolder;

constexpr int Always = 1;
constexpr int Still = 9999;

const QString Medical = QStringLiteral("医療法施行規則 第30条の27");
const QString PregnancyFrom =
    QStringLiteral("医療法施行規則は管理者が妊娠を知った時から、電離則は妊娠と診断された時から数える。"
                   "早い方（妊娠と診断された日または申出の日の早い方）から数える");

QString quantityName(LimitQuantity quantity)
{
    switch (quantity) {
    case Q::Effective:
        return QStringLiteral("実効");
    case Q::Lens:
        return QStringLiteral("水晶体");
    case Q::Skin:
        return QStringLiteral("皮膚");
    case Q::PregnancyExternal:
        return QStringLiteral("妊娠中 外部");
    case Q::PregnancyInternal:
        return QStringLiteral("妊娠中 内部");
    }
    return {};
}

QString periodName(const DoseLimit& limit, int quarter)
{
    switch (limit.period) {
    case P::Quarter:
        return quarter > 0 ? quarterName(quarter) : QStringLiteral("3か月");
    case P::FiscalYear:
        return QStringLiteral("年度");
    case P::Block:
        return QStringLiteral("5年");
    case P::TransitionYears:
        return QStringLiteral("%1年度から").arg(limit.fromYear);
    case P::Pregnancy:
        return {};
    }
    return {};
}

QString yearsText(const DoseLimit& limit)
{
    if (limit.fromYear == Always && limit.lastYear == Still)
        return QStringLiteral("全年度");
    if (limit.lastYear == Still)
        return QStringLiteral("%1年度から").arg(limit.fromYear);
    if (limit.fromYear == Always)
        return QStringLiteral("%1年度まで").arg(limit.lastYear);
    return QStringLiteral("%1～%2年度").arg(limit.fromYear).arg(limit.lastYear);
}

QString holderPrefix(LimitHolder holder)
{
    switch (holder) {
    case H::Women:
        return QStringLiteral("女性 ");
    case H::DesignatedDoctors:
        return QStringLiteral("経過措置対象医師 ");
    default:
        return {};
    }
}

} // namespace

QString DoseLimit::figure(int quarter) const
{
    const QString when = periodName(*this, quarter);
    return when.isEmpty() ? quantityName(quantity) : quantityName(quantity) + QLatin1Char(' ') + when;
}

const QList<DoseLimit>& doseLimits()
{
    static const QList<DoseLimit> limits = {
        {Q::Effective,
         P::FiscalYear,
         50,
         H::Everyone,
         Always,
         Still,
         QStringLiteral("全員"),
         Medical + QStringLiteral("第1項第2号、電離則 第4条第1項"),
         {}},
        {Q::Effective,
         P::Block,
         100,
         H::Everyone,
         2001,
         Still,
         QStringLiteral("全員（2001年度から5年ごと）"),
         Medical + QStringLiteral("第1項第1号、電離則 第4条第1項"),
         {}},
        {Q::Effective, P::Quarter, 5, H::Women, 2001, Still, QStringLiteral("女性（妊娠不能と診断された者を除く）"),
         Medical + QStringLiteral("第1項第3号、電離則 第4条第2項"),
         QStringLiteral("医療法施行規則は妊娠の意思がない旨を書面で申し出た者も除くが、電離則は除かないため、"
                        "その申出があっても適用する")},
        {Q::PregnancyExternal, P::Pregnancy, 2, H::PregnantWorkers, Always, Still,
         QStringLiteral("妊娠中の女性（腹部表面の等価線量、出産まで）"),
         Medical + QStringLiteral("第2項第3号、電離則 第6条第2号"), PregnancyFrom},
        {Q::PregnancyInternal, P::Pregnancy, 1, H::PregnantWorkers, Always, Still,
         QStringLiteral("妊娠中の女性（内部被曝の実効線量、出産まで）"),
         Medical + QStringLiteral("第1項第4号、電離則 第6条第1号"), PregnancyFrom},
        {Q::Lens,
         P::FiscalYear,
         150,
         H::Everyone,
         Always,
         2020,
         QStringLiteral("全員"),
         QStringLiteral("2021年3月までの") + Medical + QStringLiteral("第2項第1号、電離則 第5条"),
         {}},
        {Q::Lens,
         P::FiscalYear,
         50,
         H::Everyone,
         2021,
         Still,
         QStringLiteral("全員"),
         Medical + QStringLiteral("第2項第1号、電離則 第5条"),
         {}},
        {Q::Lens,
         P::Block,
         100,
         H::ExceptTransition,
         2021,
         Still,
         QStringLiteral("全員（2021～2025年度の経過措置対象医師を除く）"),
         Medical + QStringLiteral("第2項第1号、電離則 第5条"),
         {}},
        {Q::Lens,
         P::TransitionYears,
         60,
         H::DesignatedDoctors,
         2023,
         LensTransitionLast,
         QStringLiteral("経過措置対象医師（5年 100 に代えて）"),
         QStringLiteral("医療法施行規則と電離則の改正省令（2020年4月1日公布、2021年4月1日施行）の附則"),
         {}},
        {Q::Skin,
         P::FiscalYear,
         500,
         H::Everyone,
         Always,
         Still,
         QStringLiteral("全員"),
         Medical + QStringLiteral("第2項第2号、電離則 第5条"),
         {}},
    };
    return limits;
}

const QStringList& warningRules()
{
    static const QStringList rules = {
        QStringLiteral("注意：%1以上（法令の限度ではなく、近づいたことを知らせる目安）").arg(WarningShareOfLimit),
        QStringLiteral("注意：実効 年度 %1超（5年の累積を記録する。電離則 第9条第2項）").arg(RecordBlockAboveMSv),
    };
    return rules;
}

QString limitsInShort(int fiscalYear)
{
    QList<std::pair<LimitQuantity, QStringList>> groups;
    for (const DoseLimit& limit : doseLimits()) {
        if (!limit.holdsIn(fiscalYear))
            continue;
        if (groups.isEmpty() || groups.last().first != limit.quantity)
            groups.append({limit.quantity, {}});
        const QString period = periodName(limit, 0);
        groups.last().second << holderPrefix(limit.holder) +
                                    (period.isEmpty() ? QString() : period + QLatin1Char(' ')) +
                                    QString::number(limit.mSv);
    }
    QStringList texts;
    for (const auto& [quantity, items] : groups)
        texts << quantityName(quantity) + QLatin1Char(' ') + items.join(QStringLiteral("、"));
    return texts.join(QStringLiteral("／"));
}

QStringList limitTableRows()
{
    QStringList rows{QStringLiteral("| 限度 | mSv | 対象 | 年度 | 根拠 | 二つの法令の違い |"),
                     QStringLiteral("|---|---|---|---|---|---|")};
    for (const DoseLimit& limit : doseLimits())
        rows << QStringLiteral("| %1 | %2 | %3 | %4 | %5 | %6 |")
                    .arg(limit.figure())
                    .arg(limit.mSv)
                    .arg(limit.whom, yearsText(limit), limit.sources,
                         limit.note.isEmpty() ? QStringLiteral("同じ") : limit.note);
    return rows;
}

} // namespace velmora
