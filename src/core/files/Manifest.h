#pragma once

#include "core/model/Result.h"

#include <QByteArray>
#include <QStringList>

// The manifest of a folder of copies (a backup generation, a yearly archive): each file's path, size and
// SHA-256, so that a copy can be checked without the program (code page 932, CR LF: the number of files,
// then three lines each).
namespace velmora {

inline const QString ManifestFile = QStringLiteral("velmora-manifest.txt");

struct ManifestEntry {
    QString path; // from the manifest's folder, "/" between folders
    qint64 size = 0;
    QByteArray sha256; // hexadecimal
};

QByteArray sha256Of(QByteArrayView bytes);

// The size and SHA-256 of a file (of its first `upTo` bytes when it has more), read a block at a time.
Result<ManifestEntry> measureFile(const QString& path, const QString& shownName, qint64 upTo = -1);

// Writes the manifest of `files` (paths from `folder`) into `folder`, each file as it reads back now, and
// after them the lines of `trailer` (an archive states the change history's head there).
Status WriteManifest(const QString& folder, const QStringList& files, const QStringList& trailer = {});
// Writes a manifest of entries already measured (a backup lists the store's files as it read them, so that
// its copies are checked against the originals).
Status WriteManifestOf(const QString& folder, const QList<ManifestEntry>& entries, const QStringList& trailer = {});

// The manifest of `folder`: BackupDamaged naming `shownFolder`'s manifest when it cannot be read or its form
// is wrong.
Result<QList<ManifestEntry>> ReadManifest(const QString& folder, const QString& shownFolder);

// The failure of a file of a folder of copies that differs from its manifest: BackupDamaged naming it and
// how it differs.
Failure differsFromManifest(const QString& shownFolder, const QString& file, Difference how);

} // namespace velmora
