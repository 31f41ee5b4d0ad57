#pragma once

#include "core/rules/StoreTotals.h"

#include <QList>

// The columns of a totals row and the text of each cell: made once here, so that the window, the print
// and the CSV show a row alike.
namespace velmora {

enum class TotalsColumn {
    RegistrationNumber,
    Name,
    Sex,
    Enrolment, // 在籍 or 抹消
    FiscalYear,
    EffectiveQ1,
    EffectiveQ2,
    EffectiveQ3,
    EffectiveQ4,
    EffectiveYear,
    EffectiveBlock,
    LensQ1,
    LensQ2,
    LensQ3,
    LensQ4,
    LensYear,
    LensBlock,
    SkinQ1,
    SkinQ2,
    SkinQ3,
    SkinQ4,
    SkinYear,
    InternalQ1, // the internal dose, which the effective dose includes
    InternalQ2,
    InternalQ3,
    InternalQ4,
    InternalYear,
    OtherEffectiveYear, // the part of 実効 年度 received at other facilities
    OtherLensYear,
    LensSinceTransition, // a designated doctor's lens total from FY2023, judged against 60 mSv
    PregnancyExternal,   // the running totals of the year's last pregnancy, from its first month
    PregnancyInternal,
    Verdict,
    Reasons,
};

// The columns of the CSV (in their first order, with 在籍, the other facilities', the internal and the
// pregnancy columns added at the end) and those of the window and the print.
const QList<TotalsColumn>& csvColumns();
const QList<TotalsColumn>& shownColumns();

// "実効_Q1" in the CSV, "実効 Q1" on the screen and paper.
QString csvHeading(TotalsColumn column);
QString shownHeading(TotalsColumn column);

// Whether the column holds a dose (right-aligned, sorted by its value).
bool isDoseColumn(TotalsColumn column);

// The dose of a dose column; nothing where the cell is empty.
std::optional<ExactDose> doseCell(const TotalsRow& row, TotalsColumn column);

QString cellText(const TotalsRow& row, TotalsColumn column, int fiscalYear);

// A line of a person's figures: its label ("2026年4月", "Q1", "年度", "2026年度 累積", "妊娠 2026年5月")
// and the effective, lens, skin and internal dose, a month as the personal exposure record shows it ("Ｍ"
// below detection, blank without a record). A pregnancy's line holds its running external and internal
// totals in the first and last cell.
struct PersonFigureRow {
    QString label;
    std::array<QString, 4> cells;
};

// The months of a person's fiscal year, the year's doses at other facilities where there are any, the
// quarters and the year (both with them), the running block totals where they are to be recorded, then
// each pregnancy month by month: what the totals window shows beside the table and the dose notice prints.
QList<PersonFigureRow> personFigures(const DoseTotals& totals, int fiscalYear);

} // namespace velmora
