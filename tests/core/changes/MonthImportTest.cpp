#include "core/changes/MonthImport.h"
#include "core/files/ListFiles.h"
#include "core/files/NumberForms.h"
#include "core/files/PersonalFile.h"
#include "core/texts/Messages.h"
#include "support/DataFiles.h"
#include "support/Stores.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

const QStringList Names = {QStringLiteral("山田"), QStringLiteral("鈴木"), QStringLiteral("髙橋")};
const QString Headings = QStringLiteral("登録番号,氏名,実効線量,水晶体,皮膚,内部被曝,備考\n");
const QString TooPrecise = QStringLiteral("は桁が多すぎます（小数点以下12桁、有効数字15桁まで）");

// A store of three registrants numbered 1 to 3, and 田中 (number 4) removed.
class MonthCsv : public testing::Test {
protected:
    void SetUp() override
    {
        makeStore(dir, Names);
        ASSERT_TRUE(CreatePersonalFile(dir, personHeader(QStringLiteral("田中"), 4)));
        ASSERT_TRUE(AppendRemovedName(dir, QStringLiteral("田中")));
    }
    QString csvFile(const QString& text) const
    {
        const QString path = QDir(temp.path()).filePath(QStringLiteral("月.csv"));
        writeBytes(path, text.toUtf8());
        return path;
    }
    Result<MonthImport> import(const QString& text) const
    {
        const auto rows = csv::readFile(csvFile(text));
        if (!rows)
            return rows.error();
        return ReadMonthImport(dir, RegistrantList{Names}, *rows, QStringLiteral("月.csv"));
    }

    QTemporaryDir temp;
    DataDir dir{temp.path()};
};

// Each registrant's effective dose as taken, "-" where the file gives none.
QString effectiveDoses(const MonthImport& import)
{
    QStringList doses;
    for (const auto& values : import.values)
        doses << (values ? plainForm(values->effective) : QStringLiteral("-"));
    return doses.join(QLatin1Char(','));
}

struct ImportCase {
    const char* what;
    QString csv;
    QString effective;
    QStringList MonthImport::*doubt = nullptr;
    QStringList expected = {};
};

class MonthCsvRows : public MonthCsv, public testing::WithParamInterface<ImportCase> {};

TEST_P(MonthCsvRows, AreTakenAsConfirmingThemWouldWithEveryDoubtListed)
{
    const auto read = import(GetParam().csv);
    ASSERT_TRUE(read) << messageOf(read.error()).toStdString();
    EXPECT_EQ(effectiveDoses(*read), GetParam().effective);
    if (GetParam().doubt) {
        EXPECT_EQ((*read).*GetParam().doubt, GetParam().expected);
    }
    EXPECT_EQ(read->hasDoubts(), GetParam().doubt != nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Files, MonthCsvRows,
    testing::Values(
        ImportCase{"EveryRegistrantOnce", Headings + "1,山田,0.5,M,,1.23E-03,腕\n2,鈴木,1,,,,\n3,髙橋,2,,,,\n",
                   "0.5,1,2"},
        ImportCase{"HeadingsInAnyOrderAmongOthersMatchedByName",
                   "備考,内部被曝,所属,皮　膚,水晶体,実効線量,氏　名\n,,x,,,0.5,山田\n,,,,,,\n",
                   "0.5,-,-",
                   &MonthImport::withoutValues,
                   {"鈴木", "髙橋"}},
        ImportCase{"FullWidthDigits", Headings + "１,山田,０．５,,,,\n2,鈴木,1,,,,\n3,髙橋,2,,,,\n", "0.5,1,2"},
        ImportCase{"ANumberTwiceTakesTheLastRow",
                   Headings + "1,山田,1,,,,\n2,鈴木,1,,,,\n3,,2,,,,\n3,髙橋,3,,,,\n",
                   "1,1,3",
                   &MonthImport::repeated,
                   {"髙橋（4行目、5行目）"}},
        ImportCase{"AnUnknownName",
                   "氏名,実効線量,水晶体,皮膚,内部被曝\n佐藤,1,,,\n山田,1,,,\n鈴木,1,,,\n髙橋,1,,,\n",
                   "1,1,1",
                   &MonthImport::unmatched,
                   {"2行目（佐藤）"}},
        ImportCase{"ANumberWithoutANameAndEveryBelowDetectionMark",
                   Headings + "1,,Ｍ,ｍ,m,,\n2,鈴木,M,,,,\n3,髙橋,1,,,,\n", "0,0,1"},
        ImportCase{"ARemovedPersonByName",
                   "氏名,実効線量,水晶体,皮膚,内部被曝\n田中,1,,,\n山田,1,,,\n鈴木,1,,,\n髙橋,1,,,\n",
                   "1,1,1",
                   &MonthImport::removed,
                   {"2行目（田中）"}},
        ImportCase{"ARemovedPerson",
                   Headings + "4,,1,,,,\n1,山田,1,,,,\n2,鈴木,1,,,,\n3,髙橋,1,,,,\n",
                   "1,1,1",
                   &MonthImport::removed,
                   {"2行目（登録番号 4）"}},
        ImportCase{"CellsThatAreNotWholeNumbers",
                   Headings + "1,山田,\"0,06\",abc,,,\n2,鈴木,0.09.5, 2 ,,,\n3,髙橋,1 2,1d2,,,\n",
                   "-,-,-",
                   &MonthImport::notNumbers,
                   {"2行目（登録番号 1　山田）：実効線量「0,06」", "2行目（登録番号 1　山田）：水晶体「abc」",
                    "3行目（登録番号 2　鈴木）：実効線量「0.09.5」", "4行目（登録番号 3　髙橋）：実効線量「1 2」",
                    "4行目（登録番号 3　髙橋）：水晶体「1d2」"}},
        ImportCase{"TheNumberOfAnotherPerson",
                   Headings + "1,鈴木,1,,,,\n2,鈴木,2,,,,\n3,髙橋,3,,,,\n",
                   "1,2,3",
                   &MonthImport::otherName,
                   {"2行目（登録番号 1　鈴木）：登録番号 1 は 山田 です"}},
        ImportCase{"ValuesThatCannotBeSaved",
                   Headings + "1,山田,1e999,,,,\n2,鈴木,1,,,,😀\n3,髙橋,,,,,腕\n1,山田,1,,,,\"腕\n胸\"\n",
                   "-,-,-",
                   &MonthImport::unusable,
                   {"2行目（登録番号 1　山田）：実効線量「1e999」は10000 mSvを超えています",
                    "3行目（登録番号 2　鈴木）：備考「😀」は保存できません",
                    "4行目（登録番号 3　髙橋）：線量がありません",
                    "5行目（登録番号 1　山田）：備考「腕\n胸」は保存できません"}},
        ImportCase{"CellsNoBadgeReportsAndRowsThatDoNotFitTheHeadings",
                   Headings + "1,山田,-1,,,,\n2,鈴木,20000,,,,\n3,髙橋,1,,,,,x\n1,山田,1,,,\n",
                   "-,-,-",
                   &MonthImport::unusable,
                   {"2行目（登録番号 1　山田）：実効線量「-1」は負の値です",
                    "3行目（登録番号 2　鈴木）：実効線量「20000」は10000 mSvを超えています",
                    "4行目（登録番号 3　髙橋）：見出しのない8列目に値「x」があります",
                    "5行目（登録番号 "
                    "1　山田）：列が6個しかありません（見出しは7個。行が途中で切れていないか確認して下さい）"}},
        // More digits than a stored dose keeps are named, never rounded; 1.23E-10 and 0.123456789012 fit.
        ImportCase{"DigitsAStoredDoseCannotKeep",
                   Headings + "1,山田,0.1234567890123,,,,\n2,鈴木,1.23E-13,,,,\n3,髙橋,1234.123456789012,1.23E-10,"
                              "0.123456789012,,\n",
                   "-,-,-",
                   &MonthImport::unusable,
                   {"2行目（登録番号 1　山田）：実効線量「0.1234567890123」" + TooPrecise,
                    "3行目（登録番号 2　鈴木）：実効線量「1.23E-13」" + TooPrecise,
                    "4行目（登録番号 3　髙橋）：実効線量「1234.123456789012」" + TooPrecise}}),
    [](const auto& row) { return std::string(row.param.what); });

TEST_F(MonthCsv, AFileWithoutTheNeededColumnsIsRefused)
{
    const auto noSkin = import(QStringLiteral("登録番号,実効線量,水晶体,内部被曝\n1,1,1,1\n"));
    ASSERT_FALSE(noSkin);
    EXPECT_EQ(noSkin.error().kind, FailureKind::MissingColumns);
    EXPECT_EQ(noSkin.error().names, QStringList{QStringLiteral("皮膚")});
    const auto nobody = import(QStringLiteral("実効線量,水晶体,皮膚,内部被曝\n"));
    ASSERT_FALSE(nobody);
    EXPECT_EQ(nobody.error().names, QStringList{QStringLiteral("登録番号または氏名")});
    const auto twice = import(QStringLiteral("氏名,実効線量,水晶体,皮膚,内部被曝,実効線量\n"));
    ASSERT_FALSE(twice);
    EXPECT_EQ(twice.error().kind, FailureKind::RepeatedColumn);
}

TEST_F(MonthCsv, TemplateHoldsEveryRegistrantInListOrder)
{
    const QString path = QDir(temp.path()).filePath(monthTemplateName(200504));
    ASSERT_TRUE(WriteMonthTemplate(dir, RegistrantList{Names}, path));
    EXPECT_EQ(fileBytes(path),
              "\xEF\xBB\xBF" + (Headings.trimmed() + QStringLiteral("\r\n1,山田,,,,,\r\n2,鈴木,,,,,\r\n"
                                                                    "3,髙橋,,,,,\r\n"))
                                   .toUtf8());
    EXPECT_TRUE(path.endsWith(QStringLiteral("線量入力_200504.csv")));
    const auto before = snapshot(temp.path());
    for (const QString& storeFile : {dir.listFile(RegistrantNamesFile), dir.personalFile(Names[0])})
        EXPECT_EQ(WriteMonthTemplate(dir, RegistrantList{Names}, storeFile).error().kind, FailureKind::AlreadyExists);
    EXPECT_EQ(snapshot(temp.path()), before);
}

// However large the file, the report names twenty lines of each doubt and counts the rest.
TEST_F(MonthCsv, TheReportShowsTwentyLinesOfEachDoubtAndCountsTheRest)
{
    QString csv = Headings;
    for (int row = 0; row < 30; ++row)
        csv += QStringLiteral("1,山田,1,,,,\n");
    for (int row = 0; row < 25; ++row)
        csv += QStringLiteral("%1,佐藤,1,,,,\n").arg(100 + row);
    const QString report = monthImportReport(*import(csv), Names.size(), 200504);
    EXPECT_TRUE(report.contains(QStringLiteral("どの登録者にも当たらない行（取り込みません）：25行\n32行目")));
    EXPECT_TRUE(report.contains(QStringLiteral("51行目（登録番号 119　佐藤）\nほか5行\n")));
    EXPECT_FALSE(report.contains(QStringLiteral("52行目")));
    EXPECT_TRUE(report.contains(QStringLiteral("、20行目、21行目、ほか10行）")));
}

TEST_F(MonthCsv, SaveFromCsvRefusesAnyDoubtWithNothingWritten)
{
    const QString path = csvFile(Headings + "1,山田,1,,,,\n2,鈴木,1,,,,\n");
    const auto before = snapshot(temp.path());
    const auto refused = SaveMonthFromCsv(dir, 200504, path);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().kind, FailureKind::ImportDoubts);
    EXPECT_TRUE(messageOf(refused.error()).contains(QStringLiteral("値のない登録者")));
    EXPECT_EQ(snapshot(temp.path()), before);

    writeBytes(path, (Headings + "1,山田,1,,,,\n2,鈴木,2,,,,\n3,髙橋,3,,,,腕\n").toUtf8());
    const auto saved = SaveMonthFromCsv(dir, 200504, path);
    ASSERT_TRUE(saved) << messageOf(saved.error()).toStdString();
    EXPECT_EQ(saved->registrants, 3);
    const QList<MonthlyRecord> expected{{200504, 3, 0, 0, 0, QStringLiteral("腕")}};
    EXPECT_EQ(ReadPersonalFile(dir, QStringLiteral("髙橋"))->records, expected);
    EXPECT_EQ(SaveMonthFromCsv(dir, 200504, path).error().kind, FailureKind::MonthEntered);
    // A month saved already is refused before any file is read.
    EXPECT_EQ(SaveMonthFromCsv(dir, 200504, temp.filePath(QStringLiteral("ない.csv"))).error().kind,
              FailureKind::MonthEntered);
}

} // namespace
