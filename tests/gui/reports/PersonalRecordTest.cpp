#include "gui/reports/PersonalRecord.h"
#include "support/DataFiles.h"
#include "support/RecordingSurface.h"
#include "support/Stores.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

const QString M = QStringLiteral(" Ｍ");

class PersonalRecordTest : public testing::Test {
protected:
    void show(const QString& fiscalYear = "2005") { ShowPersonalRecord(surface, person, fiscalYear); }
    // The y of the month row of fiscal-year slot 1 (April) to 12 (March).
    static double rowOf(int slot) { return 660 + 50 * slot; }

    PersonalFile person{personHeader(QStringLiteral("山田"), 12), {}};
    RecordingSurface surface;
};

TEST_F(PersonalRecordTest, DrawsHeadingAndRegistrationData)
{
    person.header.registrationDate = QStringLiteral("04-01-2005");
    person.records = {{200504}, {200506}, {200505}};
    show("2005");
    EXPECT_EQ(surface.clears, 1);
    const auto* heading = surface.find(QStringLiteral("  個人被曝記録 (2005年度)"));
    ASSERT_TRUE(heading);
    EXPECT_EQ(heading->x, 200);
    EXPECT_EQ(heading->y, 100);
    EXPECT_EQ(heading->size, 14);
    EXPECT_EQ(surface.at(250, 200), QStringLiteral("登録番号　： 12"));
    EXPECT_EQ(surface.at(250, 250), QStringLiteral("氏　　名　： 山田"));
    EXPECT_EQ(surface.at(250, 300), QStringLiteral("性　　別　： 女"));
    EXPECT_EQ(surface.at(250, 350), QStringLiteral("生年月日　： 1965年04月12日"));
    EXPECT_EQ(surface.at(250, 400), QStringLiteral("所　　属　： 放射線科"));
    EXPECT_EQ(surface.at(250, 450), QStringLiteral("職　　種　： 医師"));
    EXPECT_EQ(surface.at(1200, 200), QStringLiteral("登録年月日　： 04-01-2005"));
    // A month saved late stands last in the file; the period still runs to the latest month.
    EXPECT_EQ(surface.at(1200, 250), QStringLiteral("測定期間　　： 2005/04 ～ 2005/06"));
    EXPECT_EQ(surface.find(QStringLiteral("登録番号　： 12"))->size, 10);
    EXPECT_EQ(surface.find(QStringLiteral("年度合計"))->size, 8);
    person.header.sexCode = 0;
    show();
    EXPECT_EQ(surface.at(250, 300), QStringLiteral("性　　別　： 男"));
}

TEST_F(PersonalRecordTest, MonthRowsRunAprilToMarchWhateverTheFileOrder)
{
    for (MonthKey key : {200603, 200512, 200504, 200601})
        person.records.append({key, static_cast<double>(key % 100) / 10.0, 0, 0, 0, QStringLiteral("―")});
    show();
    const QStringList labels = {"2005/04", "2005/05", "2005/06", "2005/07", "2005/08", "2005/09",
                                "2005/10", "2005/11", "2005/12", "2006/01", "2006/02", "2006/03"};
    for (int slot = 1; slot <= 12; ++slot)
        EXPECT_EQ(surface.at(180, rowOf(slot)), labels[slot - 1]);
    EXPECT_EQ(surface.at(550, rowOf(1)), QStringLiteral(" 0.4 "));
    EXPECT_EQ(surface.at(550, rowOf(9)), QStringLiteral(" 1.2 "));
    EXPECT_EQ(surface.at(550, rowOf(10)), QStringLiteral(" 0.1 "));
    EXPECT_EQ(surface.at(550, rowOf(12)), QStringLiteral(" 0.3 "));
    EXPECT_EQ(surface.row(rowOf(2)), QStringList{"2005/05"}); // no record: the label only
    EXPECT_EQ(surface.at(550, 1330), QStringLiteral(" 2 "));  // 0.4 + 1.2 + 0.1 + 0.3
}

TEST_F(PersonalRecordTest, TheFirstOfTwoRecordsOfAMonthCountsForTheYearBothForTheCumulativeRow)
{
    person.records = {{200505, 1, 0, 2, 0.5, QStringLiteral("一回目")}, {200505, 3, 4, 0, 0, QStringLiteral("二回目")}};
    show();
    EXPECT_EQ(surface.row(rowOf(2)), (QStringList{"2005/05", " 1 ", M, " 2 ", "5.00E-01", "1.50E+00", "一回目"}));
    EXPECT_EQ(surface.row(1330), (QStringList{"年度合計", " 1 ", M, " 2 ", "5.00E-01", "1.50E+00"}));
    EXPECT_EQ(surface.row(1410), (QStringList{"積算線量", " 4 ", " 4 ", " 2 ", "5.00E-01", "4.50E+00"}));
    EXPECT_EQ(surface.row(1460), (QStringList{"Ｍの回数", " 0 ", " 1 ", " 1 ", "―", "―"}));
}

TEST_F(PersonalRecordTest, ACommentStaysInsideItsCellSmallerAndThenCut)
{
    surface.unitsPerPoint = 4; // the picture box: 2960 units across about 990 pixels at 96 dpi
    const QString longest = QStringLiteral("右手指の被曝が多いため次回から防護手袋を着用するよう指導済み");
    for (const auto& [comment, size, shown] :
         {std::tuple{QStringLiteral("透視"), 8.0, QStringLiteral("透視")},
          {QStringLiteral("透視検査の追加分として記録"), 7.0, QStringLiteral("透視検査の追加分として記録")},
          {longest, 6.0, longest.left(14) + QStringLiteral("…")}}) {
        person.records = {{200504, 1, 0, 0, 0, comment}};
        show();
        const auto drawn = std::find_if(surface.texts.begin(), surface.texts.end(),
                                        [&](const auto& text) { return text.x == 2420 && text.y == rowOf(1); });
        ASSERT_NE(drawn, surface.texts.end()) << comment.toStdString();
        EXPECT_EQ(drawn->text, shown);
        EXPECT_EQ(drawn->size, size) << comment.toStdString();
        surface.setFontSize(drawn->size);
        EXPECT_LE(drawn->x + surface.textWidth(drawn->text), 2790) << comment.toStdString();
        EXPECT_EQ(surface.find(QStringLiteral("年度合計"))->size, 8); // the cells after it keep their size
    }
}

TEST_F(PersonalRecordTest, CellRulesForZeroExternalAndInternalDoses)
{
    person.records = {{200504, 0, 0, 0, 0.002, QStringLiteral("―")},
                      {200505, 0.1, 0.2, 0.3, 0, QStringLiteral("")},
                      {200506, 0, 0, 0, 0, QStringLiteral("―")}};
    show();
    // E = 0, I = 0.002: the internal and the combined cell in exponent form.
    EXPECT_EQ(surface.at(550, rowOf(1)), M);
    EXPECT_EQ(surface.at(1700, rowOf(1)), QStringLiteral("2.00E-03"));
    EXPECT_EQ(surface.at(2100, rowOf(1)), QStringLiteral("2.00E-03"));
    EXPECT_FALSE(surface.at(2420, rowOf(1))); // "―" leaves the comment empty
    // E = 0.1, I = 0: "0" inside, the combined dose in print form at 2120.
    EXPECT_EQ(surface.at(1750, rowOf(2)), QStringLiteral("0"));
    EXPECT_EQ(surface.at(2120, rowOf(2)), QStringLiteral(" 0.1 "));
    EXPECT_EQ(surface.at(2420, rowOf(2)), QString()); // an empty comment is drawn as stored
    // Both 0.
    EXPECT_EQ(surface.row(rowOf(3)), (QStringList{"2005/06", M, M, M, "0", "0"}));
    EXPECT_EQ(surface.row(1460), (QStringList{"Ｍの回数", " 2 ", " 2 ", " 2 ", "―", "―"}));
}

TEST_F(PersonalRecordTest, CumulativeRowCoversEveryRecordOfEveryYear)
{
    person.records = {{200404, 1, 1, 1, 0.001, "―"}, {200504, 2, 2, 2, 0, "―"}, {200704, 0, 5, 5, 0, "―"}};
    show();
    EXPECT_EQ(surface.row(1330), (QStringList{"年度合計", " 2 ", " 2 ", " 2 ", "0", " 2 "}));
    EXPECT_EQ(surface.row(1410), (QStringList{"積算線量", " 3 ", " 8 ", " 8 ", "1.00E-03", "3.00E+00"}));
    EXPECT_EQ(surface.row(1460), (QStringList{"Ｍの回数", " 1 ", " 0 ", " 0 ", "―", "―"}));
}

TEST_F(PersonalRecordTest, APersonWithoutRecords)
{
    show();
    EXPECT_EQ(surface.at(1200, 250), QStringLiteral("測定期間　　： 0/ 0 ～ 0/ 0"));
    for (int slot = 1; slot <= 12; ++slot)
        EXPECT_EQ(surface.row(rowOf(slot)).size(), 1);
    EXPECT_EQ(surface.row(1330), QStringList{"年度合計"});
    EXPECT_EQ(surface.row(1410), (QStringList{"積算線量", M, M, M, "0", "0"}));
    EXPECT_EQ(surface.row(1460), (QStringList{"Ｍの回数", " 0 ", " 0 ", " 0 ", "―", "―"}));
}

TEST_F(PersonalRecordTest, PastDoseOnlyForFlagOneAndNeverInTheSums)
{
    person.header.pastDose = 1.5;
    for (double flag : {0.0, 2.0}) {
        person.header.pastExposureFlag = flag;
        show();
        EXPECT_FALSE(surface.at(300, 1800)) << flag;
    }
    person.header.pastExposureFlag = 1;
    show();
    EXPECT_EQ(surface.at(300, 1800), QStringLiteral("本測定期間以前の被曝線量　： 1.5 mSv"));
    EXPECT_EQ(surface.row(1410), (QStringList{"積算線量", M, M, M, "0", "0"}));
}

TEST_F(PersonalRecordTest, AFiscalYearThatIsNotANumberReadsAsZero)
{
    person.records = {{200504, 1, 0, 0, 0, "―"}};
    show("abc");
    EXPECT_TRUE(surface.find(QStringLiteral("  個人被曝記録 (abc年度)")));
    EXPECT_EQ(surface.at(180, rowOf(1)), QStringLiteral("4/ 4"));
    EXPECT_EQ(surface.at(180, rowOf(9)), QStringLiteral("12/12"));
    EXPECT_EQ(surface.at(180, rowOf(10)), QStringLiteral("101/01"));
    EXPECT_EQ(surface.row(1330), QStringList{"年度合計"});
    EXPECT_EQ(surface.at(550, 1410), QStringLiteral(" 1 "));
    EXPECT_TRUE(isShowableFiscalYear("abc"));
    EXPECT_TRUE(isShowableFiscalYear("2005"));
    EXPECT_FALSE(isShowableFiscalYear("1e20"));
    EXPECT_FALSE(isShowableFiscalYear("-1e12"));
}

TEST_F(PersonalRecordTest, GridAndCaptions)
{
    show();
    EXPECT_EQ(surface.countLines(2, Qt::black), 7); // frame, four rows, two columns
    EXPECT_EQ(surface.countLines(1, Grey), 17);     // eleven month rules, six inner lines
    for (const auto& [x, y, text] : {std::tuple{200.0, 630.0, "年／月"},
                                     {820, 610, "外部被曝 mSv"},
                                     {480, 660, "実効線量"},
                                     {850, 660, "水晶体線量"},
                                     {1280, 660, "皮膚線量"},
                                     {1650, 630, "内部被曝 mSv"},
                                     {2020, 630, "実効線量合計 mSv"},
                                     {2500, 630, "備考"},
                                     {300, 1550, "外部被曝の Ｍ は検出限界以下を表す。"}})
        EXPECT_EQ(surface.at(x, y), QString::fromUtf8(text)) << text;
}

} // namespace
