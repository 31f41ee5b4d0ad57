#include "gui/reports/TotalsReport.h"

#include "core/model/Calendar.h"
#include "core/rules/DoseLimits.h"
#include "core/rules/TotalsColumns.h"
#include "gui/reports/PageText.h"
#include "gui/reports/TablePages.h"

namespace velmora {

const QList<double> TotalsColumnEdges = {10,  22,  42,  49,  56,  65,  77,  89,  101,
                                         113, 125, 137, 148, 159, 170, 181, 192, 282};

namespace {

constexpr double Left = 10;
constexpr double Right = 282;
constexpr double Bottom = 195;
constexpr double TitleSize = 13;
constexpr double CaptionSize = 8;
constexpr double CellSize = 7;
constexpr double Padding = 0.8;
constexpr double CheckBoxGap = 3;
constexpr double CheckBoxHeight = 14;
constexpr double HistoryHeadHeight = 5;
constexpr double CheckBoxRoom = CheckBoxGap + CheckBoxHeight + HistoryHeadHeight;

const TableShape Shape{TotalsColumnEdges, CellSize, Padding};

// The printed columns: a person's figures stand in lines of one row, 実効 (with the internal) and 水晶体 for
// everyone, 皮膚 and 内部 where the year has a figure other than 0, each by quarter, year and block, so that
// the signed page holds every figure the record of doses asks for (電離則 第9条第2項).
enum PrintedColumn {
    Number,
    Name,
    Sex,
    Enrolment,
    Dose,
    FirstQuarter, // to FirstQuarter + 3
    Year = FirstQuarter + 4,
    Block,
    SinceTransition,
    Elsewhere,
    PregnancyExternal,
    PregnancyInternal,
    VerdictColumn,
    ReasonsColumn,
    PrintedColumns
};

QStringList columnHeadings()
{
    QStringList headings{QStringLiteral("登録番号"), QStringLiteral("氏名"), QStringLiteral("性別"),
                         QStringLiteral("在籍"), QStringLiteral("線量")};
    for (int quarter = 1; quarter <= 4; ++quarter)
        headings << quarterName(quarter);
    return headings << QStringLiteral("年度") << QStringLiteral("5年") << QStringLiteral("水晶体 2023年度から")
                    << QStringLiteral("他施設 年度") << QStringLiteral("妊娠中 外部") << QStringLiteral("妊娠中 内部")
                    << QStringLiteral("判定") << QStringLiteral("理由");
}

// A dose's line: its name and its columns by quarter, year and block (none for the skin and the internal).
struct DoseLine {
    QString name;
    TotalsColumn firstQuarter;
    bool hasBlock;
};
const DoseLine DoseLines[] = {{QStringLiteral("実効"), TotalsColumn::EffectiveQ1, true},
                              {QStringLiteral("水晶体"), TotalsColumn::LensQ1, true},
                              {QStringLiteral("皮膚"), TotalsColumn::SkinQ1, false},
                              {QStringLiteral("内部"), TotalsColumn::InternalQ1, false}};

TotalsColumn offset(TotalsColumn column, int by)
{
    return static_cast<TotalsColumn>(static_cast<int>(column) + by);
}

// The lines of each printed column of a person's row.
CellLines printedRow(Surface& page, const TotalsRow& row, int fiscalYear)
{
    CellLines cells(PrintedColumns);
    const auto text = [&](TotalsColumn column) { return cellText(row, column, fiscalYear); };
    const auto wrap = [&](PrintedColumn column, const QString& cell) {
        cells[column] = wrapped(page, cell, Shape.edges[column + 1] - Shape.edges[column] - 2 * Padding, CellSize);
    };
    wrap(Number, text(TotalsColumn::RegistrationNumber));
    wrap(Name, row.name);
    wrap(Sex, text(TotalsColumn::Sex));
    wrap(Enrolment, text(TotalsColumn::Enrolment));
    wrap(VerdictColumn, text(TotalsColumn::Verdict));
    wrap(ReasonsColumn, text(TotalsColumn::Reasons));
    if (!row.totals)
        return cells;
    for (const DoseLine& line : DoseLines) {
        const bool always = line.hasBlock;
        bool some = false;
        for (int period = 0; period < 5; ++period)
            some = some || !doseCell(row, offset(line.firstQuarter, period)).value_or(ExactDose()).isZero();
        if (!always && !some)
            continue;
        cells[Dose] << line.name;
        for (int period = 0; period < 5; ++period)
            cells[FirstQuarter + period] << text(offset(line.firstQuarter, period));
        cells[Block] << (line.hasBlock ? text(offset(line.firstQuarter, 5)) : QString());
        const bool lens = line.firstQuarter == TotalsColumn::LensQ1;
        cells[SinceTransition] << (lens ? text(TotalsColumn::LensSinceTransition) : QString());
        cells[Elsewhere] << (line.firstQuarter == TotalsColumn::EffectiveQ1 ? text(TotalsColumn::OtherEffectiveYear)
                             : lens                                         ? text(TotalsColumn::OtherLensYear)
                                                                            : QString());
    }
    cells[PregnancyExternal] << text(TotalsColumn::PregnancyExternal);
    cells[PregnancyInternal] << text(TotalsColumn::PregnancyInternal);
    return cells;
}

// The limits of the fiscal year, in short, and what 注意 and 要確認 mean.
QString limitsKey(int fiscalYear)
{
    return QStringLiteral("限度（mSv）：%1。注意：%3以上、実効 年度 %2超（5年の累積を記録）。"
                          "要確認：同じ月の記録が複数、月が1～12でない記録、負の値、年度をまたぐ他施設線量。"
                          "線量：実効（内部を含む）と水晶体は全員、皮膚と内部は0でない人のみ")
        .arg(limitsInShort(fiscalYear))
        .arg(RecordBlockAboveMSv)
        .arg(WarningShareOfLimit);
}

QString dayText(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy年MM月dd日")); // as every printed page gives a day
}

QString countsLine(const TotalsPrintout& printout)
{
    QMap<Verdict, int> counts;
    for (const TotalsRow& row : printout.rows)
        ++counts[row.verdict()];
    QString line = QStringLiteral("超過 %1名　要確認 %2名　注意 %3名")
                       .arg(counts.value(Verdict::Exceeded))
                       .arg(counts.value(Verdict::Doubtful))
                       .arg(counts.value(Verdict::Warning));
    if (counts.value(Verdict::Unreadable) > 0)
        line += QStringLiteral("　読込不可 %1名").arg(counts.value(Verdict::Unreadable));
    return line + QStringLiteral("　（%1%2名）")
                      .arg(printout.flaggedOnly ? QStringLiteral("注意・超過等のみ ") : QStringLiteral("全 "))
                      .arg(printout.rows.size());
}

// The lines of a cell from its top: figures and numbers against the cell's right edge, a figure too wide for
// its cell in smaller type; texts at its left.
void drawCell(Surface& page, qsizetype column, double top, const QStringList& lines)
{
    if (column == Number || (column > Dose && column < VerdictColumn)) {
        const double width = TotalsColumnEdges[column + 1] - TotalsColumnEdges[column] - 2 * Padding;
        double y = top + Padding;
        for (const QString& line : lines) {
            const double size = std::min(CellSize, CellSize * width / std::max(textWidth(page, line, CellSize), 0.1));
            page.setFontSize(size);
            page.text(TotalsColumnEdges[column + 1] - Padding - textWidth(page, line, size), y, line);
            y += lineHeight(CellSize);
        }
        page.setFontSize(CellSize);
        return;
    }
    drawLines(page, TotalsColumnEdges[column] + Padding, top + Padding, lines, CellSize);
}

// "2021年4月1日～2022年3月31日": the days of fiscal years `first` to `last`.
QString fiscalYearsSpan(int first, int last)
{
    return dayText(QDate(first, 4, 1)) + QStringLiteral("～") + dayText(QDate(last + 1, 3, 31));
}

// The heading block of every page: the captions and the column headings, laid out once.
struct Heading {
    QStringList captionLines;
    CellLines columnHeadings;
    double columnsTop;
    double rowsTop;
};

Heading headingOf(Surface& page, const TotalsPrintout& printout)
{
    const int year = printout.fiscalYear;
    Heading heading;
    QStringList captions = {
        QStringLiteral("年度：%1　5年：%2（%3年度末までを集計）　印刷日：%4")
            .arg(fiscalYearsSpan(year, year), fiscalYearsSpan(blockStart(year), blockStart(year) + 4))
            .arg(year)
            .arg(dayText(printout.printed)),
        countsLine(printout), limitsKey(year)};
    if (!printout.facility.isEmpty())
        captions.prepend(printout.facility);
    for (const QString& caption : captions)
        heading.captionLines << wrapped(page, caption, Right - Left, CaptionSize);
    heading.columnHeadings = cellLines(page, Shape, columnHeadings());
    heading.columnsTop = 16 + static_cast<double>(heading.captionLines.size()) * lineHeight(CaptionSize) + 1;
    heading.rowsTop = heading.columnsTop + rowHeight(Shape, heading.columnHeadings);
    return heading;
}

void drawHeading(Surface& page, const Heading& heading, int fiscalYear, int pageNumber, int pages)
{
    page.setForeColor(Qt::black);
    page.setLineWidth(1);
    page.setFontSize(TitleSize);
    page.text(Left, 8, QStringLiteral("線量集計・限度確認　%1年度").arg(fiscalYear));
    page.setFontSize(CaptionSize);
    const QString pageText = QStringLiteral("%1 / %2 ページ").arg(pageNumber).arg(pages);
    page.text(Right - textWidth(page, pageText, CaptionSize), 9, pageText);
    drawLines(page, Left, 16, heading.captionLines, CaptionSize);
    page.setFontSize(CellSize);
    page.line(Left, heading.columnsTop, Right, heading.columnsTop, Qt::black);
    drawRow(page, Shape, heading.columnsTop, heading.columnHeadings);
    page.line(Left, heading.rowsTop, Right, heading.rowsTop, Qt::black);
}

// The box in which the checker signs the totals: name, date and seal, at the right under the last row.
void drawCheckBox(Surface& page, double top, const QString& historyHead)
{
    constexpr double Width = 150;
    constexpr double Height = CheckBoxHeight;
    constexpr double SealWidth = 18;
    const double left = Right - Width;
    page.setLineWidth(1);
    page.box(left, top, Right, top + Height, Qt::black);
    page.line(Right - SealWidth, top, Right - SealWidth, top + Height, Qt::black);
    page.setFontSize(CaptionSize);
    page.text(left + Padding, top + Padding, QStringLiteral("確認欄"));
    page.text(left + 18, top + Padding, QStringLiteral("確認者 氏名："));
    page.text(left + 18, top + Height / 2 + Padding, QStringLiteral("確認日：　　　　年　　月　　日"));
    page.text(Right - SealWidth + Padding, top + Padding, QStringLiteral("印"));
    page.setFontSize(CellSize);
    page.text(Right - textWidth(page, historyHead, CellSize), top + Height + 1, historyHead);
}

} // namespace

void PrintDoseTotals(Printer& printer, const TotalsPrintout& printout)
{
    // The page measures the texts, so the document begins before the rows are laid out.
    Surface& page = printer.beginDocument(QStringLiteral("線量集計"));
    QList<CellLines> rows;
    rows.reserve(printout.rows.size());
    for (const TotalsRow& row : printout.rows)
        rows << printedRow(page, row, printout.fiscalYear);
    // The rows of each page, found before drawing so that every page can say how many there are. A cell
    // taller than a page (a file with very many doubtful records) is cut short; the window and the CSV hold
    // the whole text. The check box goes on a page of its own when the last has no room for it.
    const Heading heading = headingOf(page, printout);
    cutToPage(Shape, rows, heading.rowsTop, Bottom);
    const QList<qsizetype> starts = pageStarts(Shape, rows, heading.rowsTop, Bottom, CheckBoxRoom);
    const auto pages = static_cast<int>(starts.size() - 1);
    double y = heading.rowsTop;
    for (int number = 1; number <= pages; ++number) {
        if (number > 1)
            printer.newPage();
        drawHeading(page, heading, printout.fiscalYear, number, pages);
        y = heading.rowsTop;
        for (qsizetype at = starts[number - 1]; at < starts[number]; ++at) {
            for (qsizetype column = 0; column < rows[at].size(); ++column)
                drawCell(page, column, y, rows[at][column]);
            y += rowHeight(Shape, rows[at]);
            page.line(Left, y, Right, y, QColor(160, 160, 160));
        }
    }
    drawCheckBox(page, y + CheckBoxGap, printout.historyHead);
    printer.endDocument();
}

} // namespace velmora
