#include "support/Stores.h"

#include <QDir>
#include <windows.h>

namespace velmora::test {

// The read-only attribute: Windows then refuses to write, replace or append to the file.
bool ImmutableFile::setImmutable(bool on)
{
    const std::wstring wide = QDir::toNativeSeparators(path).toStdWString();
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    return ::SetFileAttributesW(wide.c_str(), on ? attributes | FILE_ATTRIBUTE_READONLY
                                                 : attributes & ~DWORD(FILE_ATTRIBUTE_READONLY)) != 0;
}

} // namespace velmora::test
