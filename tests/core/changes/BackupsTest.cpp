#include "core/changes/Backups.h"
#include "core/changes/RecordedWrites.h"
#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"
#include "core/files/StoreCheck.h"
#include "core/files/SystemFiles.h"
#include "core/texts/Messages.h"
#include "support/DataFiles.h"
#include "support/Stores.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

QDateTime evening(const QDate& day)
{
    return QDateTime(day, QTime(17, 30));
}

Generation madeAt(const QDateTime& time, int sequence = 1, qsizetype persons = 1)
{
    const QString stamp = QStringLiteral("Velmora_") + time.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    return {sequence > 1 ? stamp + QStringLiteral("_%1").arg(sequence) : stamp, time, sequence, persons, 0};
}

// Two years of data entry every day, each followed by a backup that prunes: what is left is the ten newest,
// the newest of each of the last twelve months and the newest of each year.
TEST(Backups, TwoYearsOfDailyBackupsKeepTheNewestTheMonthsOfAYearAndEachYear)
{
    QList<Generation> generations;
    for (QDate day(2025, 1, 1); day <= QDate(2026, 12, 31); day = day.addDays(1)) {
        generations << madeAt(evening(day));
        const QStringList kept = generationsKept(generations, evening(day));
        generations.removeIf([&](const Generation& generation) { return !kept.contains(generation.name); });
    }
    QStringList expected;
    for (int day = 31; day >= 22; --day)
        expected << madeAt(evening(QDate(2026, 12, day))).name;
    for (int month = 11; month >= 1; --month)
        expected << madeAt(evening(QDate(2026, month, QDate(2026, month, 1).daysInMonth()))).name;
    expected << madeAt(evening(QDate(2025, 12, 31))).name;
    EXPECT_EQ(generationsKept(generations, evening(QDate(2026, 12, 31))), expected);
}

TEST(Backups, TheKeepingRuleAtItsEdges)
{
    const QDateTime now = evening(QDate(2026, 6, 15));
    // Monthly backups from January 2025: the month twelve back (June 2025) is neither of the last twelve
    // months nor the newest of its year.
    QList<Generation> monthly;
    for (QDate day(2025, 1, 10); day <= QDate(2026, 6, 10); day = day.addMonths(1))
        monthly << madeAt(evening(day));
    const QStringList kept = generationsKept(monthly, now);
    EXPECT_TRUE(kept.contains(madeAt(evening(QDate(2025, 7, 10))).name));
    EXPECT_FALSE(kept.contains(madeAt(evening(QDate(2025, 6, 10))).name));
    EXPECT_TRUE(kept.contains(madeAt(evening(QDate(2025, 12, 10))).name));

    // Twelve generations in one second are told apart by their number: the ten newest stay.
    QList<Generation> oneSecond;
    for (int sequence = 1; sequence <= 12; ++sequence)
        oneSecond << madeAt(now, sequence);
    const QStringList newest = generationsKept(oneSecond, now);
    ASSERT_EQ(newest.size(), 10);
    EXPECT_EQ(newest.first(), madeAt(now, 12).name);
    EXPECT_EQ(newest.last(), madeAt(now, 3).name);

    // Nights of an empty share after a store of five persons: the last copy of the five stays, as does the
    // last of the longest history.
    QList<Generation> shrunk{madeAt(now.addDays(-30), 1, 5), madeAt(now.addDays(-29), 1, 5)};
    shrunk.last().history = 900;
    for (int night = 28; night >= 0; --night)
        shrunk << madeAt(now.addDays(-night), 1, 0);
    const QStringList keptOfShrunk = generationsKept(shrunk, now);
    EXPECT_TRUE(keptOfShrunk.contains(shrunk[1].name));
    EXPECT_FALSE(keptOfShrunk.contains(shrunk[0].name));
    shrunk[0].history = 1000;
    EXPECT_TRUE(generationsKept(shrunk, now).contains(shrunk[0].name));
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
        newest = made->name;
    }
    EXPECT_EQ(newest, QStringLiteral("Velmora_20261112-173000"));
    const QStringList left = QDir(backups.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    EXPECT_EQ(left.size(), 12);
    EXPECT_EQ(left.first(), QStringLiteral("Velmora_20250101-000000"));
    EXPECT_EQ(left[1], QStringLiteral("Velmora_20261103-173000"));
    EXPECT_TRUE(left.contains(QStringLiteral("Velmora_写真")));
    const auto checked = VerifyBackups(backups.path());
    ASSERT_TRUE(checked) << messageOf(checked.error()).toStdString();
    ASSERT_EQ(checked->size(), 11);
    EXPECT_TRUE(checked->first().damage); // the folder under a generation's name without a manifest

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
    const QString manifest = QDir(generation).filePath(ManifestFile);
    const QByteArray listed = fileBytes(manifest);
    for (const auto& [change, named] :
         {std::pair<std::function<void()>, QString>{
              [&] { writeBytes(yamada, QByteArray(bytes).replace("0.1", "0.2")); },
              QStringLiteral("被曝Data/山田.dat」が作成時と違います（内容が違います）")},
          {[&] { QFile::remove(yamada); },
           QStringLiteral("被曝Data/山田.dat」が作成時と違います（ファイルがありません）")},
          {[&] { writeBytes(QDir(generation).filePath(QStringLiteral("追加.txt")), "x"); },
           QStringLiteral("追加.txt」が作成時と違います（目録にないファイルです）")},
          {[&] { QFile::remove(manifest); }, ManifestFile + QStringLiteral("」が作成時と違います")}}) {
        change();
        const auto found = VerifyBackups(backups.path());
        ASSERT_TRUE(found && found->last().damage);
        EXPECT_TRUE(messageOf(*found->last().damage).contains(named)) << messageOf(*found->last().damage).toStdString();
        EXPECT_FALSE((*found)[1].damage); // every other generation is checked all the same
        EXPECT_EQ(found->size(), 11);
        const auto alone = VerifyBackups(generation); // the generation's own folder: it alone
        ASSERT_TRUE(alone && alone->size() == 1 && alone->first().damage);
        EXPECT_EQ(alone->first().name, newest);
        writeBytes(yamada, bytes);
        writeBytes(manifest, listed);
        QFile::remove(QDir(generation).filePath(QStringLiteral("追加.txt")));
    }
    EXPECT_FALSE(VerifyBackups(restored.path()));
}

// What each backup run keeps, from the store it finds and the folder it is given.
TEST(Backups, AreMadeOnlyOfAWholeStoreIntoAnExistingFolderOutsideIt)
{
    QTemporaryDir place;
    const QDir root(place.path());
    root.mkdir(QStringLiteral("Velmora"));
    const DataDir dir(root.filePath(QStringLiteral("Velmora")));
    makeStore(dir, {QStringLiteral("山田"), QStringLiteral("鈴木")});
    const QString backups = root.filePath(QStringLiteral("Velmora2")); // beside, with a name that begins alike
    root.mkdir(QStringLiteral("Velmora2"));
    root.mkdir(QStringLiteral("空"));
    const bool linked = makeSymbolicLink(dir.root(), root.filePath(QStringLiteral("リンク")));
    const QDateTime now = evening(QDate(2026, 12, 9));
    ASSERT_TRUE(MakeBackup(dir, backups, now));

    struct Run {
        DataDir store;
        QString folder;
        std::optional<FailureKind> refused;
    };
    for (const auto& [store, folder, refused] : {
             Run{DataDir(root.filePath(QStringLiteral("空"))), backups, FailureKind::NoStore},
             Run{dir, root.filePath(QStringLiteral("無い/x/y")), FailureKind::BackupFolderMissing},
             Run{dir, root.filePath(QStringLiteral("リンク/被曝Data")), FailureKind::BackupInsideStore},
             Run{dir, dir.root(), FailureKind::BackupInsideStore},
         }) {
        if (!linked && folder.contains(QStringLiteral("リンク")))
            continue; // no links on this system
        const auto made = MakeBackup(store, folder, now);
        ASSERT_FALSE(made) << folder.toStdString();
        EXPECT_EQ(made.error().kind, *refused) << folder.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(root.filePath(QStringLiteral("無い"))));

    // A damaged file is named and leaves no generation behind.
    const QByteArray yamada = fileBytes(dir.personalFile(QStringLiteral("山田")));
    writeBytes(dir.personalFile(QStringLiteral("山田")), " 3 \r\n");
    const auto damaged = MakeBackup(dir, backups, now);
    ASSERT_FALSE(damaged);
    EXPECT_TRUE(messageOf(damaged.error()).contains(QStringLiteral("被曝Data/山田.dat")));
    writeBytes(dir.personalFile(QStringLiteral("山田")), yamada);

    // A store that lost a person: the generation is made, the one of more persons named and kept through
    // nights more than the ten the rule keeps.
    const QString first = QDir(backups).entryList(QDir::Dirs | QDir::NoDotAndDotDot).first();
    QFile::remove(dir.personalFile(QStringLiteral("鈴木")));
    ASSERT_TRUE(SaveRegistrantList(dir, {QStringLiteral("山田")}));
    for (int night = 1; night <= 12; ++night) {
        const auto made = MakeBackup(dir, backups, now.addDays(night));
        ASSERT_TRUE(made) << messageOf(made.error()).toStdString();
        ASSERT_TRUE(made->larger);
        EXPECT_EQ(made->larger->name, first);
        EXPECT_EQ(made->larger->persons, 2);
    }
    EXPECT_TRUE(QFileInfo::exists(QDir(backups).filePath(first)));

    // A history gone since the last generation, with the same persons: the generation of the longer history is
    // named as well.
    ASSERT_FALSE(QFileInfo::exists(dir.listFile(ChangeHistoryFile)));
    ASSERT_TRUE(SaveFacility(dir, {}, {QStringLiteral("A病院"), {}, {}}));
    ASSERT_TRUE(MakeBackup(dir, backups, now.addDays(13)));
    QFile::remove(dir.listFile(ChangeHistoryFile));
    QFile::remove(dir.listFile(FacilityFile));
    const auto cut = MakeBackup(dir, backups, now.addDays(14));
    ASSERT_TRUE(cut) << messageOf(cut.error()).toStdString();
    ASSERT_TRUE(cut->larger);
    EXPECT_EQ(cut->larger->persons, cut->made.persons);
    EXPECT_GT(cut->larger->history, cut->made.history);

    // Three in one second, the second damaged: each is seen, and given with a relative path as well.
    QTemporaryDir second;
    for (int run = 0; run < 3; ++run)
        ASSERT_TRUE(MakeBackup(dir, second.path(), now));
    const QString middle = QStringLiteral("Velmora_20261209-173000_2");
    const QString copy = QDir(second.path()).filePath(middle + QStringLiteral("/被曝Data/山田.dat"));
    writeBytes(copy, fileBytes(copy) + "x");
    const QString before = QDir::currentPath();
    QDir::setCurrent(second.path());
    const auto checked = VerifyBackups(QStringLiteral("."));
    QDir::setCurrent(before);
    ASSERT_TRUE(checked);
    ASSERT_EQ(checked->size(), 3);
    EXPECT_FALSE((*checked)[0].damage);
    EXPECT_EQ((*checked)[1].name, middle);
    EXPECT_TRUE((*checked)[1].damage);
    EXPECT_FALSE((*checked)[2].damage);
    EXPECT_EQ((*checked)[2].name, QStringLiteral("Velmora_20261209-173000_3"));
}

} // namespace

namespace {

// Things planted in the backup folder under the name of a backup's leftover, or inside what Velmora made
// there: none is removed or followed, each is named, and the store and the folder a link points to keep
// every file.
TEST(Backups, RemoveOnlyWhatVelmoraMadeAndNeverThroughALink)
{
    QTemporaryDir place;
    const QDir root(place.path());
    for (const char* folder : {"Velmora", "backups", "other"})
        root.mkdir(QString::fromLatin1(folder));
    const DataDir dir(root.filePath(QStringLiteral("Velmora")));
    makeStore(dir, {QStringLiteral("山田")});
    const QString backups = root.filePath(QStringLiteral("backups"));
    const QString other = root.filePath(QStringLiteral("other"));
    writeBytes(QDir(other).filePath(QStringLiteral("大事.txt")), "keep");
    const auto store = snapshot(dir.root());
    const QDateTime now = evening(QDate(2026, 12, 9));
    const QString leftover = QDir(backups).filePath(QStringLiteral("Velmora_20200101-000000.part"));
    const QString inside = leftover + QStringLiteral("/被曝Data/x");

    struct Planted {
        const char* what;
        std::function<bool()> plant;
        QString named;
    };
    const auto userFolder = [&] {
        return QDir().mkpath(leftover) && (writeBytes(QDir(leftover).filePath(QStringLiteral("写真.jpg")), "x"), true);
    };
    const auto ownFolder = [&] {
        return QDir().mkpath(QFileInfo(inside).path()) &&
               (writeBytes(QDir(leftover).filePath(QStringLiteral(".velmora-unfinished")), ""), true);
    };
    for (const auto& [what, plant, named] : {
             Planted{"a link to the data folder", [&] { return makeSymbolicLink(dir.root(), leftover); }, leftover},
             Planted{"a link to another folder", [&] { return makeSymbolicLink(other, leftover); }, leftover},
             Planted{"a folder of the user's", userFolder, leftover},
             Planted{"a FIFO", [&] { return makeFifo(leftover); }, leftover},
             Planted{"a file", [&] { return writeBytes(leftover, "x"), true; }, leftover},
             Planted{"a link inside a folder Velmora made",
                     [&] { return ownFolder() && makeSymbolicLink(dir.root(), inside); }, inside},
             Planted{"a FIFO inside a folder Velmora made", [&] { return ownFolder() && makeFifo(inside); }, inside},
         }) {
        if (!plant())
            continue; // no links or FIFOs on this system
        const auto made = MakeBackup(dir, backups, now);
        ASSERT_FALSE(made) << what;
        EXPECT_EQ(made.error().kind, FailureKind::NotMadeHere) << what;
        EXPECT_EQ(made.error().file, QDir::toNativeSeparators(named)) << what;
        EXPECT_EQ(snapshot(dir.root()), store) << what;
        EXPECT_TRUE(QFileInfo::exists(QDir(other).filePath(QStringLiteral("大事.txt")))) << what;
        EXPECT_NE(system::kindOf(named), system::FileKind::Missing) << what;
        EXPECT_EQ(QDir(backups).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).size(), 1) << what;
        QFile::remove(inside);
        QFile::remove(leftover);
        QDir(leftover).removeRecursively();
    }

    // What a killed backup left, marked as Velmora's own, is removed; a generation no longer kept that holds
    // a link is left as it was and named, the backup made all the same.
    ASSERT_TRUE(ownFolder());
    writeBytes(inside, "copy");
    for (int day = 1; day <= 10; ++day)
        ASSERT_TRUE(MakeBackup(dir, backups, now.addDays(-30 + day)));
    EXPECT_FALSE(QFileInfo::exists(leftover));
    const QString oldest = QDir(backups).filePath(QStringLiteral("Velmora_20261110-173000"));
    if (!makeSymbolicLink(dir.root(), QDir(oldest).filePath(QStringLiteral("被曝Data/link"))))
        return;
    const auto pruned = MakeBackup(dir, backups, now);
    ASSERT_TRUE(pruned);
    ASSERT_TRUE(pruned->leftAlone);
    EXPECT_EQ(pruned->leftAlone->file, QDir::toNativeSeparators(oldest + QStringLiteral("/被曝Data/link")));
    EXPECT_TRUE(QFileInfo::exists(QDir(oldest).filePath(ManifestFile)));
    EXPECT_EQ(snapshot(dir.root()), store);
}

// A store file that is a FIFO, or a link, is refused by the backup and by --verify rather than left out.
TEST(Backups, RefuseAStoreFileThatIsNoFile)
{
    QTemporaryDir store;
    QTemporaryDir backups;
    const DataDir dir(store.path());
    makeStore(dir, {QStringLiteral("山田")});
    for (const QString& file : {ChangeHistoryFile, QStringLiteral("健康診断.txt"), QStringLiteral("線量計.txt"),
                                QStringLiteral("取込レイアウト.txt"), QStringLiteral("被曝Data/鈴木.dat")}) {
        const QString path = QDir(dir.root()).filePath(file);
        for (const bool fifo : {true, false}) {
            if (!(fifo ? makeFifo(path) : makeSymbolicLink(dir.listFile(RegistrantNamesFile), path)))
                continue;
            const auto made = MakeBackup(dir, backups.path(), evening(QDate(2026, 12, 9)));
            ASSERT_FALSE(made) << file.toStdString();
            EXPECT_EQ(made.error().kind, FailureKind::NotRegularFile) << file.toStdString();
            EXPECT_EQ(made.error().file, file);
            if (!file.startsWith(DoseDataFolder)) { // a file of no registrant is no file of the store to read
                EXPECT_FALSE(VerifyStore(dir).faults.isEmpty()) << file.toStdString();
            }
            QFile::remove(path);
        }
    }
    EXPECT_TRUE(QDir(backups.path()).isEmpty());
}

// The backup folder is compared with the data folder by what it is: a bind mount of it is refused.
TEST(Backups, KnowTheDataFolderUnderAnotherPath)
{
    QTemporaryDir store;
    QTemporaryDir mountPoint;
    const DataDir dir(store.path());
    makeStore(dir, {QStringLiteral("山田")});
    if (QProcess::execute(QStringLiteral("mount"), {QStringLiteral("--bind"), store.path(), mountPoint.path()}) != 0)
        GTEST_SKIP() << "no bind mount can be made here";
    const auto made = MakeBackup(dir, QDir(mountPoint.path()).filePath(DoseDataFolder), evening(QDate(2026, 12, 9)));
    QProcess::execute(QStringLiteral("umount"), {mountPoint.path()});
    ASSERT_FALSE(made);
    EXPECT_EQ(made.error().kind, FailureKind::BackupInsideStore);
}

} // namespace
