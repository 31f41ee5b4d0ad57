#include "core/files/Cp932.h"

#include "core/files/Cp932Codec.h"

#include <algorithm>

namespace velmora::cp932 {
namespace {

bool isAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

std::optional<QByteArray> encode(QStringView text)
{
    if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; }))
        return text.toLatin1();
    return codec::toCp932(text);
}

std::optional<QString> decode(QByteArrayView bytes)
{
    // Code page 932 and ASCII agree on every byte below 0x80, and most lines are ASCII; most of the rest
    // are the "no comment" mark of the monthly records.
    if (isAscii(bytes))
        return QString::fromLatin1(bytes.data(), bytes.size());
    static const QString noComment = QStringLiteral("―");
    if (bytes == QByteArrayView("\x81\x5c"))
        return noComment;
    return codec::fromCp932(bytes);
}

QString firstUnencodable(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QStringView character = text.mid(i, length);
        if (!encode(character))
            return character.toString();
        i += length - 1;
    }
    return {};
}

QString canonical(const QString& text)
{
    const auto bytes = encode(text);
    if (!bytes)
        return text;
    return decode(*bytes).value_or(text);
}

} // namespace velmora::cp932
