#pragma once

#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>

namespace velmora::test {

// What the built program did when run without windows.
struct ProgramRun {
    int exitCode;
    QString out;
    QString err;
};

inline ProgramRun runVelmora(const QStringList& arguments)
{
    QProcess program;
    program.start(QStringLiteral(VELMORA_BINARY), arguments);
    EXPECT_TRUE(program.waitForFinished(30000));
    return {program.exitCode(), QString::fromUtf8(program.readAllStandardOutput()),
            QString::fromUtf8(program.readAllStandardError())};
}

} // namespace velmora::test
