#include "core/changes/SaveAll.h"

#include "core/changes/ChangeValues.h"
#include "core/files/ChangeHistory.h"
#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"

#include <algorithm>

namespace velmora {
namespace {

MonthlyRecord recordOf(MonthKey key, const PendingEntry& entry)
{
    return {key, entry.effective, entry.lens, entry.skin, entry.internal, entry.comment};
}

} // namespace

Result<QStringList> SaveMonthForAll(const DataDir& dir, const RegistrantList& registrants,
                                    const std::vector<PendingEntry>& pending, MonthKey key, HeldValues held,
                                    const SaveProgress& progress, const AppendRecord& append)
{
    // The months saved so far are read again: another save of the same month may have completed since.
    const auto entered = LoadEnteredMonths(dir);
    if (!entered)
        return entered.error();
    if (entered->contains(key))
        return failure(FailureKind::MonthEntered);
    const auto goOn = [&](qsizetype done) { return !progress || progress(done); };
    const auto interrupted = [](const QStringList& saved) {
        Failure stopped = failure(FailureKind::Interrupted);
        stopped.names = saved;
        return stopped;
    };
    // Every file is read first, so that a missing or damaged file, or a month held with other values
    // that may not be kept, stops the save before anything is written.
    QStringList unreadable;
    QList<bool> alreadySaved;
    QList<bool> heldOther;
    QStringList otherValues;
    QList<Change> changes; // what the save will write, in list order
    for (qsizetype i = 0; i < registrants.count(); ++i) {
        const QString& name = registrants.names[i];
        const auto holds = HoldsMonth(dir, name, key);
        bool readable = holds && encodeRecord(recordOf(key, pending[i]));
        bool other = false;
        const MonthlyRecord record = recordOf(key, pending[i]);
        if (readable && *holds) {
            const auto stored = FindMonthlyRecord(dir, name, key);
            readable = bool(stored);
            other = stored && stored->record != record;
            if (other && held == HeldValues::Replace)
                changes.append({ChangeKind::Correction, name, key, monthValues(*stored->record), monthValues(record)});
        } else if (readable) {
            changes.append({ChangeKind::MonthSaved, name, key, {}, monthValues(record)});
        }
        if (!readable)
            unreadable.append(DataDir::shownPersonalFile(name));
        alreadySaved.append(holds && *holds);
        heldOther.append(other);
        if (other)
            otherValues.append(name);
        if (!goOn(i + 1))
            return interrupted({});
    }
    if (!unreadable.isEmpty()) {
        Failure stopped = failure(FailureKind::SaveStopped);
        stopped.names = unreadable;
        return stopped;
    }
    if (held == HeldValues::Refuse && !otherValues.isEmpty()) {
        Failure refused = failure(FailureKind::HeldOtherValues);
        refused.names = otherValues;
        return refused;
    }

    const Status recorded = RecordChanges(dir, changes, [&](qsizetype& made) -> Status {
        QStringList saved;
        for (qsizetype i = 0; i < registrants.count(); ++i) {
            const QString& name = registrants.names[i];
            const MonthlyRecord record = recordOf(key, pending[i]);
            // A month already saved is never appended again; its values stay unless they are to be replaced.
            const bool replaced = heldOther[i] && held == HeldValues::Replace;
            const Status written = !alreadySaved[i] ? append(dir, name, record)
                                   : replaced       ? ReplaceMonthlyRecord(dir, name, record)
                                                    : Status();
            if (!written) {
                Failure stopped = failure(FailureKind::SaveStoppedMidway);
                stopped.cause = std::make_shared<const Failure>(written.error());
                stopped.names = saved;
                return stopped;
            }
            made += !alreadySaved[i] || replaced ? 1 : 0;
            saved.append(name);
            if (!goOn(registrants.count() + i + 1) && i + 1 < registrants.count())
                return interrupted(saved);
        }
        // Every append is on the disk already, so the month is never recorded without its records.
        return AppendEnteredMonth(dir, key);
    });
    if (!recorded)
        return recorded.error();
    return otherValues;
}

} // namespace velmora
