#include "core/files/Cp932Codec.h"

#include <cerrno>
#include <iconv.h>

namespace velmora::cp932::codec {
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

} // namespace

std::optional<QByteArray> toCp932(QStringView text)
{
    return encoder().convert(text.toUtf8());
}

std::optional<QString> fromCp932(QByteArrayView bytes)
{
    const auto utf8 = decoder().convert(bytes);
    if (!utf8)
        return std::nullopt;
    return QString::fromUtf8(*utf8);
}

} // namespace velmora::cp932::codec
