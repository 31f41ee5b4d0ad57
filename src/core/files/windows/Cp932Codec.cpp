#include "core/files/Cp932Codec.h"

#include <windows.h>

namespace velmora::cp932::codec {
namespace {

// Where Windows' code page 932 and glibc's differ, the bytes glibc gives: both builds store the same
// bytes. Windows refuses these nine; glibc maps them.
constexpr std::pair<char16_t, const char*> MappedAsGlibc[] = {
    {u'\u00A2', "\x81\x91"}, {u'\u00A3', "\x81\x92"}, {u'\u00A5', "\x5C"},
    {u'\u00AC', "\x81\xCA"}, {u'\u2014', "\x81\x5C"}, {u'\u2016', "\x81\x61"},
    {u'\u203E', "\x7E"},     {u'\u2212', "\x81\x7C"}, {u'\u301C', "\x81\x60"},
};

// Windows accepts these; glibc refuses them, and so does this build.
bool refusedAsGlibc(char16_t c)
{
    return c == u'\u0080' || (c >= u'\uF8F0' && c <= u'\uF8F3');
}

std::optional<QByteArray> encodePart(QStringView part)
{
    if (part.isEmpty())
        return QByteArray();
    const auto* wide = reinterpret_cast<const wchar_t*>(part.utf16());
    BOOL usedDefault = FALSE;
    const int size =
        ::WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide, int(part.size()), nullptr, 0, nullptr, &usedDefault);
    if (size <= 0 || usedDefault)
        return std::nullopt;
    QByteArray bytes(size, Qt::Uninitialized);
    ::WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide, int(part.size()), bytes.data(), size, nullptr, &usedDefault);
    if (usedDefault)
        return std::nullopt;
    return bytes;
}

} // namespace

std::optional<QByteArray> toCp932(QStringView text)
{
    QByteArray bytes;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const char16_t c = i < text.size() ? text[i].unicode() : 0;
        const auto mapped = std::find_if(std::begin(MappedAsGlibc), std::end(MappedAsGlibc),
                                         [c](const auto& pair) { return pair.first == c; });
        if (i < text.size() && mapped == std::end(MappedAsGlibc) && !refusedAsGlibc(c))
            continue;
        const auto part = encodePart(text.mid(start, i - start));
        if (!part || (i < text.size() && refusedAsGlibc(c)))
            return std::nullopt;
        bytes += *part;
        if (i < text.size())
            bytes += mapped->second;
        start = i + 1;
    }
    return bytes;
}

std::optional<QString> fromCp932(QByteArrayView bytes)
{
    // The byte 0x80 alone, which Windows reads as U+0080, is no code page 932 text for glibc.
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte == 0x80)
            return std::nullopt;
        if ((byte >= 0x81 && byte <= 0x9F) || byte >= 0xE0)
            ++i; // the second byte of a pair may be anything
    }
    if (bytes.isEmpty())
        return QString();
    const int size = ::MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()), nullptr, 0);
    if (size <= 0)
        return std::nullopt;
    QString text(size, Qt::Uninitialized);
    ::MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()),
                          reinterpret_cast<wchar_t*>(text.data()), size);
    return text;
}

} // namespace velmora::cp932::codec
