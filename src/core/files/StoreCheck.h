#pragma once

#include "core/files/DataDir.h"
#include "core/model/Result.h"

namespace velmora {

// What a check of the whole store read, and every fault it found.
struct StoreCheck {
    qsizetype personalFiles = 0;
    qsizetype historyRecords = 0;
    QList<Failure> faults;
};

// Reads every file of the store as the program reads it (the lists, each registrant's and removed person's
// file, doses elsewhere, declarations, the facility) and the change history with its chain, compares the
// store with what the history says was done, and the history with the copies of it in the backup
// generations given (their folders, oldest first): it must be at least as long as each, and begin with the
// newest one's byte for byte, so that records removed or rewritten with their hashes are found. Every fault,
// in that order.
StoreCheck VerifyStore(const DataDir& dir, const QStringList& backupGenerations = {});

} // namespace velmora
