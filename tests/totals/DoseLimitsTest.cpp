#include "totals/DoseLimits.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace velmora;

namespace {

// The guide's table of limits is the table the check applies, row for row.
TEST(DoseLimits, TheGuideShowsTheTableTheCheckApplies)
{
    QFile guide(QStringLiteral(VELMORA_TEST_DATA "/../../docs/dose-totals.md"));
    ASSERT_TRUE(guide.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(guide.readAll());
    const QString table = limitTableRows().join(QLatin1Char('\n'));
    EXPECT_TRUE(text.contains(QLatin1Char('\n') + table + QStringLiteral("\n\n"))) << table.toStdString();
}

TEST(DoseLimits, TheKeyNamesTheLimitsOfItsYear)
{
    EXPECT_EQ(limitsInShort(2000), "実効 年度 50／妊娠中 外部 2／妊娠中 内部 1／水晶体 年度 150／皮膚 年度 500");
    EXPECT_EQ(limitsInShort(2024), "実効 年度 50、5年 100、女性 Q 5／妊娠中 外部 2／妊娠中 内部 1／"
                                   "水晶体 年度 50、5年 100、経過措置対象医師 2023年度から 60／皮膚 年度 500");
    EXPECT_EQ(limitsInShort(2026), "実効 年度 50、5年 100、女性 Q 5／妊娠中 外部 2／妊娠中 内部 1／"
                                   "水晶体 年度 50、5年 100／皮膚 年度 500");
}

} // namespace
