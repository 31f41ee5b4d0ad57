#include "core/files/StoreCheck.h"

#include "core/files/ChangeHistory.h"
#include "core/files/DoseAdditions.h"
#include "core/files/Dosimeters.h"
#include "core/files/Examinations.h"
#include "core/files/FacilitySettings.h"
#include "core/files/HistoryAgreement.h"
#include "core/files/ImportLayouts.h"
#include "core/files/ListFiles.h"
#include "core/files/Manifest.h"
#include "core/files/PersonalFile.h"
#include "core/files/TextFile.h"

#include <QFileInfo>

namespace velmora {

namespace {

// The live history held against the copies of it in backup generations.
QList<Failure> historyAgainstBackups(const DataDir& dir, const QStringList& generations)
{
    QList<Failure> faults;
    const QString path = dir.listFile(ChangeHistoryFile);
    const auto live = QFileInfo::exists(path) ? readWholeFile(path, ChangeHistoryFile, LargestHistoryFile)
                                              : Result<QByteArray>(QByteArray());
    if (!live)
        return faults; // named as a file that does not read
    const auto disagrees = [&](Difference kind, const QString& generation) {
        Failure different = failure(FailureKind::HistoryDisagrees, ChangeHistoryFile);
        different.difference = kind;
        different.text = QFileInfo(generation).fileName();
        faults << different;
    };
    for (qsizetype at = generations.size() - 1; at >= 0; --at) {
        const auto entries = ReadManifest(generations[at], QFileInfo(generations[at]).fileName());
        if (!entries)
            continue;
        const auto copy = std::find_if(entries->cbegin(), entries->cend(),
                                       [](const ManifestEntry& entry) { return entry.path == ChangeHistoryFile; });
        if (copy == entries->cend())
            continue;
        if (copy->size > live->size()) {
            disagrees(Difference::ShorterThanBackup, generations[at]);
            break;
        }
        if (at == generations.size() - 1 && sha256Of(QByteArrayView(*live).first(copy->size)) != copy->sha256) {
            disagrees(Difference::OtherThanBackup, generations[at]);
            break;
        }
    }
    return faults;
}

} // namespace

StoreCheck VerifyStore(const DataDir& dir, const QStringList& backupGenerations)
{
    StoreCheck check;
    const auto note = [&check](const auto& read) {
        if (!read)
            check.faults.append(read.error());
    };
    const auto persons = ReadAllPersonNames(dir);
    note(persons);
    note(LoadEnteredMonths(dir));
    note(ReadNextRegistrationNumber(dir));
    note(LoadJobTypes(dir));
    for (const QString& name : persons ? *persons : QStringList()) {
        const auto file = ReadPersonalFile(dir, name);
        note(file);
        check.personalFiles += file ? 1 : 0;
    }
    note(ReadOtherFacilityDoses(dir));
    note(ReadDeclarations(dir));
    note(ReadExaminations(dir));
    note(ReadDosimeters(dir));
    note(ReadImportLayouts(dir));
    note(ReadFacility(dir));
    const auto history = ReadChangeHistory(dir);
    note(history);
    if (!history)
        return check;
    for (const DamagedStretch& stretch : history->damage)
        check.faults.append(damagedHistoryAt(stretch));
    if (history->broken)
        check.faults.append(*history->broken);
    check.faults += historyDifferences(dir, history->records);
    check.faults += historyAgainstBackups(dir, backupGenerations);
    check.historyRecords = history->records.size();
    return check;
}

} // namespace velmora
