#pragma once

#include "gui/platform/Clock.h"
#include "gui/platform/Printer.h"
#include "gui/platform/PrinterPage.h"

#include <QPrinter>
#include <QPrinterInfo>
#include <functional>
#include <memory>

namespace velmora {

// The default printer of the system through Qt PrintSupport (CUPS on Linux): A4 landscape at 600 dpi.
// The queue is asked before each job whether it takes jobs, and after it whether the job arrived. Without
// a printer that can take the job, every page is saved as a PDF file in the folder "印刷" of the data
// directory instead, a file per document named after the report, the time and the document's number.
class SystemPrinter : public Printer {
public:
    using FindPrinter = std::function<QPrinterInfo()>;

    SystemPrinter(const QString& dataRoot, const Clock& clock, FindPrinter findPrinter = &QPrinterInfo::defaultPrinter);
    ~SystemPrinter() override;

    Surface& beginDocument(const QString& reportName) override;
    void newPage() override;
    void endDocument() override;
    PrintReport takeReport() override;

    static inline const QString PrintFolder = QStringLiteral("印刷");

private:
    bool startOnPrinter();
    bool startAsPdf(const QString& reportName);

    QString dataRoot;
    const Clock& clock;
    FindPrinter findPrinter;
    std::unique_ptr<QPrinter> printer;
    std::unique_ptr<PrinterPage> page;
    DiscardedPage discard; // where a page that can go nowhere is drawn, so that the report finishes
    QString stamp;         // the time in the names of the PDF files of one print run
    int pdfFiles = 0;
    int pdfPages = 0;
    QString failure;
    QString refusal; // why the default printer could not take the jobs of this run
    QString queue;   // the printer of the job being drawn, and its last job before it
    int jobBefore = 0;
};

} // namespace velmora
