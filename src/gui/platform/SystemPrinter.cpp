#include "gui/platform/SystemPrinter.h"

#include "gui/platform/PrintQueue.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>

namespace velmora {

SystemPrinter::SystemPrinter(const QString& root, const Clock& systemClock, FindPrinter printerFinder)
    : dataRoot(root), clock(systemClock), findPrinter(std::move(printerFinder))
{
}

SystemPrinter::~SystemPrinter() = default;

bool SystemPrinter::startOnPrinter()
{
    const QPrinterInfo target = findPrinter();
    if (target.isNull() || !failure.isEmpty())
        return false;
    queue = target.printerName();
    refusal = queueRefusal(queue);
    if (!refusal.isEmpty())
        return false;
    jobBefore = lastJobId(queue);
    printer = std::make_unique<QPrinter>(target, QPrinter::HighResolution);
    setUpLandscapeA4(*printer);
    page = std::make_unique<PrinterPage>(*printer);
    return page->isActive();
}

bool SystemPrinter::startAsPdf(const QString& reportName)
{
    const QDir folder(QDir(dataRoot).filePath(PrintFolder));
    if (!folder.mkpath(QStringLiteral(".")))
        return false;
    if (stamp.isEmpty())
        stamp = clock.now().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    ++pdfFiles;
    ++pdfPages;
    printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    // A document is one file, whatever its pages; the further documents of one print are numbered, and a
    // file of an earlier print in the same second is never overwritten.
    const QString name = pdfFiles == 1 ? QStringLiteral("%1_%2").arg(reportName, stamp)
                                       : QStringLiteral("%1_%2_%3").arg(reportName, stamp).arg(pdfFiles);
    QString file = folder.filePath(name + QStringLiteral(".pdf"));
    for (int copy = 2; QFileInfo::exists(file); ++copy)
        file = folder.filePath(QStringLiteral("%1-%2.pdf").arg(name).arg(copy));
    printer->setOutputFileName(file);
    setUpLandscapeA4(*printer);
    // A file has no unprintable border: the page's corner is the origin.
    printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    page = std::make_unique<PrinterPage>(*printer);
    return page->isActive();
}

Surface& SystemPrinter::beginDocument(const QString& reportName)
{
    // Once a page of a run went to a file, the rest follow it there.
    if ((pdfFiles == 0 && startOnPrinter()) || startAsPdf(reportName))
        return *page;
    page.reset();
    if (failure.isEmpty())
        failure =
            QStringLiteral("印刷できませんでした。PDFファイルも保存できませんでした（フォルダ「%1」に書き込めません）")
                .arg(QDir::toNativeSeparators(QDir(dataRoot).filePath(PrintFolder)));
    return discard;
}

void SystemPrinter::newPage()
{
    if (!page)
        return;
    if (!printer->newPage() && failure.isEmpty())
        failure = QStringLiteral("印刷中にエラーが発生しました");
    if (printer->outputFormat() == QPrinter::PdfFormat)
        ++pdfPages;
}

void SystemPrinter::endDocument()
{
    if (!page)
        return;
    page->end();
    if (!failure.isEmpty())
        return;
    if (printer->printerState() == QPrinter::Error)
        failure = QStringLiteral("印刷中にエラーが発生しました");
    // The scheduler may refuse the job after the check before it (a user it does not serve, say).
    else if (printer->outputFormat() == QPrinter::NativeFormat && lastJobId(queue) <= jobBefore)
        failure = QStringLiteral("プリンター「%1」に印刷ジョブを送れませんでした。印刷されていません").arg(queue);
}

PrintReport SystemPrinter::takeReport()
{
    PrintReport report{failure, !failure.isEmpty() || !refusal.isEmpty()};
    if (pdfPages > 0) {
        const QString reason = refusal.isEmpty() ? QStringLiteral("プリンターが使用できない") : refusal;
        const QString saved = QStringLiteral("%1ため、%2ページをPDFファイルとしてフォルダ「%3」に保存しました。\n%4")
                                  .arg(reason)
                                  .arg(pdfPages)
                                  .arg(PrintFolder, QDir::toNativeSeparators(QDir(dataRoot).filePath(PrintFolder)));
        report.message = report.message.isEmpty() ? saved : report.message + QStringLiteral("\n") + saved;
    }
    failure.clear();
    refusal.clear();
    stamp.clear();
    pdfFiles = 0;
    pdfPages = 0;
    page.reset();
    printer.reset();
    return report;
}

} // namespace velmora
