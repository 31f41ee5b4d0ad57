#include "core/rules/TotalsColumns.h"

#include "core/files/NumberForms.h"
#include "core/model/Calendar.h"

namespace velmora {
namespace {

using C = TotalsColumn;

const QString QuarterNames[] = {QStringLiteral("Q1"), QStringLiteral("Q2"),   QStringLiteral("Q3"),
                                QStringLiteral("Q4"), QStringLiteral("年度"), QStringLiteral("5年")};

// The dose and the period (quarters 0–3, the year 4, the block 5) of a dose column.
std::pair<QString, int> doseAndPeriod(TotalsColumn column)
{
    const int at = static_cast<int>(column);
    if (column >= C::InternalQ1)
        return {QStringLiteral("内部"), at - static_cast<int>(C::InternalQ1)};
    if (column >= C::SkinQ1)
        return {QStringLiteral("皮膚"), at - static_cast<int>(C::SkinQ1)};
    if (column >= C::LensQ1)
        return {QStringLiteral("水晶体"), at - static_cast<int>(C::LensQ1)};
    return {QStringLiteral("実効"), at - static_cast<int>(C::EffectiveQ1)};
}

std::optional<ExactDose> periodDose(const std::array<ExactDose, 4>& quarters, const ExactDose& year,
                                    const std::optional<ExactDose>& block, int period)
{
    return period < 4 ? quarters[static_cast<size_t>(period)] : period == 4 ? year : block;
}

} // namespace

const QList<TotalsColumn>& csvColumns()
{
    static const QList<TotalsColumn> columns = {C::RegistrationNumber,
                                                C::Name,
                                                C::Sex,
                                                C::FiscalYear,
                                                C::EffectiveQ1,
                                                C::EffectiveQ2,
                                                C::EffectiveQ3,
                                                C::EffectiveQ4,
                                                C::EffectiveYear,
                                                C::EffectiveBlock,
                                                C::LensQ1,
                                                C::LensQ2,
                                                C::LensQ3,
                                                C::LensQ4,
                                                C::LensYear,
                                                C::LensBlock,
                                                C::SkinQ1,
                                                C::SkinQ2,
                                                C::SkinQ3,
                                                C::SkinQ4,
                                                C::SkinYear,
                                                C::Verdict,
                                                C::Reasons,
                                                C::Enrolment,
                                                C::OtherEffectiveYear,
                                                C::OtherLensYear,
                                                C::InternalQ1,
                                                C::InternalQ2,
                                                C::InternalQ3,
                                                C::InternalQ4,
                                                C::InternalYear,
                                                C::PregnancyExternal,
                                                C::PregnancyInternal,
                                                C::LensSinceTransition};
    return columns;
}

const QList<TotalsColumn>& shownColumns()
{
    static const QList<TotalsColumn> columns = {C::RegistrationNumber,  C::Name,          C::Sex,
                                                C::Enrolment,           C::EffectiveQ1,   C::EffectiveQ2,
                                                C::EffectiveQ3,         C::EffectiveQ4,   C::EffectiveYear,
                                                C::EffectiveBlock,      C::LensYear,      C::LensBlock,
                                                C::LensSinceTransition, C::SkinYear,      C::InternalYear,
                                                C::OtherEffectiveYear,  C::OtherLensYear, C::PregnancyExternal,
                                                C::PregnancyInternal,   C::Verdict,       C::Reasons};
    return columns;
}

QString csvHeading(TotalsColumn column)
{
    switch (column) {
    case C::RegistrationNumber:
        return QStringLiteral("登録番号");
    case C::Name:
        return QStringLiteral("氏名");
    case C::Sex:
        return QStringLiteral("性別");
    case C::Enrolment:
        return QStringLiteral("在籍");
    case C::FiscalYear:
        return QStringLiteral("年度");
    case C::Verdict:
        return QStringLiteral("判定");
    case C::Reasons:
        return QStringLiteral("理由");
    case C::OtherEffectiveYear:
        return QStringLiteral("他施設_実効");
    case C::OtherLensYear:
        return QStringLiteral("他施設_水晶体");
    case C::PregnancyExternal:
        return QStringLiteral("妊娠中_外部");
    case C::PregnancyInternal:
        return QStringLiteral("妊娠中_内部");
    case C::LensSinceTransition:
        return QStringLiteral("水晶体_2023年度から");
    default:
        const auto [dose, period] = doseAndPeriod(column);
        return dose + QLatin1Char('_') + QuarterNames[period];
    }
}

QString shownHeading(TotalsColumn column)
{
    return csvHeading(column).replace(QLatin1Char('_'), QLatin1Char(' '));
}

bool isDoseColumn(TotalsColumn column)
{
    return column >= C::EffectiveQ1 && column <= C::PregnancyInternal;
}

std::optional<ExactDose> doseCell(const TotalsRow& row, TotalsColumn column)
{
    if (!row.totals || !isDoseColumn(column))
        return std::nullopt;
    const DoseTotals& t = *row.totals;
    if (column == C::OtherEffectiveYear || column == C::OtherLensYear) {
        const MonthDoses other = t.otherFacilityYear();
        if (!other.recorded)
            return std::nullopt;
        return column == C::OtherEffectiveYear ? other.effective : other.lens;
    }
    if (column == C::LensSinceTransition)
        return t.lensSinceTransition;
    if (column == C::PregnancyExternal || column == C::PregnancyInternal) {
        if (t.pregnancies.isEmpty())
            return std::nullopt;
        return column == C::PregnancyExternal ? t.pregnancies.last().external() : t.pregnancies.last().internal();
    }
    const int period = doseAndPeriod(column).second;
    if (column >= C::InternalQ1)
        return periodDose(t.internalQuarters, t.internalYear, std::nullopt, period);
    if (column >= C::SkinQ1)
        return periodDose(t.skinQuarters, t.skinYear, std::nullopt, period);
    if (column >= C::LensQ1)
        return periodDose(t.lensQuarters, t.lensYear, t.lensBlock, period);
    return periodDose(t.effectiveQuarters, t.effectiveYear, t.effectiveBlock, period);
}

QString cellText(const TotalsRow& row, TotalsColumn column, int fiscalYear)
{
    switch (column) {
    case C::RegistrationNumber:
        return row.totals ? plainForm(row.registrationNumber) : QString();
    case C::Name:
        return row.name;
    case C::Sex:
        return row.totals ? (row.sexCode == 0 ? QStringLiteral("男") : QStringLiteral("女")) : QString();
    case C::Enrolment:
        return row.removed ? QStringLiteral("抹消") : QStringLiteral("在籍");
    case C::FiscalYear:
        return QString::number(fiscalYear);
    case C::Verdict:
        return verdictText(row.verdict());
    case C::Reasons:
        return row.totals ? row.totals->reasons.join(QStringLiteral("／")) : row.unreadable;
    default:
        const auto dose = doseCell(row, column);
        return dose ? dose->text() : QString();
    }
}

QList<PersonFigureRow> personFigures(const DoseTotals& t, int fiscalYear)
{
    // An external dose of 0 is below detection ("Ｍ"); an internal dose of 0 is shown as 0.
    const auto externalCell = [](bool recorded, const ExactDose& dose) {
        return !recorded ? QString() : dose.isZero() ? QStringLiteral("Ｍ") : dose.text();
    };
    QList<PersonFigureRow> rows;
    for (int slot = 0; slot < 12; ++slot) {
        const MonthDoses& month = t.months[static_cast<size_t>(slot)];
        const MonthKey key = FiscalYear(fiscalYear).month(slot);
        rows.append({monthName(key),
                     {externalCell(month.recorded, month.effective), externalCell(month.recorded, month.lens),
                      externalCell(month.recorded, month.skin), month.recorded ? month.internal.text() : QString()}});
    }
    if (const MonthDoses other = t.otherFacilityYear(); other.recorded)
        rows.append({QStringLiteral("他施設"),
                     {other.effective.text(), other.lens.text(), other.skin.text(), other.internal.text()}});
    for (size_t quarter = 0; quarter < 4; ++quarter)
        rows.append({quarterName(static_cast<int>(quarter) + 1),
                     {t.effectiveQuarters[quarter].text(), t.lensQuarters[quarter].text(),
                      t.skinQuarters[quarter].text(), t.internalQuarters[quarter].text()}});
    rows.append({QStringLiteral("年度"),
                 {t.effectiveYear.text(), t.lensYear.text(), t.skinYear.text(), t.internalYear.text()}});
    if (t.runningTotalKept)
        for (const DoseTotals::BlockYear& year : t.blockYears)
            rows.append({QStringLiteral("%1年度 累積").arg(year.fiscalYear), {year.runningTotal.text(), {}, {}, {}}});
    for (const DoseTotals::Pregnancy& pregnancy : t.pregnancies)
        for (const PregnancyMonth& month : pregnancy.months)
            rows.append({QStringLiteral("妊娠 ") + monthName(month.key),
                         {month.external.text(), {}, {}, month.internal.text()}});
    return rows;
}

} // namespace velmora
