#include "support/PdfTools.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>
#include <windows.h>

namespace velmora::test {
namespace {

// The Unix path Wine maps a Windows path to, through Wine's own kernel32 export; empty outside Wine.
QString unixPath(const QString& path)
{
    using ToUnix = char* (*)(LPCWSTR);
    const auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    if (!toUnix)
        return {};
    const std::wstring wide = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()).toStdWString();
    char* found = toUnix(wide.c_str());
    if (!found)
        return {};
    const QString unix = QString::fromUtf8(found);
    ::HeapFree(::GetProcessHeap(), 0, found);
    return unix;
}

} // namespace

// A Windows process under Wine cannot start a Linux program, so the test runner (tests/windows/
// run-under-wine) serves requests: a file "<n>.request" in the folder VELMORA_PDF_TOOLS names holds the
// tool and its arguments, one per line, with the PDF's Unix path; the runner writes the tool's output to
// "<n>.out" and then its exit status to "<n>.status".
QString runPdfTool(const QString& tool, const QStringList& arguments)
{
    const QString folder = qEnvironmentVariable("VELMORA_PDF_TOOLS");
    if (folder.isEmpty()) {
        ADD_FAILURE() << "the PDF tools are reached only through tests/windows/run-under-wine";
        return {};
    }
    static std::atomic<int> requests = 0;
    const QString stem = QDir(folder).filePath(QStringLiteral("%1-%2").arg(::GetCurrentProcessId()).arg(++requests));
    QStringList lines{tool};
    for (const QString& argument : arguments)
        lines << (QFileInfo::exists(argument) ? unixPath(argument) : argument);
    QFile request(stem + QStringLiteral(".args"));
    if (!request.open(QIODevice::WriteOnly) || request.write((lines.join('\n') + '\n').toUtf8()) < 0 ||
        !request.rename(stem + QStringLiteral(".request"))) {
        ADD_FAILURE() << "cannot ask for " << tool.toStdString() << " in " << folder.toStdString();
        return {};
    }
    QFile status(stem + QStringLiteral(".status"));
    for (QDeadlineTimer deadline(30000); !status.exists(); QThread::msleep(10))
        if (deadline.hasExpired()) {
            ADD_FAILURE() << tool.toStdString() << " gave no answer on " << arguments.join(' ').toStdString();
            return {};
        }
    QFile output(stem + QStringLiteral(".out"));
    const bool answered = status.open(QIODevice::ReadOnly) && output.open(QIODevice::ReadOnly);
    const QByteArray exitStatus = status.readAll().trimmed();
    const QString text = QString::fromUtf8(output.readAll());
    status.close();
    output.close();
    status.remove();
    output.remove();
    if (!answered || exitStatus != "0")
        ADD_FAILURE() << tool.toStdString() << " failed on " << arguments.join(' ').toStdString();
    return text;
}

} // namespace velmora::test
