#pragma once

#include "core/model/Result.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QString>
#include <memory>
#include <optional>

// The one writer of the data files. Every byte is written with its own system call, checked and flushed
// to the disk before a file takes the new content, so a full disk or a failing device is always reported
// and never leaves an empty or half-written file behind. (Qt 6.4's QSaveFile is not used: on a full disk
// its buffered write fails only inside commit(), which still renames and reports success.)
namespace velmora {

// Replaces a file with new content through a temporary file and a rename, so that the file holds either
// its old or its new content whatever happens. The file keeps its permissions. A link or anything but a
// regular file at the path is left as it is (NotRegularFile). When the folder cannot be flushed after the
// rename, the file holds the new content but the disk did not confirm it: WrittenNotConfirmed (see
// isWritten), which createFile gives as well.
Status replaceFile(const QString& path, const QString& shownName, const QByteArray& content);

// A file replaced as replaceFile does, with content given a part at a time, so that a large one never
// stands whole in memory: written into a temporary file beside it, which takes the file's name at finish()
// and is removed when the writer goes unfinished.
class ReplacingWriter {
public:
    ReplacingWriter(const QString& path, const QString& shownName);
    ~ReplacingWriter();
    ReplacingWriter(const ReplacingWriter&) = delete;
    ReplacingWriter& operator=(const ReplacingWriter&) = delete;
    Status append(QByteArrayView bytes);
    Status finish();

private:
    QString target;
    QString shown;
    QString temporary;
    std::unique_ptr<QFile> file;
    Status opened;
};

// Creates a new file with the given content, complete or not at all. Never replaces anything that stands
// at the path, a symbolic link included (a link is never followed out of the data directory).
Status createFile(const QString& path, const QString& shownName, const QByteArray& content);

// Creates a file with the given content unless something of that name exists already.
Status createIfMissing(const QString& path, const QString& shownName, const QByteArray& content);

// Adds content at the end of an existing regular file in one write and flushes it to the disk; never
// through a link (NotRegularFile). A last
// line without its line end is ended first, so that two values never share a line. When any byte
// cannot be written, the file is cut back to its earlier length: it is exactly as it was.
Status appendToFile(const QString& path, const QString& shownName, const QByteArray& content);

// Removes the temporary files that a write killed before its rename left in a folder. Only files named
// as the writer names its temporary files are touched.
void removeUnfinishedWrites(const QString& folder);

// Whether a file name is one the writer gives its temporary files.
bool isTemporaryFileName(const QString& fileName);

// A new name of the writer's temporary files beside `path` (nothing is created), for a file moved aside
// for a moment: a kill leaves it where the next clean-up finds it.
QString temporaryNameBeside(const QString& path);

// The time the file system of a folder stamps on a file written now: on a shared folder the file server's
// clock, so that the times of files other PCs wrote can be compared with it whatever their own clocks say.
// Nothing when the folder cannot be written.
std::optional<QDateTime> folderClock(const QString& folder);

} // namespace velmora
