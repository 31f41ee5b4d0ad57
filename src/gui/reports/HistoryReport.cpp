#include "gui/reports/HistoryReport.h"

#include "core/model/Calendar.h"
#include "gui/reports/PageText.h"
#include "gui/reports/TablePages.h"

namespace velmora {
namespace {

constexpr double Left = 10;
constexpr double Right = 282;
constexpr double Bottom = 195;
constexpr double TitleSize = 13;
constexpr double CaptionSize = 8;
const TableShape Shape{{Left, 36, 58, 84, 100, 180, 260, Right}, 7, 0.8};

} // namespace

const QStringList& historyHeadings()
{
    static const QStringList headings{QStringLiteral("日時"),        QStringLiteral("操作"),   QStringLiteral("氏名"),
                                      QStringLiteral("年月"),        QStringLiteral("変更前"), QStringLiteral("変更後"),
                                      QStringLiteral("PC／ユーザー")};
    return headings;
}

QStringList historyCells(const ChangeRecord& record)
{
    const Change& change = record.change;
    const auto orNone = [](const QString& text) { return text.isEmpty() ? QStringLiteral("―") : text; };
    return {record.time.toString(HistoryTimeForm),
            changeKindText(change.kind),
            orNone(change.person),
            change.month ? yearMonthText(change.month) : QStringLiteral("―"),
            orNone(change.before),
            orNone(change.after),
            record.pc + QStringLiteral("／") + record.user};
}

void PrintChangeHistory(Printer& printer, const HistoryPrintout& printout)
{
    Surface& page = printer.beginDocument(QStringLiteral("変更履歴"));
    QList<CellLines> rows;
    rows.reserve(printout.records.size());
    for (const ChangeRecord& record : printout.records)
        rows << cellLines(page, Shape, historyCells(record));
    QStringList captions;
    for (const QString& caption : {printout.facility,
                                   QStringLiteral("%1　%2件　印刷日：%3年%4月%5日")
                                       .arg(printout.chosen)
                                       .arg(printout.records.size())
                                       .arg(printout.printed.year())
                                       .arg(printout.printed.month())
                                       .arg(printout.printed.day()),
                                   printout.chain})
        if (!caption.isEmpty())
            captions << wrapped(page, caption, Right - Left, CaptionSize);
    const CellLines headings = cellLines(page, Shape, historyHeadings());
    const double columnsTop = 16 + static_cast<double>(captions.size()) * lineHeight(CaptionSize) + 1;
    const double rowsTop = columnsTop + rowHeight(Shape, headings);
    cutToPage(Shape, rows, rowsTop, Bottom);
    const QList<qsizetype> starts = pageStarts(Shape, rows, rowsTop, Bottom);
    const auto pages = static_cast<int>(starts.size() - 1);
    for (int number = 1; number <= pages; ++number) {
        if (number > 1)
            printer.newPage();
        page.setForeColor(Qt::black);
        page.setLineWidth(1);
        page.setFontSize(TitleSize);
        page.text(Left, 8, QStringLiteral("変更履歴"));
        page.setFontSize(CaptionSize);
        const QString pageText = QStringLiteral("%1 / %2 ページ").arg(number).arg(pages);
        page.text(Right - textWidth(page, pageText, CaptionSize), 9, pageText);
        drawLines(page, Left, 16, captions, CaptionSize);
        page.setFontSize(Shape.cellSize);
        page.line(Left, columnsTop, Right, columnsTop, Qt::black);
        double y = drawRow(page, Shape, columnsTop, headings);
        page.line(Left, y, Right, y, Qt::black);
        for (qsizetype at = starts[number - 1]; at < starts[number]; ++at) {
            // A record whose hash does not hold stands out in red.
            page.setForeColor(printout.records[at].intact ? Qt::black : Qt::red);
            y = drawRow(page, Shape, y, rows[at]);
            page.line(Left, y, Right, y, QColor(160, 160, 160));
        }
    }
    printer.endDocument();
}

} // namespace velmora
