#include "core/rules/BadgeDoses.h"

#include "core/files/Dosimeters.h"

#include <algorithm>

namespace velmora {
namespace {

Reading at(const SiteReadings& readings, Site site)
{
    return readings[static_cast<size_t>(site)].value_or(Reading{});
}

// The larger dose, given to the finer of the two places.
Reading larger(const Reading& a, const Reading& b)
{
    return {std::max(a.dose, b.dose), std::max(a.places, b.places)};
}

} // namespace

ComputedDoses computedDoses(const SiteReadings& readings, int wearing)
{
    const bool neck = wearing & NeckBadge;
    const Reading trunk10 = at(readings, Site::TrunkHp10);
    const Reading trunk007 = at(readings, Site::TrunkHp007);
    const Reading neck10 = neck ? at(readings, Site::NeckHp10) : Reading{};
    const Reading neck007 = neck ? at(readings, Site::NeckHp007) : Reading{};

    Reading effective = trunk10;
    if (neck) {
        const int places = std::max(neck10.places, trunk10.places);
        effective = {(neck10.dose.hundredths(11) + trunk10.dose.hundredths(89)).roundedTo(places), places};
    }
    Reading lens = neck ? larger(neck10, neck007) : larger(trunk10, trunk007);
    if ((wearing & EyeDosimeter) && readings[static_cast<size_t>(Site::EyeHp3)])
        lens = at(readings, Site::EyeHp3);
    Reading skin = larger(trunk007, neck007);
    if (wearing & Ring)
        skin = larger(skin, at(readings, Site::RingHp007));
    return {effective, lens, skin};
}

} // namespace velmora
