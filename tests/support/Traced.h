#pragma once

#include <QProcessEnvironment>

namespace velmora::test {

// The environment of a program run under strace: LeakSanitizer cannot run under ptrace, so the sanitizer
// build goes without it there.
inline QProcessEnvironment withoutLeakCheck()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    return environment;
}

} // namespace velmora::test
