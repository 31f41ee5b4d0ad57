#pragma once

#include "Records.h"

#include <optional>
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

// One registrant's entry of the monthly list: header fields 1 and 3 and the month's record.
// A dose of -1 marks a registrant without a record for the month; `readable` is false when the file
// could not be read, so that the row shows only the name.
struct MonthRowEntry {
    double registrationNumber = 0;
    double sexCode = 0;
    double effective = -1;
    double lens = -1;
    double skin = -1;
    double internal = -1;
    QString comment = NoComment;
    bool readable = true;
};

// The state the windows share for the whole run, owned by main() and handed to each window.
struct SharedState {
    RegistrantList registrants; // RegistrantList
    QList<MonthKey> enteredMonths; // EnteredMonths
    std::vector<PendingEntry> pendingEntries = std::vector<PendingEntry>(RegistrantList::Capacity); // PendingEntries
    PersonalFile current; // CurrentPerson and CurrentRecords
    int reportMode = 0; // ReportMode: 0 none, 1 personal record, 2 registrant table, 3 monthly list
    qsizetype nextRow = 1; // NextRow: 1-based list position of the next row of the table or the list
    // RegistrantSummary: the header of each registrant's file, nothing where it could not be read.
    QList<std::optional<PersonalHeader>> registrantSummary;
    QList<MonthRowEntry> monthRows; // MonthRow
    // The names, and for the monthly list the year and month texts, that RegistrantSummary or MonthRow
    // were gathered for: paging and printing pair each row with its own person, whatever was loaded since.
    QStringList reportNames;
    QString reportYear;
    QString reportMonth;

    void resetPendingEntries() { pendingEntries.assign(RegistrantList::Capacity, PendingEntry{}); }

    // Takes a newly loaded registrant list. Pending values are held by list position, so they move with
    // their persons when positions shift (after a removal); a person no longer listed loses them.
    void replaceRegistrants(const RegistrantList& list);

    // The list position (from 0) of a registrant, or -1 when the name is not listed.
    qsizetype positionOf(const QString& name) const { return registrants.names.indexOf(name); }
};

} // namespace velmora
