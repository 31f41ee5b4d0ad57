#include "core/files/ListFiles.h"
#include "core/files/TextFile.h"
#include "core/texts/Messages.h"
#include "support/DataFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

class ListFiles : public testing::Test {
protected:
    QString path(const QString& name) const { return QDir(temp.path()).filePath(name); }
    QTemporaryDir temp;
    DataDir dir{temp.path()};
};

TEST_F(ListFiles, FirstStartForEntryCreatesTheFiveFilesAndTheFolder)
{
    ASSERT_TRUE(InitialiseForEntry(dir));
    expectFirstStartStore(temp.path());
    EXPECT_EQ(LoadJobTypes(dir)->at(4), QStringLiteral("薬剤師"));
    EXPECT_EQ(LoadRegistrantList(dir)->count(), 0);
    EXPECT_TRUE(LoadEnteredMonths(dir)->isEmpty());
}

TEST_F(ListFiles, FirstStartForSearchCreatesOnlyTheThreeRegistrantFiles)
{
    ASSERT_TRUE(InitialiseForSearch(dir));
    QStringList created = snapshot(temp.path()).keys();
    created.sort();
    QStringList expected{NextNumberFile, RegistrantNamesFile, RemovedNamesFile};
    expected.sort();
    EXPECT_EQ(created, expected);
}

TEST_F(ListFiles, InitialisationKeepsFilesThatExist)
{
    writeBytes(path(RegistrantNamesFile), crlfLines({" 1 ", "\x8e\x52\x93\x63"})); // 山田
    writeBytes(path(NextNumberFile), crlfLines({" 2 "}));
    writeBytes(path(JobTypesFile), crlfLines({"x"}));
    ASSERT_TRUE(InitialiseForEntry(dir));
    EXPECT_EQ(fileBytes(path(RegistrantNamesFile)), crlfLines({" 1 ", "\x8e\x52\x93\x63"}));
    EXPECT_EQ(fileBytes(path(NextNumberFile)), crlfLines({" 2 "}));
    EXPECT_EQ(fileBytes(path(JobTypesFile)), crlfLines({"x"}));
    EXPECT_EQ(fileBytes(path(EnteredMonthsFile)), QByteArray());
}

TEST_F(ListFiles, RegistrantListKeepsNamesWithCommasAndItsOrder)
{
    const QStringList names = {QStringLiteral("山田,太郎"), QStringLiteral("髙橋　①"), QStringLiteral("Smith")};
    ASSERT_TRUE(SaveRegistrantList(dir, names));
    EXPECT_EQ(fileBytes(path(RegistrantNamesFile)),
              crlfLines({" 3 ", "\x8e\x52\x93\x63,\x91\xbe\x98\x59", "\xfb\xfc\x8b\xb4\x81\x40\x87\x40", "Smith"}));
    EXPECT_EQ(LoadRegistrantList(dir)->names, names);
}

TEST_F(ListFiles, RegistrantListReadsExactlyCountNames)
{
    writeBytes(path(RegistrantNamesFile), QByteArray(" 1 \r\nA\r\n\r\n"));
    EXPECT_EQ(LoadRegistrantList(dir)->names, QStringList{"A"});
    writeBytes(path(RegistrantNamesFile), QByteArray(" 0 \r\n"));
    EXPECT_EQ(LoadRegistrantList(dir)->count(), 0);
}

struct Damaged {
    const char* name;
    QByteArray content;
};

class DamagedRegistrantList : public ListFiles, public testing::WithParamInterface<Damaged> {};

TEST_P(DamagedRegistrantList, IsRefusedWithAMessageNamingTheFile)
{
    writeBytes(path(RegistrantNamesFile), GetParam().content);
    const auto list = LoadRegistrantList(dir);
    ASSERT_FALSE(list);
    EXPECT_TRUE(messageOf(list.error()).contains(RegistrantNamesFile)) << messageOf(list.error()).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DamagedRegistrantList,
    testing::Values(Damaged{"FewerNamesThanCount", QByteArray(" 3 \r\nA\r\nB\r\n")},
                    Damaged{"MoreNamesThanCount", QByteArray(" 1 \r\nA\r\nB")},
                    Damaged{"ANameListedTwice", QByteArray(" 3 \r\nA\r\nB\r\nA\r\n")},
                    Damaged{"LargerThanAnyValidList", QByteArray(" 1 \r\nA\r\n") + QByteArray(LargestListFile, '\0')},
                    Damaged{"CountOver1000", QByteArray(" 1001 \r\n") + QByteArray("A\r\n").repeated(1001)},
                    Damaged{"NegativeCount", QByteArray("-1 \r\n")}, Damaged{"Empty", QByteArray()},
                    Damaged{"CountNotANumber", QByteArray("abc\r\n")},
                    Damaged{"CountNotWhole", QByteArray(" 1.5 \r\nA\r\nB\r\n")},
                    Damaged{"LineFeedsOnly", QByteArray(" 1 \nA\n")},
                    Damaged{"CarriageReturnsOnly", QByteArray(" 1 \rA\r")},
                    Damaged{"Utf8Name", QByteArray(" 1 \r\n\xe6\x9d\x91\r\n")}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(ListFiles, MissingOrUnreadableFilesAreReportedByName)
{
    EXPECT_TRUE(messageOf(LoadRegistrantList(dir).error()).contains(RegistrantNamesFile));
    QDir(temp.path()).mkdir(EnteredMonthsFile);
    EXPECT_TRUE(messageOf(LoadEnteredMonths(dir).error()).contains(EnteredMonthsFile));
}

TEST_F(ListFiles, EnteredMonthsKeepEveryKeyAlsoPast500)
{
    ASSERT_TRUE(InitialiseForEntry(dir));
    for (int i = 0; i < 501; ++i)
        ASSERT_TRUE(AppendEnteredMonth(dir, 198504 + i));
    const auto keys = LoadEnteredMonths(dir);
    ASSERT_EQ(keys->size(), 501);
    EXPECT_EQ(keys->first(), 198504);
    EXPECT_EQ(keys->last(), 198504 + 500);
    EXPECT_TRUE(fileBytes(path(EnteredMonthsFile)).startsWith(" 198504 \r\n 198505 \r\n"));
}

TEST_F(ListFiles, EnteredMonthsRefuseALineThatIsNotAWholeNumber)
{
    writeBytes(path(EnteredMonthsFile), crlfLines({" 200504 ", "abc"}));
    const auto keys = LoadEnteredMonths(dir);
    ASSERT_FALSE(keys);
    EXPECT_TRUE(messageOf(keys.error()).contains(QStringLiteral("2行目")));
}

TEST_F(ListFiles, RemovedNamesAppendAndRewrite)
{
    ASSERT_TRUE(InitialiseForSearch(dir));
    ASSERT_TRUE(AppendRemovedName(dir, QStringLiteral("佐藤")));
    ASSERT_TRUE(AppendRemovedName(dir, QStringLiteral("鈴木")));
    EXPECT_EQ(ReadRemovedNames(dir), (QStringList{"佐藤", "鈴木"}));
    ASSERT_TRUE(RewriteRemovedNames(dir, {QStringLiteral("鈴木")}));
    EXPECT_EQ(fileBytes(path(RemovedNamesFile)), crlfLines({"\x97\xe9\x96\xd8"}));
}

TEST_F(ListFiles, AppendsEndALastLineLeftWithoutItsLineEndFirst)
{
    ASSERT_TRUE(InitialiseForEntry(dir));
    writeBytes(path(RemovedNamesFile), "\x92\x9a\x96\xec"); // 丁野, as an editor leaves it
    ASSERT_TRUE(AppendRemovedName(dir, QStringLiteral("甲野　一郎")));
    EXPECT_EQ(ReadRemovedNames(dir), (QStringList{"丁野", "甲野　一郎"}));
    writeBytes(path(EnteredMonthsFile), " 200504 ");
    ASSERT_TRUE(AppendEnteredMonth(dir, 200505));
    EXPECT_EQ(fileBytes(path(EnteredMonthsFile)), crlfLines({" 200504 ", " 200505 "}));
}

TEST_F(ListFiles, NextRegistrationNumberIsOneNumberLine)
{
    ASSERT_TRUE(InitialiseForSearch(dir));
    EXPECT_EQ(ReadNextRegistrationNumber(dir), 1);
    ASSERT_TRUE(WriteNextRegistrationNumber(dir, 43));
    EXPECT_EQ(fileBytes(path(NextNumberFile)), crlfLines({" 43 "}));
}

TEST_F(ListFiles, JobTypesAcceptLinesEditedWithLineFeedsOnly)
{
    writeBytes(path(JobTypesFile), QByteArray("\x88\xe3\x8e\x74\n\x8a\xc5\x8c\xec\x8e\x74"));
    EXPECT_EQ(LoadJobTypes(dir), (QStringList{"医師", "看護師"}));
}

TEST_F(ListFiles, ATextTheCodePageCannotHoldWritesNothing)
{
    ASSERT_TRUE(InitialiseForEntry(dir));
    const auto before = snapshot(temp.path());
    const auto saved = SaveRegistrantList(dir, {QStringLiteral("山田"), QStringLiteral("𠮷田")});
    ASSERT_FALSE(saved);
    EXPECT_TRUE(messageOf(saved.error()).contains(QStringLiteral("𠮷")));
    EXPECT_FALSE(AppendRemovedName(dir, QStringLiteral("😀")));
    EXPECT_EQ(snapshot(temp.path()), before);
}

TEST_F(ListFiles, UnfinishedRewritesAreRemovedAndNothingElse)
{
    ASSERT_TRUE(InitialiseForEntry(dir));
    for (const QString& name :
         {QStringLiteral("被曝Data/.velmora-writing-a1b2c3d4"), QStringLiteral(".velmora-writing-zz99zz99")})
        writeBytes(path(name), "left behind");
    // The user's own copies, however much they look like temporary files, stay.
    const QStringList kept = {
        QStringLiteral("被曝Data/山田　太郎.dat.backup"), QStringLiteral("登録者名.txt.200504"),
        QStringLiteral("被曝Data/青木.dat.202612"),       QStringLiteral("被曝Data/山田.dat.XAQsZY"),
        QStringLiteral(".velmora-writing-a1b2c3d"),       QStringLiteral(".velmora-writing-a1b2c3d4.bak")};
    for (const QString& name : kept)
        writeBytes(path(name), "data");
    auto expected = snapshot(temp.path());
    expected.remove(QStringLiteral("被曝Data/.velmora-writing-a1b2c3d4"));
    expected.remove(QStringLiteral(".velmora-writing-zz99zz99"));
    removeUnfinishedRewrites(dir);
    EXPECT_EQ(snapshot(temp.path()), expected);
}

TEST_F(ListFiles, WriteFailuresReachTheCaller)
{
    ASSERT_TRUE(InitialiseForEntry(dir));
    // A list file that is a folder cannot be replaced; the folder stays as it was.
    QFile::remove(path(RemovedNamesFile));
    QDir(temp.path()).mkpath(RemovedNamesFile + "/inside");
    const auto rewritten = RewriteRemovedNames(dir, {QStringLiteral("鈴木")});
    ASSERT_FALSE(rewritten);
    EXPECT_TRUE(messageOf(rewritten.error()).contains(RemovedNamesFile));
    EXPECT_TRUE(QFileInfo(path(RemovedNamesFile + "/inside")).isDir());
    // A folder in place of a list file refuses the append.
    QFile::remove(path(EnteredMonthsFile));
    QDir(temp.path()).mkpath(EnteredMonthsFile);
    const auto appended = AppendEnteredMonth(dir, 200504);
    ASSERT_FALSE(appended);
    EXPECT_TRUE(messageOf(appended.error()).contains(EnteredMonthsFile));
}

} // namespace
