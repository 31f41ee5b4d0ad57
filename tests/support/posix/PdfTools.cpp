#include "support/PdfTools.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace velmora::test {

QString runPdfTool(const QString& tool, const QStringList& arguments)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        ADD_FAILURE() << tool.toStdString() << " failed on " << arguments.join(' ').toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace velmora::test
