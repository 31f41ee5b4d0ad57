#include "core/files/SystemFiles.h"
#include "core/files/TextFile.h"

#include <QDir>
#include <QFileInfo>
#include <QThread>
#include <cerrno>
#include <lmcons.h>
#include <windows.h>

namespace velmora::system {
namespace {

std::wstring widePath(const QString& path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

// errno from a Windows error, so that the messages name the same causes as on Linux.
void setErrno(DWORD error = ::GetLastError())
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        errno = ENOENT;
        break;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        errno = EEXIST;
        break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        errno = ENOSPC;
        break;
    case ERROR_WRITE_PROTECT:
        errno = EROFS;
        break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        errno = EACCES;
        break;
    default: // the network name gone, an unexpected network error, a device not there
        errno = EIO;
    }
}

// A file handle that is closed when it goes out of scope.
class Handle {
public:
    explicit Handle(HANDLE handle) : h(handle ? handle : INVALID_HANDLE_VALUE) {}
    ~Handle()
    {
        if (isOpen())
            ::CloseHandle(h);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool isOpen() const { return h != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return h; }
    bool close()
    {
        const HANDLE closing = std::exchange(h, INVALID_HANDLE_VALUE);
        return ::CloseHandle(closing) != 0;
    }

private:
    HANDLE h;
};

// Opens without following a reparse point (a link), sharing as the readers and writers of other PCs do.
HANDLE openFile(const QString& path, DWORD access, DWORD creation)
{
    return ::CreateFileW(widePath(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, creation, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

bool isRegular(HANDLE file)
{
    BY_HANDLE_FILE_INFORMATION information{};
    return ::GetFileType(file) == FILE_TYPE_DISK && ::GetFileInformationByHandle(file, &information) &&
           !(information.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
}

qint64 sizeOf(HANDLE file)
{
    LARGE_INTEGER size{};
    return ::GetFileSizeEx(file, &size) ? size.QuadPart : -1;
}

OVERLAPPED at(qint64 position)
{
    OVERLAPPED overlapped{};
    overlapped.Offset = static_cast<DWORD>(position & 0xFFFFFFFF);
    overlapped.OffsetHigh = static_cast<DWORD>(position >> 32);
    return overlapped;
}

// Writes every byte at `offset` (an explicit offset: a handle opened for appending wrote at 0 under Wine).
bool writeAt(HANDLE file, const QByteArray& bytes, qint64 offset)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        OVERLAPPED where = at(offset + done);
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(std::min<qsizetype>(bytes.size() - done, qsizetype(1) << 30));
        if (!::WriteFile(file, bytes.constData() + done, chunk, &written, &where) || written == 0) {
            setErrno();
            return false;
        }
        done += written;
    }
    return true;
}

bool readAt(HANDLE file, char* data, qint64 length, qint64 offset)
{
    qint64 done = 0;
    while (done < length) {
        OVERLAPPED where = at(offset + done);
        DWORD got = 0;
        const auto chunk = static_cast<DWORD>(std::min<qint64>(length - done, qint64(1) << 30));
        if (!::ReadFile(file, data + done, chunk, &got, &where) || got == 0)
            return false;
        done += got;
    }
    return true;
}

bool cutBack(HANDLE file, qint64 size)
{
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = size;
    return ::SetFileInformationByHandle(file, FileEndOfFileInfo, &end, sizeof end) && ::FlushFileBuffers(file);
}

// Another program reading the file (a PC searching on the share) makes a rename fail for a moment: it is
// tried again for a short, bounded time (two seconds), then reported as the file being in use.
bool moveRetrying(const QString& from, const QString& to, DWORD flags)
{
    for (int attempt = 0;; ++attempt) {
        if (::MoveFileExW(widePath(from).c_str(), widePath(to).c_str(), flags | MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD error = ::GetLastError();
        const DWORD target = ::GetFileAttributesW(widePath(to).c_str());
        const bool readOnly = target != INVALID_FILE_ATTRIBUTES && (target & FILE_ATTRIBUTE_READONLY);
        if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) || readOnly) {
            setErrno(error);
            return false;
        }
        if (attempt == 40) {
            errno = EBUSY;
            return false;
        }
        QThread::msleep(50);
    }
}

// A folder cannot be opened as a file at all (access denied): one at a file's name is told by its kind.
bool isFolderOrLink(const QString& path)
{
    const FileKind kind = kindOf(path);
    return kind == FileKind::Folder || kind == FileKind::Other;
}

} // namespace

bool writeNewFile(const QString& path, const QByteArray& content, std::optional<unsigned> mode)
{
    (void)mode; // Windows files carry no permission bits: the folder's access rules apply
    Handle file(openFile(path, GENERIC_WRITE, CREATE_NEW));
    if (!file.isOpen()) {
        setErrno();
        return false;
    }
    bool written = writeAt(file.get(), content, 0);
    if (written && !::FlushFileBuffers(file.get())) {
        setErrno();
        written = false;
    }
    if (written && file.close())
        return true;
    const int why = errno;
    if (file.isOpen())
        file.close();
    ::DeleteFileW(widePath(path).c_str());
    errno = why;
    return false;
}

FileKind kindOf(const QString& path)
{
    const DWORD attributes = ::GetFileAttributesW(widePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return FileKind::Missing;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return FileKind::Other;
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? FileKind::Folder : FileKind::Regular;
}

std::optional<unsigned> permissionsOf(const QString& path)
{
    (void)path;
    return std::nullopt;
}

// The move writes through (MOVEFILE_WRITE_THROUGH): done is flushed.
RenameOutcome replaceWith(const QString& from, const QString& to)
{
    return moveRetrying(from, to, MOVEFILE_REPLACE_EXISTING) ? RenameOutcome::Renamed : RenameOutcome::Failed;
}

RenameOutcome renameWithoutReplacing(const QString& from, const QString& to)
{
    return moveRetrying(from, to, 0) ? RenameOutcome::Renamed : RenameOutcome::Failed;
}

RenameOutcome renameFolder(const QString& from, const QString& to)
{
    return moveRetrying(from, to, 0) ? RenameOutcome::Renamed : RenameOutcome::Failed;
}

bool flushFile(const QString& path)
{
    Handle file(openFile(path, GENERIC_WRITE, OPEN_EXISTING));
    return file.isOpen() && ::FlushFileBuffers(file.get()) && file.close();
}

bool flushFolder(const QString&)
{
    return true; // Windows keeps a folder's names with each rename written through (MOVEFILE_WRITE_THROUGH)
}

bool removeFile(const QString& path)
{
    return ::DeleteFileW(widePath(path).c_str()) != 0;
}

namespace {

// Walks the folder at `folder` without entering a reparse point (a link or junction): with `remove` false it
// only looks for a stranger, with `remove` true it removes every file and folder below it.
bool walkTree(const QString& folder, bool remove, QString& stranger)
{
    const QStringList names =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        const QString path = QDir(folder).filePath(name);
        switch (kindOf(path)) {
        case FileKind::Missing:
            return false;
        case FileKind::Other:
            stranger = path;
            return false;
        case FileKind::Folder:
            if (!walkTree(path, remove, stranger) || (remove && !::RemoveDirectoryW(widePath(path).c_str())))
                return false;
            break;
        case FileKind::Regular:
            if (remove && !::DeleteFileW(widePath(path).c_str()))
                return false;
            break;
        }
    }
    return true;
}

} // namespace

TreeRemoval removeTree(const QString& path, QString& stranger)
{
    stranger.clear();
    if (const FileKind kind = kindOf(path); kind != FileKind::Folder) {
        if (kind == FileKind::Missing)
            return TreeRemoval::Missing;
        stranger = path;
        return TreeRemoval::Stranger;
    }
    for (const bool remove : {false, true})
        if (!walkTree(path, remove, stranger))
            return stranger.isEmpty() ? TreeRemoval::Failed : TreeRemoval::Stranger;
    return ::RemoveDirectoryW(widePath(path).c_str()) ? TreeRemoval::Removed : TreeRemoval::Failed;
}

std::optional<std::pair<quint64, quint64>> identityOf(const QString& path)
{
    Handle file(::CreateFileW(widePath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!file.isOpen() || !::GetFileInformationByHandle(file.get(), &information))
        return std::nullopt;
    return std::pair<quint64, quint64>(information.dwVolumeSerialNumber,
                                       (quint64(information.nFileIndexHigh) << 32) | information.nFileIndexLow);
}

AppendOutcome appendEndingLastLine(const QString& path, const QByteArray& content)
{
    Handle file(openFile(path, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING));
    if (!file.isOpen()) {
        setErrno();
        return isFolderOrLink(path) ? AppendOutcome::NotRegular : AppendOutcome::Failed;
    }
    if (!isRegular(file.get()))
        return AppendOutcome::NotRegular;
    const qint64 before = sizeOf(file.get());
    if (before < 0) {
        setErrno();
        return AppendOutcome::Failed;
    }
    QByteArray bytes;
    if (before > 0) {
        char last = 0;
        if (!readAt(file.get(), &last, 1, before - 1)) {
            setErrno();
            return AppendOutcome::Failed;
        }
        if (last == '\r')
            bytes = "\n";
        else if (last != '\n')
            bytes = LineEnd;
    }
    bytes += content;
    // Written at the end the file had, in one call; whatever fails, the file is cut back to it.
    bool written = writeAt(file.get(), bytes, before);
    if (written && !::FlushFileBuffers(file.get())) {
        setErrno();
        written = false;
    }
    if (!written) {
        const int why = errno;
        const bool restored = cutBack(file.get(), before);
        errno = why;
        return restored ? AppendOutcome::Failed : AppendOutcome::FailedAndNotRestored;
    }
    return file.close() ? AppendOutcome::Appended : AppendOutcome::Failed;
}

bool cutBackTo(const QString& path, qint64 length)
{
    Handle file(openFile(path, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING));
    return file.isOpen() && isRegular(file.get()) && sizeOf(file.get()) >= length && cutBack(file.get(), length);
}

namespace {

// Whether the file opened for reading at `path` is a regular one (a link or a folder at its name is not
// followed), and its size when it opened.
ReadOutcome openedRegular(const QString& path, qint64 largest, const Handle& file, qint64& size)
{
    if (!file.isOpen()) {
        const DWORD error = ::GetLastError();
        setErrno(error);
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return ReadOutcome::Missing;
        return isFolderOrLink(path) ? ReadOutcome::NotRegular : ReadOutcome::Failed;
    }
    if (!isRegular(file.get()))
        return ReadOutcome::NotRegular;
    size = sizeOf(file.get());
    if (size < 0)
        return ReadOutcome::Failed;
    return size > largest ? ReadOutcome::TooLarge : ReadOutcome::Read;
}

} // namespace

ReadOutcome readRegularFile(const QString& path, qint64 largest, qint64 limit, QByteArray& content)
{
    const Handle file(openFile(path, GENERIC_READ, OPEN_EXISTING));
    qint64 size = 0;
    if (const ReadOutcome opened = openedRegular(path, largest, file, size); opened != ReadOutcome::Read)
        return opened;
    content.resize(limit < 0 ? size : std::min(limit, size));
    if (!content.isEmpty() && !readAt(file.get(), content.data(), content.size(), 0))
        return ReadOutcome::Failed;
    return ReadOutcome::Read;
}

ReadOutcome readRegularFileInBlocks(const QString& path, qint64 largest, qint64 block,
                                    const std::function<void(const QByteArray&)>& take)
{
    const Handle file(openFile(path, GENERIC_READ, OPEN_EXISTING));
    qint64 size = 0;
    if (const ReadOutcome opened = openedRegular(path, largest, file, size); opened != ReadOutcome::Read)
        return opened;
    for (qint64 done = 0; done < size;) {
        QByteArray read(std::min(block, size - done), Qt::Uninitialized);
        if (!readAt(file.get(), read.data(), read.size(), done))
            return ReadOutcome::Failed;
        done += read.size();
        take(read);
    }
    return ReadOutcome::Read;
}

RewriteOutcome rewriteUnchanged(const QString& path, const QByteArray& expected)
{
    Handle file(openFile(path, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING));
    if (!file.isOpen()) {
        const DWORD error = ::GetLastError();
        setErrno(error);
        return error == ERROR_FILE_NOT_FOUND ? RewriteOutcome::Missing : RewriteOutcome::Unreachable;
    }
    QByteArray content(expected.size(), '\0');
    if (sizeOf(file.get()) != expected.size() || !readAt(file.get(), content.data(), content.size(), 0) ||
        content != expected)
        return RewriteOutcome::Changed;
    if (!writeAt(file.get(), expected, 0) || !::FlushFileBuffers(file.get())) {
        setErrno();
        return RewriteOutcome::Failed;
    }
    return file.close() ? RewriteOutcome::Rewritten : RewriteOutcome::Failed;
}

// The Windows errors arrive here as the errno values setErrno() gave them.
WriteFailureCause writeFailureCause(int systemError)
{
    switch (systemError) {
    case ENOSPC:
        return WriteFailureCause::NoSpace;
    case EROFS:
        return WriteFailureCause::ReadOnly;
    case EACCES:
    case EPERM:
        return WriteFailureCause::NoAccess;
    case EBUSY:
        return WriteFailureCause::InUse;
    case EIO:
        return WriteFailureCause::ServerGone;
    default:
        return WriteFailureCause::Other;
    }
}

QString userName()
{
    wchar_t name[UNLEN + 1];
    DWORD length = UNLEN + 1;
    return ::GetUserNameW(name, &length) ? QString::fromWCharArray(name, int(length) - 1) : QString();
}

qint64 processId()
{
    return ::GetCurrentProcessId();
}

QString processName(qint64 id)
{
    Handle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(id)));
    if (!process.isOpen())
        return {};
    wchar_t name[MAX_PATH];
    DWORD length = MAX_PATH;
    if (!::QueryFullProcessImageNameW(process.get(), 0, name, &length))
        return {};
    return QFileInfo(QString::fromWCharArray(name, int(length))).completeBaseName();
}

bool processHasEnded(qint64 id, const QString& program)
{
    Handle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, static_cast<DWORD>(id)));
    if (!process.isOpen())
        return ::GetLastError() == ERROR_INVALID_PARAMETER; // no such process
    if (::WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0)
        return true;
    return !program.isEmpty() && processName(id) != program;
}

} // namespace velmora::system
