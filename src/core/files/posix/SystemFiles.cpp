#include "core/files/SystemFiles.h"
#include "core/files/TextFile.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::system {
namespace {

QByteArray nativePath(const QString& path)
{
    return QFile::encodeName(path);
}

// A file descriptor that is closed when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int descriptor) : fd(descriptor) {}
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    bool isOpen() const { return fd >= 0; }
    int get() const { return fd; }
    // Closes now and says whether the close reported no error (some file systems report late failures here).
    bool close()
    {
        const int closing = std::exchange(fd, -1);
        return ::close(closing) == 0;
    }

private:
    int fd;
};

// Writes every byte; a write that writes nothing or fails ends it.
bool writeAll(int fd, const QByteArray& content)
{
    const char* data = content.constData();
    qsizetype rest = content.size();
    while (rest > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(rest));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        rest -= written;
    }
    return true;
}

// Makes a rename or a new name in a folder durable (on a shared folder: known to the file server). A file
// system that cannot flush a folder at all says EINVAL; its names are durable as the server keeps them.
bool syncFolder(const QString& folder)
{
    Descriptor directory(::open(nativePath(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return directory.isOpen() && (::fsync(directory.get()) == 0 || errno == EINVAL);
}

bool syncFolderOf(const QString& path)
{
    return syncFolder(QFileInfo(path).path());
}

} // namespace

bool writeNewFile(const QString& path, const QByteArray& content, std::optional<unsigned> mode)
{
    // A new name (O_EXCL): no link is followed and no file of the user's is touched.
    Descriptor file(::open(nativePath(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!file.isOpen())
        return false;
    const bool written = (!mode || ::fchmod(file.get(), static_cast<mode_t>(*mode)) == 0) &&
                         writeAll(file.get(), content) && ::fsync(file.get()) == 0 && file.close();
    if (written)
        return true;
    const int why = errno; // the failure's cause, not the clean-up's
    ::unlink(nativePath(path).constData());
    errno = why;
    return false;
}

FileKind kindOf(const QString& path)
{
    struct stat status {};
    if (::lstat(nativePath(path).constData(), &status) != 0)
        return FileKind::Missing;
    return S_ISREG(status.st_mode) ? FileKind::Regular : S_ISDIR(status.st_mode) ? FileKind::Folder : FileKind::Other;
}

std::optional<unsigned> permissionsOf(const QString& path)
{
    struct stat status {};
    if (::lstat(nativePath(path).constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    return status.st_mode & 07777;
}

namespace {

// The outcome of a rename that was done: whether its folder reached the disk after it.
RenameOutcome flushedAfterRename(const QString& to)
{
    return syncFolderOf(to) ? RenameOutcome::Renamed : RenameOutcome::NotFlushed;
}

} // namespace

RenameOutcome replaceWith(const QString& from, const QString& to)
{
    if (::rename(nativePath(from).constData(), nativePath(to).constData()) != 0)
        return RenameOutcome::Failed;
    return flushedAfterRename(to);
}

RenameOutcome renameWithoutReplacing(const QString& from, const QString& to)
{
    const QByteArray source = nativePath(from);
    const QByteArray target = nativePath(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return flushedAfterRename(to);
    if (errno != EINVAL && errno != ENOSYS)
        return RenameOutcome::Failed;
    // A file system without the flag: a hard link fails as well when the name exists.
    if (::link(source.constData(), target.constData()) != 0)
        return RenameOutcome::Failed;
    ::unlink(source.constData());
    return flushedAfterRename(to);
}

RenameOutcome renameFolder(const QString& from, const QString& to)
{
    // rename() never replaces a folder that holds anything, and the caller has found the name free; it
    // works on every file system, a share's included, where renameat2's flag may not.
    if (::rename(nativePath(from).constData(), nativePath(to).constData()) != 0)
        return RenameOutcome::Failed;
    return flushedAfterRename(to);
}

bool flushFile(const QString& path)
{
    Descriptor file(::open(nativePath(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    return file.isOpen() && ::fsync(file.get()) == 0 && file.close();
}

bool flushFolder(const QString& folder)
{
    return syncFolder(folder);
}

bool removeFile(const QString& path)
{
    return ::unlink(nativePath(path).constData()) == 0;
}

namespace {

// Walks the folder open as `folder` (shown as `shown`), never following a link: with `remove` false it only
// looks for a stranger, with `remove` true it removes every file and folder below it.
bool walkTree(int folder, const QString& shown, bool remove, QString& stranger)
{
    const int listing = ::dup(folder);
    DIR* opened = listing >= 0 ? ::fdopendir(listing) : nullptr;
    if (!opened) {
        if (listing >= 0)
            ::close(listing);
        return false;
    }
    const std::unique_ptr<DIR, int (*)(DIR*)> entries(opened, ::closedir);
    ::rewinddir(opened);
    // The names first: a folder's listing may skip entries while they are removed.
    QList<QByteArray> names;
    while (const dirent* entry = ::readdir(opened))
        if (qstrcmp(entry->d_name, ".") != 0 && qstrcmp(entry->d_name, "..") != 0)
            names << QByteArray(entry->d_name);
    for (const QByteArray& name : names) {
        struct stat status {};
        if (::fstatat(folder, name.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0)
            return false;
        const QString path = shown + QLatin1Char('/') + QFile::decodeName(name);
        if (S_ISDIR(status.st_mode)) {
            Descriptor below(::openat(folder, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            if (!below.isOpen() || !walkTree(below.get(), path, remove, stranger))
                return false;
            if (remove && ::unlinkat(folder, name.constData(), AT_REMOVEDIR) != 0)
                return false;
        } else if (!S_ISREG(status.st_mode)) {
            stranger = path;
            return false;
        } else if (remove && ::unlinkat(folder, name.constData(), 0) != 0) {
            return false;
        }
    }
    return true;
}

} // namespace

TreeRemoval removeTree(const QString& path, QString& stranger)
{
    stranger.clear();
    Descriptor top(::open(nativePath(path).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!top.isOpen()) {
        if (errno == ENOENT)
            return TreeRemoval::Missing;
        if (errno != ELOOP && errno != ENOTDIR)
            return TreeRemoval::Failed;
        stranger = path; // a link or a file, perhaps put there since it was looked at
        return TreeRemoval::Stranger;
    }
    // Looked through whole before anything is removed, so that a stranger leaves everything as it was.
    for (const bool remove : {false, true})
        if (!walkTree(top.get(), path, remove, stranger))
            return stranger.isEmpty() ? TreeRemoval::Failed : TreeRemoval::Stranger;
    if (::rmdir(nativePath(path).constData()) != 0) // never follows a link put in its place meanwhile
        return TreeRemoval::Failed;
    syncFolderOf(path);
    return TreeRemoval::Removed;
}

std::optional<std::pair<quint64, quint64>> identityOf(const QString& path)
{
    struct stat status {};
    if (::stat(nativePath(path).constData(), &status) != 0)
        return std::nullopt;
    return std::pair<quint64, quint64>(status.st_dev, status.st_ino);
}

AppendOutcome appendEndingLastLine(const QString& path, const QByteArray& content)
{
    // Never through a link, and never waiting on a FIFO.
    Descriptor file(::open(nativePath(path).constData(), O_RDWR | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!file.isOpen())
        return errno == ELOOP || errno == EISDIR ? AppendOutcome::NotRegular : AppendOutcome::Failed;
    struct stat before {};
    if (::fstat(file.get(), &before) != 0)
        return AppendOutcome::Failed;
    if (!S_ISREG(before.st_mode))
        return AppendOutcome::NotRegular;
    // A last line without its line end (a file edited by hand) is ended, so the new line stands alone.
    QByteArray bytes;
    if (before.st_size > 0) {
        char last = 0;
        if (::pread(file.get(), &last, 1, before.st_size - 1) != 1)
            return AppendOutcome::Failed;
        if (last == '\r')
            bytes = "\n";
        else if (last != '\n')
            bytes = LineEnd;
    }
    bytes += content;
    // One write of the whole content, so a record is never split between two system calls; whatever
    // fails, the file is cut back to where it ended.
    if (!writeAll(file.get(), bytes) || ::fdatasync(file.get()) != 0) {
        const int why = errno;
        const bool restored = ::ftruncate(file.get(), before.st_size) == 0 && ::fsync(file.get()) == 0;
        errno = why;
        return restored ? AppendOutcome::Failed : AppendOutcome::FailedAndNotRestored;
    }
    return file.close() ? AppendOutcome::Appended : AppendOutcome::Failed;
}

bool cutBackTo(const QString& path, qint64 length)
{
    Descriptor file(::open(nativePath(path).constData(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    return file.isOpen() && ::fstat(file.get(), &status) == 0 && S_ISREG(status.st_mode) && status.st_size >= length &&
           ::ftruncate(file.get(), length) == 0 && ::fsync(file.get()) == 0 && file.close();
}

namespace {

// Opens a regular file for reading without waiting and without following a link: a FIFO at a file's name
// would otherwise hold the program for good, and a link could lead anywhere. Its size when it opened.
ReadOutcome openRegular(const QString& path, qint64 largest, QFile& file, qint64& size)
{
    const int descriptor = ::open(nativePath(path).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0)
        return errno == ELOOP ? ReadOutcome::NotRegular : errno == ENOENT ? ReadOutcome::Missing : ReadOutcome::Failed;
    struct stat status {};
    const bool regular = ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
    if (!regular || !file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return regular ? ReadOutcome::Failed : ReadOutcome::NotRegular;
    }
    // A file larger than any valid one is refused before it is read, so memory stays bounded.
    size = file.size();
    return size > largest ? ReadOutcome::TooLarge : ReadOutcome::Read;
}

} // namespace

ReadOutcome readRegularFile(const QString& path, qint64 largest, qint64 limit, QByteArray& content)
{
    QFile file;
    qint64 size = 0;
    if (const ReadOutcome opened = openRegular(path, largest, file, size); opened != ReadOutcome::Read)
        return opened;
    content = file.read(limit < 0 ? size : std::min(limit, size));
    return file.error() == QFileDevice::NoError ? ReadOutcome::Read : ReadOutcome::Failed;
}

ReadOutcome readRegularFileInBlocks(const QString& path, qint64 largest, qint64 block,
                                    const std::function<void(const QByteArray&)>& take)
{
    QFile file;
    qint64 size = 0;
    if (const ReadOutcome opened = openRegular(path, largest, file, size); opened != ReadOutcome::Read)
        return opened;
    for (qint64 done = 0; done < size;) {
        const QByteArray read = file.read(std::min(block, size - done));
        if (read.isEmpty() || file.error() != QFileDevice::NoError)
            return ReadOutcome::Failed;
        done += read.size();
        take(read);
    }
    return ReadOutcome::Read;
}

RewriteOutcome rewriteUnchanged(const QString& path, const QByteArray& expected)
{
    Descriptor file(::open(nativePath(path).constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW));
    if (!file.isOpen())
        return errno == ENOENT ? RewriteOutcome::Missing : RewriteOutcome::Unreachable;
    QByteArray content(expected.size() + 1, '\0');
    const ssize_t got = ::pread(file.get(), content.data(), static_cast<size_t>(content.size()), 0);
    content.resize(std::max<ssize_t>(got, 0));
    if (content != expected)
        return RewriteOutcome::Changed;
    const bool written =
        ::pwrite(file.get(), expected.constData(), static_cast<size_t>(expected.size()), 0) == expected.size() &&
        ::fdatasync(file.get()) == 0;
    const int why = errno;
    const bool closed = file.close();
    errno = why;
    return written && closed ? RewriteOutcome::Rewritten : RewriteOutcome::Failed;
}

WriteFailureCause writeFailureCause(int systemError)
{
    switch (systemError) {
    case ENOSPC:
    case EDQUOT:
        return WriteFailureCause::NoSpace;
    case EROFS:
        return WriteFailureCause::ReadOnly;
    case EACCES:
    case EPERM:
        return WriteFailureCause::NoAccess;
    case EBUSY:
    case ETXTBSY:
        return WriteFailureCause::InUse;
    case EIO:
    case ENOTCONN:
    case ESTALE:
    case EHOSTDOWN:
        return WriteFailureCause::ServerGone;
    default:
        return WriteFailureCause::Other;
    }
}

QString userName()
{
    const passwd* entry = ::getpwuid(::getuid());
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString::number(::getuid());
}

qint64 processId()
{
    return ::getpid();
}

QString processName(qint64 id)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(id));
    return comm.open(QIODevice::ReadOnly) ? QString::fromUtf8(comm.readAll()).trimmed() : QString();
}

bool processHasEnded(qint64 id, const QString& program)
{
    if (::kill(static_cast<pid_t>(id), 0) != 0 && errno == ESRCH)
        return true;
    return !program.isEmpty() && processName(id) != program;
}

} // namespace velmora::system
