#include "DoseNotice.h"

#include "totals/TotalsColumns.h"

namespace velmora {
namespace {

constexpr double Left = 20;
constexpr double LabelWidth = 40;
constexpr double CellWidth = 38;
constexpr double RowHeight = 5;
constexpr double Padding = 1.2;

const QStringList Limits = {
    QStringLiteral("実効線量：年度 50 mSv、5年（2001年度から5年ごと）100 mSv、女性は四半期 5 mSv"),
    QStringLiteral("水晶体の等価線量：年度 50 mSv（2020年度まで 150 mSv）、5年（2021年度から）100 mSv"),
    QStringLiteral("皮膚の等価線量：年度 500 mSv"),
    QStringLiteral("妊娠中（申告から出産まで）：外部被曝 2 mSv、内部被曝 1 mSv"),
    QStringLiteral("経過措置対象医師の水晶体：2021～2025年度は年度 50 mSv、2023～2025年度の計 60 mSv"),
    QStringLiteral("（集計には他施設での線量を含みます）"),
    QStringLiteral("注意：限度の80%以上、または年度の実効線量が20 mSvを超えたとき"),
};

void rightAligned(Surface& page, double right, double y, const QString& text)
{
    page.text(right - Padding - page.textWidth(text), y, text);
}

} // namespace

void drawDoseNotice(Surface& page, const TotalsRow& row, int fiscalYear, const QDate& printed)
{
    page.setFontSize(16);
    page.text(Left, 10, QStringLiteral("線量通知（%1年度）").arg(fiscalYear));
    page.setFontSize(10);
    page.text(210, 12, printed.toString(QStringLiteral("印刷日 yyyy年MM月dd日")));
    page.text(Left, 22,
              QStringLiteral("登録番号 %1　　氏名 %2　　性別 %3")
                  .arg(cellText(row, TotalsColumn::RegistrationNumber, fiscalYear), row.name,
                       cellText(row, TotalsColumn::Sex, fiscalYear)));
    if (!row.totals) {
        page.text(Left, 32, row.unreadable);
        return;
    }
    // The figures: a heading row, then one row per month, quarter, the year and the block's totals.
    const QList<PersonFigureRow> figures = personFigures(*row.totals, fiscalYear);
    const double top = 30;
    const double right = Left + LabelWidth + 3 * CellWidth;
    const double bottom = top + RowHeight * double(figures.size() + 1);
    page.setFontSize(8);
    page.setLineWidth(3);
    page.box(Left, top, right, bottom, Qt::black);
    page.line(Left, top + RowHeight, right, top + RowHeight, Qt::black);
    page.setLineWidth(1);
    const QString headings[] = {QStringLiteral("実効線量 mSv"), QStringLiteral("水晶体の等価線量 mSv"),
                                QStringLiteral("皮膚の等価線量 mSv")};
    for (int column = 0; column < 3; ++column) {
        const double x = Left + LabelWidth + CellWidth * column;
        page.line(x, top, x, bottom, Qt::black);
        page.text(x + (CellWidth - page.textWidth(headings[column])) / 2, top + Padding, headings[column]);
    }
    double y = top + RowHeight;
    for (const PersonFigureRow& figure : figures) {
        if (y > top + RowHeight)
            page.line(Left, y, right, y, figure.label.startsWith(QLatin1Char('Q')) ? Qt::gray : Qt::black);
        page.text(Left + Padding, y + Padding, figure.label);
        for (int column = 0; column < 3; ++column)
            rightAligned(page, Left + LabelWidth + CellWidth * (column + 1), y + Padding,
                         figure.cells[static_cast<size_t>(column)]);
        y += RowHeight;
    }
    page.text(Left, bottom + 2, QStringLiteral("Ｍ：検出限界未満　空欄：記録なし"));

    // Under the table: the five-year block's totals, the verdict with its reasons, and the limits.
    const double side = Left;
    double at = bottom + 9;
    page.setFontSize(10);
    const QString effectiveBlock =
        row.totals->effectiveBlock ? row.totals->effectiveBlock->text() : QStringLiteral("―");
    const QString lensBlock = row.totals->lensBlock ? row.totals->lensBlock->text() : QStringLiteral("―");
    page.text(side, at,
              QStringLiteral("5年（%1年度から）の累計：実効 %2 mSv、水晶体 %3 mSv")
                  .arg(blockStart(fiscalYear))
                  .arg(effectiveBlock, lensBlock));
    at += 10;
    const QString verdict = verdictText(row.verdict());
    page.text(side, at, QStringLiteral("判定：%1").arg(verdict.isEmpty() ? QStringLiteral("限度内") : verdict));
    at += 6;
    page.setFontSize(8);
    for (const QString& reason : row.totals->reasons) {
        page.text(side + 4, at, reason);
        at += 4.5;
    }
    at += 6;
    page.setFontSize(10);
    page.text(side, at, QStringLiteral("線量限度"));
    at += 6;
    page.setFontSize(8);
    for (const QString& limit : Limits) {
        page.text(side + 4, at, limit);
        at += 4.5;
    }
}

void PrintDoseNotices(Printer& printer, const QList<TotalsRow>& rows, int fiscalYear, const QDate& printed)
{
    Surface& page = printer.beginDocument(QStringLiteral("線量通知"));
    for (qsizetype at = 0; at < rows.size(); ++at) {
        if (at > 0)
            printer.newPage();
        drawDoseNotice(page, rows[at], fiscalYear, printed);
    }
    printer.endDocument();
}

} // namespace velmora
