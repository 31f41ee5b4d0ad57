#pragma once

#include "DataDir.h"
#include "Result.h"

#include <QLockFile>

namespace velmora {

// Only one copy of the program may enter or correct data in a data directory at a time; others may
// still search and display. The lock is a file in the data directory that names the holding process;
// a lock left by a process that no longer runs is taken over.
class WriterLock {
public:
    explicit WriterLock(const DataDir& dir);
    // Takes the lock, or says why not: another copy holds it, or the lock file cannot be made.
    Status tryLock();
    void unlock() { lock.unlock(); }

    static inline const QString FileName = QStringLiteral(".velmora-entry.lock");

private:
    QLockFile lock;
};

} // namespace velmora
