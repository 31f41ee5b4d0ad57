#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The conversion between text and code page 932 bytes that the system offers (glibc's iconv on Linux,
// the Windows code page 932 calls on Windows), made to give the same bytes on both: the store's files
// are the same whichever PC wrote them.
namespace velmora::cp932::codec {

// The bytes of the text; nothing when a character has no code page 932 counterpart.
std::optional<QByteArray> toCp932(QStringView text);
// The text of the bytes; nothing when a byte sequence is not code page 932.
std::optional<QString> fromCp932(QByteArrayView bytes);

} // namespace velmora::cp932::codec
