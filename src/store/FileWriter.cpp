#include "FileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {
namespace {

const QString TemporaryPrefix = QStringLiteral(".velmora-writing-");
constexpr int TemporarySuffixLength = 8;

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

QByteArray nativePath(const QString& path)
{
    return QFile::encodeName(path);
}

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

// A write that failed, with the system's reason when it gave one.
Failure writeFailure(const QString& shownName)
{
    Failure failed = failure(FailureKind::CannotWrite, shownName);
    failed.systemError = errno;
    return failed;
}

// Makes a rename or a new name in a folder durable (on a shared folder: known to the file server). A file
// system that cannot flush a folder at all says EINVAL; its names are durable as the server keeps them.
bool syncFolder(const QString& folder)
{
    Descriptor directory(::open(nativePath(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return directory.isOpen() && (::fsync(directory.get()) == 0 || errno == EINVAL);
}

// A temporary file beside `path` holding the whole content on the disk, or an empty path. Its name is
// new (O_EXCL), so no link is followed and no file of the user's is touched.
QString writeTemporary(const QString& path, const QByteArray& content, std::optional<mode_t> mode)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString temporary = temporaryNameBeside(path);
        Descriptor file(::open(nativePath(temporary).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (!file.isOpen()) {
            if (errno == EEXIST)
                continue;
            return {};
        }
        const bool written = (!mode || ::fchmod(file.get(), *mode) == 0) && writeAll(file.get(), content) &&
                             ::fsync(file.get()) == 0 && file.close();
        if (written)
            return temporary;
        const int why = errno; // the failure's cause, not the clean-up's
        ::unlink(nativePath(temporary).constData());
        errno = why;
        return {};
    }
    return {};
}

// Gives the temporary file the name `path` without replacing anything there; EEXIST when something is.
bool renameWithoutReplacing(const QByteArray& temporary, const QByteArray& path)
{
    if (::renameat2(AT_FDCWD, temporary.constData(), AT_FDCWD, path.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system without the flag: a hard link fails as well when the name exists.
    if (::link(temporary.constData(), path.constData()) != 0)
        return false;
    ::unlink(temporary.constData());
    return true;
}

} // namespace

QString temporaryNameBeside(const QString& path)
{
    QString name = TemporaryPrefix;
    for (int i = 0; i < TemporarySuffixLength; ++i)
        name += QLatin1Char("abcdefghijklmnopqrstuvwxyz0123456789"[QRandomGenerator::global()->bounded(36)]);
    return QFileInfo(path).dir().filePath(name);
}

std::optional<QDateTime> folderClock(const QString& folder)
{
    const QString probe = writeTemporary(QDir(folder).filePath(QStringLiteral("clock")), "1", std::nullopt);
    if (probe.isEmpty())
        return std::nullopt;
    struct stat written {};
    const bool stamped = ::stat(nativePath(probe).constData(), &written) == 0;
    ::unlink(nativePath(probe).constData());
    if (!stamped)
        return std::nullopt;
    return QDateTime::fromMSecsSinceEpoch(qint64(written.st_mtim.tv_sec) * 1000 + written.st_mtim.tv_nsec / 1000000);
}

bool isTemporaryFileName(const QString& fileName)
{
    static const QRegularExpression temporary(
        QStringLiteral("^%1[a-z0-9]{%2}$").arg(QRegularExpression::escape(TemporaryPrefix)).arg(TemporarySuffixLength));
    return temporary.match(fileName).hasMatch();
}

Status replaceFile(const QString& path, const QString& shownName, const QByteArray& content)
{
    // The new file keeps the permissions of the one it replaces; a link or a special file at the name is
    // left as it is.
    struct stat old {};
    std::optional<mode_t> mode;
    if (::lstat(nativePath(path).constData(), &old) == 0) {
        if (!S_ISREG(old.st_mode))
            return failure(FailureKind::NotRegularFile, shownName);
        mode = old.st_mode & 07777;
    }
    const QString temporary = writeTemporary(path, content, mode);
    if (temporary.isEmpty())
        return writeFailure(shownName);
    if (::rename(nativePath(temporary).constData(), nativePath(path).constData()) != 0) {
        const Failure failed = writeFailure(shownName);
        ::unlink(nativePath(temporary).constData());
        return failed;
    }
    if (!syncFolder(QFileInfo(path).path()))
        return writeFailure(shownName);
    return {};
}

Status createFile(const QString& path, const QString& shownName, const QByteArray& content)
{
    const QString temporary = writeTemporary(path, content, std::nullopt);
    if (temporary.isEmpty())
        return writeFailure(shownName);
    if (!renameWithoutReplacing(nativePath(temporary), nativePath(path))) {
        const bool exists = errno == EEXIST;
        ::unlink(nativePath(temporary).constData());
        return exists ? failure(FailureKind::AlreadyExists, shownName) : writeFailure(shownName);
    }
    if (!syncFolder(QFileInfo(path).path()))
        return writeFailure(shownName);
    return {};
}

Status createIfMissing(const QString& path, const QString& shownName, const QByteArray& content)
{
    struct stat existing {};
    if (::lstat(nativePath(path).constData(), &existing) == 0)
        return {};
    return createFile(path, shownName, content);
}

Status appendToFile(const QString& path, const QString& shownName, const QByteArray& content)
{
    // Never through a link, and never waiting on a FIFO.
    Descriptor file(::open(nativePath(path).constData(), O_RDWR | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!file.isOpen())
        return errno == ELOOP || errno == EISDIR ? failure(FailureKind::NotRegularFile, shownName)
                                                 : writeFailure(shownName);
    struct stat before {};
    if (::fstat(file.get(), &before) != 0)
        return writeFailure(shownName);
    if (!S_ISREG(before.st_mode))
        return failure(FailureKind::NotRegularFile, shownName);
    // A last line without its line end (a file edited by hand) is ended, so the new line stands alone.
    QByteArray bytes;
    if (before.st_size > 0) {
        char last = 0;
        if (::pread(file.get(), &last, 1, before.st_size - 1) != 1)
            return writeFailure(shownName);
        if (last == '\r')
            bytes = "\n";
        else if (last != '\n')
            bytes = "\r\n";
    }
    bytes += content;
    // One write of the whole content, so a record is never split between two system calls; whatever
    // fails, the file is cut back to where it ended.
    if (!writeAll(file.get(), bytes) || ::fdatasync(file.get()) != 0) {
        const Failure failed = writeFailure(shownName);
        const bool restored = ::ftruncate(file.get(), before.st_size) == 0 && ::fsync(file.get()) == 0;
        return restored ? failed : withNotRestored(failed, shownName);
    }
    if (!file.close())
        return writeFailure(shownName);
    return {};
}

void removeUnfinishedWrites(const QString& folder)
{
    const QDir files(folder);
    for (const QString& name : files.entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (isTemporaryFileName(name))
            QFile::remove(files.filePath(name));
}

} // namespace velmora
