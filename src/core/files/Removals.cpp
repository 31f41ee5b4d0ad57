#include "core/files/Removals.h"

#include "core/files/Manifest.h"
#include "core/files/SystemFiles.h"

#include <QDir>
#include <QDirIterator>

namespace velmora {
namespace {

Failure notMadeHere(const QString& path)
{
    return failure(FailureKind::NotMadeHere, QDir::toNativeSeparators(path));
}

// A real folder that is marked, holds a manifest, or holds no file at all (so that removing it loses nothing:
// the folders a kill left before the mark was written).
bool isOwnFolder(const QString& folder)
{
    const QDir inside(folder);
    return system::kindOf(folder) == system::FileKind::Folder &&
           (system::kindOf(inside.filePath(UnfinishedFolderMark)) == system::FileKind::Regular ||
            system::kindOf(inside.filePath(ManifestFile)) == system::FileKind::Regular ||
            !QDirIterator(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories).hasNext());
}

} // namespace

Status makeMarkedFolder(const QString& folder)
{
    if (!QDir().mkdir(folder))
        return failure(FailureKind::CannotCreateFolder, QDir::toNativeSeparators(folder));
    // The mark is its first file: a folder of this name without it, and not empty, is no longer the program's.
    if (!system::writeNewFile(QDir(folder).filePath(UnfinishedFolderMark), {}, std::nullopt)) {
        Failure failed = failure(FailureKind::CannotWrite, QDir::toNativeSeparators(folder));
        failed.systemError = errno;
        QDir().rmdir(folder);
        return failed;
    }
    return {};
}

Status unmarkFolder(const QString& folder)
{
    return removeOwnFile(QDir(folder).filePath(UnfinishedFolderMark));
}

Status removeOwnFolder(const QString& folder)
{
    if (system::kindOf(folder) == system::FileKind::Missing)
        return {};
    if (!isOwnFolder(folder))
        return notMadeHere(folder);
    QString stranger;
    switch (system::removeTree(folder, stranger)) {
    case system::TreeRemoval::Removed:
    case system::TreeRemoval::Missing:
        return {};
    case system::TreeRemoval::Stranger:
        return notMadeHere(stranger);
    case system::TreeRemoval::Failed:
        break;
    }
    Failure failed = failure(FailureKind::CannotWrite, QDir::toNativeSeparators(folder));
    failed.systemError = errno;
    return failed;
}

Status removeOwnFile(const QString& path)
{
    switch (system::kindOf(path)) {
    case system::FileKind::Missing:
        return {};
    case system::FileKind::Regular:
        break;
    case system::FileKind::Folder:
    case system::FileKind::Other:
        return notMadeHere(path);
    }
    if (system::removeFile(path) || errno == ENOENT)
        return {};
    Failure failed = failure(FailureKind::CannotWrite, QDir::toNativeSeparators(path));
    failed.systemError = errno;
    return failed;
}

} // namespace velmora
