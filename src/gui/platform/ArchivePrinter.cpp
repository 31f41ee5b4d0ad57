#include "gui/platform/ArchivePrinter.h"

#include <QDir>
#include <QFileInfo>

namespace velmora {

ArchivePrinter::ArchivePrinter(const QString& archiveFolder, const QString& namePrefix)
    : folder(archiveFolder), prefix(namePrefix)
{
}

ArchivePrinter::~ArchivePrinter()
{
    closeFile();
}

Surface& ArchivePrinter::beginDocument(const QString& reportName)
{
    if (page && reportName == report) {
        newPage();
        return *page;
    }
    closeFile();
    report = reportName;
    const QString file = prefix + reportName + QStringLiteral(".pdf");
    printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
    printer->setDocName(QFileInfo(file).completeBaseName());
    printer->setCreator(QStringLiteral("Velmora"));
    printer->setOutputFileName(QDir(folder).filePath(file));
    setUpLandscapeA4(*printer);
    printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    page = std::make_unique<PrinterPage>(*printer);
    if (page->isActive()) {
        written << file;
        return *page;
    }
    page.reset();
    if (failure.isEmpty())
        failure =
            QStringLiteral("ファイル「%1」を作成できません").arg(QDir::toNativeSeparators(QDir(folder).filePath(file)));
    return discard;
}

void ArchivePrinter::newPage()
{
    if (page && !printer->newPage() && failure.isEmpty())
        failure = QStringLiteral("ファイル「%1%2.pdf」の作成中にエラーが発生しました").arg(prefix, report);
}

void ArchivePrinter::endDocument()
{
    // The file stays open: the next document of the same report is its next page.
}

void ArchivePrinter::closeFile()
{
    if (!page)
        return;
    page->end();
    if (printer->printerState() == QPrinter::Error && failure.isEmpty())
        failure = QStringLiteral("ファイル「%1%2.pdf」の作成中にエラーが発生しました").arg(prefix, report);
    page.reset();
    printer.reset();
}

PrintReport ArchivePrinter::takeReport()
{
    closeFile();
    PrintReport outcome{failure, !failure.isEmpty()};
    failure.clear();
    return outcome;
}

} // namespace velmora
