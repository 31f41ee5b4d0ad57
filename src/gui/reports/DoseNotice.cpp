#include "gui/reports/DoseNotice.h"

#include "core/rules/TotalsColumns.h"
#include "gui/reports/PageText.h"

namespace velmora {
namespace {

constexpr double Left = 20;
constexpr double LabelWidth = 32;
constexpr double CellWidth = 28;
constexpr double RowHeight = 4.6;
constexpr double Padding = 1.2;
constexpr double TableRight = Left + LabelWidth + 4 * CellWidth;
static_assert(FigureSideLeft == TableRight + 8);
// The verdict, the reasons and the limits stand beside the table.
constexpr double SideSize = 8;

void rightAligned(Surface& page, double right, double y, const QString& text)
{
    page.text(right - Padding - page.textWidth(text), y, text);
}

// The limits that bind the person in the year, each once, with where they come from, and what 注意 means.
QStringList limitLines(const DoseTotals& totals)
{
    QStringList lines;
    QList<const DoseLimit*> named;
    for (const DoseTotals::CheckedLimit& checked : totals.checkedLimits) {
        if (named.contains(checked.limit))
            continue;
        named << checked.limit;
        lines << QStringLiteral("%1 %2 mSv（%3）")
                     .arg(checked.limit->figure())
                     .arg(checked.limit->mSv)
                     .arg(checked.limit->sources);
    }
    return lines << warningRules();
}

} // namespace

double drawFigureTable(Surface& page, const QList<PersonFigureRow>& figures, double top)
{
    const double bottom = top + RowHeight * double(figures.size() + 1);
    page.setFontSize(8);
    page.setLineWidth(3);
    page.box(Left, top, TableRight, bottom, Qt::black);
    page.line(Left, top + RowHeight, TableRight, top + RowHeight, Qt::black);
    page.setLineWidth(1);
    page.text(Left + Padding, top + Padding, QStringLiteral("（mSv）"));
    const QString headings[] = {QStringLiteral("実効線量"), QStringLiteral("水晶体"), QStringLiteral("皮膚"),
                                QStringLiteral("内部被曝")};
    for (int column = 0; column < 4; ++column) {
        const double x = Left + LabelWidth + CellWidth * column;
        page.line(x, top, x, bottom, Qt::black);
        page.text(x + (CellWidth - page.textWidth(headings[column])) / 2, top + Padding, headings[column]);
    }
    double y = top + RowHeight;
    for (const PersonFigureRow& figure : figures) {
        if (y > top + RowHeight)
            page.line(Left, y, TableRight, y, figure.label.startsWith(QLatin1Char('Q')) ? Qt::gray : Qt::black);
        page.text(Left + Padding, y + Padding, figure.label);
        for (int column = 0; column < 4; ++column)
            rightAligned(page, Left + LabelWidth + CellWidth * (column + 1), y + Padding,
                         figure.cells[static_cast<size_t>(column)]);
        y += RowHeight;
    }
    return bottom;
}

void drawDoseNotice(Surface& page, const TotalsRow& row, int fiscalYear, const QDate& printed, const QString& facility)
{
    page.setFontSize(16);
    page.text(Left, 10, QStringLiteral("線量通知（%1年度）").arg(fiscalYear));
    page.setFontSize(10);
    page.text(210, 12, printed.toString(QStringLiteral("印刷日 yyyy年MM月dd日")));
    page.setFontSize(9);
    page.text(Left, 18, facility);
    page.setFontSize(10);
    page.text(Left, 23,
              QStringLiteral("登録番号 %1　　氏名 %2　　性別 %3")
                  .arg(cellText(row, TotalsColumn::RegistrationNumber, fiscalYear), row.name,
                       cellText(row, TotalsColumn::Sex, fiscalYear)));
    if (!row.totals) {
        page.text(Left, 32, row.unreadable);
        return;
    }
    const DoseTotals& totals = *row.totals;
    const double bottom = drawFigureTable(page, personFigures(totals, fiscalYear), 30);
    page.setFontSize(8);
    page.text(
        Left, bottom + 1.5,
        QStringLiteral("Ｍ：検出限界未満　空欄：記録なし　実効線量は内部被曝を含む　妊娠：妊娠中の累計（外部・内部）"));

    // Beside the table: the five-year block's totals, the verdict with its reasons, and the limits.
    const double width = PageRight - FigureSideLeft;
    const QString effectiveBlock = totals.effectiveBlock ? totals.effectiveBlock->text() : QStringLiteral("―");
    const QString lensBlock = totals.lensBlock ? totals.lensBlock->text() : QStringLiteral("―");
    double at = drawLines(page, FigureSideLeft, 30,
                          wrapped(page,
                                  QStringLiteral("5年（%1年度から）の累計：実効 %2 mSv、水晶体 %3 mSv")
                                      .arg(blockStart(fiscalYear))
                                      .arg(effectiveBlock, lensBlock),
                                  width, 10),
                          10);
    // A designated doctor's lens is judged on the total from FY2023, not the block's.
    if (totals.lensSinceTransition)
        at = drawLines(page, FigureSideLeft, at,
                       wrapped(page,
                               QStringLiteral("水晶体 2023年度からの累計（経過措置対象医師）：%1 mSv")
                                   .arg(totals.lensSinceTransition->text()),
                               width, 10),
                       10);
    const QString verdict = verdictText(row.verdict());
    at = drawLines(page, FigureSideLeft, at + 4,
                   {QStringLiteral("判定：%1").arg(verdict.isEmpty() ? QStringLiteral("限度内") : verdict)}, 10);
    for (const QString& reason : totals.reasons)
        at = drawLines(page, FigureSideLeft + 3, at, wrapped(page, reason, width - 3, SideSize), SideSize);
    at = drawLines(page, FigureSideLeft, at + 4, {QStringLiteral("この人に適用する線量限度")}, 10);
    for (const QString& limit : limitLines(totals))
        at = drawLines(page, FigureSideLeft + 3, at, wrapped(page, limit, width - 3, SideSize), SideSize);
    if (totals.otherFacilityYear().recorded)
        drawLines(page, FigureSideLeft, at + 2, {QStringLiteral("（集計には他施設での線量を含みます）")}, SideSize);
}

void PrintDoseNotices(Printer& printer, const QList<TotalsRow>& rows, int fiscalYear, const QDate& printed,
                      const QString& facility)
{
    Surface& page = printer.beginDocument(QStringLiteral("線量通知"));
    for (qsizetype at = 0; at < rows.size(); ++at) {
        if (at > 0)
            printer.newPage();
        drawDoseNotice(page, rows[at], fiscalYear, printed, facility);
    }
    printer.endDocument();
}

} // namespace velmora
