#pragma once

#include <QString>
#include <compare>

namespace velmora {

// A dose in mSv held as a whole number of 10⁻¹² mSv, so that sums of the decimal texts of the data files
// are what a person adding them on paper gets, and a total equal to a limit compares equal to it. A
// stored value is taken as the shortest decimal that reads back to it (the text the file holds); digits
// finer than 10⁻¹² mSv, which no dosimeter reports, are rounded. Values and sums beyond ±10²⁴ mSv (only
// a damaged file holds such) stay at that bound.
class ExactDose {
public:
    constexpr ExactDose() = default;
    static ExactDose of(double storedValue);
    // Whether `storedValue` is held without rounding: finite, its shortest decimal of at most 12 places.
    static bool holds(double storedValue);
    static constexpr ExactDose whole(int mSv) { return ExactDose(static_cast<__int128>(mSv) * UnitsPerMSv); }

    ExactDose& operator+=(const ExactDose& other);
    ExactDose operator+(const ExactDose& other) const { return ExactDose(*this) += other; }
    constexpr auto operator<=>(const ExactDose&) const = default;
    // Four fifths of the dose: the 80 % from which a total comes near its limit.
    ExactDose fourFifths() const { return ExactDose(units / 5 * 4 + units % 5 * 4 / 5); }
    // Whether the dose is at least four fifths of `limit`, compared without rounding.
    bool reachesFourFifthsOf(const ExactDose& limit) const { return units * 5 >= limit.units * 4; }
    // The dose shared out equally among `count` (0 for none), to the nearest 10⁻¹² mSv.
    ExactDose dividedBy(qsizetype count) const;
    // `hundredths` hundredths of the dose (0.11 of it for 11), to the nearest 10⁻¹² mSv.
    ExactDose hundredths(int hundredths) const { return ExactDose(units * hundredths).dividedBy(100); }
    // The dose to `places` decimal places (0 to 12), half away from zero rounding up, as on paper.
    ExactDose roundedTo(int places) const;
    bool isNegative() const { return units < 0; }
    bool isZero() const { return units == 0; }

    // Decimal, without exponent or trailing zeros: "0.3", "45", "0.00001", "-0.5".
    QString text() const;
    // The nearest double, for what is shown through the report number forms.
    double toDouble() const;

private:
    static constexpr __int128 UnitsPerMSv = 1'000'000'000'000;
    constexpr explicit ExactDose(__int128 value) : units(value) {}
    __int128 units = 0;
};

} // namespace velmora
