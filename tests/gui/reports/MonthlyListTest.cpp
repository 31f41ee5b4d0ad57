#include "gui/reports/MonthlyList.h"
#include "support/DataFiles.h"
#include "support/RecordingSurface.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

class MonthlyListTest : public testing::Test {
protected:
    void registrants(int count)
    {
        names.clear();
        rows.clear();
        for (int i = 1; i <= count; ++i) {
            names << QStringLiteral("職員%1").arg(i);
            rows.append(MonthRowEntry{double(i), 0, 0.1, 0.2, 0.3, 0, QStringLiteral("―"), true});
        }
    }
    void page() { ShowMonthlyList(surface, {year, month, names, rows}, nextRow); }
    // The names drawn on the page, top to bottom.
    QStringList namesShown() const
    {
        QStringList shown;
        for (const auto& text : surface.texts)
            if (text.x == 400 && text.y > 300)
                shown << text.text;
        return shown;
    }

    QString year = "2005";
    QString month = "4";
    QStringList names;
    QList<MonthRowEntry> rows;
    qsizetype nextRow = 1;
    RecordingSurface surface;
};

TEST_F(MonthlyListTest, TitleHeadingsAndRules)
{
    registrants(0);
    page();
    const auto* title = surface.find(QStringLiteral(" 放射線被曝データ  2005年 4月"));
    ASSERT_TRUE(title);
    EXPECT_EQ(title->size, 14);
    EXPECT_EQ(title->x, 200);
    EXPECT_EQ(surface.at(1250, 210), QStringLiteral("外部被曝 [mSv]"));
    EXPECT_EQ(surface.at(2410, 230), QStringLiteral("実効線量合計[mSv]"));
    EXPECT_EQ(surface.find(QStringLiteral("皮膚線量"))->size, 8);
    EXPECT_EQ(surface.countLines(2, Qt::black), 2);
    EXPECT_EQ(surface.countLines(1, Grey), 8);
    EXPECT_EQ(surface.countLines(1, Qt::black), 31);
    EXPECT_EQ(nextRow, 1);
}

TEST_F(MonthlyListTest, PagesHold32RowsAndTheLastPageIsEmptyAfterwards)
{
    for (const auto& [count, pages] :
         {std::pair{32, QList<qsizetype>{32, 0}}, {33, {32, 1, 0}}, {65, {32, 32, 1, 0}}}) {
        registrants(count);
        nextRow = 1;
        QList<qsizetype> shown;
        for (int i = 0; i < pages.size(); ++i) {
            page();
            shown << namesShown().size();
        }
        EXPECT_EQ(shown, pages) << count;
        EXPECT_EQ(nextRow, count + 1);
    }
    registrants(33);
    nextRow = 33;
    page();
    EXPECT_EQ(namesShown(), QStringList{QStringLiteral("職員33")});
    EXPECT_EQ(surface.at(400, 310), QStringLiteral("職員33")); // row 1
}

TEST_F(MonthlyListTest, CellsFollowTheirTestsInOrder)
{
    registrants(6);
    rows[0] = {7, 0, -1, -1, -1, -1, QStringLiteral("―"), true}; // no record
    rows[1] = {8, 1, 0, 0, 0, 0, QStringLiteral("―"), true};
    rows[2] = {9, 2, 0, 0.1, 0.1, 0.0012, QStringLiteral("―"), true};
    rows[3] = {10, 0, 0.5, 0, 0, 0, QStringLiteral("―"), true};
    rows[4] = {11, 0, 0.5, -1, 0.2, 0.001, QStringLiteral("―"), true};
    rows[5] = {0, 0, -1, -1, -1, -1, QStringLiteral("―"), false}; // an unreadable file
    page();
    EXPECT_EQ(surface.row(310), (QStringList{"職員1", " 7 ", "男", "―", "―", "―", "―", "―"}));
    EXPECT_EQ(surface.row(360), (QStringList{"職員2", " 8 ", "女", "Ｍ", "Ｍ", "Ｍ", "0", "Ｍ"}));
    EXPECT_EQ(surface.row(410), (QStringList{"職員3", " 9 ", "女", "Ｍ", " 0.1 ", " 0.1 ", "1.20E-03", "1.20E-03"}));
    EXPECT_EQ(surface.at(980, 410), QStringLiteral("Ｍ"));
    EXPECT_EQ(surface.at(1350, 410), QStringLiteral(" 0.1 "));
    EXPECT_EQ(surface.at(2500, 410), QStringLiteral("1.20E-03"));
    EXPECT_EQ(surface.at(950, 460), QStringLiteral(" 0.5 "));
    EXPECT_EQ(surface.at(2550, 460), QStringLiteral(" 0.5 ")); // E as a number, 30 units left of a mark
    EXPECT_EQ(surface.at(1380, 510), QStringLiteral("―"));     // only the lens cell
    EXPECT_EQ(surface.at(2500, 510), QStringLiteral("5.01E-01"));
    EXPECT_EQ(surface.row(560), (QStringList{"職員6", "―", "―", "―", "―", "―", "―", "―"}));
}

TEST_F(MonthlyListTest, TheTitleReadsTheBoxesAsTheyStandAtEachPage)
{
    registrants(40);
    page();
    year = "2006";
    month = "04";
    page();
    EXPECT_TRUE(surface.find(QStringLiteral(" 放射線被曝データ  2006年 04月")));
    EXPECT_EQ(surface.at(200, 310), QStringLiteral(" 33 "));
}

} // namespace
