// The entry lock's own rules on a real lock file, quick enough for every build: when a lock of another PC
// counts as left behind, that a refresh which cannot open the file keeps the lock, and that a lock another
// copy holds now is never removed by the one that held it before.
#include "core/files/WriterLock.h"
#include "core/files/SystemFiles.h"
#include "support/DataFiles.h"
#include "support/SmallFileSystem.h"
#include "support/Stores.h"

#include <QDir>
#include <QTemporaryDir>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace velmora;
using namespace velmora::test;

namespace {

const QByteArray OtherPcLock =
    "velmora-entry-lock\nhost=OTHER-PC\nuser=sato\npid=4242\nprogram=velmora\nsince=2026-12-08T09:00:00+09:00\n";

class EntryLock : public testing::Test {
protected:
    QTemporaryDir temp;
    DataDir dir{temp.path()};
    QString path = dir.listFile(WriterLock::FileName);
    WriterLock lock{dir};

    // Sets the lock file's time `seconds` into the past, as if nobody had written it since.
    void age(int seconds)
    {
        const timespec past[2] = {{::time(nullptr) - seconds, 0}, {::time(nullptr) - seconds, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), past, 0), 0);
    }
};

struct AgeCase {
    int seconds;
    FailureKind found;
};

class LockAges : public EntryLock, public testing::WithParamInterface<AgeCase> {};

TEST_P(LockAges, OfAnotherPcCountAsLeftBehindFromFiveMinutes)
{
    writeBytes(path, OtherPcLock);
    age(GetParam().seconds);
    const Status locked = lock.tryLock();
    ASSERT_FALSE(locked);
    EXPECT_EQ(locked.error().kind, GetParam().found);
    EXPECT_EQ(fileBytes(path), OtherPcLock);
}

// Just under five minutes is 290 s: the age is read after a probe file is written and flushed, which a
// loaded machine may take a few seconds over.
INSTANTIATE_TEST_SUITE_P(Rows, LockAges,
                         testing::Values(AgeCase{0, FailureKind::LockHeld}, AgeCase{290, FailureKind::LockHeld},
                                         AgeCase{300, FailureKind::LockStale}, AgeCase{3600, FailureKind::LockStale}));

// The holder writes its lock again, the same bytes, while another PC asks whether to take it over: the
// answer takes nothing.
TEST_F(EntryLock, ALockWrittenAgainAfterItLookedLeftBehindStaysItsHolders)
{
    writeBytes(path, OtherPcLock);
    age(600);
    ASSERT_EQ(lock.tryLock().error().kind, FailureKind::LockStale);
    age(0);
    const Status taken = lock.takeOver();
    ASSERT_FALSE(taken);
    EXPECT_EQ(taken.error().kind, FailureKind::LockHeld);
    EXPECT_EQ(fileBytes(path), OtherPcLock);
}

// No file can be opened for a moment (as when the file server is away): the lock stays this copy's.
TEST_F(EntryLock, ARefreshThatCannotOpenTheFileKeepsTheLock)
{
    ASSERT_TRUE(lock.tryLock());
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &old), 0);
    rlimit none = old;
    none.rlim_cur = 0;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &none), 0);
    const Status refreshed = lock.refresh();
    ::setrlimit(RLIMIT_NOFILE, &old);
    ASSERT_FALSE(refreshed);
    EXPECT_EQ(refreshed.error().kind, FailureKind::CannotLock);
    EXPECT_TRUE(lock.confirmHeld());
}

TEST_F(EntryLock, ALockAnotherCopyTookIsNeitherUsedNorRemoved)
{
    ASSERT_TRUE(lock.tryLock());
    EXPECT_TRUE(lock.confirmHeld());
    writeBytes(path, OtherPcLock);
    const Status held = lock.confirmHeld();
    ASSERT_FALSE(held);
    EXPECT_EQ(held.error().kind, FailureKind::LockLost);
    EXPECT_EQ(held.error().text, QStringLiteral("OTHER-PC"));
    EXPECT_EQ(fileBytes(path), OtherPcLock);
}

TEST_F(EntryLock, AnUnlockWithoutARefreshLeavesAnotherCopysLock)
{
    ASSERT_TRUE(lock.tryLock());
    writeBytes(path, OtherPcLock);
    lock.unlock();
    EXPECT_EQ(fileBytes(path), OtherPcLock);
}

// Something at the lock's name that no Velmora wrote is named as what it is, never taken for a holder.
TEST_F(EntryLock, SomethingElseAtItsNameIsNamedAndLeftAsItIs)
{
    const std::function<bool()> makers[] = {
        [&] { return QDir().mkdir(path); },
        [&] { return makeFifo(path); },
        [&] { return makeSymbolicLink(dir.listFile(QStringLiteral("nowhere")), path); },
        [&] { return writeBytes(path, QByteArray(5000, 'x')), true; },
    };
    for (const auto& make : makers) {
        ASSERT_TRUE(make());
        const Status locked = lock.tryLock();
        ASSERT_FALSE(locked);
        EXPECT_EQ(locked.error().kind, FailureKind::LockUnusable);
        EXPECT_NE(system::kindOf(path), system::FileKind::Missing);
        QFile::remove(path);
        QDir().rmdir(path);
    }
}

// The share holding the data folder is unmounted while data entry is open: that is told, not a takeover.
TEST_F(EntryLock, AShareThatWentAwayIsToldAsGoneNotAsTakenOver)
{
    const QString mountPoint = dir.listFile(QStringLiteral("share"));
    QDir().mkdir(mountPoint);
    std::optional<SmallFileSystem> share(std::in_place, mountPoint, 64 * 1024);
    if (!share->ok)
        GTEST_SKIP() << "no tmpfs can be mounted here";
    const DataDir shared(mountPoint);
    makeStore(shared, {QStringLiteral("山田")});
    WriterLock held(shared);
    ASSERT_TRUE(held.tryLock());
    ASSERT_TRUE(QFile::remove(shared.listFile(WriterLock::FileName))); // taken over and given up again
    EXPECT_EQ(held.confirmHeld().error().kind, FailureKind::LockLost);
    ASSERT_TRUE(held.tryLock());
    share.reset();
    EXPECT_EQ(held.refresh().error().kind, FailureKind::DataFolderGone);
}

} // namespace
