#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"
#include "core/texts/Messages.h"
#include "support/Stores.h"
#include "support/WindowTest.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace velmora;
using namespace velmora::test;

namespace {

// A damaged file: which one, and the bytes (or a folder) put in its place.
struct Damage {
    const char* name;
    const char16_t* file; // relative to the data directory
    QByteArray bytes;
    bool folder = false;
    bool headerWhole = false; // the nine header lines can still be read
};

const QByteArray SuzukiHeader =
    crlfLines({" 2 ", "\x97\xe9\x96\xd8", " 1 ", " 19650412 ", "x", "y", " 0 ", " 0 ", "d"});

class DamagedStore : public WindowTest, public testing::WithParamInterface<Damage> {
protected:
    void SetUp() override
    {
        makeStore(app.dataDir, {QStringLiteral("山田"), QStringLiteral("鈴木")});
        ASSERT_TRUE(AppendMonthlyRecord(app.dataDir, QStringLiteral("鈴木"), {200504, 1}));
        const QString damaged = path(QString::fromUtf16(GetParam().file));
        QFile::remove(damaged);
        if (GetParam().folder)
            QDir().mkpath(damaged);
        else
            writeBytes(damaged, GetParam().bytes);
        before = snapshot(temp.path());
        shownName = QString::fromUtf16(GetParam().file);
    }
    // Every warning since the last call names the damaged file, and there was at least one.
    void expectReported(const char* operation)
    {
        QStringList warnings;
        for (const auto& shown : dialogs.shown)
            if (shown.kind == ScriptedDialogs::Kind::Warn)
                warnings << shown.text;
        dialogs.shown.clear();
        EXPECT_FALSE(warnings.isEmpty()) << operation;
        for (const QString& warning : warnings)
            EXPECT_TRUE(warning.contains(shownName)) << operation << ": " << warning.toStdString();
    }

    QMap<QString, QByteArray> before;
    QString shownName;
};

class DamagedListFile : public DamagedStore {};

TEST_P(DamagedListFile, TheMenuReportsItStaysAndChangesNothing)
{
    click(app.form1().Command1);
    expectReported("データ入力／訂正");
    EXPECT_FALSE(app.form2().isVisible());
    if (shownName == RegistrantNamesFile) {
        click(app.form1().Command2);
        expectReported("データ検索／表示");
        EXPECT_FALSE(app.form4().isVisible());
    }
    EXPECT_TRUE(app.form1().isVisible());
    EXPECT_EQ(snapshot(temp.path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DamagedListFile,
    testing::Values(Damage{"CountLargerThanNames", u"登録者名.txt", QByteArray(" 3 \r\nA\r\n")},
                    Damage{"NamesPastTheCount", u"登録者名.txt", QByteArray(" 1 \r\nA\r\nB\r\n")},
                    Damage{"ANameListedTwice", u"登録者名.txt", QByteArray(" 2 \r\nA\r\nA\r\n")},
                    Damage{"CountOver1000", u"登録者名.txt",
                           QByteArray(" 1001 \r\n") + QByteArray("A\r\n").repeated(1001)},
                    Damage{"EmptyNames", u"登録者名.txt", QByteArray()},
                    Damage{"NamesCarriageReturnsOnly", u"登録者名.txt", QByteArray(" 1 \r\x8e\x52\x93\x63\r")},
                    Damage{"NamesLineFeedsOnly", u"登録者名.txt", QByteArray(" 1 \n\x8e\x52\x93\x63\n")},
                    Damage{"NamesInUtf8", u"登録者名.txt", QStringLiteral(" 2 \r\n山田\r\n鈴木\r\n").toUtf8()},
                    Damage{"NamesFolder", u"登録者名.txt", {}, true},
                    Damage{"EnteredMonthNotANumber", u"既入力.txt", QByteArray(" 200504 \r\nabc\r\n")},
                    Damage{"EnteredMonthsFolder", u"既入力.txt", {}, true}),
    [](const auto& row) { return std::string(row.param.name); });

// 2 GiB of NUL bytes after valid content (a sparse file) are refused at once, without reading them.
TEST(HugeFile, IsReportedWithoutBeingRead)
{
    QTemporaryDir temp;
    const DataDir dir(temp.path());
    makeStore(dir, {QStringLiteral("山田")});
    for (const QString& file : {dir.listFile(RegistrantNamesFile), dir.personalFile(QStringLiteral("山田"))})
        ASSERT_TRUE(QFile::resize(file, qint64(2) << 30));
    rusage before{};
    ::getrusage(RUSAGE_SELF, &before);
    EXPECT_TRUE(messageOf(LoadRegistrantList(dir).error()).contains(QStringLiteral("大きすぎます")));
    EXPECT_TRUE(
        messageOf(ReadPersonalFile(dir, QStringLiteral("山田")).error()).contains(QStringLiteral("大きすぎます")));
    rusage after{};
    ::getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "kilobytes more at the peak";
}

class DamagedPersonalFile : public DamagedStore {};

TEST_P(DamagedPersonalFile, EveryWindowReportsItStaysUsableAndWritesNothing)
{
    click(app.form1().Command1);
    ASSERT_TRUE(app.form2().isVisible());
    doubleClick(app.form2().List1, QStringLiteral("鈴木"));
    if (!app.form2().Text2->text().isEmpty()) { // the six header lines may still be whole
        EXPECT_TRUE(takeMessages().isEmpty());
        click(app.form2().Command8);
        expectReported("データ訂正");
        EXPECT_FALSE(app.form6().isVisible());
    } else {
        expectReported("double-click");
    }
    type(app.form2().Text7, "2026");
    type(app.form2().Text6, "4");
    dialogs.answer(true);
    click(app.form2().Command3);
    expectReported("全データ保存");
    EXPECT_TRUE(app.form2().isVisible());
    app.form2().close();

    click(app.form1().Command2);
    ASSERT_TRUE(app.form4().isVisible());
    click(app.form4().Command7); // reads the header only
    if (GetParam().headerWhole)
        EXPECT_TRUE(takeMessages().isEmpty());
    else
        expectReported("登録者データ表");
    type(app.form4().Text2, "2005");
    type(app.form4().Text3, "4");
    click(app.form4().Command8);
    expectReported("月別被曝一覧表");
    EXPECT_TRUE(app.form4().Command4->isEnabled());
    QTest::mouseClick(app.form4().List1->viewport(), Qt::LeftButton, {},
                      app.form4().List1->visualItemRect(app.form4().List1->item(1)).center());
    expectReported("氏名の選択");
    EXPECT_FALSE(app.form4().Command3->isEnabled());
    EXPECT_EQ(snapshot(temp.path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DamagedPersonalFile,
    testing::Values(Damage{"CutInsideTheHeader", u"被曝Data/鈴木.dat", SuzukiHeader.left(20)},
                    Damage{"CutInsideARecord", u"被曝Data/鈴木.dat", SuzukiHeader + " 200504 \r\n 1 \r\n", false, true},
                    Damage{"CutInsideATwoByteCharacter", u"被曝Data/鈴木.dat",
                           SuzukiHeader + " 200504 \r\n 1 \r\n 0 \r\n 0 \r\n 0 \r\n\x81", false, true},
                    Damage{"NumberLineNotANumber", u"被曝Data/鈴木.dat", SuzukiHeader + crlfLines({"abc"}), false,
                           true},
                    Damage{"LineFeedsOnly", u"被曝Data/鈴木.dat", QByteArray(SuzukiHeader).replace("\r\n", "\n")},
                    Damage{"Utf8", u"被曝Data/鈴木.dat", QStringLiteral(" 2 \r\n鈴木\r\n").toUtf8()},
                    Damage{"Folder", u"被曝Data/鈴木.dat", {}, true}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
