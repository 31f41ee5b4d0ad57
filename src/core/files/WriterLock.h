#pragma once

#include "core/files/DataDir.h"
#include "core/model/Result.h"

#include <QByteArray>
#include <QDateTime>
#include <chrono>
#include <optional>

namespace velmora {

// Only one copy of the program, on any PC that shares the data folder, may enter or correct data at a
// time; others may still search and display. The lock is a file in the data folder that names its
// holder (PC, user, process, since when), and the holder refreshes it while it holds it. A lock left by
// a process of this PC that no longer runs is taken over at once. A lock of another PC cannot be judged
// by its process; when it has not been refreshed for StaleAfter (its PC crashed or lost power), it may be
// taken over once the user has confirmed that that PC no longer uses it.
class WriterLock {
public:
    static constexpr std::chrono::seconds RefreshEvery{60};
    static constexpr std::chrono::seconds StaleAfter{5 * RefreshEvery};
    static inline const QString FileName = EntryLockFile;

    explicit WriterLock(const DataDir& dir);
    ~WriterLock();
    WriterLock(const WriterLock&) = delete;
    WriterLock& operator=(const WriterLock&) = delete;

    // Takes the lock, or says why not: LockHeld or, for a lock of another PC left unrefreshed, LockStale
    // (text: the holder's PC, names: its user and since when, line: the minutes since its last refresh);
    // CannotLock when the lock file cannot be made.
    Status tryLock();
    // Takes over the lock the last tryLock found stale, unless it has changed since (then LockHeld).
    Status takeOver();
    // Writes the lock again, so that other PCs see it is in use; LockLost (text: the PC that holds it
    // now) when another copy has taken it over.
    Status refresh();
    // Whether the lock file still names this copy, checked before every change of the store: LockLost
    // (text: the PC that holds it now) when it was taken over or removed, also when an earlier refresh
    // found so; the lock file's read failure when it cannot be read.
    Status confirmHeld();
    // Gives the lock up; a lock another copy has taken over stays theirs.
    void unlock();

private:
    // Removes the lock unless it holds other bytes than `seen` or, when given, was written after `written`.
    bool removeIfUnchanged(const QByteArray& seen, const std::optional<QDateTime>& written = std::nullopt);
    Failure holderFailure(FailureKind kind, const QByteArray& content, int minutesUnrefreshed) const;
    Failure lost(); // gives up the lock the file no longer names this copy as holding

    DataDir dir;
    QString path;
    QByteArray mine;        // the content of the lock while this copy holds it
    QByteArray staleSeen;   // the content of the stale lock the last tryLock found
    QDateTime staleWritten; // and when it was last written: a refresh since keeps it its holder's
};

} // namespace velmora
