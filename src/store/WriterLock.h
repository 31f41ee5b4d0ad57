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
    static inline const QString HeldMessage =
        QStringLiteral("別のVelmoraでデータ入力／訂正が開かれています。そちらを終了してから開いて下さい。");
    static inline const QString CannotLockMessage =
        QStringLiteral("ファイル「%1」を作成できないため、データ入力／訂正を開けません。"
                       "データフォルダに書き込めるか、ディスクに空きがあるかを確認して下さい。")
            .arg(FileName);

private:
    QLockFile lock;
};

} // namespace velmora
