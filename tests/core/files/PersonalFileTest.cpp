#include "core/files/PersonalFile.h"
#include "core/files/ListFiles.h"
#include "core/files/TextFile.h"
#include "core/texts/Messages.h"
#include "support/DataFiles.h"
#include "support/Stores.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

using namespace velmora;
using namespace velmora::test;

namespace {

PersonalHeader yamada()
{
    PersonalHeader header;
    header.registrationNumber = 7;
    header.name = QStringLiteral("山田");
    header.sexCode = 1;
    header.dateOfBirth = 19650412;
    header.affiliation = QString(); // an empty affiliation
    header.jobType = QStringLiteral("医師");
    header.pastExposureFlag = 1;
    header.pastDose = 0;
    header.registrationDate = QStringLiteral("04-01-2005");
    return header;
}

const QByteArray YamadaHeaderBytes =
    crlfLines({" 7 ", "\x8e\x52\x93\x63", " 1 ", " 19650412 ", "", "\x88\xe3\x8e\x74", " 1 ", " 0 ", "04-01-2005"});

class PersonalFiles : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(InitialiseForEntry(dir)); }
    QString file(const QString& name) const { return dir.personalFile(name); }
    QTemporaryDir temp;
    DataDir dir{temp.path()};
};

TEST_F(PersonalFiles, ANewFileHoldsExactlyTheNineHeaderLines)
{
    ASSERT_TRUE(CreatePersonalFile(dir, yamada()));
    EXPECT_EQ(fileBytes(QDir(temp.path()).filePath("被曝Data/山田.dat")), YamadaHeaderBytes);
}

TEST_F(PersonalFiles, AnAppendedMonthFollowsTheHeader)
{
    ASSERT_TRUE(CreatePersonalFile(dir, yamada()));
    ASSERT_TRUE(AppendMonthlyRecord(dir, QStringLiteral("山田"), MonthlyRecord{200504}));
    MonthlyRecord typed{200505, 0.5, 0, 1.5e-5, 0.00123, QStringLiteral("腕,胸")};
    ASSERT_TRUE(AppendMonthlyRecord(dir, QStringLiteral("山田"), typed));
    EXPECT_EQ(fileBytes(file(QStringLiteral("山田"))),
              YamadaHeaderBytes + crlfLines({" 200504 ", " 0 ", " 0 ", " 0 ", " 0 ", "\x81\x5c"}) +
                  crlfLines({" 200505 ", " 0.5 ", " 0 ", " 1.5E-05 ", " 0.00123 ", "\x98\x72,\x8b\xb9"}));
    const auto read = ReadPersonalFile(dir, QStringLiteral("山田"));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->header, yamada());
    EXPECT_EQ(read->records, (QList<MonthlyRecord>{MonthlyRecord{200504}, typed}));
}

TEST_F(PersonalFiles, AFileWrittenByAnotherCp932WriterReadsBack)
{
    QFile::copy(fixturePath("personal-cp932.dat"), file(QStringLiteral("渡辺　①～Ｍ")));
    const auto read = ReadPersonalFile(dir, QStringLiteral("渡辺　①～Ｍ"));
    ASSERT_TRUE(read) << messageOf(read.error()).toStdString();
    EXPECT_EQ(read->header.affiliation, QStringLiteral("放射線科,第２病棟 ＼\\"));
    EXPECT_EQ(read->header.pastDose, 12.5);
    ASSERT_EQ(read->records.size(), 2);
    EXPECT_EQ(read->records[0], (MonthlyRecord{200504, 0, 0.00123, 150, 1.23e-5, QStringLiteral("―")}));
    EXPECT_EQ(read->records[1], (MonthlyRecord{200505, -2.5, 0, 0, 0, QStringLiteral("カンマ,入り　コメント ～∥－")}));
}

TEST_F(PersonalFiles, HeaderReadsTheFirstSixOrAllNineLines)
{
    writeBytes(file(QStringLiteral("山田")),
               crlfLines({" 7 ", "\x8e\x52\x93\x63", " 1 ", " 19650412 ", "", "\x88\xe3\x8e\x74"}));
    const auto six = ReadPersonalHeader(dir, QStringLiteral("山田"), 6);
    ASSERT_TRUE(six);
    EXPECT_EQ(six->jobType, QStringLiteral("医師"));
    EXPECT_EQ(six->registrationDate, QString());
    EXPECT_FALSE(ReadPersonalHeader(dir, QStringLiteral("山田"), 9));
}

TEST_F(PersonalFiles, AHeaderLongerThanTheFirstBytesReadIsReadWhole)
{
    PersonalHeader header = yamada();
    for (int length : {2040, 2047, 2048, 3000}) { // two-byte characters across the first 4096 bytes
        header.affiliation = QString(length, QChar(u'科'));
        ASSERT_TRUE(RewritePersonalFile(dir, QStringLiteral("山田"), header, {MonthlyRecord{200504}}));
        EXPECT_EQ(ReadPersonalHeader(dir, QStringLiteral("山田"), 9), header) << length;
        EXPECT_EQ(ReadPersonalHeader(dir, QStringLiteral("山田"), 6)->affiliation, header.affiliation) << length;
    }
}

TEST_F(PersonalFiles, RewriteKeepsEveryRecordInItsOrderAlsoPast500)
{
    QList<MonthlyRecord> records;
    for (int i = 0; i < 520; ++i)
        records.append(MonthlyRecord{200504 + (519 - i), i * 0.25, 0, 0, 0, QStringLiteral("―")});
    ASSERT_TRUE(RewritePersonalFile(dir, QStringLiteral("山田"), yamada(), records));
    const auto read = ReadPersonalFile(dir, QStringLiteral("山田"));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->records, records);
    ASSERT_TRUE(RewritePersonalFile(dir, QStringLiteral("山田"), read->header, read->records));
    EXPECT_EQ(ReadPersonalFile(dir, QStringLiteral("山田"))->records, records);
}

TEST_F(PersonalFiles, AnythingAtTheNameTakesItAndIsNeverReplacedByACreation)
{
    EXPECT_FALSE(personalFileExists(dir, QStringLiteral("山田")));
    ASSERT_TRUE(CreatePersonalFile(dir, yamada()));
    EXPECT_TRUE(personalFileExists(dir, QStringLiteral("山田")));
    EXPECT_EQ(messageOf(CreatePersonalFile(dir, yamada()).error()),
              messageOf(failure(FailureKind::AlreadyExists, "被曝Data/山田.dat")));

    // An empty file, and a link that leads out of the data directory to nothing, stay as they are.
    QTemporaryDir outside;
    const QString target = QDir(outside.path()).filePath("target");
    writeBytes(file(QStringLiteral("鈴木")), QByteArray());
    QStringList taken{QStringLiteral("鈴木")};
    if (makeSymbolicLink(target, file(QStringLiteral("佐藤")))) // where the platform makes one
        taken << QStringLiteral("佐藤");
    for (const QString& name : taken) {
        EXPECT_TRUE(personalFileExists(dir, name));
        EXPECT_FALSE(CreatePersonalFile(dir, personHeader(name)));
    }
    EXPECT_EQ(fileBytes(file(QStringLiteral("鈴木"))), QByteArray());
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_EQ(QDir(dir.doseDataFolder()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), taken.size() + 1);
}

TEST_F(PersonalFiles, AppendToAMissingFileCreatesNothing)
{
    const auto appended = AppendMonthlyRecord(dir, QStringLiteral("山田"), MonthlyRecord{200504});
    ASSERT_FALSE(appended);
    EXPECT_TRUE(messageOf(appended.error()).contains(QStringLiteral("被曝Data/山田.dat")));
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("山田"))));
    // Without the folder 被曝Data the file is missing, not something else standing in its place.
    ASSERT_TRUE(QDir(dir.doseDataFolder()).removeRecursively());
    EXPECT_EQ(ReadPersonalFile(dir, QStringLiteral("山田")).error().kind, FailureKind::CannotRead);
    EXPECT_EQ(AppendMonthlyRecord(dir, QStringLiteral("山田"), MonthlyRecord{200504}).error().kind,
              FailureKind::CannotWrite);
}

TEST_F(PersonalFiles, TextsTheCodePageCannotHoldAreRefusedAndNothingIsWritten)
{
    ASSERT_TRUE(CreatePersonalFile(dir, yamada()));
    const auto before = snapshot(temp.path());
    EXPECT_FALSE(AppendMonthlyRecord(dir, QStringLiteral("山田"), MonthlyRecord{200504, 0, 0, 0, 0, "😀"}));
    PersonalHeader header = yamada();
    header.affiliation = QStringLiteral("𠮷野家");
    EXPECT_FALSE(RewritePersonalFile(dir, QStringLiteral("山田"), header, {}));
    header.name = QStringLiteral("𠮷田");
    EXPECT_FALSE(CreatePersonalFile(dir, header));
    EXPECT_EQ(snapshot(temp.path()), before);
}

TEST_F(PersonalFiles, NamesThatWouldLeaveTheFolderAreRefused)
{
    for (const QString& name : {QStringLiteral("../登録者名"), QStringLiteral(".."), QStringLiteral("a/b"),
                                QStringLiteral("tab\there"), QString(), QString(300, QChar(u'山'))}) {
        PersonalHeader header = yamada();
        header.name = name;
        EXPECT_FALSE(CreatePersonalFile(dir, header)) << name.toStdString();
        EXPECT_FALSE(ReadPersonalFile(dir, name));
        EXPECT_FALSE(AppendMonthlyRecord(dir, name, MonthlyRecord{200504}));
    }
    EXPECT_EQ(fileBytes(dir.listFile(RegistrantNamesFile)), QByteArray(" 0 \r\n"));
    EXPECT_TRUE(QDir(dir.doseDataFolder()).isEmpty());
}

TEST_F(PersonalFiles, TheLongestAcceptedNameCanStillBeRewritten)
{
    PersonalHeader header = yamada();
    header.name = QString(83, QChar(u'山')) + "ab"; // 251 bytes on disk, with ".dat" 255
    ASSERT_FALSE(personalFileNameProblem(header.name));
    ASSERT_TRUE(CreatePersonalFile(dir, header));
    EXPECT_TRUE(RewritePersonalFile(dir, header.name, header, {MonthlyRecord{200504, 1}}));
    EXPECT_EQ(ReadPersonalFile(dir, header.name)->records.size(), 1);
}

struct DamagedFile {
    const char* name;
    QByteArray content;
    int line;            // the line the message names
    bool inText = false; // in a text line, which a record passed over leaves undecoded
};

class DamagedPersonalFile : public PersonalFiles, public testing::WithParamInterface<DamagedFile> {};

TEST_P(DamagedPersonalFile, IsNeverTakenAsCompleteAndNamesTheFileAndLine)
{
    writeBytes(file(QStringLiteral("山田")), GetParam().content);
    const QString message =
        QStringLiteral("ファイル「被曝Data/山田.dat」の内容が正しくありません（%1行目）").arg(GetParam().line);
    const auto read = ReadPersonalFile(dir, QStringLiteral("山田"));
    ASSERT_FALSE(read);
    EXPECT_EQ(messageOf(read.error()), message);
    // Passed over rather than read, the records' line ends are checked alike.
    if (GetParam().inText)
        return;
    const auto passedOver = ReadPersonalRecordsBetween(dir, QStringLiteral("山田"), 209904, 210003);
    ASSERT_FALSE(passedOver);
    EXPECT_EQ(messageOf(passedOver.error()), message);
}

const QByteArray OneRecord = crlfLines({" 200504 ", " 0 ", " 0 ", " 0 ", " 0 ", "\x81\x5c"});

INSTANTIATE_TEST_SUITE_P(
    Rows, DamagedPersonalFile,
    testing::Values(
        DamagedFile{"CutInsideTheHeader", YamadaHeaderBytes.left(30), 6},
        DamagedFile{"CutInsideARecord", YamadaHeaderBytes + OneRecord.left(22), 14},
        DamagedFile{"CutInsideATwoByteCharacter", YamadaHeaderBytes + OneRecord.chopped(3), 15, true},
        DamagedFile{"NumberLineNotANumber", YamadaHeaderBytes + crlfLines({"abc"}), 10},
        DamagedFile{"KeyNotWhole", YamadaHeaderBytes + crlfLines({" 200504.5 ", " 0 ", " 0 ", " 0 ", " 0 ", "x"}), 10},
        DamagedFile{"EmptyLineAfterTheLastRecord", YamadaHeaderBytes + OneRecord + "\r\n", 16},
        DamagedFile{"LineFeedsOnly", QByteArray(" 7 \n"), 1},
        DamagedFile{"BareLineFeedInARecord", YamadaHeaderBytes + OneRecord + " 200505 \r\n 0 \r\n 0 \n 0 \r\n", 18},
        DamagedFile{"BareCarriageReturnInARecord", YamadaHeaderBytes + OneRecord + " 200505 \r\n 0 \r\n 0 \r0 \r\n",
                    18},
        DamagedFile{"BareCarriageReturnAtTheEnd", YamadaHeaderBytes + OneRecord.chopped(1), 15},
        DamagedFile{"LastLineEndedByALineFeedOnly", YamadaHeaderBytes + OneRecord.chopped(2) + "\n", 15}),
    [](const auto& row) { return std::string(row.param.name); });

// Another PC appends the first month after the header while this one reads: the read waits for it.
TEST_F(PersonalFiles, AReadWaitsForTheFirstMonthBeingAppendedAfterTheHeader)
{
    writeBytes(file(QStringLiteral("山田")), YamadaHeaderBytes + OneRecord.left(5));
    std::thread appender([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        QFile appended(file(QStringLiteral("山田")));
        ASSERT_TRUE(appended.open(QIODevice::Append));
        appended.write(OneRecord.mid(5));
    });
    const auto read = ReadPersonalFile(dir, QStringLiteral("山田"));
    appender.join();
    ASSERT_TRUE(read) << messageOf(read.error()).toStdString();
    EXPECT_EQ(read->records.size(), 1);
}

TEST_F(PersonalFiles, AUtf8FileIsReportedAsSuch)
{
    writeBytes(file(QStringLiteral("山田")), QStringLiteral(" 7 \r\n山田\r\n 1 \r\n").toUtf8());
    EXPECT_EQ(messageOf(ReadPersonalFile(dir, QStringLiteral("山田")).error()),
              QStringLiteral(
                  "ファイル「被曝Data/山田.dat」の文字コードがShift_JIS（CP932）ではありません（UTF-8のようです）"));
    // Code page 932 text, Japanese and ASCII alike, is not taken for UTF-8.
    EXPECT_FALSE(looksLikeUtf8(YamadaHeaderBytes));
    EXPECT_FALSE(looksLikeUtf8(fileBytes(fixturePath("personal-cp932.dat"))));
    EXPECT_FALSE(looksLikeUtf8(QByteArray(" 0 \r\n")));
}

// What may stand at a store file's name, or in place of the dose data folder, instead of a regular file.
struct SpecialFile {
    const char* name;
    bool folderItself; // in place of 被曝Data rather than of one file
    std::function<bool(const QString& at, const QString& validFile)> make; // false: not on this platform
};

class SpecialFiles : public PersonalFiles, public testing::WithParamInterface<SpecialFile> {};

// Nothing special is waited on, read, or written through; each is named as not a regular file, and a
// valid file a link leads to stays as it was.
TEST_P(SpecialFiles, AreRefusedByEveryReadAndWriteAndNothingIsWrittenThroughThem)
{
    QTemporaryDir outside;
    const DataDir elsewhere(outside.path());
    ASSERT_TRUE(InitialiseForEntry(elsewhere));
    ASSERT_TRUE(CreatePersonalFile(elsewhere, yamada()));
    const QString validFile = elsewhere.personalFile(QStringLiteral("山田"));
    const QString at = GetParam().folderItself ? dir.doseDataFolder() : file(QStringLiteral("山田"));
    QDir(at).removeRecursively();
    if (!GetParam().make(at, GetParam().folderItself ? elsewhere.doseDataFolder() : validFile))
        GTEST_SKIP() << "this platform cannot make one";
    if (!GetParam().folderItself) {
        QFile::remove(dir.listFile(EnteredMonthsFile));
        ASSERT_TRUE(GetParam().make(dir.listFile(EnteredMonthsFile), elsewhere.listFile(EnteredMonthsFile)));
    }
    const QString shown = GetParam().folderItself ? QStringLiteral("被曝Data") : QStringLiteral("被曝Data/山田.dat");
    const QString refused = messageOf(failure(FailureKind::NotRegularFile, shown));

    const auto person = ReadPersonalFile(dir, QStringLiteral("山田"));
    ASSERT_FALSE(person);
    EXPECT_EQ(messageOf(person.error()), refused);
    EXPECT_FALSE(ReadPersonalRecordsBetween(dir, QStringLiteral("山田"), 200504, 200603));
    EXPECT_EQ(messageOf(AppendMonthlyRecord(dir, QStringLiteral("山田"), MonthlyRecord{200504}).error()), refused);
    EXPECT_EQ(messageOf(RewritePersonalFile(dir, QStringLiteral("山田"), yamada(), {}).error()), refused);
    if (!GetParam().folderItself) {
        EXPECT_FALSE(LoadEnteredMonths(dir));
        EXPECT_FALSE(AppendEnteredMonth(dir, 200504));
    }
    EXPECT_EQ(fileBytes(validFile), YamadaHeaderBytes);
    EXPECT_EQ(fileBytes(elsewhere.listFile(EnteredMonthsFile)), QByteArray());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SpecialFiles,
    testing::Values(SpecialFile{"Fifo", false, [](const QString& at, const QString&) { return makeFifo(at); }},
                    SpecialFile{"Folder", false, [](const QString& at, const QString&) { return QDir().mkpath(at); }},
                    SpecialFile{"LinkToAValidFile", false,
                                [](const QString& at, const QString& valid) { return makeSymbolicLink(valid, at); }},
                    SpecialFile{"DoseDataFolderALink", true,
                                [](const QString& at, const QString& valid) { return makeSymbolicLink(valid, at); }},
                    SpecialFile{"DoseDataFolderAFile", true,
                                [](const QString& at, const QString&) {
                                    writeBytes(at, YamadaHeaderBytes);
                                    return true;
                                }}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
