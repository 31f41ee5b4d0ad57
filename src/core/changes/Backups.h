#pragma once

#include "core/files/DataDir.h"
#include "core/files/Manifest.h"
#include "core/model/Result.h"

#include <QDateTime>
#include <functional>

// Copies of the store that check themselves. A generation is a folder of the backup folder named for when
// it was made ("Velmora_20261209-101500", "…_2" for the next in the same second) holding every file of the
// store as it was and a manifest of each file's size and SHA-256. The backup folder is meant for one data
// folder; Velmora removes only the generations it made there, by the keeping rule, and never anything else.
namespace velmora {

// A generation as its folder's name and manifest give it: when it was made, its place among those of the
// same second, how many personal files it holds and how long its change history is (bytes, the histories set
// aside included).
struct Generation {
    QString name;
    QDateTime time;
    int sequence = 1;
    qsizetype persons = 0;
    qint64 history = 0;
};

// The names of the generations the rule keeps, newest first, as of `now`: the ten newest, the newest of
// each month of the last twelve, the newest of each year, and the newest of those holding the most persons
// and of those holding the longest history, so that a store that shrank never pushes out the last copy of
// what it lost.
QStringList generationsKept(QList<Generation> generations, const QDateTime& now);

// Why `folder` cannot take the backups of `dir`, or nothing: BackupFolderMissing when it is not an existing
// folder (a disk not plugged in, a share not mounted: it is never made here), BackupInsideStore when it is
// the data folder or inside it, links resolved.
std::optional<Failure> backupFolderProblem(const DataDir& dir, const QString& folder);

struct BackupMade {
    QString name;
    // A generation kept that holds more persons or a longer history than the store now: the store shrank.
    std::optional<Generation> larger;
    Generation made;
    // A generation the rule no longer keeps that holds what Velmora did not make there: left as it was.
    std::optional<Failure> leftAlone;
};

// Called after each file copied: how many of how many.
using BackupProgress = std::function<void(qsizetype copied, qsizetype all)>;

// Copies the store into a new generation of `backupFolder` under the name of `now`, only when the store
// reads whole (NoStore for a folder that holds none, or the first fault --verify names): the files in a
// folder that takes its name only once they and the manifest are on the disk. When the new generation reads
// back whole, removes the generations the rule no longer keeps. What killed backups left unfinished is
// removed first; anything Velmora did not make under such a name (a link, a user's folder) stops the run
// (NotMadeHere), and nothing is ever removed through a link.
Result<BackupMade> MakeBackup(const DataDir& dir, const QString& backupFolder, const QDateTime& now,
                              const BackupProgress& progress = {});

// One generation read against its manifest: the files it holds, or what is wrong with it (BackupDamaged
// naming the first file missing, added, or of another size or content).
struct GenerationCheck {
    QString name;
    qsizetype files = 0;
    std::optional<Failure> damage;
};

// Every generation of a backup folder (any path, relative ones included), oldest first, each with its
// result; NoBackups when the folder holds none. Given one generation's folder, that generation alone.
Result<QList<GenerationCheck>> VerifyBackups(const QString& backupFolder);

// The generations Velmora made in a backup folder (a name of its form holding a manifest that reads), with
// what their manifests say they hold, oldest first.
QList<Generation> generationsOf(const QString& backupFolder);

// The newest generation of a backup folder whose manifest lists files that all stand there with their size
// (a quick look, not a check of their contents), whoever made it; nothing when there is none.
std::optional<Generation> newestGeneration(const QString& backupFolder);

} // namespace velmora
