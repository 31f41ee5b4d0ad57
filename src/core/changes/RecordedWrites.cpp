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

Status SaveDosimeters(const DataDir& dir, const QList<Dosimeter>& before, const QList<Dosimeter>& after)
{
    return RecordWrite(dir, dosimeterChanges(before, after), [&] { return WriteDosimeters(dir, after); });
}

namespace {

// How each list is read and saved.
template <typename Entry> struct StoredList;

template <> struct StoredList<OtherFacilityDose> {
    static constexpr auto read = ReadOtherFacilityDoses;
    static constexpr auto save = SaveOtherFacilityDoses;
    static const QString& file() { return OtherFacilityDosesFile; }
};

template <> struct StoredList<Declaration> {
    static constexpr auto read = ReadDeclarations;
    static constexpr auto save = SaveDeclarations;
    static const QString& file() { return DeclarationsFile; }
};

template <> struct StoredList<Examination> {
    static constexpr auto read = ReadExaminations;
    static constexpr auto save = SaveExaminations;
    static const QString& file() { return ExaminationsFile; }
};

} // namespace

template <typename Entry>
Status ChangeList(const DataDir& dir, QList<Entry>& shown, const std::function<void(QList<Entry>&)>& edit)
{
    auto list = StoredList<Entry>::read(dir);
    if (!list)
        return list.error();
    if (*list != shown) {
        shown = *list;
        return failure(FailureKind::ListChangedElsewhere, StoredList<Entry>::file());
    }
    edit(*list);
    const Status written = StoredList<Entry>::save(dir, shown, *list);
    if (isWritten(written))
        shown = *list;
    return written;
}

template Status ChangeList(const DataDir&, QList<OtherFacilityDose>&,
                           const std::function<void(QList<OtherFacilityDose>&)>&);
template Status ChangeList(const DataDir&, QList<Declaration>&, const std::function<void(QList<Declaration>&)>&);
template Status ChangeList(const DataDir&, QList<Examination>&, const std::function<void(QList<Examination>&)>&);

Status SaveFacility(const DataDir& dir, const Facility& before, const Facility& after)
{
    QList<Change> changes;
    if (before != after)
        changes.append({ChangeKind::Facility, {}, 0, facilityValues(before), facilityValues(after)});
    return RecordWrite(dir, changes, [&] { return WriteFacility(dir, after); });
}

} // namespace velmora
