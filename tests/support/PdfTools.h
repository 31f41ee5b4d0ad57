#pragma once

#include <QString>
#include <QStringList>

namespace velmora::test {

// Runs one of poppler's PDF tools (pdftotext, pdfinfo) of the Linux machine the tests run on, on a PDF
// file the program wrote, and gives its standard output; a failure to run it fails the test.
QString runPdfTool(const QString& tool, const QStringList& arguments);

} // namespace velmora::test
