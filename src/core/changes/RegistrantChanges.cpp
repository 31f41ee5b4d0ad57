#include "core/changes/RegistrantChanges.h"

#include "core/changes/ChangeValues.h"
#include "core/files/ChangeHistory.h"
#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"
#include "core/files/Removals.h"

#include <QFile>

namespace velmora {
namespace {

// The writes of a change of several files. A write the disk did not confirm counts as done: its file
// holds the new content, so undoing the steps before it would leave the lists disagreeing; the change
// goes on and reports it when it ends.
class Steps {
public:
    bool done(const Status& step)
    {
        if (!step && isWritten(step) && !unconfirmed)
            unconfirmed = step.error();
        return isWritten(step);
    }
    Status outcome() const { return unconfirmed ? Status(*unconfirmed) : Status(); }

private:
    std::optional<Failure> unconfirmed;
};

} // namespace

std::optional<Failure> nameCaseProblem(const QStringList& known, const QString& name)
{
    for (const QString& registered : known)
        if (registered != name && registered.compare(name, Qt::CaseInsensitive) == 0) {
            Failure differs = failureWithText(FailureKind::NameOnlyCaseDiffers, name);
            differs.names = QStringList{registered};
            return differs;
        }
    return std::nullopt;
}

Status RegisterNewPerson(const DataDir& dir, SharedState& state, const PersonalHeader& header)
{
    if (const auto held = state.confirmEntryLock(); !held)
        return held;
    auto list = LoadRegistrantList(dir);
    if (!list)
        return list.error();
    if (list->count() >= RegistrantList::Capacity)
        return failure(FailureKind::RegistrantLimit);
    const auto removed = ReadRemovedNames(dir);
    if (!removed)
        return removed.error();
    if (auto differs = nameCaseProblem(list->names + *removed, header.name))
        return *differs;
    const Change registration{ChangeKind::Registration, header.name, 0, {}, headerValues(header)};
    return RecordChanges(dir, {registration}, [&](qsizetype& made) -> Status {
        // The number is used up before anything else is written: whatever fails or is killed later leaves a
        // gap in the numbers, never two persons with one number.
        Steps steps;
        if (auto reserved = WriteNextRegistrationNumber(dir, header.registrationNumber + 1); !steps.done(reserved))
            return reserved;
        if (auto created = CreatePersonalFile(dir, header); !steps.done(created))
            return created;
        list->names.append(header.name);
        if (auto saved = SaveRegistrantList(dir, list->names); !steps.done(saved)) {
            if (!removeOwnFile(dir.personalFile(header.name)))
                return withNotRestored(saved.error(), DataDir::shownPersonalFile(header.name));
            return saved;
        }
        made = 1;
        state.replaceRegistrants(*list);
        return steps.outcome();
    });
}

Status ListUnlistedPerson(const DataDir& dir, SharedState& state, const QString& name)
{
    if (const auto held = state.confirmEntryLock(); !held)
        return held;
    if (state.registrants.count() >= RegistrantList::Capacity)
        return failure(FailureKind::RegistrantLimit);
    const auto header = ReadPersonalHeader(dir, name, 9);
    if (!header)
        return header.error();
    const QStringList names = state.registrants.names + QStringList{name};
    const Status saved = RecordWrite(dir, {{ChangeKind::Registration, name, 0, {}, headerValues(*header)}},
                                     [&] { return SaveRegistrantList(dir, names); });
    if (isWritten(saved))
        state.replaceRegistrants(RegistrantList{names});
    return saved;
}

Status RemoveRegistrant(const DataDir& dir, SharedState& state, const QString& name)
{
    if (const auto held = state.confirmEntryLock(); !held)
        return held;
    const qsizetype position = state.positionOf(name);
    if (position < 0)
        return failureWithText(FailureKind::NotListed, name);
    const auto removed = ReadRemovedNames(dir);
    if (!removed)
        return removed.error();
    const bool appended = !removed->contains(name);
    const Change removal{ChangeKind::Removal, name, 0, QStringLiteral("登録者"), QStringLiteral("登録抹消者")};
    return RecordChanges(dir, {removal}, [&](qsizetype& made) -> Status {
        if (appended) {
            if (auto added = AppendRemovedName(dir, name); !added)
                return added;
        }
        QStringList names = state.registrants.names;
        names.removeAt(position);
        Steps steps;
        if (auto saved = SaveRegistrantList(dir, names); !steps.done(saved)) {
            // The name goes back off the removed list, so that it never stands on both lists.
            if (appended && !isWritten(RewriteRemovedNames(dir, *removed)))
                return withNotRestored(saved.error(), RemovedNamesFile);
            return saved;
        }
        made = 1;
        return steps.outcome();
    });
}

Status RestoreRegistrant(const DataDir& dir, SharedState& state, const QString& name)
{
    if (const auto held = state.confirmEntryLock(); !held)
        return held;
    if (state.registrants.count() >= RegistrantList::Capacity && state.positionOf(name) < 0)
        return failure(FailureKind::RegistrantLimit);
    auto removed = ReadRemovedNames(dir);
    if (!removed)
        return removed.error();
    const qsizetype removedAt = removed->lastIndexOf(name);
    if (removedAt < 0)
        return failureWithText(FailureKind::NotRemoved, name);
    const QStringList before = state.registrants.names;
    // A restore or removal cut short may have left the name on both lists: it is listed once, never twice.
    const bool listed = before.contains(name);
    const QStringList after = listed ? before : before + QStringList{name};
    const Change restore{ChangeKind::Restore, name, 0, QStringLiteral("登録抹消者"), QStringLiteral("登録者")};
    return RecordChanges(dir, {restore}, [&](qsizetype& made) -> Status {
        Steps steps;
        if (!listed) {
            if (auto saved = SaveRegistrantList(dir, after); !steps.done(saved))
                return saved;
        }
        removed->removeAt(removedAt);
        if (auto rewritten = RewriteRemovedNames(dir, *removed); !steps.done(rewritten)) {
            if (!listed && !isWritten(SaveRegistrantList(dir, before)))
                return withNotRestored(rewritten.error(), RegistrantNamesFile);
            return rewritten;
        }
        made = 1;
        state.replaceRegistrants(RegistrantList{after});
        return steps.outcome();
    });
}

} // namespace velmora
