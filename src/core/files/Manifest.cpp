#include "core/files/Manifest.h"

#include "core/files/FileWriter.h"
#include "core/files/NumberForms.h"
#include "core/files/TextFile.h"

#include <QCryptographicHash>
#include <QDir>

namespace velmora {
namespace {

constexpr qint64 LargestListedFile = qint64(1) << 30;

Result<QByteArray> manifestOf(const QList<ManifestEntry>& entries, const QStringList& trailer)
{
    QStringList lines{printForm(static_cast<double>(entries.size()))};
    for (const ManifestEntry& entry : entries)
        lines << entry.path << printForm(static_cast<double>(entry.size)) << QString::fromLatin1(entry.sha256);
    return encodeLines(lines + trailer);
}

} // namespace

QByteArray sha256Of(QByteArrayView bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

Result<ManifestEntry> measureFile(const QString& path, const QString& shownName, qint64 upTo)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    ManifestEntry measured{shownName, 0, {}};
    const Status read = readBytesInBlocks(path, shownName, LargestListedFile, [&](const QByteArray& block) {
        const qint64 taken = upTo < 0 ? block.size() : std::min<qint64>(block.size(), upTo - measured.size);
        hash.addData(QByteArrayView(block).first(taken));
        measured.size += taken;
    });
    if (!read)
        return read.error();
    measured.sha256 = hash.result().toHex();
    return measured;
}

Failure differsFromManifest(const QString& shownFolder, const QString& file, Difference how)
{
    Failure failed = failure(FailureKind::BackupDamaged, shownFolder + QLatin1Char('/') + file);
    failed.difference = how;
    return failed;
}

Status WriteManifest(const QString& folder, const QStringList& files, const QStringList& trailer)
{
    QList<ManifestEntry> entries;
    for (const QString& file : files) {
        const auto measured = measureFile(QDir(folder).filePath(file), file);
        if (!measured)
            return measured.error();
        entries.append(*measured);
    }
    return WriteManifestOf(folder, entries, trailer);
}

Status WriteManifestOf(const QString& folder, const QList<ManifestEntry>& entries, const QStringList& trailer)
{
    const auto manifest = manifestOf(entries, trailer);
    if (!manifest)
        return manifest.error();
    const Status written = createFile(QDir(folder).filePath(ManifestFile), ManifestFile, *manifest);
    return isWritten(written) ? Status() : written;
}

Result<QList<ManifestEntry>> ReadManifest(const QString& folder, const QString& shownFolder)
{
    const auto bytes = readWholeFile(QDir(folder).filePath(ManifestFile), ManifestFile, LargestListFile);
    if (!bytes)
        return differsFromManifest(shownFolder, ManifestFile, Difference::ManifestUnreadable);
    const auto lines = decodeTextLines(*bytes, ManifestFile);
    const auto count = lines && !lines->isEmpty() ? wholeNumberLine(lines->first()) : std::nullopt;
    if (!count || *count < 0 || lines->size() < 1 + 3 * *count)
        return differsFromManifest(shownFolder, ManifestFile, Difference::ManifestDamaged);
    QList<ManifestEntry> entries;
    for (qint64 at = 0; at < *count; ++at) {
        const auto size = wholeNumberLine(lines->at(2 + 3 * at));
        if (!size)
            return differsFromManifest(shownFolder, ManifestFile, Difference::ManifestDamaged);
        entries.append({lines->at(1 + 3 * at), *size, lines->at(3 + 3 * at).toLatin1()});
    }
    return entries;
}

} // namespace velmora
