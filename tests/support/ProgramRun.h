#pragma once

#include "Traced.h"

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

// Run as it is, or under strace with the strace options given (a signal injected at a system call).
inline ProgramRun runVelmora(const QStringList& arguments, const QStringList& underStrace = {})
{
    QProcess program;
    if (underStrace.isEmpty()) {
        program.start(QStringLiteral(VELMORA_BINARY), arguments);
    } else {
        program.setProcessEnvironment(withoutLeakCheck());
        program.start(QStringLiteral("strace"), QStringList{"-f", "-qq", "-o", "/dev/null"} + underStrace +
                                                    QStringList{QStringLiteral(VELMORA_BINARY)} + arguments);
    }
    EXPECT_TRUE(program.waitForFinished(30000));
    return {program.exitCode(), QString::fromUtf8(program.readAllStandardOutput()),
            QString::fromUtf8(program.readAllStandardError())};
}

} // namespace velmora::test
