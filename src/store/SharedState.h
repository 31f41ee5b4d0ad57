#pragma once

#include "Records.h"

#include <vector>

namespace velmora {

// The values save-all writes for the registrant at one list position: defaults "Ｍ" (0) and "―".
struct PendingEntry {
    double effective = 0;
    double lens = 0;
    double skin = 0;
    double internal = 0;
    QString comment = NoComment;
};

// The state the windows share for the whole run, owned by main() and handed to each window.
struct SharedState {
    RegistrantList registrants; // RegistrantList
    QList<MonthKey> enteredMonths; // EnteredMonths
    std::vector<PendingEntry> pendingEntries = std::vector<PendingEntry>(RegistrantList::Capacity); // PendingEntries
    PersonalFile current; // CurrentPerson and CurrentRecords
    int reportMode = 0; // ReportMode: 0 none, 1 personal record, 2 registrant table, 3 monthly list

    void resetPendingEntries() { pendingEntries.assign(RegistrantList::Capacity, PendingEntry{}); }
};

} // namespace velmora
