#include "core/changes/Backups.h"
#include "core/changes/RegistrantChanges.h"
#include "core/changes/SaveAll.h"
#include "core/files/ChangeHistory.h"
#include "core/files/ListFiles.h"
#include "core/files/Manifest.h"
#include "core/files/PersonalFile.h"
#include "core/files/StoreCheck.h"
#include "core/texts/Messages.h"
#include "support/DataFiles.h"
#include "support/Stores.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

const QString Yamada = QStringLiteral("山田");
const QString Suzuki = QStringLiteral("鈴木");

// A store whose every change the history holds: two registrations, two months, a removal; and a backup
// generation of it (the history's copy and its manifest).
class HistoryAgreement : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(InitialiseForEntry(dir));
        SharedState state;
        for (const QString& name : {Yamada, Suzuki})
            ASSERT_TRUE(
                RegisterNewPerson(dir, state, personHeader(name, static_cast<double>(state.registrants.count() + 1))));
        std::vector<PendingEntry> pending(2, PendingEntry{0.1, 0.2, 0.3, 0, NoComment, false, false});
        for (const MonthKey month : {202504, 202505})
            ASSERT_TRUE(SaveMonthForAll(dir, state.registrants, pending, month, HeldValues::Refuse));
        ASSERT_TRUE(RemoveRegistrant(dir, state, Suzuki));
        QDir(generation.path()).mkpath(QStringLiteral("."));
        QFile::copy(dir.listFile(ChangeHistoryFile), QDir(generation.path()).filePath(ChangeHistoryFile));
        ASSERT_TRUE(WriteManifest(generation.path(), {ChangeHistoryFile}));
    }
    QList<Difference> differences()
    {
        QList<Difference> found;
        for (const Failure& fault : VerifyStore(dir, {generation.path()}).faults) {
            EXPECT_EQ(fault.kind, FailureKind::HistoryDisagrees) << messageOf(fault).toStdString();
            found << fault.difference;
        }
        return found;
    }
    QTemporaryDir temp;
    QTemporaryDir generation;
    DataDir dir{temp.path()};
};

TEST_F(HistoryAgreement, EachChangeMadeOutsideTheProgramIsNamed)
{
    EXPECT_TRUE(differences().isEmpty());
    const QString yamada = dir.personalFile(Yamada);
    const QString history = dir.listFile(ChangeHistoryFile);
    const QByteArray yamadaBytes = fileBytes(yamada);
    const QByteArray historyBytes = fileBytes(history);
    const QByteArray removedBytes = fileBytes(dir.listFile(RemovedNamesFile));
    const QByteArray suzukiBytes = fileBytes(dir.personalFile(Suzuki));
    QList<QByteArray> historyLines = historyBytes.split('\n');
    historyLines.resize(historyLines.size() - 1 - HistoryRecordLines);
    const PersonalFile file = *ReadPersonalFile(dir, Yamada);
    struct Edit {
        const char* name;
        std::function<void()> edit;
        QList<Difference> named;
    };
    const Edit edits[] = {
        {"a digit of a dose",
         [&] { writeBytes(yamada, QByteArray(yamadaBytes).replace(" 0.1 ", " 0.7 ")); },
         {Difference::MonthDiffers, Difference::MonthDiffers}},
        {"a month removed",
         [&] { ASSERT_TRUE(RewritePersonalFile(dir, Yamada, file.header, file.records.mid(0, 1))); },
         {Difference::MonthMissing}},
        {"a month added",
         [&] {
             ASSERT_TRUE(AppendMonthlyRecord(dir, Yamada, {202506, 1, 0, 0, 0, NoComment}));
         },
         {Difference::MonthUnrecorded}},
        {"a person deleted with their name",
         [&] {
             QFile::remove(dir.personalFile(Suzuki));
             ASSERT_TRUE(RewriteRemovedNames(dir, {}));
         },
         {Difference::NotRemoved, Difference::FileMissing}},
        {"the history deleted", [&] { QFile::remove(history); }, {Difference::ShorterThanBackup}},
        {"the history cut by its last record",
         [&] { writeBytes(history, historyLines.join('\n') + '\n'); },
         {Difference::NotRegistrant, Difference::ShorterThanBackup}},
    };
    for (const Edit& row : edits) {
        row.edit();
        EXPECT_EQ(differences(), row.named) << row.name;
        writeBytes(yamada, yamadaBytes);
        writeBytes(history, historyBytes);
        writeBytes(dir.listFile(RemovedNamesFile), removedBytes);
        writeBytes(dir.personalFile(Suzuki), suzukiBytes);
    }
}

// A history rewritten with its hashes recomputed passes the chain; against the backup's copy it does not.
TEST_F(HistoryAgreement, AHistoryThatDoesNotBeginWithTheNewestBackupsCopyIsNamed)
{
    const QString copy = QDir(generation.path()).filePath(ChangeHistoryFile);
    writeBytes(copy, fileBytes(copy).replace("202505", "202506"));
    QFile::remove(QDir(generation.path()).filePath(ManifestFile));
    ASSERT_TRUE(WriteManifest(generation.path(), {ChangeHistoryFile}));
    EXPECT_EQ(differences(), QList<Difference>{Difference::OtherThanBackup});
}

} // namespace

namespace {

// A damaged history set aside is still the history the backups hold; the file set aside is held to the hash
// its continuation record gives.
TEST_F(HistoryAgreement, AHistorySetAsideAgreesWithTheBackupsUntilItIsChanged)
{
    QTemporaryDir backups;
    const QDateTime now(QDate(2026, 12, 9), QTime(10, 15));
    ASSERT_TRUE(MakeBackup(dir, backups.path(), now.addDays(-1)));
    const QString history = dir.listFile(ChangeHistoryFile);
    writeBytes(history, fileBytes(history) + "broken\r\nend\r\n");
    const auto setAside = SetAsideDamagedHistory(dir, now);
    ASSERT_TRUE(setAside);
    EXPECT_EQ(differences(), QList<Difference>{});
    const auto made = MakeBackup(dir, backups.path(), now);
    ASSERT_TRUE(made) << messageOf(made.error()).toStdString();
    EXPECT_FALSE(made->larger); // the history set aside is no shorter history
    const QString file = dir.listFile(*setAside);
    const QByteArray bytes = fileBytes(file);
    // A damaged line before its last changed: no record's chain sees it, the hash does.
    writeBytes(file, QByteArray(bytes).replace("broken", "brokex"));
    EXPECT_EQ(differences(), QList<Difference>{Difference::SetAsideChanged});
}

} // namespace
