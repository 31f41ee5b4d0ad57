#include "core/rules/MonthPlausibility.h"
#include "core/files/DoseAdditions.h"
#include "support/DataFiles.h"
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
    EXPECT_EQ(monthLimitFindings(dir, {names}, pending, 202606).near,
              QStringList{QStringLiteral("山田：妊娠中 内部 0.9 ≥ 0.8（2026/05/01からの妊娠）")});

    // Over a limit stands apart from near one, first.
    pending[1].lens = 55;
    const LimitFindings both = monthLimitFindings(dir, {names}, pending, 202606);
    EXPECT_EQ(both.over, QStringList{QStringLiteral("鈴木：水晶体 年度 55 > 50")});
    EXPECT_TRUE(monthLimitReport(both).startsWith(
        QStringLiteral("【超過】この月の線量で限度を超える人が1名います（他施設での線量を含みます）。\n鈴木：")));
    EXPECT_TRUE(monthLimitReport(both).contains(QStringLiteral("\n\n【注意】この月の線量で限度の注意となる人が1名")));

    // Doses elsewhere that cannot be read: this facility's doses are still checked, and the report says so.
    writeBytes(dir.listFile(OtherFacilityDosesFile), " 1 \r\n");
    pending[1].lens = 45;
    const LimitFindings unchecked = monthLimitFindings(dir, {names}, pending, 202606);
    EXPECT_EQ(unchecked.near, QStringList{QStringLiteral("鈴木：水晶体 年度 45 ≥ 40")});
    EXPECT_TRUE(monthLimitReport(unchecked).startsWith(
        QStringLiteral("【注意】この月の線量で限度の注意となる人が1名います（この施設の線量だけで確認しました）。")));
    EXPECT_TRUE(monthLimitReport(unchecked).contains(QStringLiteral("ファイル「他施設線量.txt」")));
}

} // namespace
