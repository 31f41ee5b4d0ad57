#include "gui/reports/RegistrantTable.h"

#include "core/files/NumberForms.h"
#include "core/files/PositionalForms.h"
#include "gui/reports/ListPage.h"

namespace velmora {
namespace {

constexpr double CellX[] = {200, 400, 800, 950, 1300, 1700, 2100, 2500};

void drawRow(ReportPen& pen, const RegistrantTableInput& input, qsizetype index, double y)
{
    const std::optional<PersonalHeader>& header = input.summary[index];
    pen.text(CellX[1], y, input.names[index]);
    if (!header) {
        for (double x : {CellX[0], CellX[2], CellX[3], CellX[4], CellX[5], CellX[6], CellX[7]})
            pen.text(x, y, QStringLiteral("―"));
        return;
    }
    pen.text(CellX[0], y, reportForm(header->registrationNumber));
    pen.text(CellX[2], y, header->sexCode == 0 ? QStringLiteral("男") : QStringLiteral("女"));
    pen.text(CellX[3], y, dateWithSlashes(header->dateOfBirth));
    pen.text(CellX[4], y, header->affiliation);
    pen.text(CellX[5], y, header->jobType);
    pen.text(CellX[6], y, header->registrationDate);
    pen.text(CellX[7], y, header->pastExposureFlag == 1 ? reportForm(header->pastDose) : QStringLiteral("なし"));
}

void drawColumnRules(ReportPen& pen)
{
    for (int x : {350, 750, 900, 1250, 1650, 2050, 2400})
        pen.rule(x, 200, x, 1900);
}

} // namespace

void drawRegistrantTablePage(Surface& surface, const ReportStyle& style, const QString& pastExposureHeading,
                             const RegistrantTableInput& input, qsizetype& nextRow)
{
    ReportPen pen(surface, style);
    const ListPage page{
        QStringLiteral("  個人被曝記録登録者データ"),
        drawColumnRules,
        {{170, 230, QStringLiteral("登録番号")},
         {450, 230, QStringLiteral("氏　名")},
         {780, 230, QStringLiteral("性別")},
         {1000, 230, QStringLiteral("生年月日")},
         {1350, 230, QStringLiteral("所　属")},
         {1750, 230, QStringLiteral("職　種")},
         {2100, 230, QStringLiteral("登録年月日")},
         {2430, 230, pastExposureHeading}},
        [&input](ReportPen& p, qsizetype index, double y) { drawRow(p, input, index, y); },
    };
    drawListPage(pen, page, input.names.size(), nextRow);
}

void ShowRegistrantTable(Surface& picture, const RegistrantTableInput& input, qsizetype& nextRow)
{
    drawRegistrantTablePage(picture, ScreenStyle, ScreenPastExposureHeading, input, nextRow);
}

void PrintRegistrantTable(Printer& printer, const RegistrantTableInput& input, qsizetype& nextRow,
                          const QString& facility)
{
    printPages(printer, QStringLiteral("登録者データ表"), input.names.size(), nextRow, facility, [&](Surface& page) {
        drawRegistrantTablePage(page, PaperStyle, PaperPastExposureHeading, input, nextRow);
    });
}

} // namespace velmora
