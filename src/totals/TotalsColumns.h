#pragma once

#include "DoseTotals.h"

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
    OtherEffectiveYear, // the part of 実効 年度 received at other facilities
    OtherLensYear,
    Verdict,
    Reasons,
};

// The columns of the CSV (in their first order, with 在籍 and the other facilities' columns added at the
// end) and those of the window and the print.
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

// A line of a person's figures: its label ("2026年4月", "Q1", "年度", "2026年度 累積") and the effective,
// lens and skin dose, a month as the personal exposure record shows it ("Ｍ" below detection, blank
// without a record).
struct PersonFigureRow {
    QString label;
    std::array<QString, 3> cells;
};

// The months of a person's fiscal year, the year's doses at other facilities where there are any, the
// quarters and the year (both with them), then the running block totals where they are to be recorded:
// what the totals window shows beside the table and the dose notice prints.
QList<PersonFigureRow> personFigures(const DoseTotals& totals, int fiscalYear);

} // namespace velmora
