#include "core/rules/EntryRules.h"

#include "core/files/Cp932.h"
#include "core/files/Csv.h"
#include "core/files/NumberForms.h"
#include "core/texts/Messages.h"

namespace velmora {

std::optional<Failure> storableTextProblem(const QString& text)
{
    if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')))
        return failure(FailureKind::LineBreakInText);
    if (!cp932::encode(text))
        return failureWithText(FailureKind::Unencodable, text);
    return std::nullopt;
}

std::optional<Failure> storableTextsProblem(std::initializer_list<QString> texts)
{
    for (const QString& text : texts)
        if (auto problem = storableTextProblem(text))
            return problem;
    return std::nullopt;
}

std::optional<QString> typedDosesProblem(const std::array<QString, 4>& typed)
{
    for (size_t at = 0; at < typed.size(); ++at)
        if (const auto doubt = csv::doseValueDoubt(LeadingNumber(typed[at])); doubt != csv::DoseReading::None)
            return QStringLiteral("%1「%2」").arg(DoseFieldNames[at], typed[at]) + doseDoubtText(doubt);
    return std::nullopt;
}

} // namespace velmora
