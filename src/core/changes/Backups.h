#pragma once

#include "core/files/DataDir.h"
#include "core/model/Result.h"

#include <QDateTime>

// Copies of the store that check themselves. A generation is a folder of the backup folder named for when
// it was made ("Velmora_20261209-101500") holding every file of the store as it was and a manifest of each
// file's size and SHA-256. The backup folder is meant for one data folder; Velmora removes only the
// generations it made there, by the keeping rule, and never anything else.
namespace velmora {

inline const QString ManifestFile = QStringLiteral("velmora-manifest.txt");

// Writes the manifest of `files` (paths from `folder`, "/" between folders) into `folder`: each file's size
// and SHA-256 as it reads back now (code page 932, CR LF: the number of files, then three lines each).
Status WriteManifest(const QString& folder, const QStringList& files);

// The generations the rule keeps of those made at `times`, as of `now`: the ten newest, the newest of each
// month of the last twelve, and the newest of each year.
QList<QDateTime> generationsKept(const QList<QDateTime>& times, const QDateTime& now);

// Copies the store into a new generation of `backupFolder` (made when missing) under the name of `now`:
// the files in a folder that takes its name only once they and the manifest are on the disk. Then removes
// the generations the rule no longer keeps, and any generation a killed backup left unfinished. The name
// of the generation made.
Result<QString> MakeBackup(const DataDir& dir, const QString& backupFolder, const QDateTime& now);

struct BackupCheck {
    qsizetype generations = 0;
    qsizetype files = 0;
    QString newest; // the newest generation's name
};

// Every generation of a backup folder read against its manifest: BackupDamaged naming the first file
// missing, added, or of another size or content; NoBackups when the folder holds none.
Result<BackupCheck> VerifyBackups(const QString& backupFolder);

} // namespace velmora
