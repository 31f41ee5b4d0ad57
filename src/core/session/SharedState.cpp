#include "core/session/SharedState.h"

#include "core/files/WriterLock.h"

#include <QHash>

namespace velmora {

void SharedState::replaceRegistrants(const RegistrantList& list)
{
    QHash<QString, PendingEntry> byName;
    for (qsizetype i = 0; i < registrants.count(); ++i)
        byName.insert(registrants.names[i], pendingEntries[i]);
    registrants = list;
    resetPendingEntries();
    for (qsizetype i = 0; i < registrants.count(); ++i)
        pendingEntries[i] = byName.value(registrants.names[i]);
}

Status SharedState::confirmEntryLock() const
{
    return entryLock ? entryLock->confirmHeld() : Status{};
}

} // namespace velmora
