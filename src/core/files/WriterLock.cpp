#include "core/files/WriterLock.h"

#include "core/files/FileWriter.h"
#include "core/files/Removals.h"
#include "core/files/SystemFiles.h"
#include "core/files/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <cerrno>

namespace velmora {
namespace {

const QByteArray Magic = "velmora-entry-lock";

// The holder a lock file names. A lock left by an earlier version (QLockFile: process number, program
// and host on the first three lines) names its process and host; any other file names nobody.
struct Holder {
    QString host;
    QString user;
    qint64 pid = 0;
    QString program;
    QString since;
};

Holder holderOf(const QByteArray& content)
{
    Holder holder;
    const QList<QByteArray> lines = content.split('\n');
    if (lines.value(0) != Magic) {
        holder.pid = lines.value(0).toLongLong();
        holder.host = lines.size() > 2 ? QString::fromUtf8(lines[2]) : QString();
        return holder;
    }
    for (const QByteArray& line : lines) {
        const qsizetype equals = line.indexOf('=');
        const QByteArray key = line.left(equals);
        const QString value = QString::fromUtf8(line.mid(equals + 1));
        if (key == "host")
            holder.host = value;
        else if (key == "user")
            holder.user = value;
        else if (key == "pid")
            holder.pid = value.toLongLong();
        else if (key == "program")
            holder.program = value;
        else if (key == "since")
            holder.since = value;
    }
    return holder;
}

QByteArray contentNow()
{
    const QDateTime now = QDateTime::currentDateTime();
    return Magic + "\nhost=" + QSysInfo::machineHostName().toUtf8() + "\nuser=" + system::userName().toUtf8() +
           "\npid=" + QByteArray::number(system::processId()) +
           "\nprogram=" + system::processName(system::processId()).toUtf8() +
           "\nsince=" + now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate).toUtf8() + "\n";
}

// A holder on this PC whose process has ended (or whose process number now belongs to another program).
bool holderIsGone(const Holder& holder)
{
    if (holder.host.isEmpty() || holder.host != QSysInfo::machineHostName() || holder.pid <= 0)
        return false;
    return system::processHasEnded(holder.pid, holder.program);
}

constexpr qint64 LargestLock = 4096;

std::optional<QByteArray> readLock(const QString& path)
{
    const auto content = readFileBytes(path, WriterLock::FileName, LargestLock);
    if (!content)
        return std::nullopt;
    return *content;
}

// Minutes since the lock file was last written, by the clock of the folder's file system.
std::optional<qint64> minutesUnrefreshed(const QString& path, const QString& folder)
{
    const auto now = folderClock(folder);
    const QDateTime written = QFileInfo(path).lastModified();
    if (!now || !written.isValid())
        return std::nullopt;
    return (now->toMSecsSinceEpoch() - written.toMSecsSinceEpoch()) / 60000;
}

Failure cannotLock(int systemError)
{
    Failure failed = failure(FailureKind::CannotLock, WriterLock::FileName);
    failed.systemError = systemError;
    return failed;
}

} // namespace

WriterLock::WriterLock(const DataDir& dataDir) : dir(dataDir), path(dataDir.listFile(FileName)) {}

WriterLock::~WriterLock()
{
    unlock();
}

Failure WriterLock::holderFailure(FailureKind kind, const QByteArray& content, int minutes) const
{
    const Holder holder = holderOf(content);
    Failure failed = failure(kind);
    failed.text = holder.host;
    failed.names = QStringList{holder.user, holder.since};
    failed.line = minutes;
    return failed;
}

Status WriterLock::tryLock()
{
    if (!mine.isEmpty())
        return {};
    staleSeen.clear();
    // A few rounds: a lock that goes away or is taken over between two steps is looked at again.
    for (int round = 0; round < 3; ++round) {
        const QByteArray content = contentNow();
        const Status created = createFile(path, FileName, content);
        if (isWritten(created)) {
            mine = content;
            return {};
        }
        const auto existing = readLock(path);
        if (!existing) {
            // Gone meanwhile (its holder ended) or never there: looked at again, unless it cannot be made.
            if (system::kindOf(path) == system::FileKind::Missing) {
                if (created.error().kind != FailureKind::AlreadyExists)
                    return cannotLock(created.error().systemError);
                continue;
            }
            // A folder, a link, a FIFO or a file that cannot be read: no Velmora wrote it, and it never ages.
            return failure(FailureKind::LockUnusable, FileName);
        }
        const Holder holder = holderOf(*existing);
        if (holderIsGone(holder)) {
            if (!removeIfUnchanged(*existing))
                return cannotLock(errno);
            continue;
        }
        const auto minutes = minutesUnrefreshed(path, dir.root());
        const bool otherPc = holder.host != QSysInfo::machineHostName();
        if (otherPc && minutes && *minutes >= StaleAfter.count() / 60) {
            staleSeen = *existing;
            staleWritten = QFileInfo(path).lastModified();
            return holderFailure(FailureKind::LockStale, *existing, static_cast<int>(*minutes));
        }
        return holderFailure(FailureKind::LockHeld, *existing, static_cast<int>(minutes.value_or(0)));
    }
    return failure(FailureKind::LockHeld);
}

Status WriterLock::takeOver()
{
    const QByteArray seen = std::exchange(staleSeen, {});
    if (!seen.isEmpty() && !removeIfUnchanged(seen, staleWritten))
        return cannotLock(errno);
    return tryLock(); // tells who holds it when it changed since it was seen
}

bool WriterLock::removeIfUnchanged(const QByteArray& seen, const std::optional<QDateTime>& written)
{
    // The lock is moved aside first, so that of two copies taking it over at once only one removes it, and
    // a lock renewed or taken by someone else meanwhile is put back rather than removed.
    const QString aside = temporaryNameBeside(path);
    if (system::renameWithoutReplacing(path, aside) == system::RenameOutcome::Failed)
        return errno == ENOENT; // gone already
    // Moving keeps the file's time: a lock its holder wrote again meanwhile, the same bytes, is still alive.
    const bool rewritten = written && QFileInfo(aside).lastModified() != *written;
    if (const auto moved = readLock(aside); moved && (*moved != seen || rewritten))
        (void)createFile(path, FileName, *moved);
    (void)removeOwnFile(aside);
    return true;
}

Failure WriterLock::lost()
{
    mine.clear();
    // A folder that no longer holds the store went away (a share disconnected, its mount point left
    // empty): nobody took the lock over.
    if (system::kindOf(path) == system::FileKind::Missing &&
        system::kindOf(dir.listFile(RegistrantNamesFile)) == system::FileKind::Missing)
        return failure(FailureKind::DataFolderGone, QDir::toNativeSeparators(dir.root()));
    Failure failed = failure(FailureKind::LockLost);
    if (const auto current = readLock(path))
        failed.text = holderOf(*current).host;
    return failed;
}

Status WriterLock::confirmHeld()
{
    if (mine.isEmpty())
        return lost();
    const auto current = readFileBytes(path, FileName, LargestLock);
    if (!current && current.error().systemError != ENOENT && current.error().kind != FailureKind::TooLarge)
        return current.error();
    if (!current || *current != mine)
        return lost();
    return {};
}

Status WriterLock::refresh()
{
    if (mine.isEmpty())
        return {};
    // Writing the same bytes again stamps the file with the file server's time.
    switch (system::rewriteUnchanged(path, mine)) {
    case system::RewriteOutcome::Rewritten:
        return {};
    case system::RewriteOutcome::Missing: // removed by a copy that took it over and gave it up again
    case system::RewriteOutcome::Changed:
        return lost();
    case system::RewriteOutcome::Unreachable: // the file server away for a moment: the lock is still this copy's
        return cannotLock(errno);
    case system::RewriteOutcome::Failed:
        break;
    }
    Failure failed = failure(FailureKind::CannotWrite, FileName);
    failed.systemError = errno;
    return failed;
}

void WriterLock::unlock()
{
    if (mine.isEmpty())
        return;
    if (readLock(path) == mine)
        (void)removeOwnFile(path);
    mine.clear();
}

} // namespace velmora
