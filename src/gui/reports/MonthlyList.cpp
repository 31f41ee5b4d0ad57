#include "gui/reports/MonthlyList.h"

#include "core/files/NumberForms.h"
#include "gui/reports/ListPage.h"

namespace velmora {
namespace {

const QString Marked = QStringLiteral("Ｍ");
const QString Missing = QStringLiteral("―");

// An external dose: "Ｍ" below the detection limit, "―" without a record, otherwise the number
// 30 units left of where the marks stand.
void drawExternal(ReportPen& pen, double markX, double y, double dose)
{
    if (dose == 0)
        pen.text(markX, y, Marked);
    else if (dose < 0)
        pen.text(markX, y, Missing);
    else
        pen.text(markX - 30, y, reportForm(dose));
}

void drawRow(ReportPen& pen, const MonthlyListInput& input, qsizetype index, double y)
{
    const MonthRowEntry& row = input.rows[index];
    pen.text(400, y, input.names[index]);
    if (!row.readable) {
        pen.text(200, y, Missing);
        pen.text(740, y, Missing);
    } else {
        pen.text(200, y, reportForm(row.registrationNumber));
        pen.text(740, y, row.sexCode == 0 ? QStringLiteral("男") : QStringLiteral("女"));
    }
    const double e = row.effective;
    const double i = row.internal;
    drawExternal(pen, 980, y, e);
    drawExternal(pen, 1380, y, row.lens);
    drawExternal(pen, 1780, y, row.skin);
    if (i < 0)
        pen.text(2180, y, Missing);
    else if (i == 0)
        pen.text(2180, y, QStringLiteral("0"));
    else
        pen.text(2100, y, exponentForm(i));
    if (e < 0)
        pen.text(2580, y, Missing);
    else if (e + i == 0)
        pen.text(2580, y, Marked);
    else if (i == 0)
        pen.text(2550, y, reportForm(e));
    else
        pen.text(2500, y, exponentForm(e + i));
}

void drawColumnRules(ReportPen& pen)
{
    for (int x : {350, 700, 800, 2000, 2400})
        pen.rule(x, 200, x, 1900);
    for (int x : {1200, 1600})
        pen.rule(x, 250, x, 1900);
    pen.rule(800, 250, 2000, 250);
}

} // namespace

void drawMonthlyListPage(Surface& surface, const ReportStyle& style, const MonthlyListInput& input, qsizetype& nextRow)
{
    ReportPen pen(surface, style);
    const ListPage page{
        QStringLiteral(" 放射線被曝データ  ") + input.yearText + QStringLiteral("年 ") + input.monthText +
            QStringLiteral("月"),
        drawColumnRules,
        {{170, 230, QStringLiteral("登録番号")},
         {450, 230, QStringLiteral("氏　名")},
         {710, 230, QStringLiteral("性別")},
         {1250, 210, QStringLiteral("外部被曝 [mSv]")},
         {930, 260, QStringLiteral("実効線量")},
         {1300, 260, QStringLiteral("水晶体線量")},
         {1660, 260, QStringLiteral("皮膚線量")},
         {2030, 230, QStringLiteral("内部被曝[mSv]")},
         {2410, 230, QStringLiteral("実効線量合計[mSv]")}},
        [&input](ReportPen& p, qsizetype index, double y) { drawRow(p, input, index, y); },
    };
    drawListPage(pen, page, input.names.size(), nextRow);
}

void ShowMonthlyList(Surface& picture, const MonthlyListInput& input, qsizetype& nextRow)
{
    drawMonthlyListPage(picture, ScreenStyle, input, nextRow);
}

void PrintMonthlyList(Printer& printer, const MonthlyListInput& input, qsizetype& nextRow, const QString& facility)
{
    printPages(printer, QStringLiteral("月別被曝一覧表"), input.names.size(), nextRow, facility,
               [&](Surface& page) { drawMonthlyListPage(page, PaperStyle, input, nextRow); });
}

} // namespace velmora
