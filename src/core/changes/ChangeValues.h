#pragma once

#include "core/files/ChangeHistory.h"
#include "core/files/ChangeWords.h"

// The changes the history records for a rewrite of a whole file: what differs between the file as it was and
// as it is to be.
namespace velmora {

// The changes between a person's file as it was and as it is to be: a record per month corrected, added or
// deleted (in month order) and one for the registration data when it changed.
QList<Change> correctionChanges(const PersonalFile& before, const PersonalHeader& header,
                                const QList<MonthlyRecord>& records);
// The changes between two lists of entries: an entry removed and one added for the same person make one
// change with its before and after; the rest an entry added or removed alone. Entries held alike in both
// are no change, however often they stand.
QList<Change> otherDoseChanges(const QList<OtherFacilityDose>& before, const QList<OtherFacilityDose>& after);
QList<Change> declarationChanges(const QList<Declaration>& before, const QList<Declaration>& after);
QList<Change> examinationChanges(const QList<Examination>& before, const QList<Examination>& after);
QList<Change> dosimeterChanges(const QList<Dosimeter>& before, const QList<Dosimeter>& after);

} // namespace velmora
