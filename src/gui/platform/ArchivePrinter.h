#pragma once

#include "gui/platform/Printer.h"
#include "gui/platform/PrinterPage.h"

#include <memory>

namespace velmora {

// Documents kept as PDF/A-1b files in a folder, readable without the program: the fonts are embedded, and
// the consecutive documents of one report are the pages of one file "<prefix><report>.pdf".
class ArchivePrinter : public Printer {
public:
    ArchivePrinter(const QString& folder, const QString& prefix);
    ~ArchivePrinter() override;

    Surface& beginDocument(const QString& reportName) override;
    void newPage() override;
    void endDocument() override;
    // Closes the last file: a failure when a file could not be written.
    PrintReport takeReport() override;

    // The files written so far, by name.
    const QStringList& files() const { return written; }

private:
    void closeFile();

    QString folder;
    QString prefix;
    QString report; // of the file open
    std::unique_ptr<QPrinter> printer;
    std::unique_ptr<PrinterPage> page;
    DiscardedPage discard;
    QStringList written;
    QString failure;
};

} // namespace velmora
