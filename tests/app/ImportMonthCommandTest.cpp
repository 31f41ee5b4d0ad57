#include "core/files/Dosimeters.h"
#include "core/files/ImportLayouts.h"
#include "core/files/PersonalFile.h"
#include "support/DataFiles.h"
#include "support/ProgramRun.h"
#include "support/Stores.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

TEST(ImportMonthCommand, SavesAWholeMonthOrRefusesWithNothingChanged)
{
    QTemporaryDir store;
    QTemporaryDir elsewhere;
    const DataDir dir(store.path());
    makeStore(dir, {QStringLiteral("山田"), QStringLiteral("鈴木")});
    const QString csv = QDir(elsewhere.path()).filePath(QStringLiteral("5月.csv"));
    const QStringList arguments{QStringLiteral("--import-month"), QStringLiteral("200505"), csv,
                                QStringLiteral("--data-dir"), store.path()};

    // A NUL in a cell is named as what it is, and the message goes on past it.
    writeBytes(csv, (QStringLiteral("氏名,実効線量,水晶体,皮膚,内部被曝\n山田,0.5") + QChar(0) +
                     QStringLiteral("x,,,\n佐藤,1,,,\n"))
                        .toUtf8());
    const auto before = snapshot(store.path());
    const ProgramRun refused = runVelmora(arguments);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("「0.5␀x」"))) << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains(QStringLiteral("3行目（佐藤）"))) << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains(QStringLiteral("鈴木")));
    EXPECT_EQ(snapshot(store.path()), before);

    writeBytes(csv, QStringLiteral("氏名,実効線量,水晶体,皮膚,内部被曝\n山田,0.5,,,\n鈴木,M,,,\n").toUtf8());
    const ProgramRun saved = runVelmora(arguments);
    EXPECT_EQ(saved.exitCode, 0) << saved.err.toStdString();
    EXPECT_EQ(saved.out, QStringLiteral("2005年5月の線量を登録者2名に保存しました。\n"));
    EXPECT_EQ(ReadPersonalFile(dir, QStringLiteral("山田"))->records.value(0).effective, 0.5);
    EXPECT_EQ(fileBytes(dir.listFile(EnteredMonthsFile)), crlfLines({" 200505 "}));

    EXPECT_EQ(runVelmora(arguments).exitCode, 1); // the month is saved now
    EXPECT_EQ(runVelmora({QStringLiteral("--import-month"), QStringLiteral("2005-5"), csv}).exitCode, 1);
    EXPECT_EQ(runVelmora({QStringLiteral("--import-month"), QStringLiteral("200513"), csv}).exitCode, 1);
    const QStringList twoFiles{QStringLiteral("--import-month"),
                               QStringLiteral("200512"),
                               csv,
                               csv,
                               QStringLiteral("--data-dir"),
                               store.path()};
    EXPECT_EQ(runVelmora(twoFiles).exitCode, 1);
    const ProgramRun december = runVelmora(
        {QStringLiteral("--import-month"), QStringLiteral("200512"), csv, QStringLiteral("--data-dir"), store.path()});
    EXPECT_EQ(december.exitCode, 0) << december.err.toStdString();
    EXPECT_EQ(fileBytes(dir.listFile(EnteredMonthsFile)), crlfLines({" 200505 ", " 200512 "}));

    // Saved, and the persons the month brings near a limit are named after what was saved.
    writeBytes(csv, QStringLiteral("氏名,実効線量,水晶体,皮膚,内部被曝\n山田,4.5,,,\n鈴木,M,,,\n").toUtf8());
    const ProgramRun january = runVelmora(
        {QStringLiteral("--import-month"), QStringLiteral("200601"), csv, QStringLiteral("--data-dir"), store.path()});
    EXPECT_EQ(january.exitCode, 0) << january.err.toStdString();
    EXPECT_TRUE(
        january.out.endsWith(QStringLiteral("となる人が1名います（他施設での線量を含みます）。\n"
                                            "山田：実効 1～3月 4.5 ≥ 4（女性。妊娠不能と診断された者は対象外）\n")))
        << january.out.toStdString();
}

TEST(ImportMonthCommand, AStopMidwayReleasesTheLockAndARunAgainNeverKeepsOtherValuesSilently)
{
    QTemporaryDir store;
    QTemporaryDir elsewhere;
    const DataDir dir(store.path());
    const QStringList names{QStringLiteral("山田"), QStringLiteral("鈴木"), QStringLiteral("佐藤")};
    makeStore(dir, names);
    const QString csv = QDir(elsewhere.path()).filePath(QStringLiteral("5月.csv"));
    const QStringList arguments{QStringLiteral("--import-month"), QStringLiteral("200505"), csv,
                                QStringLiteral("--data-dir"), store.path()};
    writeBytes(csv, QStringLiteral("氏名,実効線量,水晶体,皮膚,内部被曝\n山田,1,,,\n鈴木,2,,,\n佐藤,3,,,\n").toUtf8());

    // Ctrl+C as the second person's month goes to the disk: the two are saved whole, the rest is left.
    const ProgramRun stopped =
        runVelmora(arguments, {"-e", "trace=fdatasync", "-e", "inject=fdatasync:signal=INT:when=2"});
    EXPECT_EQ(stopped.exitCode, 130) << stopped.err.toStdString();
    EXPECT_TRUE(stopped.err.contains(QStringLiteral("山田\n鈴木"))) << stopped.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(QDir(store.path()).filePath(QStringLiteral(".velmora-entry.lock"))));
    EXPECT_EQ(ReadPersonalFile(dir, names[1])->records.size(), 1);
    EXPECT_EQ(ReadPersonalFile(dir, names[2])->records.size(), 0);
    EXPECT_EQ(fileBytes(dir.listFile(EnteredMonthsFile)), QByteArray());

    writeBytes(csv, QStringLiteral("氏名,実効線量,水晶体,皮膚,内部被曝\n山田,1,,,\n鈴木,2.5,,,\n佐藤,3,,,\n").toUtf8());
    const auto before = snapshot(store.path());
    const ProgramRun refused = runVelmora(arguments);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("--replace"))) << refused.err.toStdString();
    EXPECT_TRUE(refused.err.endsWith(QStringLiteral("\n鈴木\n")));
    EXPECT_EQ(snapshot(store.path()), before);

    const ProgramRun replaced = runVelmora(arguments + QStringList{QStringLiteral("--replace")});
    EXPECT_EQ(replaced.exitCode, 0) << replaced.err.toStdString();
    EXPECT_TRUE(replaced.out.contains(QStringLiteral("置き換えました。\n鈴木"))) << replaced.out.toStdString();
    EXPECT_EQ(ReadPersonalFile(dir, names[1])->records.value(0).effective, 2.5);
    EXPECT_EQ(ReadPersonalFile(dir, names[2])->records.value(0).effective, 3);
    EXPECT_EQ(fileBytes(dir.listFile(EnteredMonthsFile)), crlfLines({" 200505 "}));
}

// A dosimetry service's file through the layout saved for it: the month and the numbers it teaches are
// recorded so that --verify finds the store as the history says; a layout not saved is named with those that are.
TEST(ImportMonthCommand, AServicesFileIsReadThroughTheLayoutNamed)
{
    QTemporaryDir store;
    const DataDir dir(store.path());
    makeStore(dir, {QStringLiteral("山田"), QStringLiteral("鈴木")});
    ImportLayout layout;
    layout.name = QStringLiteral("A社");
    layout.headings = QStringList{QStringLiteral("番号"), QStringLiteral("氏名"), QStringLiteral("Hp(10)"),
                                  QStringLiteral("Hp(0.07)")};
    layout.columns[static_cast<size_t>(LayoutColumn::ServiceNumber)] = 1;
    layout.columns[static_cast<size_t>(LayoutColumn::Name)] = 2;
    layout.columns[static_cast<size_t>(LayoutColumn::TrunkHp10)] = 3;
    layout.columns[static_cast<size_t>(LayoutColumn::TrunkHp007)] = 4;
    layout.marks = UsualMarks;
    ASSERT_TRUE(WriteImportLayouts(dir, {layout}));
    const QString csv = QDir(store.path()).filePath(QStringLiteral("報告.csv"));
    writeBytes(csv, "\xEF\xBB\xBF番号\t氏名\tHp(10)\tHp(0.07)\r\nB7\t山田\t0.4\t0.6\r\nB8\t鈴木\tX\tX\r\n");
    const auto import = [&](const char* name) {
        return runVelmora({"--import-month", "200504", csv, "--layout", name, "--data-dir", store.path()});
    };
    const ProgramRun without =
        runVelmora({"--import-month", "200504", csv, "--data-dir", store.path()}); // the layout not named
    EXPECT_TRUE(without.err.contains(QStringLiteral("--layout A社 を付けて"))) << without.err.toStdString();
    const ProgramRun unknown = import("B社");
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("取込レイアウト「B社」はありません。保存されたレイアウト：A社")))
        << unknown.err.toStdString();
    const ProgramRun saved = import("A社");
    ASSERT_EQ(saved.exitCode, 0) << saved.err.toStdString();
    EXPECT_EQ(ReadPersonalFile(dir, QStringLiteral("山田"))->records.value(0).skin, 0.6);
    EXPECT_EQ(ReadDosimeters(dir)->value(1).serviceNumber, QStringLiteral("B8"));
    const ProgramRun verified = runVelmora({"--verify", "--data-dir", store.path()});
    EXPECT_EQ(verified.exitCode, 0) << verified.err.toStdString();
    EXPECT_EQ(runVelmora({"--layout", "A社", "--data-dir", store.path()}).exitCode, 1);
}

// An import killed at each write, then a change of another month: the records the kill left without
// their change are answered 未実施, and --verify finds the store as the history says.
TEST(ImportMonthCommand, AKillLeavesRecordsThatTheNextChangeAnswersAsNotMade)
{
    const QStringList names{QStringLiteral("山田"), QStringLiteral("鈴木"), QStringLiteral("佐藤")};
    for (const auto& [when, notMade] : {std::pair{1, 3}, {2, 2}, {3, 1}, {4, 0}, {5, 0}}) {
        QTemporaryDir store;
        const DataDir dir(store.path());
        makeStore(dir, names);
        const QString csv = QDir(store.path()).filePath(QStringLiteral("月.csv"));
        writeBytes(csv,
                   QStringLiteral("氏名,実効線量,水晶体,皮膚,内部被曝\n山田,1,,,\n鈴木,2,,,\n佐藤,3,,,\n").toUtf8());
        const auto import = [&](const char* month) {
            return QStringList{"--import-month", month, csv, "--data-dir", store.path()};
        };
        ASSERT_EQ(runVelmora(import("200504")).exitCode, 0); // the history is there: appended to from now on
        const QString kill = QStringLiteral("inject=fdatasync:signal=KILL:when=%1").arg(when);
        runVelmora(import("200505"), {"-e", "trace=fdatasync", "-e", kill});
        ASSERT_EQ(runVelmora(import("200506")).exitCode, 0);
        const ProgramRun verified = runVelmora({"--verify", "--data-dir", store.path()});
        EXPECT_EQ(verified.exitCode, 0) << "killed at fdatasync #" << when << "\n" << verified.err.toStdString();
        EXPECT_EQ(fileBytes(dir.listFile(ChangeHistoryFile)).count("\x96\xa2\x8e\xc0\x8e\x7b"), notMade) // 未実施
            << "killed at fdatasync #" << when;
    }
}

} // namespace
