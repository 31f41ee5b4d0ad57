#include "StoreGenerator.h"
#include "core/rules/StoreTotals.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;

namespace {

// The demo store, the one the README's pictures show, holds doses as the program writes typed ones: no
// person is in doubt for a dose finer than its decimals.
TEST(StoreGenerator, TheDemoStoreHoldsExactDecimals)
{
    QTemporaryDir store;
    const DataDir dir(store.path());
    ASSERT_TRUE(generateStore(dir, {30, 36, 202304}));
    for (const int year : {2023, 2024, 2025}) {
        const auto rows = gatherStoreTotals(dir, year, FiscalYear(year).lastMonth());
        ASSERT_TRUE(rows);
        for (const TotalsRow& row : *rows)
            EXPECT_NE(row.verdict(), Verdict::Doubtful) << row.name.toStdString() << " " << year;
    }
}

} // namespace
