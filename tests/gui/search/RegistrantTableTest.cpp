#include "gui/reports/RegistrantTable.h"
#include "support/DataFiles.h"
#include "support/RecordingSurface.h"
#include "support/Stores.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

TEST(RegistrantTable, CellsOfARow)
{
    PersonalHeader past = personHeader(QStringLiteral("山田"), 12);
    past.pastExposureFlag = 1;
    past.pastDose = 1.5;
    PersonalHeader none = personHeader(QStringLiteral("鈴木"), 13);
    none.sexCode = 0;
    none.pastDose = 9; // flag 0: the dose is not shown
    const QStringList names = {QStringLiteral("山田"), QStringLiteral("鈴木"), QStringLiteral("佐藤")};
    const QList<std::optional<PersonalHeader>> summary = {past, none, std::nullopt};
    RecordingSurface surface;
    qsizetype nextRow = 1;
    ShowRegistrantTable(surface, {names, summary}, nextRow);
    EXPECT_EQ(surface.row(310),
              (QStringList{"山田", " 12 ", "女", "1965/04/12", "放射線科", "医師", "04-01-2005", " 1.5 "}));
    EXPECT_EQ(surface.at(950, 310), QStringLiteral("1965/04/12"));
    EXPECT_EQ(surface.at(2500, 310), QStringLiteral(" 1.5 "));
    EXPECT_EQ(surface.row(360),
              (QStringList{"鈴木", " 13 ", "男", "1965/04/12", "放射線科", "医師", "04-01-2005", "なし"}));
    EXPECT_EQ(surface.row(410), (QStringList{"佐藤", "―", "―", "―", "―", "―", "―", "―"}));
    EXPECT_EQ(nextRow, 4);
    const auto* title = surface.find(QStringLiteral("  個人被曝記録登録者データ"));
    ASSERT_TRUE(title);
    EXPECT_EQ(title->size, 14);
    EXPECT_EQ(surface.at(2430, 230), QStringLiteral("過去被曝歴[mSv]"));
    EXPECT_EQ(surface.at(450, 230), QStringLiteral("氏　名"));
    EXPECT_EQ(surface.countLines(1, Grey), 7);
    EXPECT_EQ(surface.countLines(1, Qt::black), 31);
}

TEST(RegistrantTable, PagingOf33Registrants)
{
    QStringList names;
    QList<std::optional<PersonalHeader>> summary;
    for (int i = 1; i <= 33; ++i) {
        names << QStringLiteral("職員%1").arg(i);
        summary << personHeader(names.last(), i);
    }
    RecordingSurface surface;
    qsizetype nextRow = 1;
    ShowRegistrantTable(surface, {names, summary}, nextRow);
    EXPECT_EQ(nextRow, 33);
    EXPECT_EQ(surface.at(400, 1860), QStringLiteral("職員32"));
    ShowRegistrantTable(surface, {names, summary}, nextRow);
    EXPECT_EQ(surface.row(310).value(0), QStringLiteral("職員33"));
    EXPECT_TRUE(surface.row(360).isEmpty());
    ShowRegistrantTable(surface, {names, summary}, nextRow);
    EXPECT_EQ(nextRow, 34);
    EXPECT_TRUE(surface.row(310).isEmpty());
    EXPECT_TRUE(surface.find(QStringLiteral("登録年月日")));
}

} // namespace
