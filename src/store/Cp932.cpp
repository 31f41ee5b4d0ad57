#include "Cp932.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace velmora::cp932 {
namespace {

// One converter pair per thread, opened once: iconv_open is far slower than a conversion of one line.
class Converter {
public:
    Converter(const char* to, const char* from) : descriptor(iconv_open(to, from)) {}
    ~Converter()
    {
        if (descriptor != invalid())
            iconv_close(descriptor);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts the whole input; nothing when a byte sequence is invalid, cut short or has no counterpart.
    std::optional<QByteArray> convert(QByteArrayView input) const
    {
        if (descriptor == invalid())
            return std::nullopt;
        iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
        QByteArray output(input.size() * 2 + 16, Qt::Uninitialized);
        char* in = const_cast<char*>(input.data());
        size_t inLeft = input.size();
        char* out = output.data();
        size_t outLeft = output.size();
        while (inLeft > 0) {
            if (iconv(descriptor, &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1))
                continue;
            if (errno != E2BIG)
                return std::nullopt;
            const auto used = out - output.data();
            output.resize(output.size() * 2);
            out = output.data() + used;
            outLeft = output.size() - used;
        }
        output.truncate(out - output.data());
        return output;
    }

private:
    static iconv_t invalid() { return reinterpret_cast<iconv_t>(-1); }
    iconv_t descriptor;
};

const Converter& encoder()
{
    thread_local const Converter converter("CP932", "UTF-8");
    return converter;
}

const Converter& decoder()
{
    thread_local const Converter converter("UTF-8", "CP932");
    return converter;
}

bool isAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

std::optional<QByteArray> encode(QStringView text)
{
    const QByteArray utf8 = text.toUtf8();
    if (isAscii(utf8))
        return utf8;
    return encoder().convert(utf8);
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
    const auto utf8 = decoder().convert(bytes);
    if (!utf8)
        return std::nullopt;
    return QString::fromUtf8(*utf8);
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
