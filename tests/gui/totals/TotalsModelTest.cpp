#include "gui/totals/TotalsModel.h"
#include "core/files/PersonalFile.h"
#include "support/Stores.h"

#include <QAbstractItemModelTester>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

// The totals' model keeps Qt's rules for models (rows, columns, roles, headers, the signals of a reset)
// through a gathering and its filter; the tester ends the test at the first broken rule.
TEST(TotalsModel, KeepsQtsModelRulesThroughAGatheringAndItsFilter)
{
    QTemporaryDir temp;
    const DataDir dir(temp.path());
    const QStringList names{QStringLiteral("山田"), QStringLiteral("鈴木")};
    makeStore(dir, names);
    ASSERT_TRUE(AppendMonthlyRecord(dir, names[0], {202606, 30, 0, 0, 0, NoComment})); // over 20: 注意
    TotalsModel model;
    const QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.setRows(gatherDoseTotals(dir, names, {}, 2026), 2026);
    EXPECT_EQ(model.rowCount(), 2);
    model.setFlaggedOnly(true);
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.rowAt(0).name, names[0]);
    model.setFlaggedOnly(false);
    EXPECT_EQ(model.rowCount(), 2);
    model.setRows({}, 2027);
    EXPECT_EQ(model.rowCount(), 0);
}

} // namespace
