#include "app/DataFolder.h"
#include "support/ScriptedDialogs.h"
#include "support/Stores.h"

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
    dialogs.answerFolder(suggested);   // the folder proposed, made when missing
    EXPECT_EQ(chosenDataFolder(dialogs, settings), suggested);
    EXPECT_EQ(dialogs.dialogStart, suggested);
    EXPECT_TRUE(QDir(suggested).exists());
    EXPECT_TRUE(
        dialogs.shown.value(1).text.startsWith(QStringLiteral("ホームフォルダそのものはデータのフォルダにできません")));
    dialogs.shown.clear();
    EXPECT_EQ(chosenDataFolder(dialogs, settings), suggested); // remembered: not asked again
    EXPECT_TRUE(dialogs.shown.isEmpty());

    // A remembered folder that is gone is asked for again; Cancel says the program ends.
    QDir(suggested).removeRecursively();
    dialogs.answerFolder(QString());
    EXPECT_EQ(chosenDataFolder(dialogs, settings), std::nullopt);
    EXPECT_EQ(dialogs.shown.last().text, QStringLiteral("データを保存するフォルダが選ばれなかったため、終了します。"));
}

TEST_F(DataFolder, OnlyAFolderThatCannotBeCreatedIsRefusedAndOneNotWritableSaysWhy)
{
    const QString fresh = home.filePath(QStringLiteral("a/b"));
    EXPECT_EQ(dataFolderProblem(fresh), QString());
    EXPECT_EQ(dataFolderWriteProblem(fresh), QString());
    EXPECT_TRUE(QDir(fresh).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
    EXPECT_EQ(dataFolderProblem(QStringLiteral("/proc/velmora")),
              QStringLiteral("データフォルダ「/proc/velmora」を作成できません。"));

    const ImmutableFile locked(fresh);
    ASSERT_TRUE(locked.ok);
    EXPECT_EQ(dataFolderProblem(fresh), QString());
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
