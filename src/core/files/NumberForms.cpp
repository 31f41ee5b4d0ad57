#include "core/files/NumberForms.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace velmora {
namespace {

// The power of ten of a scanned number's first significant digit ("0.05E3" → 1), for a number too large
// or too small for a double.
long decimalMagnitude(const std::string& text)
{
    const size_t exponentAt = text.find('E');
    const std::string mantissa = text.substr(0, exponentAt);
    const size_t point = std::min(mantissa.find('.'), mantissa.size());
    const size_t firstDigit = mantissa.find_first_of("123456789");
    // An exponent past any double's is only its sign: the lengths added below cannot overflow then.
    constexpr long Beyond = 1000000000L;
    long magnitude = exponentAt == std::string::npos
                         ? 0
                         : std::clamp(std::strtol(text.c_str() + exponentAt + 1, nullptr, 10), -Beyond, Beyond);
    if (firstDigit != std::string::npos)
        magnitude += firstDigit < point ? long(point - firstDigit) - 1 : -long(firstDigit - point);
    return magnitude;
}

// A scanned number as strtod reads it under the C locale, whatever LC_NUMERIC the user has and on every
// platform: "0.5" is one half, a number too large is infinite, one too small is zero.
double parseCLocale(const std::string& text)
{
    const bool negative = text.front() == '-';
    const char* begin = text.data() + (negative || text.front() == '+');
    double value = 0;
    if (std::from_chars(begin, text.data() + text.size(), value).ec == std::errc::result_out_of_range)
        value = decimalMagnitude(text) > 0 ? HUGE_VAL : 0.0;
    return negative ? -value : value;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Length of the longest beginning of text that forms a number: optional sign, digits with an optional
// decimal point (at least one digit), optional exponent E or D with optional sign and digits.
// The scanned number is copied to out with "D" turned into "E", ready for strtod.
size_t scanNumber(const std::string& text, std::string& out)
{
    size_t i = 0;
    out.clear();
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        out += text[i++];
    size_t digits = 0;
    while (i < text.size() && isDigit(text[i]))
        out += text[i++], ++digits;
    if (i < text.size() && text[i] == '.') {
        out += text[i++];
        while (i < text.size() && isDigit(text[i]))
            out += text[i++], ++digits;
    }
    if (digits == 0)
        return 0;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        size_t j = i + 1;
        std::string exponent = "E";
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            exponent += text[j++];
        const size_t firstDigit = j;
        while (j < text.size() && isDigit(text[j]))
            exponent += text[j++];
        if (j > firstDigit) {
            out += exponent;
            i = j;
        }
    }
    return i;
}

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\u3000';
}

// Full-width digits and signs typed with a Japanese input method, read as their ASCII forms.
char16_t foldFullWidth(char16_t c)
{
    if (c >= u'０' && c <= u'９')
        return u'0' + (c - u'０');
    switch (c) {
    case u'．':
        return u'.';
    case u'－':
    case u'−':
        return u'-';
    case u'＋':
        return u'+';
    case u'Ｅ':
    case u'ｅ':
        return u'E';
    case u'Ｄ':
    case u'ｄ':
        return u'D';
    default:
        return c;
    }
}

std::string uppercaseExponent(const char* begin, const char* end)
{
    std::string text(begin, end);
    for (char& c : text)
        if (c == 'e')
            c = 'E';
    return text;
}

std::string significantDigits(double magnitude, bool exact)
{
    char buffer[64];
    for (int precision : {15, 17}) {
        const auto result =
            std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::general, precision);
        std::string text = uppercaseExponent(buffer, result.ptr);
        if (!exact || precision == 17 || parseCLocale(text) == magnitude)
            return text;
    }
    return {};
}

// The sign place and the digits: exactly, or with at most 15 significant digits.
QString signAndDigits(double value, bool exact)
{
    if (value == 0)
        value = 0; // no "-0"
    const double magnitude = std::fabs(value);
    const QLatin1StringView sign(value < 0 ? "-" : " ");
    if (magnitude < 1e15 && magnitude == std::floor(magnitude))
        return sign + QString::number(static_cast<qint64>(magnitude));
    return sign + QString::fromStdString(significantDigits(magnitude, exact));
}

// A number line in print form with a fraction or an exponent (" 0.25 ", " 1.23E-03 "), read without
// copying: nothing for any other form, which the full reading takes.
std::optional<double> plainDecimal(QByteArrayView line)
{
    qsizetype end = line.size();
    while (end > 0 && line[end - 1] == ' ')
        --end;
    const char* first = line.data();
    if (end == 0 || (!isDigit(*first) && *first != '-'))
        return std::nullopt;
    for (qsizetype at = 0; at < end; ++at)
        if (!isDigit(line[at]) && line[at] != '.' && line[at] != 'E' && line[at] != '-' && line[at] != '+')
            return std::nullopt;
    double value = 0;
    const auto result = std::from_chars(first, first + end, value);
    if (result.ec != std::errc() || result.ptr != first + end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

QString printFormDigits(double value)
{
    return signAndDigits(value, true);
}

QString reportForm(double value)
{
    return signAndDigits(value, false) + QLatin1Char(' ');
}

QString plainForm(double value)
{
    return printFormDigits(value).trimmed();
}

QString printForm(double value)
{
    return printFormDigits(value) + QLatin1Char(' ');
}

std::optional<double> readNumberLine(QByteArrayView line)
{
    // Most number lines are whole numbers in print form (" 0 ", " 200504 "): read them directly.
    qsizetype i = 0;
    while (i < line.size() && line[i] == ' ')
        ++i;
    const bool negative = i < line.size() && line[i] == '-';
    qsizetype digits = i + negative;
    qint64 whole = 0;
    while (digits < line.size() && isDigit(line[digits]) && whole < 100'000'000'000'000)
        whole = whole * 10 + (line[digits++] - '0');
    qsizetype end = digits;
    while (end < line.size() && line[end] == ' ')
        ++end;
    if (end == line.size() && digits > i + negative && (digits == end || line[digits] == ' '))
        return negative ? -double(whole) : double(whole);
    if (const auto value = plainDecimal(line.sliced(i)))
        return value;

    std::string compact;
    compact.reserve(line.size());
    for (char c : line)
        if (c != ' ' && c != '\t')
            compact += c;
    std::string number;
    const size_t length = scanNumber(compact, number);
    if (length == 0 || length != compact.size())
        return std::nullopt;
    // from_chars ignores the user's locale; "1e999" is out of range: no number line could give it back.
    const char* begin = number.data() + (number.front() == '+');
    double value = 0;
    const auto result = std::from_chars(begin, number.data() + number.size(), value);
    if (result.ec != std::errc() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> readNumberLine(QStringView line)
{
    for (QChar c : line)
        if (c.unicode() >= 0x80)
            return std::nullopt;
    return readNumberLine(QByteArrayView(line.toLatin1()));
}

std::optional<double> leadingNumberOf(QStringView text)
{
    std::string compact;
    compact.reserve(text.size());
    for (QChar qc : text) {
        const char16_t c = foldFullWidth(qc.unicode());
        if (isBlank(c))
            continue;
        // Past the ASCII range nothing more can belong to the number.
        compact += c < 0x80 ? static_cast<char>(c) : '\x7f';
    }
    std::string number;
    if (scanNumber(compact, number) == 0)
        return std::nullopt;
    return parseCLocale(number);
}

std::optional<double> cellNumber(QStringView text)
{
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && isBlank(text[first].unicode()))
        ++first;
    while (end > first && isBlank(text[end - 1].unicode()))
        --end;
    std::string folded;
    folded.reserve(static_cast<size_t>(end - first));
    for (const QChar qc : text.sliced(first, end - first)) {
        const char16_t c = foldFullWidth(qc.unicode());
        // Past the ASCII range nothing can belong to a number; anything else inside that is no part of
        // one (a blank, a comma, a NUL) leaves the scan short of the cell's end.
        if (c >= 0x80)
            return std::nullopt;
        folded += static_cast<char>(c);
    }
    std::string number;
    if (folded.empty() || scanNumber(folded, number) != folded.size())
        return std::nullopt;
    return parseCLocale(number);
}

double LeadingNumber(QStringView text)
{
    return leadingNumberOf(text).value_or(0);
}

QString exponentForm(double value)
{
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value == 0 ? 0.0 : value, std::chars_format::scientific, 2);
    return QString::fromStdString(uppercaseExponent(buffer, result.ptr));
}

std::optional<MonthKey> typedMonthKey(QStringView year, QStringView month)
{
    const double key = LeadingNumber(year) * 100 + LeadingNumber(month);
    if (!std::isfinite(key) || key != std::floor(key) || std::fabs(key) >= 1e15)
        return std::nullopt;
    return static_cast<MonthKey>(key);
}

bool isStorable(double value)
{
    return std::isfinite(value);
}

} // namespace velmora
