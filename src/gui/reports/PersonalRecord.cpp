#include "gui/reports/PersonalRecord.h"

#include "core/files/NumberForms.h"
#include "core/files/PositionalForms.h"
#include "gui/reports/PageText.h"

#include <algorithm>

namespace velmora {
namespace {

const QString Marked = QStringLiteral(" Ｍ");
constexpr double CommentX = 2420;
constexpr double CommentRight = 2790; // within the frame at 2800
// The smallest size a comment is drawn at, still legible on screen and paper.
constexpr double SmallestCommentSize = 6;

// A comment within its cell: at the size of the other cells when it fits, else smaller down to the
// smallest legible size, and there cut with "…". The row has room for one line only: wrapped into two,
// the lines would be smaller than legible. The whole comment stays in the file and the correction window.
void drawComment(ReportPen& pen, double y, const QString& comment, double size)
{
    const double width = CommentRight - CommentX;
    double fitting = size;
    pen.fontSize(fitting);
    while (pen.textWidth(comment) > width && fitting > SmallestCommentSize) {
        fitting = std::max(SmallestCommentSize, fitting - 0.5);
        pen.fontSize(fitting);
    }
    QString shown = comment;
    if (pen.textWidth(shown) > width) {
        const QString ellipsis = QStringLiteral("…");
        while (!shown.isEmpty() && pen.textWidth(shown + ellipsis) > width)
            shown.chop(shown.size() > 1 && shown.back().isLowSurrogate() ? 2 : 1);
        shown += ellipsis;
    }
    pen.text(CommentX, y, shown);
    pen.fontSize(size);
}

// The cells of a month row, the fiscal-year total or the cumulative row.
void drawDoseCells(ReportPen& pen, double y, const Doses& d)
{
    const auto external = [&](double x, double dose) { pen.text(x, y, dose == 0 ? Marked : reportForm(dose)); };
    external(550, d.effective);
    external(950, d.lens);
    external(1350, d.skin);
    if (d.internal == 0)
        pen.text(1750, y, QStringLiteral("0"));
    else
        pen.text(1700, y, exponentForm(d.internal));
    const double combined = d.effective + d.internal;
    if (combined == 0)
        pen.text(2150, y, QStringLiteral("0"));
    else if (d.internal == 0)
        pen.text(2120, y, reportForm(combined));
    else
        pen.text(2100, y, exponentForm(combined));
}

void drawRegistrationData(ReportPen& pen, const RecordLayout& layout, const PersonalFile& person)
{
    const PersonalHeader& h = person.header;
    const QList<PlacedText> lines = {
        {250, 200, QStringLiteral("登録番号　： ") + plainForm(h.registrationNumber)},
        {250, 250, QStringLiteral("氏　　名　： ") + h.name},
        {250, 300, QStringLiteral("性　　別　： ") + (h.sexCode == 0 ? QStringLiteral("男") : QStringLiteral("女"))},
        {250, 350, QStringLiteral("生年月日　： ") + dateInKanji(h.dateOfBirth)},
        {250, 400, QStringLiteral("所　　属　： ") + h.affiliation},
        {250, 450, QStringLiteral("職　　種　： ") + h.jobType},
    };
    for (const PlacedText& line : lines)
        pen.text(line.x, line.y, line.text);
    // The measurement period runs from the earliest to the latest month recorded: a month the service reported
    // late stands after later months in the file, which keeps the order they were saved in.
    const auto [earliest, latest] =
        std::minmax_element(person.records.begin(), person.records.end(),
                            [](const MonthlyRecord& a, const MonthlyRecord& b) { return a.key < b.key; });
    const double first = person.records.isEmpty() ? 0 : static_cast<double>(earliest->key);
    const double last = person.records.isEmpty() ? 0 : static_cast<double>(latest->key);
    const double scale = layout.style.scale;
    pen.textAt(layout.secondColumnX, 200 * scale, QStringLiteral("登録年月日　： ") + h.registrationDate);
    pen.textAt(layout.secondColumnX, 250 * scale,
               QStringLiteral("測定期間　　： ") + monthLabel(first, QStringLiteral("/")) + QStringLiteral(" ～ ") +
                   monthLabel(last, QStringLiteral("/")));
}

void drawGrid(ReportPen& pen)
{
    pen.frameBox(150, 600, 2800, 1900);
    for (int y : {700, 1300, 1400, 1500})
        pen.frameLine(150, y, 2800, y);
    for (int x : {400, 2400})
        pen.frameLine(x, 600, x, 1500);
    for (int y = 750; y <= 1250; y += 50)
        pen.rule(150, y, 2800, y);
    pen.rule(400, 650, 1600, 650);
    for (int x : {800, 1200})
        pen.rule(x, 650, x, 1500);
    for (int x : {1600, 2000})
        pen.rule(x, 600, x, 1500);
    pen.rule(150, 1450, 2800, 1450);
}

} // namespace

const RecordLayout ScreenRecordLayout{
    ScreenStyle,
    10,
    1200,
    {{200, 630, QStringLiteral("年／月")},
     {820, 610, QStringLiteral("外部被曝 mSv")},
     {480, 660, QStringLiteral("実効線量")},
     {850, 660, QStringLiteral("水晶体線量")},
     {1280, 660, QStringLiteral("皮膚線量")},
     {1650, 630, QStringLiteral("内部被曝 mSv")},
     {2020, 630, QStringLiteral("実効線量合計 mSv")},
     {2500, 630, QStringLiteral("備考")},
     {190, 1330, QStringLiteral("年度合計")},
     {190, 1410, QStringLiteral("積算線量")},
     {190, 1460, QStringLiteral("Ｍの回数")},
     {300, 1550, QStringLiteral("外部被曝の Ｍ は検出限界以下を表す。")}},
    [](double key) { return monthLabel(key, QStringLiteral("/")); },
};

// On paper the captions are 10 pt, some carry their unit in brackets, and several do not stand at one
// tenth of their screen positions.
const RecordLayout PaperRecordLayout{
    ReportStyle{0.1, 14, 10, 5, Qt::black},
    10,
    110,
    {{23, 63, QStringLiteral("年／月")},
     {85, 61, QStringLiteral("外部被曝  [ mSv ]")},
     {53, 66, QStringLiteral("実効線量")},
     {90, 66, QStringLiteral("水晶体線量")},
     {133, 66, QStringLiteral("皮膚線量")},
     {168, 63, QStringLiteral("内部被曝  [ mSv ]")},
     {202, 63, QStringLiteral("実効線量合計 [ mSv ]")},
     {255, 63, QStringLiteral("備  考")},
     {19, 133, QStringLiteral("年度合計")},
     {19, 141, QStringLiteral("積算線量")},
     {19, 146, QStringLiteral("Ｍの回数")},
     {30, 155, QStringLiteral("外部被曝の Ｍ は検出限界以下を表す。")}},
    monthLabelInKanji,
};

void drawPersonalRecord(Surface& surface, const RecordLayout& layout, const PersonalFile& person,
                        const QString& fiscalYearText)
{
    const ReportStyle& style = layout.style;
    ReportPen pen(surface, style);
    pen.clear();
    pen.fontSize(style.titleSize);
    pen.text(200, 100, QStringLiteral("  個人被曝記録 (") + fiscalYearText + QStringLiteral("年度)"));
    pen.fontSize(layout.dataSize);
    drawRegistrationData(pen, layout, person);
    drawGrid(pen);
    pen.fontSize(style.textSize);
    for (const PlacedText& caption : layout.captions)
        pen.textAt(caption.x, caption.y, caption.text);
    if (person.header.pastExposureFlag == 1)
        pen.text(300, 1800,
                 QStringLiteral("本測定期間以前の被曝線量　： ") + plainForm(person.header.pastDose) +
                     QStringLiteral(" mSv"));

    const RecordFigures figures = personalRecordFigures(person, LeadingNumber(fiscalYearText));
    for (int slot = 0; slot < 12; ++slot) {
        const double y = 710 + 50 * slot;
        pen.text(180, y, layout.monthLabel(figures.keys[slot]));
        if (const MonthlyRecord* record = figures.months[slot]) {
            drawDoseCells(pen, y, dosesOf(*record));
            if (record->comment != NoComment)
                drawComment(pen, y, record->comment, style.textSize);
        }
    }
    if (figures.yearTotal)
        drawDoseCells(pen, 1330, *figures.yearTotal);
    drawDoseCells(pen, 1410, figures.cumulative);
    for (int column = 0; column < 3; ++column)
        pen.text(550 + 400 * column, 1460, reportForm(figures.marks[column]));
    pen.text(1750, 1460, QStringLiteral("―"));
    pen.text(2150, 1460, QStringLiteral("―"));
}

void ShowPersonalRecord(Surface& picture, const PersonalFile& person, const QString& fiscalYearText)
{
    drawPersonalRecord(picture, ScreenRecordLayout, person, fiscalYearText);
}

void PrintPersonalRecord(Printer& printer, const PersonalFile& person, const QString& fiscalYearText,
                         const QString& facility)
{
    Surface& page = printer.beginDocument(QStringLiteral("個人被曝記録"));
    drawPersonalRecord(page, PaperRecordLayout, person, fiscalYearText);
    drawFacilityFooter(page, facility);
    printer.endDocument();
}

} // namespace velmora
