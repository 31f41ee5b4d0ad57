#include "core/rules/EntryRules.h"

#include "core/files/Cp932.h"

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

} // namespace velmora
