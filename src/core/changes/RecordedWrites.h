#pragma once

#include "core/files/DataDir.h"
#include "core/files/DoseAdditions.h"
#include "core/files/Dosimeters.h"
#include "core/files/Examinations.h"
#include "core/files/FacilitySettings.h"
#include "core/model/Records.h"
#include "core/model/Result.h"

#include <functional>

// The rewrites of a whole file that the windows make, each recorded in the change history first, one
// record per month, entry or setting changed (see ChangeValues.h).
namespace velmora {

// The corrections of a person's file read as `readAs` (its fingerprint): months corrected or deleted and
// the registration data. ChangedMeanwhile, with nothing recorded or written, when the file has changed
// since.
Status SaveCorrections(const DataDir& dir, const QString& name, const PersonalHeader& header,
                       const QList<MonthlyRecord>& records, const QByteArray& readAs);

// A list of entries that held `before` and is to hold `after` (the caller has checked that the file holds
// `before`).
Status SaveOtherFacilityDoses(const DataDir& dir, const QList<OtherFacilityDose>& before,
                              const QList<OtherFacilityDose>& after);
Status SaveDeclarations(const DataDir& dir, const QList<Declaration>& before, const QList<Declaration>& after);
Status SaveExaminations(const DataDir& dir, const QList<Examination>& before, const QList<Examination>& after);
Status SaveDosimeters(const DataDir& dir, const QList<Dosimeter>& before, const QList<Dosimeter>& after);

// A list the windows change entry by entry (doses elsewhere, declarations, examinations): read again, held
// against what the window shows (`shown`), edited and saved as above. ListChangedElsewhere, with nothing
// written and `shown` now what the file holds, when another PC or program changed it since. A list written
// without the disk's confirmation holds the change: `shown` takes it then too (isWritten).
template <typename Entry>
Status ChangeList(const DataDir& dir, QList<Entry>& shown, const std::function<void(QList<Entry>&)>& edit);
Status SaveFacility(const DataDir& dir, const Facility& before, const Facility& after);

} // namespace velmora
