#include "gui/reports/LeavingRecordReport.h"

#include "core/files/PositionalForms.h"
#include "gui/reports/DoseNotice.h"
#include "gui/reports/PageText.h"

namespace velmora {
namespace {

constexpr double Left = 20;
constexpr double SideSize = 8;

// The quarters and the total of each fiscal year, then the block's totals up to the leaving month.
QList<PersonFigureRow> yearRows(const LeavingRecord& record)
{
    QList<PersonFigureRow> rows;
    std::array<ExactDose, 4> block;
    for (const auto& [year, t] : record.years) {
        for (size_t quarter = 0; quarter < 4; ++quarter)
            rows.append({QStringLiteral("%1年度 Q%2").arg(year).arg(quarter + 1),
                         {t.effectiveQuarters[quarter].text(), t.lensQuarters[quarter].text(),
                          t.skinQuarters[quarter].text(), t.internalQuarters[quarter].text()}});
        rows.append({QStringLiteral("%1年度 計").arg(year),
                     {t.effectiveYear.text(), t.lensYear.text(), t.skinYear.text(), t.internalYear.text()}});
        block = {block[0] + t.effectiveYear, block[1] + t.lensYear, block[2] + t.skinYear, block[3] + t.internalYear};
    }
    rows.append({QStringLiteral("5年の累計"), {block[0].text(), block[1].text(), block[2].text(), block[3].text()}});
    return rows;
}

} // namespace

void drawLeavingRecord(Surface& page, const LeavingRecord& record, const QString& facility, const QDate& printed)
{
    page.setFontSize(16);
    page.text(Left, 10, QStringLiteral("離職時の被ばく線量記録"));
    page.setFontSize(10);
    page.text(210, 12, printed.toString(QStringLiteral("印刷日 yyyy年MM月dd日")));
    page.setFontSize(9);
    page.text(Left, 18, facility);
    page.setFontSize(10);
    const PersonalHeader& h = record.header;
    page.text(Left, 23,
              QStringLiteral("登録番号 %1　　氏名 %2　　性別 %3")
                  .arg(h.registrationNumber)
                  .arg(h.name, h.sexCode == 0 ? QStringLiteral("男") : QStringLiteral("女")));
    if (record.years.isEmpty()) {
        page.text(Left, 32, QStringLiteral("線量の記録がありません"));
        return;
    }
    const int first = record.years.first().first;
    const double bottom = drawFigureTable(page, yearRows(record), 30);
    drawLines(page, Left, bottom + 1.5,
              {QStringLiteral("離職日 %1。%2年4月（%2～%3年度の5年の期間の初め）から%4まで%5。")
                   .arg(dateWithSlashes(double(record.leavingDay)))
                   .arg(first)
                   .arg(first + 4)
                   .arg(monthName(std::max(record.lastMonth, MonthKey(record.leavingDay / 100))),
                        record.lastMonth > record.leavingDay / 100 ? QStringLiteral("（離職日より後の記録を含む）")
                                                                   : QString()),
               QStringLiteral("実効線量は内部被曝を含み、他施設での線量を含みます。")},
              SideSize);

    // Beside the table: the doses received elsewhere, a pregnancy, and how the next employer takes it in.
    const double width = PageRight - FigureSideLeft;
    double at = drawLines(page, FigureSideLeft, 30, {QStringLiteral("他施設での線量（上の表に含む）")}, 10);
    if (record.otherDoses.isEmpty())
        at = drawLines(page, FigureSideLeft + 3, at, {QStringLiteral("なし")}, SideSize);
    for (const OtherFacilityDose& d : record.otherDoses)
        at = drawLines(page, FigureSideLeft + 3, at,
                       wrapped(page,
                               QStringLiteral("%1 %2～%3：実効 %4、水晶体 %5、皮膚 %6、内部 %7 mSv")
                                   .arg(d.facility, monthName(d.from), monthName(d.to),
                                        ExactDose::of(d.effective).text(), ExactDose::of(d.lens).text(),
                                        ExactDose::of(d.skin).text(), ExactDose::of(d.internal).text()),
                               width - 3, SideSize),
                       SideSize);
    const DoseTotals& last = record.years.last().second;
    if (!last.pregnancies.isEmpty()) {
        at = drawLines(page, FigureSideLeft, at + 4, {QStringLiteral("妊娠中の線量")}, 10);
        for (const DoseTotals::Pregnancy& p : last.pregnancies)
            at = drawLines(page, FigureSideLeft + 3, at,
                           wrapped(page,
                                   QStringLiteral("%1から%2まで：外部 %3 mSv、内部 %4 mSv")
                                       .arg(dateWithSlashes(static_cast<double>(p.from)),
                                            monthName(p.months.isEmpty() ? p.from / 100 : p.months.last().key),
                                            p.external().text(), p.internal().text()),
                                   width - 3, SideSize),
                           SideSize);
    }
    if (!record.declarations.isEmpty()) {
        at = drawLines(page, FigureSideLeft, at + 4, {QStringLiteral("引き継ぐ申告（CSVにも記載）")}, 10);
        for (const Declaration& d : record.declarations)
            at =
                drawLines(page, FigureSideLeft + 3, at, {declarationRowNote(d).mid(3)}, SideSize); // without 「申告：」
    }
    drawLines(page, FigureSideLeft, at + 6,
              wrapped(page,
                      QStringLiteral("同じ線量をCSVファイル「%1」に保存しました。次の事業所の線量管理で、"
                                     "他施設での線量として取り込めます（列：%2）。")
                          .arg(leavingRecordFileName(h.name), LeavingRecordCsvHeadings.join(QLatin1Char(','))),
                      width, SideSize),
              SideSize);
}

void PrintLeavingRecord(Printer& printer, const LeavingRecord& record, const QString& facility, const QDate& printed)
{
    drawLeavingRecord(printer.beginDocument(QStringLiteral("離職時記録")), record, facility, printed);
    printer.endDocument();
}

} // namespace velmora
