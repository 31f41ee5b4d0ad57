#include "core/changes/SaveAll.h"
#include "core/files/ListFiles.h"
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

const QStringList Names = {QStringLiteral("山田"), QStringLiteral("鈴木"), QStringLiteral("髙橋"),
                           QStringLiteral("佐藤")};

class SaveAll : public testing::Test {
protected:
    void SetUp() override { makeStore(dir, Names); }
    Result<QStringList> save(MonthKey key, const AppendRecord& append = AppendMonthlyRecord,
                             HeldValues held = HeldValues::Keep)
    {
        return SaveMonthForAll(dir, RegistrantList{Names}, pending, key, held, {}, append);
    }
    // How many records of `key` each registrant's file holds.
    QList<qsizetype> monthCounts(MonthKey key) const
    {
        QList<qsizetype> counts;
        for (const QString& name : Names) {
            const auto file = ReadPersonalFile(dir, name);
            EXPECT_TRUE(file) << name.toStdString();
            counts.append(file ? std::count_if(file->records.begin(), file->records.end(),
                                               [key](const MonthlyRecord& r) { return r.key == key; })
                               : -1);
        }
        return counts;
    }

    QTemporaryDir temp;
    DataDir dir{temp.path()};
    std::vector<PendingEntry> pending = std::vector<PendingEntry>(RegistrantList::Capacity);
};

TEST_F(SaveAll, GivesEveryRegistrantItsPendingValuesOrTheDefaults)
{
    pending[1] = PendingEntry{0.5, 0, 1.5, 0.00123, QStringLiteral("腕")};
    ASSERT_TRUE(save(200504));
    EXPECT_TRUE(fileBytes(dir.personalFile(Names[0]))
                    .endsWith(crlfLines({"04-01-2005", " 200504 ", " 0 ", " 0 ", " 0 ", " 0 ", "\x81\x5c"})));
    EXPECT_TRUE(fileBytes(dir.personalFile(Names[1]))
                    .endsWith(crlfLines({"04-01-2005", " 200504 ", " 0.5 ", " 0 ", " 1.5 ", " 0.00123 ", "\x98\x72"})));
    EXPECT_EQ(fileBytes(dir.listFile(EnteredMonthsFile)), crlfLines({" 200504 "}));
    EXPECT_EQ(monthCounts(200504), (QList<qsizetype>{1, 1, 1, 1}));
}

TEST_F(SaveAll, MissingOrDamagedFilesStopItBeforeAnythingIsWritten)
{
    QFile::remove(dir.personalFile(Names[1]));
    QDir(dir.doseDataFolder()).mkdir(Names[1] + ".dat"); // a folder in place of the file
    writeBytes(dir.personalFile(Names[3]), QByteArray(" 4 \r\n"));
    const auto before = snapshot(temp.path());
    const auto saved = save(200504);
    ASSERT_FALSE(saved);
    EXPECT_TRUE(messageOf(saved.error()).contains(QStringLiteral("被曝Data/鈴木.dat")));
    EXPECT_TRUE(messageOf(saved.error()).contains(QStringLiteral("被曝Data/佐藤.dat")));
    EXPECT_FALSE(messageOf(saved.error()).contains(QStringLiteral("山田")));
    EXPECT_EQ(snapshot(temp.path()), before);
}

TEST_F(SaveAll, ACommentTheCodePageCannotHoldStopsItBeforeAnythingIsWritten)
{
    pending[2].comment = QStringLiteral("😀");
    const auto before = snapshot(temp.path());
    EXPECT_FALSE(save(200504));
    EXPECT_EQ(snapshot(temp.path()), before);
}

TEST_F(SaveAll, AFailureMidwayNamesWhoHasTheMonthAndARetryCompletesItOnce)
{
    int calls = 0;
    const AppendRecord failThird = [&calls](const DataDir& d, const QString& name, const MonthlyRecord& record) {
        if (++calls == 3)
            return Status(failure(FailureKind::CannotWrite, QStringLiteral("被曝Data/髙橋.dat")));
        return AppendMonthlyRecord(d, name, record);
    };
    const auto failed = save(200504, failThird);
    ASSERT_FALSE(failed);
    EXPECT_TRUE(messageOf(failed.error()).contains(QStringLiteral("髙橋.dat")));
    EXPECT_TRUE(messageOf(failed.error()).contains(QStringLiteral("山田\n鈴木")));
    EXPECT_EQ(monthCounts(200504), (QList<qsizetype>{1, 1, 0, 0}));
    EXPECT_EQ(fileBytes(dir.listFile(EnteredMonthsFile)), QByteArray());

    // 山田 is confirmed again with another value: the saved month stays, and the retry says so.
    const QByteArray savedYamada = fileBytes(dir.personalFile(Names[0]));
    pending[0].effective = 2.5;
    EXPECT_EQ(save(200504), QStringList{Names[0]});
    EXPECT_EQ(fileBytes(dir.personalFile(Names[0])), savedYamada);
    EXPECT_EQ(monthCounts(200504), (QList<qsizetype>{1, 1, 1, 1}));
    EXPECT_EQ(fileBytes(dir.listFile(EnteredMonthsFile)), crlfLines({" 200504 "}));
}

TEST_F(SaveAll, AStopLeavesWholeFilesAndAMonthHeldWithOtherValuesIsRefusedUntouchedOrReplaced)
{
    const auto stopped = SaveMonthForAll(dir, RegistrantList{Names}, pending, 200504, HeldValues::Refuse,
                                         [](qsizetype done) { return done != Names.size() + 2; });
    ASSERT_FALSE(stopped);
    EXPECT_EQ(stopped.error().kind, FailureKind::Interrupted);
    EXPECT_EQ(stopped.error().names, (QStringList{Names[0], Names[1]}));
    EXPECT_EQ(monthCounts(200504), (QList<qsizetype>{1, 1, 0, 0}));

    // A month held with other values is refused whichever value differs.
    const auto before = snapshot(temp.path());
    const PendingEntry held = pending[1];
    for (const auto& change : std::initializer_list<std::function<void(PendingEntry&)>>{
             [](PendingEntry& e) { e.lens = 0.5; }, [](PendingEntry& e) { e.skin = 0.5; },
             [](PendingEntry& e) { e.internal = 0.5; }, [](PendingEntry& e) { e.comment = QStringLiteral("腕"); },
             [](PendingEntry& e) { e.effective = 2.5; }}) {
        pending[1] = held;
        change(pending[1]);
        const auto refused = save(200504, AppendMonthlyRecord, HeldValues::Refuse);
        ASSERT_FALSE(refused);
        EXPECT_EQ(refused.error().names, QStringList{Names[1]});
        EXPECT_EQ(snapshot(temp.path()), before);
    }

    EXPECT_EQ(save(200504, AppendMonthlyRecord, HeldValues::Replace), QStringList{Names[1]});
    EXPECT_EQ(monthCounts(200504), (QList<qsizetype>{1, 1, 1, 1}));
    EXPECT_EQ(FindMonthlyRecord(dir, Names[1], 200504)->record->effective, 2.5);
    EXPECT_EQ(fileBytes(dir.listFile(EnteredMonthsFile)), crlfLines({" 200504 "}));
}

TEST_F(SaveAll, AFileThatCannotTakeTheRecordIsReported)
{
    ImmutableFile locked(dir.personalFile(Names[2]));
    if (!locked.ok)
        GTEST_SKIP() << "this file system cannot make a file immutable";
    const auto saved = save(200504);
    ASSERT_FALSE(saved);
    EXPECT_TRUE(messageOf(saved.error()).contains(QStringLiteral("ファイル「被曝Data/髙橋.dat」に書き込めません")));
    EXPECT_EQ(fileBytes(dir.listFile(EnteredMonthsFile)), QByteArray());
}

TEST_F(SaveAll, ReportsProgressUpToItsStepCount)
{
    qsizetype last = 0;
    int reports = 0;
    ASSERT_TRUE(SaveMonthForAll(dir, RegistrantList{Names}, pending, 200505, HeldValues::Keep, [&](qsizetype done) {
        EXPECT_GT(done, last);
        last = done;
        ++reports;
        return true;
    }));
    EXPECT_EQ(last, saveAllSteps(Names.size()));
    EXPECT_EQ(reports, 8);
}

} // namespace
