#include "core/rules/DoseLimits.h"

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

} // namespace
