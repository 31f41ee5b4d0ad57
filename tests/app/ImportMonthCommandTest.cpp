#include "store/PersonalFile.h"
#include "support/DataFiles.h"
#include "support/ProgramRun.h"
#include "support/Stores.h"

#include <QDir>
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

    writeBytes(csv, QStringLiteral("氏名,実効線量,水晶体,皮膚,内部被曝\n山田,0.5,,,\n佐藤,1,,,\n").toUtf8());
    const auto before = snapshot(store.path());
    const ProgramRun refused = runVelmora(arguments);
    EXPECT_EQ(refused.exitCode, 1);
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
    EXPECT_TRUE(january.out.endsWith(QStringLiteral("となる人が1名います（他施設での線量を含みます）。\n"
                                                    "山田：実効 Q4 4.5 ≥ 4（女性。妊娠不能と診断された者は対象外）\n")))
        << january.out.toStdString();
}

} // namespace
