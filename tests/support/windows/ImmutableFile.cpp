#include "support/Stores.h"

#include <QDir>
#include <windows.h>

namespace velmora::test {

// The read-only attribute: Windows then refuses to write, replace or append to the file. Where it is
// not enforced (Wine), the file counts as one that cannot be made immutable.
bool ImmutableFile::setImmutable(bool on)
{
    const std::wstring wide = QDir::toNativeSeparators(path).toStdWString();
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        !::SetFileAttributesW(wide.c_str(),
                              on ? attributes | FILE_ATTRIBUTE_READONLY : attributes & ~DWORD(FILE_ATTRIBUTE_READONLY)))
        return false;
    if (!on)
        return true;
    const HANDLE writable = ::CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (writable == INVALID_HANDLE_VALUE)
        return true;
    ::CloseHandle(writable);
    ::SetFileAttributesW(wide.c_str(), attributes);
    return false;
}

} // namespace velmora::test
