#include "core/model/ExactDose.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

namespace velmora {
namespace {

constexpr int Places = 12;
// ±10²⁴ mSv in units: far beyond any real dose, and five times it still fits in 128 bits.
constexpr __int128 Bound = static_cast<__int128>(1'000'000'000'000'000'000) * 1'000'000'000'000'000'000;

__int128 bounded(__int128 value)
{
    return value > Bound ? Bound : value < -Bound ? -Bound : value;
}

// The units of the shortest decimal that reads back to `value`: its digits shifted to 10⁻¹² mSv,
// rounded half away from zero when the decimal is finer.
__int128 unitsOfShortestDecimal(double value)
{
    char text[64];
    const auto written = std::to_chars(std::begin(text), std::end(text), value, std::chars_format::scientific);
    const std::string shortest(text, written.ptr);
    const size_t exponentAt = shortest.find('e');
    int shift = std::stoi(shortest.substr(exponentAt + 1)) + Places;
    __int128 digits = 0;
    bool first = true;
    for (size_t at = 0; at < exponentAt; ++at) {
        if (shortest[at] < '0' || shortest[at] > '9')
            continue;
        digits = digits * 10 + (shortest[at] - '0');
        if (!first)
            --shift; // each digit after the first stands one place lower
        first = false;
    }
    for (; shift > 0; --shift) {
        if (digits > Bound)
            return Bound;
        digits *= 10;
    }
    for (; shift < 0 && digits != 0; ++shift)
        digits = shift == -1 ? (digits + 5) / 10 : digits / 10;
    return shortest[0] == '-' ? -digits : digits;
}

} // namespace

ExactDose ExactDose::of(double storedValue)
{
    if (std::isnan(storedValue))
        return {};
    if (std::isinf(storedValue))
        return ExactDose(storedValue > 0 ? Bound : -Bound);
    // The common case without text: below 1000 mSv a decimal of at most 12 places that reads back to the
    // value is the only one of that many places, so it is the shortest decimal's value too.
    if (std::fabs(storedValue) < 1000) {
        const double scaled = std::round(storedValue * 1e12);
        if (scaled / 1e12 == storedValue)
            return ExactDose(static_cast<__int128>(static_cast<long long>(scaled)));
    }
    return ExactDose(bounded(unitsOfShortestDecimal(storedValue)));
}

bool ExactDose::holds(double storedValue)
{
    if (!std::isfinite(storedValue))
        return false;
    char text[64];
    const auto written = std::to_chars(std::begin(text), std::end(text), storedValue, std::chars_format::scientific);
    const std::string shortest(text, written.ptr);
    const size_t exponentAt = shortest.find('e');
    const auto digits = std::count_if(shortest.begin(), shortest.begin() + static_cast<std::ptrdiff_t>(exponentAt),
                                      [](char c) { return c >= '0' && c <= '9'; });
    return digits - 1 - std::stoi(shortest.substr(exponentAt + 1)) <= Places;
}

ExactDose& ExactDose::operator+=(const ExactDose& other)
{
    units = bounded(units + other.units);
    return *this;
}

ExactDose ExactDose::dividedBy(qsizetype count) const
{
    if (count <= 0)
        return {};
    // Half a unit away from zero rounds up, as on paper.
    const auto divisor = static_cast<__int128>(count);
    const __int128 half = (units < 0 ? -divisor : divisor) / 2;
    return ExactDose((units + half) / divisor);
}

ExactDose ExactDose::roundedTo(int places) const
{
    __int128 step = 1;
    for (int place = std::clamp(places, 0, 12); place < 12; ++place)
        step *= 10;
    const __int128 half = (units < 0 ? -step : step) / 2;
    return ExactDose((units + half) / step * step);
}

QString ExactDose::text() const
{
    // Whole mSv (at most 10²⁴, so two 64-bit parts) and twelve places of fraction, trailing zeros left off.
    constexpr std::uint64_t Eighteen = 1'000'000'000'000'000'000;
    const auto magnitude = static_cast<unsigned __int128>(units < 0 ? -units : units);
    const auto whole = magnitude / static_cast<unsigned __int128>(UnitsPerMSv);
    const auto fraction = static_cast<std::uint64_t>(magnitude % static_cast<unsigned __int128>(UnitsPerMSv));
    char text[64];
    char* end = text;
    if (units < 0)
        *end++ = '-';
    const auto high = static_cast<std::uint64_t>(whole / Eighteen);
    const auto low = static_cast<std::uint64_t>(whole % Eighteen);
    if (high != 0) {
        end = std::to_chars(end, std::end(text), high).ptr;
        char* digits = end;
        end = std::to_chars(end, std::end(text), low).ptr;
        const auto written = end - digits;
        std::memmove(digits + (18 - written), digits, static_cast<size_t>(written));
        std::fill(digits, digits + (18 - written), '0');
        end = digits + 18;
    } else {
        end = std::to_chars(end, std::end(text), low).ptr;
    }
    if (fraction != 0) {
        *end++ = '.';
        auto place = static_cast<std::uint64_t>(UnitsPerMSv / 10);
        for (std::uint64_t rest = fraction; rest != 0; place /= 10) {
            *end++ = static_cast<char>('0' + rest / place);
            rest %= place;
        }
    }
    return QString::fromLatin1(text, end - text);
}

double ExactDose::toDouble() const
{
    return text().toDouble();
}

} // namespace velmora
