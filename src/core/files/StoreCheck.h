#pragma once

#include "core/files/DataDir.h"
#include "core/model/Result.h"

namespace velmora {

// What a check of the whole store found when nothing was wrong: how many files and records it read.
struct StoreCheck {
    qsizetype personalFiles = 0;
    qsizetype historyRecords = 0;
};

// Reads every file of the store as the program reads it (the lists, each registrant's and removed person's
// file, doses elsewhere, declarations, the facility) and the change history with its chain: the first fault
// found, in that order (HistoryBroken for a record changed, removed or inserted by hand), or what was read.
Result<StoreCheck> VerifyStore(const DataDir& dir);

} // namespace velmora
