#include "WriterLock.h"

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
    return failure(lock.error() == QLockFile::LockFailedError ? HeldMessage : CannotLockMessage);
}

} // namespace velmora
