#include "app/DataFolder.h"
#include "support/DataFiles.h"
#include "support/ScriptedDialogs.h"
#include "support/Stores.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

class DataFolder : public testing::Test {
protected:
    void SetUp() override { qputenv("HOME", QFile::encodeName(home.path())); }
    void TearDown() override { qputenv("HOME", previousHome); }

    QByteArray previousHome = qgetenv("HOME");
    QTemporaryDir home;
    QSettings settings{home.filePath(QStringLiteral("settings.conf")), QSettings::IniFormat};
    ScriptedDialogs dialogs;
};

TEST_F(DataFolder, TheMenuEntryProposesVelmoraInHomeRefusesHomeItselfAndRemembersTheChoice)
{
    const QString suggested = home.filePath(QStringLiteral("Velmora"));
    dialogs.answerFolder(home.path()); // the home folder itself: refused, asked again
    dialogs.answerFolder(QCoreApplication::applicationDirPath() + QStringLiteral("/データ")); // the program's: too
    dialogs.answerFolder(suggested); // the folder proposed, made when missing
    EXPECT_EQ(chosenDataFolder(dialogs, settings), suggested);
    EXPECT_EQ(dialogs.dialogStart, suggested);
    EXPECT_TRUE(QDir(suggested).exists());
    EXPECT_EQ(settings.value(AskBackupFolderKey).toString(), suggested); // the menu asks for its backup folder
    EXPECT_TRUE(
        dialogs.shown.value(1).text.startsWith(QStringLiteral("ホームフォルダそのものはデータのフォルダにできません")));
    EXPECT_TRUE(dialogs.shown.value(3).text.startsWith(
        QStringLiteral("プログラムのフォルダ「%1」の中はデータのフォルダにできません")
            .arg(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()))));
    EXPECT_FALSE(QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/データ")).exists());
    dialogs.shown.clear();
    EXPECT_EQ(chosenDataFolder(dialogs, settings), suggested); // remembered: not asked again
    EXPECT_TRUE(dialogs.shown.isEmpty());

    // A remembered folder that is gone (a network drive not connected) is told and nothing is made in its
    // place; another is chosen only on Yes, and Cancel then says the program ends.
    QDir(suggested).removeRecursively();
    dialogs.answer(false);
    EXPECT_EQ(chosenDataFolder(dialogs, settings), std::nullopt);
    EXPECT_EQ(dialogs.shown.last().kind, ScriptedDialogs::Kind::Risky);
    EXPECT_TRUE(dialogs.shown.last().text.startsWith(
        QStringLiteral("前回のデータフォルダ「%1」が見つかりません。ネットワークドライブが").arg(suggested)));
    EXPECT_FALSE(QDir(suggested).exists());
    dialogs.answer(true);
    dialogs.answerFolder(QString());
    EXPECT_EQ(chosenDataFolder(dialogs, settings), std::nullopt);
    EXPECT_EQ(dialogs.shown.last().text, QStringLiteral("データを保存するフォルダが選ばれなかったため、終了します。"));
}

// An empty folder where a store was (the mount point of a share not mounted) is used only on Yes, No the
// default; the folder the first-start window made is not asked about while it stays as it was made.
TEST_F(DataFolder, AnEmptyFolderWhereAStoreWasIsUsedOnlyWhenAgreed)
{
    const QString chosen = home.filePath(QStringLiteral("Velmora"));
    dialogs.answerFolder(chosen);
    EXPECT_EQ(chosenDataFolder(dialogs, settings), chosen);
    dialogs.shown.clear();
    EXPECT_EQ(chosenDataFolder(dialogs, settings), chosen);
    EXPECT_TRUE(dialogs.shown.isEmpty());
    const QString names = QDir(chosen).filePath(QStringLiteral("登録者名.txt"));
    writeBytes(names, " 0 \r\n");
    EXPECT_EQ(chosenDataFolder(dialogs, settings), chosen);
    QFile::remove(names);

    dialogs.answer(false);
    EXPECT_EQ(chosenDataFolder(dialogs, settings), std::nullopt);
    EXPECT_EQ(dialogs.shown.last().kind, ScriptedDialogs::Kind::Risky);
    EXPECT_TRUE(dialogs.shown.last().text.startsWith(QStringLiteral("フォルダ「%1」は空です。").arg(chosen)));
    dialogs.answer(false);
    EXPECT_FALSE(openDataFolder(dialogs, chosen, true)); // given with --data-dir
    dialogs.answer(true);
    EXPECT_EQ(chosenDataFolder(dialogs, settings), chosen);
    dialogs.shown.clear();
    EXPECT_EQ(chosenDataFolder(dialogs, settings), chosen); // taken as it is: not asked again
    EXPECT_TRUE(openDataFolder(dialogs, chosen));           // the working folder of a terminal: not asked
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(DataFolder, AMissingFolderIsCreatedOnlyWhenAgreedAndOneNotWritableSaysWhy)
{
    const QString fresh = home.filePath(QStringLiteral("a/b"));
    dialogs.answer(false); // the default: a share that is not mounted must not become a new store
    EXPECT_FALSE(openDataFolder(dialogs, fresh));
    EXPECT_FALSE(QDir(home.filePath(QStringLiteral("a"))).exists());
    dialogs.answer(true);
    EXPECT_TRUE(openDataFolder(dialogs, fresh));
    EXPECT_EQ(dialogs.shown.value(1).kind, ScriptedDialogs::Kind::Risky); // No is the default
    EXPECT_EQ(dialogs.shown.value(1).text,
              QStringLiteral("フォルダ「%1」はありません。新しいデータフォルダとして作成しますか？").arg(fresh));
    EXPECT_EQ(dataFolderWriteProblem(fresh), QString());
    EXPECT_TRUE(QDir(fresh).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
    dialogs.answer(true);
    EXPECT_FALSE(openDataFolder(dialogs, QStringLiteral("/proc/velmora")));
    EXPECT_EQ(dialogs.shown.last().text, QStringLiteral("データフォルダ「/proc/velmora」を作成できません。"));
    writeBytes(home.filePath(QStringLiteral("file")), "x");
    EXPECT_FALSE(openDataFolder(dialogs, home.filePath(QStringLiteral("file"))));
    // --data-dir in the program's own folder (on Windows, anywhere under Program Files): refused, not made.
    const QString inProgram = QCoreApplication::applicationDirPath() + QStringLiteral("/データ");
    EXPECT_FALSE(openDataFolder(dialogs, inProgram));
    EXPECT_TRUE(dialogs.shown.last().text.startsWith(QStringLiteral("プログラムのフォルダ「%1」の中はデータのフォルダ")
                                                         .arg(QCoreApplication::applicationDirPath())));
    EXPECT_FALSE(QFileInfo::exists(inProgram));

    const ImmutableFile locked(fresh);
    ASSERT_TRUE(locked.ok);
    EXPECT_TRUE(openDataFolder(dialogs, fresh));
    EXPECT_EQ(dataFolderWriteProblem(fresh),
              QStringLiteral("データフォルダ「%1」に書き込めません（書き込む権限がありません）。").arg(fresh));

    // A read-only mount of the folder, as a share mounted read-only or an archive on read-only media.
    const QString mounted = home.filePath(QStringLiteral("ro"));
    QDir().mkpath(mounted);
    if (QProcess::execute("mount", {"--bind", home.filePath("a"), mounted}) != 0)
        GTEST_SKIP() << "no bind mounts here";
    const bool readOnly = QProcess::execute("mount", {"-o", "remount,ro,bind", mounted}) == 0;
    const QString problem = dataFolderWriteProblem(mounted);
    QProcess::execute("umount", {mounted});
    ASSERT_TRUE(readOnly);
    EXPECT_EQ(
        problem,
        QStringLiteral("データフォルダ「%1」に書き込めません（読み取り専用のファイルシステムです）。").arg(mounted));
}

} // namespace
