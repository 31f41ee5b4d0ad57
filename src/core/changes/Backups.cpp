#include "core/changes/Backups.h"

#include "core/files/FileWriter.h"
#include "core/files/ListFiles.h"
#include "core/files/NumberForms.h"
#include "core/files/SystemFiles.h"
#include "core/files/TextFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QRegularExpression>
#include <map>

namespace velmora {
namespace {

const QString Prefix = QStringLiteral("Velmora_");
const QString StampForm = QStringLiteral("yyyyMMdd-HHmmss");
const QString Unfinished = QStringLiteral(".part");
constexpr qsizetype KeptNewest = 10;
constexpr qint64 LargestStoreFile = qint64(1) << 30;

// A generation's time from its folder's name ("Velmora_20261209-101500", "…_2" for a second in the same
// second); nothing for any other name.
std::optional<QDateTime> generationTime(const QString& name)
{
    static const QRegularExpression form(QStringLiteral("^Velmora_(\\d{8}-\\d{6})(_\\d+)?$"));
    const auto match = form.match(name);
    const QDateTime time = QDateTime::fromString(match.captured(1), StampForm);
    return match.hasMatch() && time.isValid() ? std::optional(time) : std::nullopt;
}

struct ManifestEntry {
    QString path; // from the generation's folder, "/" between folders
    qint64 size = 0;
    QByteArray sha256; // hexadecimal
};

QByteArray sha256Of(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

// The files of the store, by their path from the data folder: the list files, the change history and
// every file of 被曝Data; not the lock, temporary files or anything else the folder holds.
QStringList storeFiles(const DataDir& dir)
{
    QStringList files;
    const QDir root(dir.root());
    for (const QString& name : root.entryList(QDir::Files | QDir::Hidden, QDir::Name))
        if (isStoreFileName(name) && name != EntryLockFile && !isTemporaryFileName(name))
            files << name;
    for (const QString& name : QDir(dir.doseDataFolder()).entryList(QDir::Files | QDir::Hidden, QDir::Name))
        if (!isTemporaryFileName(name))
            files << DoseDataFolder + QLatin1Char('/') + name;
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

Result<QByteArray> manifestOf(const QList<ManifestEntry>& entries)
{
    QStringList lines{printForm(static_cast<double>(entries.size()))};
    for (const ManifestEntry& entry : entries)
        lines << entry.path << printForm(static_cast<double>(entry.size)) << QString::fromLatin1(entry.sha256);
    return encodeLines(lines);
}

Failure damaged(const QString& generation, const QString& file, const QString& what)
{
    Failure failed = failure(FailureKind::BackupDamaged, generation + QLatin1Char('/') + file);
    failed.text = what;
    return failed;
}

Result<QList<ManifestEntry>> readManifest(const QString& folder, const QString& generation)
{
    const auto bytes = readWholeFile(QDir(folder).filePath(ManifestFile), ManifestFile, LargestListFile);
    if (!bytes)
        return damaged(generation, ManifestFile, QStringLiteral("目録を読めません"));
    const auto lines = decodeTextLines(*bytes, ManifestFile);
    const auto count = lines && !lines->isEmpty() ? wholeNumberLine(lines->first()) : std::nullopt;
    if (!count || *count < 0 || lines->size() != 1 + 3 * *count)
        return damaged(generation, ManifestFile, QStringLiteral("目録の内容が正しくありません"));
    QList<ManifestEntry> entries;
    for (qint64 at = 0; at < *count; ++at) {
        const auto size = wholeNumberLine(lines->at(2 + 3 * at));
        if (!size)
            return damaged(generation, ManifestFile, QStringLiteral("目録の内容が正しくありません"));
        entries.append({lines->at(1 + 3 * at), *size, lines->at(3 + 3 * at).toLatin1()});
    }
    return entries;
}

// The generations Velmora made in a folder (a name of its form holding a manifest), by time.
std::map<QDateTime, QString> generationsIn(const QString& backupFolder)
{
    std::map<QDateTime, QString> generations;
    for (const QString& name : QDir(backupFolder).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (const auto time = generationTime(name);
            time && QFileInfo::exists(QDir(backupFolder).filePath(name + '/' + ManifestFile)))
            generations.emplace(*time, name);
    return generations;
}

void removeUnkept(const QString& backupFolder, const QDateTime& now)
{
    const QDir folder(backupFolder);
    for (const QString& name : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (name.endsWith(Unfinished) && generationTime(name.chopped(Unfinished.size())))
            QDir(folder.filePath(name)).removeRecursively();
    const auto generations = generationsIn(backupFolder);
    QList<QDateTime> times;
    for (const auto& [time, name] : generations)
        times << time;
    const QList<QDateTime> kept = generationsKept(times, now);
    for (const auto& [time, name] : generations)
        if (!kept.contains(time))
            QDir(folder.filePath(name)).removeRecursively();
}

} // namespace

QList<QDateTime> generationsKept(const QList<QDateTime>& times, const QDateTime& now)
{
    QList<QDateTime> newestFirst = times;
    std::sort(newestFirst.begin(), newestFirst.end(), std::greater<>());
    QList<QDateTime> kept = newestFirst.mid(0, KeptNewest);
    QSet<int> months;
    QSet<int> years;
    const QDate yearAgo = now.date().addMonths(-11);
    const int firstMonth = yearAgo.year() * 12 + yearAgo.month();
    for (const QDateTime& time : newestFirst) {
        const int month = time.date().year() * 12 + time.date().month();
        const bool newestOfMonth = month >= firstMonth && !months.contains(month);
        const bool newestOfYear = !years.contains(time.date().year());
        months.insert(month);
        years.insert(time.date().year());
        if ((newestOfMonth || newestOfYear) && !kept.contains(time))
            kept << time;
    }
    std::sort(kept.begin(), kept.end(), std::greater<>());
    return kept;
}

Status WriteManifest(const QString& folder, const QStringList& files)
{
    QList<ManifestEntry> entries;
    for (const QString& file : files) {
        const auto bytes = readFileBytes(QDir(folder).filePath(file), file, LargestStoreFile);
        if (!bytes)
            return bytes.error();
        entries.append({file, bytes->size(), sha256Of(*bytes)});
    }
    const auto manifest = manifestOf(entries);
    if (!manifest)
        return manifest.error();
    const Status written = createFile(QDir(folder).filePath(ManifestFile), ManifestFile, *manifest);
    return isWritten(written) ? Status() : written;
}

Result<QString> MakeBackup(const DataDir& dir, const QString& backupFolder, const QDateTime& now)
{
    if (!QDir().mkpath(backupFolder))
        return failure(FailureKind::CannotCreateFolder, QDir::toNativeSeparators(backupFolder));
    QString name = Prefix + now.toString(StampForm);
    for (int second = 2; QFileInfo::exists(QDir(backupFolder).filePath(name)); ++second)
        name = Prefix + now.toString(StampForm) + QStringLiteral("_%1").arg(second);
    const QString unfinished = QDir(backupFolder).filePath(name + Unfinished);
    QDir(unfinished).removeRecursively();
    if (!QDir().mkpath(QDir(unfinished).filePath(DoseDataFolder)))
        return failure(FailureKind::CannotCreateFolder, QDir::toNativeSeparators(unfinished));
    const QStringList files = storeFiles(dir);
    for (const QString& file : files) {
        const auto bytes = readFileBytes(QDir(dir.root()).filePath(file), file, LargestStoreFile);
        if (!bytes)
            return bytes.error();
        const QString copy = QDir(unfinished).filePath(file);
        if (const auto written = createFile(copy, name + QLatin1Char('/') + file, *bytes); !isWritten(written))
            return written.error();
    }
    // The manifest is made from the copies as they read back.
    if (const auto listed = WriteManifest(unfinished, files); !listed)
        return listed.error();
    if (!QDir().rename(unfinished, QDir(backupFolder).filePath(name)))
        return failure(FailureKind::CannotWrite, QDir::toNativeSeparators(QDir(backupFolder).filePath(name)));
    removeUnkept(backupFolder, now);
    return name;
}

Result<BackupCheck> VerifyBackups(const QString& backupFolder)
{
    const auto generations = generationsIn(backupFolder);
    if (generations.empty())
        return failure(FailureKind::NoBackups, QDir::toNativeSeparators(backupFolder));
    BackupCheck check;
    for (const auto& [time, name] : generations) {
        const QString folder = QDir(backupFolder).filePath(name);
        const auto entries = readManifest(folder, name);
        if (!entries)
            return entries.error();
        QSet<QString> listed{ManifestFile};
        for (const ManifestEntry& entry : *entries) {
            listed.insert(entry.path);
            const auto bytes = readFileBytes(QDir(folder).filePath(entry.path), entry.path, LargestStoreFile);
            if (!bytes)
                return damaged(name, entry.path, QStringLiteral("ファイルがありません"));
            if (bytes->size() != entry.size)
                return damaged(name, entry.path, QStringLiteral("大きさが違います"));
            if (sha256Of(*bytes) != entry.sha256)
                return damaged(name, entry.path, QStringLiteral("内容が違います"));
            ++check.files;
        }
        for (const QString& file : filesBelow(folder))
            if (!listed.contains(file))
                return damaged(name, file, QStringLiteral("目録にないファイルです"));
        ++check.generations;
        check.newest = name;
    }
    return check;
}

} // namespace velmora
