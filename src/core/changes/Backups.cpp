#include "core/changes/Backups.h"

#include "core/files/ChangeHistory.h"
#include "core/files/FileWriter.h"
#include "core/files/ListFiles.h"
#include "core/files/Manifest.h"
#include "core/files/Removals.h"
#include "core/files/StoreCheck.h"
#include "core/files/SystemFiles.h"
#include "core/files/TextFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QRegularExpression>

namespace velmora {
namespace {

const QString Prefix = QStringLiteral("Velmora_");
const QString StampForm = QStringLiteral("yyyyMMdd-HHmmss");
const QString Unfinished = QStringLiteral(".part");
constexpr qsizetype KeptNewest = 10;
constexpr qint64 LargestStoreFile = qint64(1) << 30;
const QString PersonalFilePrefix = DoseDataFolder + QLatin1Char('/');

// A generation's time and place in its second from its folder's name ("Velmora_20261209-101500", "…_2" for
// the second made in the same second); nothing for any other name.
std::optional<Generation> generationNamed(const QString& name)
{
    static const QRegularExpression form(QStringLiteral("^Velmora_(\\d{8}-\\d{6})(?:_(\\d{1,6}))?$"));
    const auto match = form.match(name);
    const QDateTime time = QDateTime::fromString(match.captured(1), StampForm);
    if (!match.hasMatch() || !time.isValid())
        return std::nullopt;
    return Generation{name, time, match.hasCaptured(2) ? match.captured(2).toInt() : 1};
}

bool newerFirst(const Generation& one, const Generation& other)
{
    return std::pair(one.time, one.sequence) > std::pair(other.time, other.sequence);
}

// The files of the store, by their path from the data folder: the list files, the change history and
// every file of 被曝Data; not the lock, temporary files or anything else the folder holds. A FIFO, device or
// link under a store file's name is listed too, so that its copy is refused rather than left out.
QStringList storeFiles(const DataDir& dir)
{
    constexpr auto AnyFile = QDir::Files | QDir::Hidden | QDir::System;
    QStringList files;
    const QDir root(dir.root());
    for (const QString& name : root.entryList(AnyFile, QDir::Name))
        if (isStoreFileName(name) && name != EntryLockFile && !isTemporaryFileName(name))
            files << name;
    for (const QString& name : QDir(dir.doseDataFolder()).entryList(AnyFile, QDir::Name))
        if (!isTemporaryFileName(name))
            files << PersonalFilePrefix + name;
    return files;
}

// Every file below a folder, by its path from there.
QStringList filesBelow(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    return files;
}

GenerationCheck checkGeneration(const QString& backupFolder, const QString& name)
{
    GenerationCheck check;
    check.name = name;
    const QString folder = QDir(backupFolder).filePath(name);
    const auto entries = ReadManifest(folder, name);
    if (!entries) {
        check.damage = entries.error();
        return check;
    }
    QSet<QString> listed{ManifestFile};
    for (const ManifestEntry& entry : *entries) {
        listed.insert(entry.path);
        const auto copy = measureFile(QDir(folder).filePath(entry.path), entry.path);
        if (!copy)
            check.damage = differsFromManifest(name, entry.path, Difference::CopyMissing);
        else if (copy->size != entry.size)
            check.damage = differsFromManifest(name, entry.path, Difference::CopySizeDiffers);
        else if (copy->sha256 != entry.sha256)
            check.damage = differsFromManifest(name, entry.path, Difference::CopyContentDiffers);
        if (check.damage)
            return check;
        ++check.files;
    }
    for (const QString& file : filesBelow(folder))
        if (!listed.contains(file)) {
            check.damage = differsFromManifest(name, file, Difference::CopyNotListed);
            break;
        }
    return check;
}

// Removes what killed backups left unfinished; the first thing under such a name that Velmora did not make
// stops the run before anything is copied.
Status removeUnfinished(const QString& backupFolder)
{
    const QDir folder(backupFolder);
    for (const QString& name : folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        if (name.endsWith(Unfinished) && generationNamed(name.chopped(Unfinished.size())))
            if (const Status removed = removeOwnFolder(folder.filePath(name)); !removed)
                return removed;
    return {};
}

// Removes the generations the rule no longer keeps: the first that cannot be removed as Velmora made it.
std::optional<Failure> removeUnkept(const QString& backupFolder, const QList<Generation>& generations,
                                    const QDateTime& now)
{
    std::optional<Failure> leftAlone;
    const QStringList kept = generationsKept(generations, now);
    for (const Generation& generation : generations)
        if (!kept.contains(generation.name))
            if (const Status removed = removeOwnFolder(QDir(backupFolder).filePath(generation.name));
                !removed && !leftAlone)
                leftAlone = removed.error();
    return leftAlone;
}

// The folders of a backup folder under a generation's name, links and files at such a name left out.
QStringList generationFolders(const QString& backupFolder)
{
    QStringList names;
    for (const QString& name : QDir(backupFolder).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (generationNamed(name) && system::kindOf(QDir(backupFolder).filePath(name)) == system::FileKind::Folder)
            names << name;
    return names;
}

// The folder of the new generation: the time's name, or the next free number after it in the same second.
QString freeName(const QString& backupFolder, const QDateTime& now)
{
    const QString stamp = Prefix + now.toString(StampForm);
    QString name = stamp;
    const QDir folder(backupFolder);
    const auto taken = [&folder](const QString& candidate) {
        return system::kindOf(folder.filePath(candidate)) != system::FileKind::Missing;
    };
    for (int sequence = 2; taken(name) || taken(name + Unfinished); ++sequence)
        name = stamp + QStringLiteral("_%1").arg(sequence);
    return name;
}

// Copies a file of the store a block at a time: its size and SHA-256 as it was read.
Result<ManifestEntry> copyStoreFile(const QString& from, const QString& to, const QString& shown)
{
    ReplacingWriter copy(to, shown);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    ManifestEntry copied{shown, 0, {}};
    Status written;
    const Status read = readBytesInBlocks(from, shown, LargestStoreFile, [&](const QByteArray& block) {
        hash.addData(block);
        copied.size += block.size();
        if (written)
            written = copy.append(block);
    });
    if (!read)
        return read.error();
    if (!written)
        return written.error();
    if (const Status finished = copy.finish(); !isWritten(finished))
        return finished.error();
    copied.sha256 = hash.result().toHex();
    return copied;
}

// Copies the store's files into `folder` and writes their manifest; the names made flushed to the disk.
Status copyStore(const DataDir& dir, const QString& folder, const BackupProgress& progress)
{
    if (const Status made = makeMarkedFolder(folder); !made)
        return made;
    if (!QDir().mkdir(QDir(folder).filePath(DoseDataFolder)))
        return failure(FailureKind::CannotCreateFolder, QDir::toNativeSeparators(folder));
    const QStringList files = storeFiles(dir);
    QList<ManifestEntry> entries;
    for (qsizetype at = 0; at < files.size(); ++at) {
        const auto copied =
            copyStoreFile(QDir(dir.root()).filePath(files[at]), QDir(folder).filePath(files[at]), files[at]);
        if (!copied)
            return copied.error();
        entries.append(*copied);
        if (progress)
            progress(at + 1, files.size());
    }
    // The manifest lists the store's files as they were read: the check of the generation after its rename
    // compares each copy with its original.
    if (const auto listed = WriteManifestOf(folder, entries); !listed)
        return listed.error();
    if (const Status unmarked = unmarkFolder(folder); !unmarked)
        return unmarked;
    if (!system::flushFolder(QDir(folder).filePath(DoseDataFolder)) || !system::flushFolder(folder))
        return failure(FailureKind::CannotWrite, QDir::toNativeSeparators(folder));
    return {};
}

} // namespace

QStringList generationsKept(QList<Generation> generations, const QDateTime& now)
{
    std::sort(generations.begin(), generations.end(), newerFirst);
    QStringList kept;
    QSet<int> months;
    QSet<int> years;
    const QDate yearAgo = now.date().addMonths(-11);
    const int firstMonth = yearAgo.year() * 12 + yearAgo.month();
    qsizetype mostPersons = -1;
    qint64 longestHistory = -1;
    for (const Generation& generation : generations) {
        mostPersons = std::max(mostPersons, generation.persons);
        longestHistory = std::max(longestHistory, generation.history);
    }
    bool mostPersonsKept = false;
    bool longestHistoryKept = false;
    for (qsizetype newer = 0; newer < generations.size(); ++newer) {
        const Generation& generation = generations[newer];
        const QDate day = generation.time.date();
        const int month = day.year() * 12 + day.month();
        const bool newestOfMonth = month >= firstMonth && !months.contains(month);
        const bool newestOfYear = !years.contains(day.year());
        const bool holdsMostPersons = !mostPersonsKept && generation.persons == mostPersons;
        const bool holdsLongestHistory = !longestHistoryKept && generation.history == longestHistory;
        months.insert(month);
        years.insert(day.year());
        mostPersonsKept = mostPersonsKept || holdsMostPersons;
        longestHistoryKept = longestHistoryKept || holdsLongestHistory;
        if (newer < KeptNewest || newestOfMonth || newestOfYear || holdsMostPersons || holdsLongestHistory)
            kept << generation.name;
    }
    return kept;
}

std::optional<Failure> backupFolderProblem(const DataDir& dir, const QString& folder)
{
    const QFileInfo target(folder);
    if (!target.isDir())
        return failure(FailureKind::BackupFolderMissing, QDir::toNativeSeparators(target.absoluteFilePath()));
    // Folders compared by what they are, not by their paths, so that a link or a bind mount of the data
    // folder is known for it.
    const auto data = system::identityOf(dir.root());
    bool withinStore = false;
    QDir above(target.canonicalFilePath());
    do
        withinStore = data && system::identityOf(above.path()) == data;
    while (!withinStore && !above.isRoot() && above.cdUp());
    if (withinStore) {
        Failure inside = failure(FailureKind::BackupInsideStore, QDir::toNativeSeparators(target.absoluteFilePath()));
        inside.text = QDir::toNativeSeparators(QFileInfo(dir.root()).absoluteFilePath());
        return inside;
    }
    return std::nullopt;
}

Result<BackupMade> MakeBackup(const DataDir& dir, const QString& backupFolder, const QDateTime& now,
                              const BackupProgress& progress)
{
    const QString target = QFileInfo(backupFolder).absoluteFilePath();
    if (const auto problem = backupFolderProblem(dir, target))
        return *problem;
    // An empty folder where the store should be (a share not mounted) is no store to keep.
    if (system::kindOf(dir.listFile(RegistrantNamesFile)) != system::FileKind::Regular)
        return failure(FailureKind::NoStore, QDir::toNativeSeparators(QFileInfo(dir.root()).absoluteFilePath()));
    if (const Status cleared = removeUnfinished(target); !cleared)
        return cleared.error();
    const QString name = freeName(target, now);
    const QString unfinished = QDir(target).filePath(name + Unfinished);
    // The copy is checked as --verify checks a store: only a store that reads whole is kept.
    Status copied = copyStore(dir, unfinished, progress);
    if (copied) {
        if (const StoreCheck checked = VerifyStore(DataDir(unfinished)); !checked.faults.isEmpty())
            copied = checked.faults.first();
    }
    if (copied && system::renameFolder(unfinished, QDir(target).filePath(name)) != system::RenameOutcome::Renamed)
        copied = failure(FailureKind::CannotWrite, QDir::toNativeSeparators(QDir(target).filePath(name)));
    if (!copied) {
        (void)removeOwnFolder(unfinished);
        return copied.error();
    }
    // Nothing is removed unless every copy of the generation just made reads back as its original was.
    if (const GenerationCheck check = checkGeneration(target, name); check.damage)
        return *check.damage;
    const QList<Generation> generations = generationsOf(target);
    BackupMade made;
    made.name = name;
    for (const Generation& generation : generations)
        if (generation.name == name)
            made.made = generation;
    for (const Generation& generation : generations)
        if (generation.name != name &&
            (generation.persons > made.made.persons || generation.history > made.made.history))
            made.larger = generation; // the newest of them, the list being oldest first
    made.leftAlone = removeUnkept(target, generations, now);
    return made;
}

Result<QList<GenerationCheck>> VerifyBackups(const QString& backupFolder)
{
    const QFileInfo given(backupFolder);
    const QString folder = given.absoluteFilePath();
    // One generation's own folder, as a restore chooses it: that generation alone.
    if (given.isDir() && !given.isSymLink() && generationNamed(given.fileName()))
        return QList<GenerationCheck>{checkGeneration(given.absolutePath(), given.fileName())};
    QList<GenerationCheck> checks;
    // A generation whose manifest is gone is damaged, not passed over.
    for (const QString& name : generationFolders(folder))
        checks.append(checkGeneration(folder, name));
    if (checks.isEmpty())
        return failure(FailureKind::NoBackups, QDir::toNativeSeparators(folder));
    std::sort(checks.begin(), checks.end(), [](const GenerationCheck& one, const GenerationCheck& other) {
        return newerFirst(*generationNamed(other.name), *generationNamed(one.name));
    });
    return checks;
}

QList<Generation> generationsOf(const QString& backupFolder)
{
    QList<Generation> generations;
    for (const QString& name : generationFolders(backupFolder)) {
        auto generation = generationNamed(name);
        const auto entries = ReadManifest(QDir(backupFolder).filePath(name), name);
        if (!entries)
            continue;
        for (const ManifestEntry& entry : *entries) {
            generation->persons += entry.path.startsWith(PersonalFilePrefix) ? 1 : 0;
            // A history set aside is still the history: setting one aside makes the store no shorter.
            generation->history +=
                entry.path == ChangeHistoryFile || isSetAsideHistoryName(entry.path) ? entry.size : 0;
        }
        generations.append(*generation);
    }
    std::sort(generations.begin(), generations.end(),
              [](const Generation& one, const Generation& other) { return newerFirst(other, one); });
    return generations;
}

std::optional<Generation> newestGeneration(const QString& backupFolder)
{
    const QString folder = QFileInfo(backupFolder).absoluteFilePath();
    const QList<Generation> generations = generationsOf(folder);
    for (auto generation = generations.rbegin(); generation != generations.rend(); ++generation) {
        const QDir files(QDir(folder).filePath(generation->name));
        const auto entries = ReadManifest(files.path(), generation->name);
        if (entries && std::all_of(entries->begin(), entries->end(), [&](const ManifestEntry& entry) {
                const QFileInfo file(files.filePath(entry.path));
                return file.isFile() && file.size() == entry.size;
            }))
            return *generation;
    }
    return std::nullopt;
}

} // namespace velmora
