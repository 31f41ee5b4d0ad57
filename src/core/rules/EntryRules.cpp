#include "core/rules/EntryRules.h"

#include "core/files/Csv.h"
#include "core/files/NumberForms.h"
#include "core/texts/Messages.h"

namespace velmora {

std::optional<QString> typedDosesProblem(const std::array<QString, 4>& typed)
{
    for (size_t at = 0; at < typed.size(); ++at)
        if (const auto doubt = csv::doseValueDoubt(LeadingNumber(typed[at])); doubt != csv::DoseReading::None)
            return QStringLiteral("%1「%2」").arg(DoseFieldNames[at], typed[at]) + doseDoubtText(doubt);
    return std::nullopt;
}

} // namespace velmora
