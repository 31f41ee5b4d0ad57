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
#include "core/files/SystemFiles.h"
#include "core/files/TextFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace velmora {

namespace {

// The histories set aside in the store, by name, with their sizes and hashes.
QMap<QString, ManifestEntry> setAsideHistories(const DataDir& dir)
{
    QMap<QString, ManifestEntry> found;
    for (const QString& name : QDir(dir.root()).entryList(QDir::Files | QDir::System, QDir::Name))
        if (isSetAsideHistoryName(name))
            if (const auto measured = measureFile(dir.listFile(name), name))
                found.insert(name, *measured);
    return found;
}

// The live history, with the histories set aside before it, held against the copies of them in backup
// generations: all of them together at least as long as each generation's, and the live one beginning with
// the newest generation's copy unless that copy was set aside since (a set-aside is held to the hash its
// continuation record gives).
QList<Failure> historyAgainstBackups(const DataDir& dir, const QMap<QString, ManifestEntry>& setAside,
                                     const QStringList& generations)
{
    QList<Failure> faults;
    // Read a block at a time, hashed as far as the newest generation's copy reaches.
    const QString path = dir.listFile(ChangeHistoryFile);
    const qint64 live = system::kindOf(path) == system::FileKind::Regular ? QFileInfo(path).size() : 0;
    qint64 stored = live;
    for (const ManifestEntry& file : setAside)
        stored += file.size;
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
        qint64 copied = 0;
        QSet<QString> copiedAside;
        for (const ManifestEntry& entry : *entries)
            if (entry.path == ChangeHistoryFile || isSetAsideHistoryName(entry.path)) {
                copied += entry.size;
                copiedAside.insert(entry.path);
            }
        if (copied > stored) {
            disagrees(Difference::ShorterThanBackup, generations[at]);
            break;
        }
        const bool setAsideSince = std::any_of(setAside.keyBegin(), setAside.keyEnd(),
                                               [&](const QString& name) { return !copiedAside.contains(name); });
        if (at == generations.size() - 1 && !setAsideSince) {
            const auto begins = measureFile(path, ChangeHistoryFile, copy->size);
            if (!begins || begins->size < copy->size) {
                disagrees(Difference::ShorterThanBackup, generations[at]);
                break;
            }
            if (begins->sha256 != copy->sha256) {
                disagrees(Difference::OtherThanBackup, generations[at]);
                break;
            }
        }
    }
    return faults;
}

// Each history set aside as its continuation record says: there, with the hash it had when set aside.
QList<Failure> setAsideAgainstRecords(const QMap<QString, ManifestEntry>& setAside, const QList<ChangeRecord>& records)
{
    static const QRegularExpression recorded(
        QStringLiteral("^(変更履歴_損傷_[^（]+\\.txt)（.*SHA-256：([0-9a-f]{64})）$"));
    QList<Failure> faults;
    for (const ChangeRecord& record : records) {
        const auto named = recorded.match(record.change.before);
        if (record.change.kind != ChangeKind::Continued || !named.hasMatch())
            continue;
        const auto file = setAside.constFind(named.captured(1));
        if (file != setAside.cend() && file->sha256 == named.captured(2).toLatin1())
            continue;
        Failure different = failure(FailureKind::HistoryDisagrees, named.captured(1));
        different.difference = file == setAside.cend() ? Difference::FileMissing : Difference::SetAsideChanged;
        faults << different;
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
    const auto examinations = ReadExaminations(dir);
    note(examinations);
    if (examinations && persons)
        if (auto nobody = examinationOfNobody(*examinations, *persons))
            check.faults.append(*nobody);
    note(ReadDosimeters(dir));
    note(ReadImportLayouts(dir));
    note(ReadFacility(dir));
    // The history read a record at a time: replayed, and its continuation records kept.
    HistoryReplay replay;
    QList<ChangeRecord> continued;
    HistoryQuery query;
    query.each = [&](const ChangeRecord& record) {
        replay.take(record);
        if (record.change.kind == ChangeKind::Continued)
            continued << record;
    };
    const auto history = ReadChangeHistory(dir, query);
    note(history);
    if (!history)
        return check;
    for (const DamagedStretch& stretch : history->damage)
        check.faults.append(damagedHistoryAt(stretch));
    if (history->broken)
        check.faults.append(*history->broken);
    check.faults += replay.differences(dir);
    // The histories set aside are hashed once, for their records and for the backups.
    const QMap<QString, ManifestEntry> setAside = setAsideHistories(dir);
    check.faults += setAsideAgainstRecords(setAside, continued);
    check.faults += historyAgainstBackups(dir, setAside, backupGenerations);
    check.historyRecords = history->head.records;
    return check;
}

} // namespace velmora
