#include "entry/MonthPlausibility.h"
#include "store/DoseAdditions.h"
#include "support/Stores.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

// Before a month is saved, each person it brings near or over a limit is named, also by an internal dose alone.
TEST(MonthLimitFindings, NameWhomTheMonthBringsNearALimitByAnyDose)
{
    QTemporaryDir temp;
    const DataDir dir(temp.path());
    const QStringList names{QStringLiteral("山田"), QStringLiteral("鈴木")};
    makeStore(dir, names);
    ASSERT_TRUE(WriteDeclarations(dir, {{names[0], DeclarationKind::Pregnancy, 20260501, 0, NoComment}}));
    std::vector<PendingEntry> pending(2);
    pending[0].internal = 0.9;
    pending[1].lens = 39.9;
    EXPECT_EQ(monthLimitFindings(dir, {names}, pending, 202606),
              QStringList{QStringLiteral("山田：妊娠中 内部 0.9 ≥ 0.8（2026/05/01からの妊娠）")});
}

} // namespace
