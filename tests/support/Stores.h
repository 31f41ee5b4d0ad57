#pragma once

#include "core/files/DataDir.h"
#include "core/model/Records.h"

#include <QString>
#include <QStringList>

namespace velmora::test {

// The header a test registrant gets: number, name, a woman born 1965-04-12, "放射線科", "医師".
PersonalHeader personHeader(const QString& name, double number = 1);

// A first-start store holding the given registrants in list order, each with a header-only file.
void makeStore(const DataDir& dir, const QStringList& names);

// A named pipe, or a symbolic link to `target`, made at `at`; false where this platform cannot make one.
bool makeFifo(const QString& at);
bool makeSymbolicLink(const QString& target, const QString& at);

// Makes a file immutable while it lives, so that even root cannot replace or append to it: a write
// failure without mocks. `ok` is false where the file system has no such flag.
class ImmutableFile {
public:
    explicit ImmutableFile(const QString& path);
    ~ImmutableFile();
    ImmutableFile(const ImmutableFile&) = delete;
    ImmutableFile& operator=(const ImmutableFile&) = delete;
    bool ok = false;

private:
    bool setImmutable(bool on);
    QString path;
};

} // namespace velmora::test
