#pragma once

#include "gui/platform/Surface.h"

namespace velmora {

// What the user must be told after printing, and whether it is a failure (shown with the exclamation
// icon) rather than a notice; an empty message when everything went to the printer.
struct PrintReport {
    QString message;
    bool failed = false;
};

// The system printer as the reports use it: each document is a print job of its own, of landscape pages
// drawn in millimetres from the top-left corner of the printable area, in "ＭＳ 明朝".
class Printer {
public:
    virtual ~Printer() = default;
    // Starts a document of the report named `reportName` and returns its page to draw on.
    virtual Surface& beginDocument(const QString& reportName) = 0;
    // Starts the next page of the document; the surface returned by beginDocument draws on it.
    virtual void newPage() = 0;
    // Ends the document: its pages go to the printer.
    virtual void endDocument() = 0;
    // What the user must be told about the documents since the last call: where they were saved
    // instead of printed, or what failed.
    virtual PrintReport takeReport() = 0;
};

} // namespace velmora
