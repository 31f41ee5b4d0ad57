#include "core/changes/Backups.h"
#include "core/changes/RecordedWrites.h"
#include "core/changes/RegistrantChanges.h"
#include "core/changes/SaveAll.h"
#include "core/files/ChangeHistory.h"
#include "core/files/ChangeWords.h"
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
const OtherFacilityDose Dose{Yamada, QStringLiteral("B病院"), 202504, 202504, 1.5, 0, 0, 0};
const Examination Exam{Yamada, 20250510, ExaminationKind::Periodic};

// A store whose every change the history holds: two registrations, two months, a removal, an entry of each
// list, the facility and a correction of a registrant's affiliation; and a backup generation of it (the
// history's copy and its manifest).
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
        ASSERT_TRUE(SaveOtherFacilityDoses(dir, {}, {Dose}));
        ASSERT_TRUE(SaveDeclarations(dir, {}, {{Yamada, DeclarationKind::Pregnancy, 20250501, 0}}));
        ASSERT_TRUE(SaveExaminations(dir, {}, {Exam}));
        ASSERT_TRUE(SaveDosimeters(dir, {}, {{Yamada, QStringLiteral("A-1"), OneBadge}}));
        ASSERT_TRUE(SaveFacility(dir, {}, {QStringLiteral("A病院"), {}, {}}));
        auto file = *ReadPersonalFile(dir, Yamada);
        file.header.affiliation = QStringLiteral("外科");
        ASSERT_TRUE(SaveCorrections(dir, Yamada, file.header, file.records, file.fingerprint));
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
    QTemporaryDir pristine;
    copyTree(dir.root(), pristine.path());
    QList<QByteArray> historyLines = historyBytes.split('\n');
    historyLines.resize(historyLines.size() - 1 - HistoryRecordLines);
    const PersonalFile file = *ReadPersonalFile(dir, Yamada);
    const auto header = [&](const std::function<void(PersonalHeader&)>& change) {
        PersonalHeader edited = file.header;
        change(edited);
        ASSERT_TRUE(RewritePersonalFile(dir, Yamada, edited, file.records));
    };
    OtherFacilityDose dose = Dose;
    dose.effective = 9.5;
    Examination exam = Exam;
    exam.day = 20250511;
    const Dosimeter dosimeter{Yamada, QStringLiteral("A-1"), OneBadge};
    const Change killed{ChangeKind::Dosimeter, Yamada, 0, dosimeterValues(dosimeter),
                        dosimeterValues({Yamada, QStringLiteral("A-3"), OneBadge})};
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
         {Difference::HeaderDiffers, Difference::ShorterThanBackup}},
        {"a dose elsewhere", [&] { ASSERT_TRUE(WriteOtherFacilityDoses(dir, {dose})); }, {Difference::EntriesDiffer}},
        {"a declaration",
         [&] {
             ASSERT_TRUE(WriteDeclarations(dir, {{Yamada, DeclarationKind::Pregnancy, 20250601, 0}}));
         },
         {Difference::EntriesDiffer}},
        {"an examination", [&] { ASSERT_TRUE(WriteExaminations(dir, {exam})); }, {Difference::EntriesDiffer}},
        {"a dosimeter removed", [&] { ASSERT_TRUE(WriteDosimeters(dir, {})); }, {Difference::EntriesDiffer}},
        {"the facility",
         [&] {
             ASSERT_TRUE(WriteFacility(dir, {QStringLiteral("B病院"), {}, {}}));
         },
         {Difference::EntriesDiffer}},
        {"the facility deleted", [&] { QFile::remove(dir.listFile(FacilityFile)); }, {Difference::EntriesDiffer}},
        {"a birth day",
         [&] { header([](PersonalHeader& h) { h.dateOfBirth = 19650413; }); },
         {Difference::HeaderDiffers}},
        {"an affiliation corrected",
         [&] { header([](PersonalHeader& h) { h.affiliation = QStringLiteral("内科"); }); },
         {Difference::HeaderDiffers}},
        {"a past exposure",
         [&] {
             header([](PersonalHeader& h) {
                 h.pastExposureFlag = 1;
                 h.pastDose = 12.5;
             });
         },
         {Difference::HeaderDiffers}},
        {"a person added with a month",
         [&] {
             ASSERT_TRUE(SaveRegistrantList(dir, {Yamada, QStringLiteral("田中")}));
             ASSERT_TRUE(CreatePersonalFile(dir, personHeader(QStringLiteral("田中"), 3)));
             ASSERT_TRUE(AppendMonthlyRecord(dir, QStringLiteral("田中"), {202505, 1, 0, 0, 0, NoComment}));
         },
         {Difference::PersonUnrecorded}},
        {"a change recorded and killed before it was made",
         [&] { ASSERT_TRUE(RecordWrite(dir, {killed}, [] { return Status(); })); },
         {Difference::EntriesDiffer}},
    };
    for (const Edit& row : edits) {
        row.edit();
        EXPECT_EQ(differences(), row.named) << row.name;
        QDir(dir.root()).removeRecursively();
        copyTree(pristine.path(), dir.root());
    }
    // The change killed is answered 未実施 by the next change: the history says what the files hold again.
    ASSERT_TRUE(RecordWrite(dir, {killed}, [] { return Status(); }));
    ASSERT_TRUE(SaveFacility(dir, {QStringLiteral("A病院"), {}, {}}, {QStringLiteral("B病院"), {}, {}}));
    EXPECT_EQ(differences(), QList<Difference>{});
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

namespace {

// The history's first record a change never made: answered 未実施 by the next change like any other. And a
// history whose last line lost its line end reads whole, and the next record is chained on as ever.
TEST(HistoryEdges, TheFirstRecordAnsweredAndALastLineWithoutItsLineEnd)
{
    QTemporaryDir temp;
    const DataDir dir(temp.path());
    ASSERT_TRUE(InitialiseForEntry(dir));
    const Change never{
        ChangeKind::Dosimeter, Yamada, 0, {}, dosimeterValues({Yamada, QStringLiteral("A-3"), OneBadge})};
    ASSERT_TRUE(RecordWrite(dir, {never}, [] { return Status(); }));
    EXPECT_EQ(VerifyStore(dir).faults.size(), 1);
    ASSERT_TRUE(SaveFacility(dir, {}, {QStringLiteral("B病院"), {}, {}}));
    EXPECT_TRUE(VerifyStore(dir).faults.isEmpty()) << messageOf(VerifyStore(dir).faults.value(0)).toStdString();

    const QString history = dir.listFile(ChangeHistoryFile);
    writeBytes(history, fileBytes(history).chopped(2));
    EXPECT_TRUE(VerifyStore(dir).faults.isEmpty()) << messageOf(VerifyStore(dir).faults.value(0)).toStdString();
    ASSERT_TRUE(SaveFacility(dir, {QStringLiteral("B病院"), {}, {}}, {QStringLiteral("C病院"), {}, {}}));
    const auto read = ReadChangeHistory(dir);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->head.records, 4);
    EXPECT_FALSE(read->broken);
    EXPECT_TRUE(read->damage.isEmpty());
}

} // namespace
