#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Conversion between texts and the code page 932 bytes of the data files (glibc's "CP932" table,
// which reads 0x5C as "\" and holds the NEC and IBM extensions).
namespace velmora::cp932 {

// The bytes of a text, or nothing when the text has a character that code page 932 cannot hold.
std::optional<QByteArray> encode(QStringView text);

// The text of some bytes, or nothing when they are not valid code page 932 (a lead byte cut off included).
std::optional<QString> decode(QByteArrayView bytes);

// The first character of a text that code page 932 cannot hold, or an empty text when it holds them all.
QString firstUnencodable(QStringView text);

// The text as it reads back after being stored ("〜" U+301C becomes "～" U+FF5E, "—" U+2014 becomes "―").
// A text that cannot be stored is returned unchanged.
QString canonical(const QString& text);

} // namespace velmora::cp932
