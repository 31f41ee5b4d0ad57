#include "core/rules/EntryRules.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

// What every window and import may store as a line of a data file.
TEST(EntryRules, StoreOneLineOfCodePage932Only)
{
    for (const auto& [text, refusal] : {std::pair{u"腕", std::optional<FailureKind>()},
                                        {u"", std::optional<FailureKind>()},
                                        {u"①～Ｍ　髙橋", std::optional<FailureKind>()},
                                        {u"😀", std::optional(FailureKind::Unencodable)},
                                        {u"腕\n胸", std::optional(FailureKind::LineBreakInText)},
                                        {u"腕\r", std::optional(FailureKind::LineBreakInText)}}) {
        const auto problem = storableTextProblem(QString::fromUtf16(text));
        EXPECT_EQ(problem ? std::optional(problem->kind) : std::nullopt, refusal)
            << QString::fromUtf16(text).toStdString();
    }
    EXPECT_EQ(storableTextsProblem({QStringLiteral("腕"), QStringLiteral("😀")})->text, QStringLiteral("😀"));
}

} // namespace
