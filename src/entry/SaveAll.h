#pragma once

#include "store/DataDir.h"
#include "store/PersonalFile.h"
#include "store/Result.h"
#include "store/SharedState.h"

#include <functional>

namespace velmora {

// How one monthly record is appended to a registrant's file; tests put a failing writer here.
using AppendRecord = std::function<Status(const DataDir&, const QString&, const MonthlyRecord&)>;

// Called with the steps done so far out of saveAllSteps(count): reading every file, then appending.
using SaveProgress = std::function<void(qsizetype done)>;

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
// pending ones: those files keep what they hold.
Result<QStringList> SaveMonthForAll(const DataDir& dir, const RegistrantList& registrants,
                                    const std::vector<PendingEntry>& pending, MonthKey key,
                                    const SaveProgress& progress = {},
                                    const AppendRecord& append = AppendMonthlyRecord);

} // namespace velmora
