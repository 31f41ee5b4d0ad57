#pragma once

#include "core/model/ExactDose.h"

#include <array>
#include <optional>

// The doses of a month computed from the readings of the personal dosimeters at each site worn, as the
// notice on the computation of external exposure has it for exposure that is not uniform:
// Hee = 0.08 Ha + 0.44 Hb + 0.45 Hc + 0.03 Hm (Ha head and neck, Hb chest and upper arms, Hc abdomen and
// thighs, Hm the most exposed of them, all Hp(10)). With a protective apron and two badges, one under it at the
// trunk and one outside at the neck, the trunk's reading stands for Hb and Hc and the neck's for Ha and Hm:
// Hee = 0.11 Ha + 0.89 Hb. The lens of the eye takes Hp(3) near the eye where such a dosimeter is worn,
// otherwise the larger of Hp(10) and Hp(0.07) at the neck (at the trunk with one badge); the skin the largest
// Hp(0.07) of any site worn.
namespace velmora {

// The sites and quantities a service reports, in the order of the layout's columns.
enum class Site { TrunkHp10, TrunkHp007, NeckHp10, NeckHp007, EyeHp3, RingHp007 };
constexpr int Sites = 6;

// A reading as the service printed it: the dose and the decimal places it was given to ("0.10" has 2).
struct Reading {
    ExactDose dose;
    int places = 0;
};
// The readings of one person's month, a mark of a value below detection as 0; nothing where the file has no
// such column.
using SiteReadings = std::array<std::optional<Reading>, Sites>;

// Each dose, or nothing where the file has none of the readings it is computed from (the effective dose
// needs the trunk's Hp(10)).
struct ComputedDoses {
    std::optional<Reading> effective;
    std::optional<Reading> lens;
    std::optional<Reading> skin;
};

// The doses of a person wearing `wearing` (see Wearing). Each is rounded half up to the finest decimal place
// of the readings it is computed from — the digit the service reports, which the notice does not go beyond —
// so that 0.11 × 0.3 + 0.89 × 0.1 = 0.122 is 0.1 where the readings are given to 0.1 mSv. Readings of sites
// not worn take no part.
ComputedDoses computedDoses(const SiteReadings& readings, int wearing);

} // namespace velmora
