#include "WriterLock.h"

#include <cerrno>

namespace velmora {

WriterLock::WriterLock(const DataDir& dir) : lock(dir.listFile(FileName))
{
    // Never stale by age: the entry window may stay open all day. Only a holder that died is replaced.
    lock.setStaleLockTime(0);
}

Status WriterLock::tryLock()
{
    if (lock.tryLock(0))
        return {};
    if (lock.error() == QLockFile::LockFailedError)
        return failure(FailureKind::LockHeld);
    Failure failed = failure(FailureKind::CannotLock, FileName);
    failed.systemError = errno;
    return failed;
}

} // namespace velmora
