#include "core/rules/BadgeDoses.h"

#include "core/files/Dosimeters.h"

#include <algorithm>

namespace velmora {
namespace {

// The larger of two readings, given to the finer of their places; nothing when both are.
std::optional<Reading> larger(const std::optional<Reading>& a, const std::optional<Reading>& b)
{
    if (!a || !b)
        return a ? a : b;
    return Reading{std::max(a->dose, b->dose), std::max(a->places, b->places)};
}

} // namespace

ComputedDoses computedDoses(const SiteReadings& readings, int wearing)
{
    const auto at = [&](Site site) { return readings[static_cast<size_t>(site)]; };
    const bool neck = wearing & NeckBadge;
    const std::optional<Reading> trunk10 = at(Site::TrunkHp10);
    const std::optional<Reading> neck10 = neck ? at(Site::NeckHp10) : std::nullopt;
    const std::optional<Reading> neck007 = neck ? at(Site::NeckHp007) : std::nullopt;

    std::optional<Reading> effective = trunk10;
    if (trunk10 && neck10) {
        const int places = std::max(neck10->places, trunk10->places);
        effective = Reading{(neck10->dose.hundredths(11) + trunk10->dose.hundredths(89)).roundedTo(places), places};
    }
    std::optional<Reading> lens = neck10 || neck007 ? larger(neck10, neck007) : larger(trunk10, at(Site::TrunkHp007));
    if ((wearing & EyeDosimeter) && at(Site::EyeHp3))
        lens = at(Site::EyeHp3);
    std::optional<Reading> skin = larger(at(Site::TrunkHp007), neck007);
    if (wearing & Ring)
        skin = larger(skin, at(Site::RingHp007));
    return {effective, lens, skin};
}

} // namespace velmora
