#include "core/changes/RecordedWrites.h"

#include "core/changes/ChangeValues.h"
#include "core/files/ChangeHistory.h"
#include "core/files/PersonalFile.h"

namespace velmora {

Status SaveCorrections(const DataDir& dir, const QString& name, const PersonalHeader& header,
                       const QList<MonthlyRecord>& records, const QByteArray& readAs)
{
    const auto stored = ReadPersonalFile(dir, name);
    if (!stored)
        return stored.error();
    if (stored->fingerprint != readAs)
        return failure(FailureKind::ChangedMeanwhile, DataDir::shownPersonalFile(name));
    return RecordWrite(dir, correctionChanges(*stored, header, records),
                       [&] { return RewritePersonalFile(dir, name, header, records, readAs); });
}

Status SaveOtherFacilityDoses(const DataDir& dir, const QList<OtherFacilityDose>& before,
                              const QList<OtherFacilityDose>& after)
{
    return RecordWrite(dir, otherDoseChanges(before, after), [&] { return WriteOtherFacilityDoses(dir, after); });
}

Status SaveDeclarations(const DataDir& dir, const QList<Declaration>& before, const QList<Declaration>& after)
{
    return RecordWrite(dir, declarationChanges(before, after), [&] { return WriteDeclarations(dir, after); });
}

Status SaveExaminations(const DataDir& dir, const QList<Examination>& before, const QList<Examination>& after)
{
    return RecordWrite(dir, examinationChanges(before, after), [&] { return WriteExaminations(dir, after); });
}

Status SaveFacility(const DataDir& dir, const Facility& before, const Facility& after)
{
    QList<Change> changes;
    if (before != after)
        changes.append({ChangeKind::Facility, {}, 0, facilityValues(before), facilityValues(after)});
    return RecordWrite(dir, changes, [&] { return WriteFacility(dir, after); });
}

} // namespace velmora
