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
// file, doses elsewhere, declarations, the facility) and the change history with its chain, and compares
// the store with what the history says was done: every fault, in that order (a file that does not read,
// each damaged stretch of the history, the first record altered by hand, each difference between the files
// and the history).
StoreCheck VerifyStore(const DataDir& dir);

} // namespace velmora
