#pragma once

#include "core/model/Records.h"
#include "core/model/Result.h"

#include <vector>

namespace velmora {

class WriterLock;

// The values save-all writes for the registrant at one list position: defaults "Ｍ" (0) and "―".
struct PendingEntry {
    double effective = 0;
    double lens = 0;
    double skin = 0;
    double internal = 0;
    QString comment = NoComment;
    bool imported = false; // taken from a CSV file: the window shows these values again
    bool typed = false;    // confirmed by hand in the entry window: an import asks before changing them
};

// The state the windows share for the whole run, owned by the Application and handed to each window.
// The person as the entry window shows it, which the correction window opens for.
struct ShownPerson {
    QString registrationNumber;
    QString name;
    QString sex;
    QString dateOfBirth;
    QString jobType;
    QString affiliation;
};

struct SharedState {
    RegistrantList registrants;                                                                     // RegistrantList
    QList<MonthKey> enteredMonths;                                                                  // EnteredMonths
    std::vector<PendingEntry> pendingEntries = std::vector<PendingEntry>(RegistrantList::Capacity); // PendingEntries
    PersonalFile current;            // CurrentPerson and CurrentRecords
    WriterLock* entryLock = nullptr; // held while data is entered or corrected, where the run takes it

    // Whether this copy may change the store now: it still holds the entry lock (LockLost when another PC
    // took it over). Every window checks it before it writes.
    Status confirmEntryLock() const;

    void resetPendingEntries() { pendingEntries.assign(RegistrantList::Capacity, PendingEntry{}); }

    // Takes a newly loaded registrant list. Pending values are held by list position, so they move with
    // their persons when positions shift (after a removal); a person no longer listed loses them.
    void replaceRegistrants(const RegistrantList& list);

    // The list position (from 0) of a registrant, or -1 when the name is not listed.
    qsizetype positionOf(const QString& name) const { return registrants.names.indexOf(name); }
};

} // namespace velmora
