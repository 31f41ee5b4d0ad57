#pragma once

#include "core/files/ChangeHistory.h"
#include "core/files/DoseAdditions.h"
#include "core/files/FacilitySettings.h"
#include "core/model/Records.h"

// What the change history holds of each change: the values before and after, one line each, in words an
// auditor reads without the program ("実効 0.3、水晶体 0.4、皮膚 0.5、内部 0、備考 腕"), with numbers in
// the stored digits.
namespace velmora {

QString monthValues(const MonthlyRecord& record);
QString headerValues(const PersonalHeader& header);
QString otherDoseValues(const OtherFacilityDose& dose);
QString declarationValues(const Declaration& declaration);
QString facilityValues(const Facility& facility);

// The changes between a person's file as it was and as it is to be: a record per month corrected, added or
// deleted (in month order) and one for the registration data when it changed.
QList<Change> correctionChanges(const PersonalFile& before, const PersonalHeader& header,
                                const QList<MonthlyRecord>& records);
// The changes between two lists of entries: an entry removed and one added for the same person make one
// change with its before and after; the rest an entry added or removed alone. Entries held alike in both
// are no change, however often they stand.
QList<Change> otherDoseChanges(const QList<OtherFacilityDose>& before, const QList<OtherFacilityDose>& after);
QList<Change> declarationChanges(const QList<Declaration>& before, const QList<Declaration>& after);

} // namespace velmora
