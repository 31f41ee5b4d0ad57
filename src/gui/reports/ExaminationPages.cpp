#include "gui/reports/ExaminationPages.h"

#include "core/files/PositionalForms.h"
#include "core/model/Calendar.h"

namespace velmora {
namespace {

constexpr double Left = 100;
constexpr double Padding = 10;
constexpr double SheetRow = 40;
// The months a sheet lists one by one; earlier months are summed in its first line.
constexpr qsizetype SheetMonths = 30;

QString dayText(qint64 yyyymmdd)
{
    return dateWithSlashes(static_cast<double>(yyyymmdd));
}

void rightAligned(ReportPen& pen, double right, double y, const QString& text)
{
    pen.text(right - Padding - pen.textWidth(text), y + Padding, text);
}

QString doseText(const ExactDose& dose)
{
    return dose.text();
}

} // namespace

QString leaveOutRuleFigures(const DoctorSheet& sheet)
{
    const ExactDose limit = ExactDose::whole(LeaveOutItemsAtMostMSv);
    const QString lastYear =
        QStringLiteral("前年（%1年）の実効線量 %2 mSv（%3 mSv%4）")
            .arg(sheet.year - 1)
            .arg(sheet.lastYear.effective.text())
            .arg(LeaveOutItemsAtMostMSv)
            .arg(sheet.lastYear.effective <= limit ? QStringLiteral("以下") : QStringLiteral("を超える"));
    const QString thisYear =
        sheet.thisYearTo == 0
            ? QStringLiteral("本年の記録なし")
            : QStringLiteral("本年 1月～%1月 %2 mSv").arg(sheet.thisYearTo % 100).arg(sheet.thisYear.effective.text());
    return lastYear + QStringLiteral("、") + thisYear;
}

void drawDoctorSheet(Surface& surface, const ReportStyle& style, const DoctorSheet& sheet, const QDate& printed,
                     const QString& facility)
{
    ReportPen pen(surface, style);
    pen.beginPage(QStringLiteral("電離放射線健康診断　医師に示す線量"), printed, facility);
    const PersonalHeader& h = sheet.header;
    pen.text(Left, 200,
             QStringLiteral("氏名　%1　　生年月日　%2　　性別　%3　　所属　%4　　職種　%5")
                 .arg(h.name, dateWithSlashes(h.dateOfBirth),
                      h.sexCode == 0 ? QStringLiteral("男") : QStringLiteral("女"), h.affiliation, h.jobType));
    pen.text(Left, 250,
             sheet.last ? QStringLiteral("前回の健康診断　%1（%2）　　次回の期限　%3")
                              .arg(dayText(sheet.last->day), examinationKindText(sheet.last->kind),
                                   nextExaminationDue(*sheet.last).toString(QStringLiteral("yyyy/MM/dd")))
                        : QStringLiteral("前回の健康診断　記録なし（前年1月からの線量を示します）"));

    // The months since the last examination, with their total; a month without any record says so.
    const double columns[] = {Left, Left + 360, Left + 620, Left + 880, Left + 1140, Left + 1400};
    const QStringList headings{QStringLiteral("年月"), QStringLiteral("実効線量"), QStringLiteral("水晶体"),
                               QStringLiteral("皮膚"), QStringLiteral("内部被曝")};
    const qsizetype folded = std::max<qsizetype>(0, sheet.months.size() - SheetMonths);
    QList<std::pair<QString, MonthDoses>> rows;
    MonthDoses earlier;
    for (qsizetype at = 0; at < folded; ++at)
        earlier += sheet.months[at].second;
    if (folded > 0)
        rows.append(
            {QStringLiteral("～%1（%2か月）").arg(monthName(sheet.months[folded - 1].first)).arg(folded), earlier});
    MonthDoses total = earlier;
    for (qsizetype at = folded; at < sheet.months.size(); ++at) {
        rows.append({monthName(sheet.months[at].first), sheet.months[at].second});
        total += sheet.months[at].second;
    }
    rows.append({QStringLiteral("合計"), total});
    double top = 320;
    pen.text(Left, top, QStringLiteral("前回の健康診断後の線量（mSv、他施設での線量を含む。Ｍ・0 は検出限界未満）"));
    top += 50;
    const double bottom = top + SheetRow * double(rows.size() + 1);
    pen.frameBox(columns[0], top, columns[5], bottom);
    pen.frameLine(columns[0], top + SheetRow, columns[5], top + SheetRow);
    for (int c = 0; c < 5; ++c) {
        if (c > 0)
            pen.rule(columns[c], top, columns[c], bottom);
        pen.text(columns[c] + Padding, top + Padding, headings[c]);
    }
    double y = top + SheetRow;
    for (const auto& [label, doses] : rows) {
        if (label == QStringLiteral("合計"))
            pen.frameLine(columns[0], y, columns[5], y);
        pen.text(columns[0] + Padding, y + Padding, label);
        if (!doses.recorded) {
            pen.text(columns[1] + Padding, y + Padding, QStringLiteral("記録なし"));
        } else {
            const ExactDose values[] = {doses.effective, doses.lens, doses.skin, doses.internal};
            for (int c = 0; c < 4; ++c)
                rightAligned(pen, columns[c + 2], y, doseText(values[c]));
        }
        y += SheetRow;
    }

    // The rule's figures at the right, the judgement left to the doctor.
    const double side = Left + 1500;
    pen.text(side, 370, QStringLiteral("血液・眼・皮膚の検査（第56条第1項第2号～第5号）の省略について"));
    pen.text(side, 430, leaveOutRuleFigures(sheet));
    pen.text(side, 490,
             QStringLiteral("前年1年間の実効線量が5 mSvを超えず、本年1年間も5 mSvを超えるおそれのない者は、"));
    pen.text(side, 530,
             QStringLiteral("医師が必要と認めないときは、これらの検査を行うことを要しません（同条第4項）。"));
    pen.text(side, 570, QStringLiteral("本年の線量は記録のある月までの合計です。判断は医師が行います。"));
}

void PrintDoctorSheets(Printer& printer, const QList<DoctorSheet>& sheets, const QDate& printed,
                       const QString& facility)
{
    Surface& page = printer.beginDocument(QStringLiteral("健康診断_医師に示す線量"));
    for (qsizetype at = 0; at < sheets.size(); ++at) {
        if (at > 0)
            printer.newPage();
        drawDoctorSheet(page, PaperStyle, sheets[at], printed, facility);
    }
    printer.endDocument();
}

void drawExaminationReport(Surface& surface, const ReportStyle& style, const ExaminationReport& report,
                           const QDate& printed, const QString& facility)
{
    ReportPen pen(surface, style);
    pen.beginPage(QStringLiteral("電離放射線健康診断結果報告書（様式第2号）の人数　%1年%2")
                      .arg(report.period.year)
                      .arg(report.period.half == 1 ? QStringLiteral("1月～6月") : QStringLiteral("7月～12月")),
                  printed, facility);
    // The form's count section: each part in a frame of its own, its lines with their counts, two columns of
    // parts so that the page holds all of them.
    const QList<ReportLine> lines = examinationReportLines(report);
    const double width[2] = {1250, 1250};
    const double lefts[2] = {Left, Left + 1400};
    double tops[2] = {200, 200};
    qsizetype at = 0;
    while (at < lines.size()) {
        const QString part = lines[at].part;
        qsizetype end = at;
        while (end < lines.size() && lines[end].part == part)
            ++end;
        const int column = part.startsWith(QStringLiteral("前年")) ? 1 : 0;
        const double left = lefts[column];
        double& top = tops[column];
        pen.text(left, top, part);
        top += 50;
        const double bottom = top + SheetRow * double(end - at);
        pen.frameBox(left, top, left + width[column], bottom);
        pen.rule(left + width[column] - 200, top, left + width[column] - 200, bottom);
        for (qsizetype line = at; line < end; ++line) {
            const double y = top + SheetRow * double(line - at);
            if (line > at)
                pen.rowRule(left, y, left + width[column], y);
            pen.text(left + Padding, y + Padding, lines[line].line);
            rightAligned(pen, left + width[column], y, QStringLiteral("%1 人").arg(lines[line].count));
        }
        top = bottom + 60;
        at = end;
    }
    pen.text(Left, std::max(tops[0], tops[1]) + 20,
             QStringLiteral("前年（%1年1月～12月）の線量は他施設での線量を含みます。記録がすべて0の年と記録のない年は"
                            "検出限界未満に数えます（記録なし %2名）。")
                 .arg(report.period.year - 1)
                 .arg(report.withoutRecord.size()));
}

} // namespace velmora
