#include "SaveAll.h"

#include "store/ListFiles.h"
#include "store/PersonalFile.h"

#include <algorithm>

namespace velmora {
namespace {

MonthlyRecord recordOf(MonthKey key, const PendingEntry& entry)
{
    return {key, entry.effective, entry.lens, entry.skin, entry.internal, entry.comment};
}

} // namespace

Result<QStringList> SaveMonthForAll(const DataDir& dir, const RegistrantList& registrants,
                                    const std::vector<PendingEntry>& pending, MonthKey key,
                                    const SaveProgress& progress, const AppendRecord& append)
{
    // The months saved so far are read again: another save of the same month may have completed since.
    const auto entered = LoadEnteredMonths(dir);
    if (!entered)
        return entered.error();
    if (entered->contains(key))
        return failure(FailureKind::MonthEntered);
    const auto report = [&](qsizetype done) {
        if (progress)
            progress(done);
    };
    // Every file is read first, so that a missing or damaged file stops the save before anything is written.
    QStringList unreadable;
    QList<bool> alreadySaved;
    for (qsizetype i = 0; i < registrants.count(); ++i) {
        const QString& name = registrants.names[i];
        const auto holds = HoldsMonth(dir, name, key);
        if (!holds || !encodeRecord(recordOf(key, pending[i])))
            unreadable.append(DataDir::shownPersonalFile(name));
        alreadySaved.append(holds && *holds);
        report(i + 1);
    }
    if (!unreadable.isEmpty()) {
        Failure stopped = failure(FailureKind::SaveStopped);
        stopped.names = unreadable;
        return stopped;
    }

    QStringList saved;
    QStringList keptOtherValues;
    for (qsizetype i = 0; i < registrants.count(); ++i) {
        const QString& name = registrants.names[i];
        if (alreadySaved[i]) {
            // A retry never changes a month already saved; the user is told where it differs.
            const auto stored = FindMonthlyRecord(dir, name, key);
            if (!stored || stored->record != recordOf(key, pending[i]))
                keptOtherValues.append(name);
        } else {
            if (const auto appended = append(dir, name, recordOf(key, pending[i])); !appended) {
                Failure stopped = failure(FailureKind::SaveStoppedMidway);
                stopped.cause = std::make_shared<const Failure>(appended.error());
                stopped.names = saved;
                return stopped;
            }
        }
        saved.append(name);
        report(registrants.count() + i + 1);
    }
    // Every append is on the disk already, so the month is never recorded without its records.
    if (auto recorded = AppendEnteredMonth(dir, key); !recorded)
        return recorded.error();
    return keptOtherValues;
}

} // namespace velmora
