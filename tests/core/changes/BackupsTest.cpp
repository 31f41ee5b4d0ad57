#include "core/changes/Backups.h"
#include "core/changes/RecordedWrites.h"
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

QDateTime evening(const QDate& day)
{
    return QDateTime(day, QTime(17, 30));
}

// Two years of data entry every day, each followed by a backup that prunes: what is left is the ten newest,
// the newest of each of the last twelve months and the newest of each year.
TEST(Backups, TwoYearsOfDailyBackupsKeepTheNewestTheMonthsOfAYearAndEachYear)
{
    QList<QDateTime> kept;
    for (QDate day(2025, 1, 1); day <= QDate(2026, 12, 31); day = day.addDays(1))
        kept = generationsKept(kept + QList<QDateTime>{evening(day)}, evening(day));
    QList<QDateTime> expected;
    for (int day = 31; day >= 22; --day)
        expected << evening(QDate(2026, 12, day));
    for (int month = 11; month >= 1; --month)
        expected << evening(QDate(2026, month, QDate(2026, month, 1).daysInMonth()));
    expected << evening(QDate(2025, 12, 31));
    EXPECT_EQ(kept, expected);
}

TEST(Backups, AGenerationRestoredIsTheStoreAndAnyChangeOfItIsFound)
{
    QTemporaryDir store;
    QTemporaryDir backups;
    const DataDir dir(store.path());
    makeStore(dir, {QStringLiteral("山田"), QStringLiteral("鈴木")});
    ASSERT_TRUE(AppendMonthlyRecord(dir, QStringLiteral("山田"), {202504, 0.1, 0, 0, 0, NoComment}));
    ASSERT_TRUE(SaveFacility(dir, {}, {QStringLiteral("A病院"), {}, {}}));
    writeBytes(dir.listFile(EntryLockFile), "held");            // not part of the store
    QDir(backups.path()).mkdir(QStringLiteral("Velmora_写真")); // folders Velmora did not make stay
    QDir(backups.path()).mkdir(QStringLiteral("Velmora_20250101-000000"));
    QDir(backups.path()).mkpath(QStringLiteral("Velmora_20261031-090000.part/被曝Data")); // left by a kill

    // Twelve days of backups in one month: the ten newest stay.
    QString newest;
    for (int day = 1; day <= 12; ++day) {
        const auto made = MakeBackup(dir, backups.path(), evening(QDate(2026, 11, day)));
        ASSERT_TRUE(made) << messageOf(made.error()).toStdString();
        newest = *made;
    }
    EXPECT_EQ(newest, QStringLiteral("Velmora_20261112-173000"));
    const QStringList left = QDir(backups.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    EXPECT_EQ(left.size(), 12);
    EXPECT_EQ(left.first(), QStringLiteral("Velmora_20250101-000000"));
    EXPECT_EQ(left[1], QStringLiteral("Velmora_20261103-173000"));
    EXPECT_TRUE(left.contains(QStringLiteral("Velmora_写真")));
    const auto checked = VerifyBackups(backups.path());
    ASSERT_TRUE(checked) << messageOf(checked.error()).toStdString();
    EXPECT_EQ(checked->generations, 10);

    // Restoring is copying the generation's files back: the store as it was, byte for byte.
    QTemporaryDir restored;
    const QString generation = QDir(backups.path()).filePath(newest);
    copyTree(generation, restored.path());
    QFile::remove(QDir(restored.path()).filePath(ManifestFile));
    auto original = snapshot(store.path());
    original.remove(EntryLockFile);
    EXPECT_EQ(snapshot(restored.path()), original);

    // A flipped byte, a file gone and a file added are each named.
    const QString yamada = QDir(generation).filePath(QStringLiteral("被曝Data/山田.dat"));
    const QByteArray bytes = fileBytes(yamada);
    for (const auto& [change, named] :
         {std::pair<std::function<void()>, QString>{
              [&] { writeBytes(yamada, QByteArray(bytes).replace("0.1", "0.2")); },
              QStringLiteral("被曝Data/山田.dat」が作成時と違います（内容が違います）")},
          {[&] { QFile::remove(yamada); },
           QStringLiteral("被曝Data/山田.dat」が作成時と違います（ファイルがありません）")},
          {[&] { writeBytes(QDir(generation).filePath(QStringLiteral("追加.txt")), "x"); },
           QStringLiteral("追加.txt」が作成時と違います（目録にないファイルです）")}}) {
        change();
        const auto found = VerifyBackups(backups.path());
        ASSERT_FALSE(found);
        EXPECT_TRUE(messageOf(found.error()).contains(named)) << messageOf(found.error()).toStdString();
        writeBytes(yamada, bytes);
        QFile::remove(QDir(generation).filePath(QStringLiteral("追加.txt")));
    }
    EXPECT_FALSE(VerifyBackups(restored.path()));
}

} // namespace
