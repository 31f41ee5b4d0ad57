#include "core/changes/RegistrantChanges.h"
#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"
#include "core/rules/StoreTotals.h"
#include "core/texts/Messages.h"
#include "support/DataFiles.h"
#include "support/Stores.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

// Write failures in the middle of a change, made real by an immutable file.
class RegistrantChangeFailures : public testing::Test {
protected:
    void SetUp() override
    {
        makeStore(dir, {QStringLiteral("山田"), QStringLiteral("鈴木")});
        state.registrants = *LoadRegistrantList(dir);
    }
    QTemporaryDir temp;
    DataDir dir{temp.path()};
    SharedState state;
};

TEST_F(RegistrantChangeFailures, ARegistrationWhoseListCannotBeWrittenRemovesItsNewFile)
{
    ImmutableFile locked(dir.listFile(RegistrantNamesFile));
    if (!locked.ok)
        GTEST_SKIP() << "this file system cannot make a file immutable";
    auto expected = snapshot(temp.path());
    const auto registered = RegisterNewPerson(dir, state, personHeader(QStringLiteral("佐藤"), 3));
    ASSERT_FALSE(registered);
    EXPECT_EQ(messageOf(registered.error()),
              QStringLiteral("ファイル「登録者名.txt」に書き込めません\n"
                             "原因：データフォルダに書き込むアクセス権がありません。フォルダの権限を確認して下さい。"));
    // Number 3 stays used up, so that no later registrant can receive it too.
    expected[NextNumberFile] = crlfLines({" 4 "});
    EXPECT_EQ(snapshot(temp.path()), expected);
    EXPECT_EQ(state.registrants.count(), 2);
}

TEST_F(RegistrantChangeFailures, ARemovalWhoseListCannotBeWrittenLeavesTheNameListedOnly)
{
    ImmutableFile locked(dir.listFile(RegistrantNamesFile));
    if (!locked.ok)
        GTEST_SKIP() << "this file system cannot make a file immutable";
    const auto before = snapshot(temp.path());
    EXPECT_FALSE(RemoveRegistrant(dir, state, QStringLiteral("鈴木")));
    EXPECT_EQ(snapshot(temp.path()), before);
}

TEST_F(RegistrantChangeFailures, ARestoreWhoseRemovedListCannotBeWrittenLeavesTheNameRemovedOnly)
{
    ASSERT_TRUE(RemoveRegistrant(dir, state, QStringLiteral("鈴木")));
    state.replaceRegistrants(*LoadRegistrantList(dir));
    ImmutableFile locked(dir.listFile(RemovedNamesFile));
    if (!locked.ok)
        GTEST_SKIP() << "this file system cannot make a file immutable";
    const auto before = snapshot(temp.path());
    EXPECT_FALSE(RestoreRegistrant(dir, state, QStringLiteral("鈴木")));
    EXPECT_EQ(snapshot(temp.path()), before);
    EXPECT_EQ(state.registrants.names, QStringList{QStringLiteral("山田")});
}

// On Windows two names that differ only in the case of their letters are one file: the second is refused
// on both builds, against registrants and removed persons alike, before anything is written.
TEST_F(RegistrantChangeFailures, ANameDifferingOnlyInCaseIsRefused)
{
    ASSERT_TRUE(RegisterNewPerson(dir, state, personHeader(QStringLiteral("ＹＡＭＡＤＡ"), 3)));
    ASSERT_TRUE(AppendRemovedName(dir, QStringLiteral("Smith")));
    const auto before = snapshot(temp.path());
    for (const auto& [name, registered] : {std::pair{QStringLiteral("ｙａｍａｄａ"), QStringLiteral("ＹＡＭＡＤＡ")},
                                           std::pair{QStringLiteral("SMITH"), QStringLiteral("Smith")}}) {
        const Status refused = RegisterNewPerson(dir, state, personHeader(name, 4));
        ASSERT_FALSE(refused);
        EXPECT_EQ(refused.error().kind, FailureKind::NameOnlyCaseDiffers);
        EXPECT_EQ(refused.error().names, QStringList{registered});
    }
    EXPECT_EQ(snapshot(temp.path()), before);
}

TEST(RegistrantChanges, ARemovedListPast1000NamesIsNotCutByARestore)
{
    QTemporaryDir temp;
    DataDir dir(temp.path());
    makeStore(dir, {});
    QStringList removed;
    for (int i = 0; i < 1200; ++i)
        removed << QStringLiteral("退職者%1").arg(i);
    ASSERT_TRUE(RewriteRemovedNames(dir, removed));
    ASSERT_TRUE(CreatePersonalFile(dir, personHeader(QStringLiteral("退職者5"))));
    SharedState state;
    ASSERT_TRUE(RestoreRegistrant(dir, state, QStringLiteral("退職者5")));
    removed.removeAt(5);
    EXPECT_EQ(ReadRemovedNames(dir), removed);
    EXPECT_EQ(LoadRegistrantList(dir)->names, QStringList{QStringLiteral("退職者5")});
}

TEST(RegistrantChanges, AMissingRemovedListIsEmptyAndCreatedByTheFirstRemoval)
{
    QTemporaryDir temp;
    DataDir dir(temp.path());
    makeStore(dir, {QStringLiteral("山田")});
    QFile::remove(dir.listFile(RemovedNamesFile));
    EXPECT_EQ(ReadRemovedNames(dir), QStringList());
    SharedState state;
    state.registrants = *LoadRegistrantList(dir);
    ASSERT_TRUE(RemoveRegistrant(dir, state, QStringLiteral("山田")));
    EXPECT_EQ(fileBytes(dir.listFile(RemovedNamesFile)), crlfLines({"\x8e\x52\x93\x63"}));
}

TEST(RegistrantChanges, ARemovedPersonKeepsTheDosesElsewhereAndDeclarationsThroughARestore)
{
    QTemporaryDir temp;
    DataDir dir(temp.path());
    const QString suzuki = QStringLiteral("鈴木");
    makeStore(dir, {QStringLiteral("山田"), suzuki});
    ASSERT_TRUE(AppendMonthlyRecord(dir, suzuki, {202606, 1, 0, 0, 0, NoComment}));
    ASSERT_TRUE(
        WriteOtherFacilityDoses(dir, {{suzuki, QStringLiteral("第二病院"), 202607, 202607, 2, 0, 0, 0, NoComment}}));
    ASSERT_TRUE(WriteDeclarations(dir, {{suzuki, DeclarationKind::Pregnancy, 20260610, 0, NoComment}}));
    const auto stored = snapshot(temp.path());
    SharedState state;
    state.registrants = *LoadRegistrantList(dir);
    ASSERT_TRUE(RemoveRegistrant(dir, state, suzuki));
    // Removed, she is still judged with them: 1 here and 2 elsewhere while pregnant.
    const auto rows = gatherStoreTotals(dir, 2026, 202612);
    ASSERT_EQ(rows->size(), 2);
    EXPECT_TRUE(rows->at(1).removed);
    EXPECT_EQ(rows->at(1).verdict(), Verdict::Exceeded);
    ASSERT_TRUE(RestoreRegistrant(dir, state, suzuki));
    for (const QString& file : {OtherFacilityDosesFile, DeclarationsFile})
        EXPECT_EQ(fileBytes(dir.listFile(file)), stored[file]);
}

} // namespace
