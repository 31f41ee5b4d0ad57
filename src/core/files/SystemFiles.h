#pragma once

#include "core/model/Result.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>

// The calls on files and processes that differ between Linux and Windows, behind one small interface:
// the build takes posix/ or windows/. Everything above it (the writer's rules, the lock's,
// the readers') is the same on both.
namespace velmora::system {

// A new file of that exact name beside nothing: the whole content written and flushed to the disk, with
// the permissions `mode` where the system has them. False, with the system's error in errno, when any
// step fails; nothing is left behind then.
bool writeNewFile(const QString& path, const QByteArray& content, std::optional<unsigned> mode);

enum class FileKind { Missing, Regular, Folder, Other }; // Other: a link, a FIFO, a device, a socket

// What stands at `path` itself, not following a link.
FileKind kindOf(const QString& path);

// The permissions of the regular file at `path`, where the system has them.
std::optional<unsigned> permissionsOf(const QString& path);

// How a rename went: NotFlushed when the file has its new name but the folder could not be flushed to the
// disk after it (a failing device or file server), so the new name may not survive a power loss.
enum class RenameOutcome { Renamed, Failed, NotFlushed };

// Gives `from` the name `to`, replacing whatever file is there, durably (on a shared folder: known to the
// file server when this returns).
RenameOutcome replaceWith(const QString& from, const QString& to);

// Gives `from` the name `to` only when nothing stands at `to` (EEXIST otherwise), durably.
RenameOutcome renameWithoutReplacing(const QString& from, const QString& to);

// Flushes a file another writer made (a PDF of the archive) to the disk; false when the disk did not confirm it.
bool flushFile(const QString& path);

// Flushes the names a folder holds to the disk (a folder made and filled, before it is renamed into place);
// false when the disk did not confirm them.
bool flushFolder(const QString& folder);

// Gives the folder `from` the name `to`, where nothing stands, durably (a backup generation, an archive).
RenameOutcome renameFolder(const QString& from, const QString& to);

// Removes a file (a link itself, never what it points to); false when it could not be removed.
bool removeFile(const QString& path);

enum class TreeRemoval { Removed, Missing, Stranger, Failed };

// Removes the folder at `path` and everything below it, never following a link at any depth: when anything
// below is other than a file or a folder (a link, a FIFO, a device), nothing is removed and `stranger`
// names the first such. Missing when nothing stands at `path`; Stranger when `path` itself is no folder.
TreeRemoval removeTree(const QString& path, QString& stranger);

// The device and file number of what `path` names, links resolved (a bind mount is the folder it shows);
// nothing when it cannot be reached.
std::optional<std::pair<quint64, quint64>> identityOf(const QString& path);

enum class AppendOutcome { Appended, NotRegular, Failed, FailedAndNotRestored };

// Adds `content` at the end of the existing regular file at `path` (never through a link, never waiting
// on a special file) in one write, flushed; a last line without its line end is ended first. Whatever
// fails, the file is cut back to its old length; errno holds the cause.
AppendOutcome appendEndingLastLine(const QString& path, const QByteArray& content);

// Cuts the regular file at `path` back to `length` bytes and flushes it: the end of an append taken back.
// False when it is not a regular file, is shorter than that already, or cannot be cut.
bool cutBackTo(const QString& path, qint64 length);

enum class ReadOutcome { Read, Missing, NotRegular, TooLarge, Failed };

// The bytes of the regular file at `path` (at most `limit` of them when limit ≥ 0), opened without
// following a link and without waiting; TooLarge without reading when it is larger than `largest`.
ReadOutcome readRegularFile(const QString& path, qint64 largest, qint64 limit, QByteArray& content);
// The same file given to `take` a block of at most `block` bytes at a time, up to its size when it opened.
ReadOutcome readRegularFileInBlocks(const QString& path, qint64 largest, qint64 block,
                                    const std::function<void(const QByteArray&)>& take);

enum class RewriteOutcome { Rewritten, Missing, Changed, Unreachable, Failed };

// Writes the same bytes again over a file that still holds exactly `expected`, flushed, so that the file
// carries the file server's time of now; errno holds the cause of a failure.
RewriteOutcome rewriteUnchanged(const QString& path, const QByteArray& expected);

enum class WriteFailureCause { NoSpace, ReadOnly, NoAccess, InUse, ServerGone, Other };

// What a system error of a failed write says about its cause.
WriteFailureCause writeFailureCause(int systemError);

// The name of the user running the program, the id of this process, and the name of the program running
// as process `id` (empty when none).
QString userName();
qint64 processId();
QString processName(qint64 id);
// Whether process `id` has ended (on this PC), or now runs a program other than `program` (when given).
bool processHasEnded(qint64 id, const QString& program);

} // namespace velmora::system
