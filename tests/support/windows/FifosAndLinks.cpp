#include "support/Stores.h"

#include <QDir>
#include <QFileInfo>
#include <windows.h>

namespace velmora::test {

// Windows has no FIFOs in its folders.
bool makeFifo(const QString&)
{
    return false;
}

// A symbolic link, where the user may make one and it is the reparse point Windows makes: Wine makes a
// Unix link, which its file calls follow as if it were the file itself.
bool makeSymbolicLink(const QString& target, const QString& at)
{
    const std::wstring link = QDir::toNativeSeparators(at).toStdWString();
    const DWORD flags =
        SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE | (QFileInfo(target).isDir() ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0);
    if (!::CreateSymbolicLinkW(link.c_str(), QDir::toNativeSeparators(target).toStdWString().c_str(), flags))
        return false;
    const DWORD attributes = ::GetFileAttributesW(link.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return true;
    if (flags & SYMBOLIC_LINK_FLAG_DIRECTORY)
        ::RemoveDirectoryW(link.c_str());
    else
        ::DeleteFileW(link.c_str());
    return false;
}

} // namespace velmora::test
