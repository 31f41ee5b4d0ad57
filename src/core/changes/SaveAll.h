#pragma once

#include "core/files/DataDir.h"
#include "core/files/PersonalFile.h"
#include "core/model/Result.h"
#include "core/session/SharedState.h"

#include <functional>

namespace velmora {

// How one monthly record is appended to a registrant's file; tests put a failing writer here.
using AppendRecord = std::function<Status(const DataDir&, const QString&, const MonthlyRecord&)>;

// Called with the steps done so far out of saveAllSteps(count): reading every file, then appending.
// Answering false stops the save before the next file is written (Interrupted).
using SaveProgress = std::function<bool(qsizetype done)>;

// What a save does for a registrant whose file already holds the month with values other than the pending
// ones (a save stopped midway and run again with other values).
enum class HeldValues {
    Keep,    // the file keeps them, and the person is named (the entry window: 「データ訂正」 changes them)
    Refuse,  // nothing at all is written: HeldOtherValues names them
    Replace, // the month's record in the file becomes the pending values, and the person is named
};

inline qsizetype saveAllSteps(qsizetype registrants)
{
    return 2 * registrants;
}

// Saves the month `key` for every registrant in list order with its pending values, then records the key
// in "既入力.txt". Safe to retry: nothing is written unless every registrant's file exists and is valid,
// a file that already holds the month is skipped, and the key is recorded only after every file has the
// month and the files are on the disk. A failure midway names the persons that already have the month.
// A month that "既入力.txt" already holds is refused (MonthEntered) and nothing is written.
// Gives the names of the persons whose file already held the month with values other than their
// pending ones, which `held` kept or replaced. A stop asked for by `progress` names the persons that
// have the month (Interrupted); every file is then either as it was or holds the whole month.
Result<QStringList> SaveMonthForAll(const DataDir& dir, const RegistrantList& registrants,
                                    const std::vector<PendingEntry>& pending, MonthKey key,
                                    HeldValues held = HeldValues::Keep, const SaveProgress& progress = {},
                                    const AppendRecord& append = AppendMonthlyRecord);

} // namespace velmora
