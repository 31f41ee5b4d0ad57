// Several PCs on one shared data folder, simulated on this machine with real processes: a copy on
// "another PC" is a process with its own host name (a UTS namespace), the file server's failures are
// injected into the system calls with strace, and another PC's append is a process writing byte by byte.
#include "CrashWorkerValues.h"
#include "core/changes/RegistrantChanges.h"
#include "core/files/FileWriter.h"
#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"
#include "core/files/WriterLock.h"
#include "core/texts/Messages.h"
#include "support/Stores.h"
#include "support/Traced.h"
#include "support/WindowTest.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSysInfo>
#include <QThread>
#include <QTimer>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace velmora;
using namespace velmora::test;

namespace {

const QString OtherPc = QStringLiteral("OTHER-PC");

// Sets a file's time `minutes` into the past, as if nobody had written it since.
void age(const QString& path, int minutes)
{
    const timespec past[2] = {{::time(nullptr) - minutes * 60, 0}, {::time(nullptr) - minutes * 60, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), past, 0), 0);
}

// A lock file as a copy on another PC writes it.
QByteArray lockOfOtherPc(const QString& since)
{
    return "velmora-entry-lock\nhost=" + OtherPc.toUtf8() +
           "\nuser=sato\npid=4242\nprogram=velmora\nsince=" + since.toUtf8() + "\n";
}

class SharedFolder : public WindowTest {
protected:
    QString lockPath() const { return app.dataDir.listFile(WriterLock::FileName); }
};

TEST_F(SharedFolder, ACrashedPcIsNamedAndItsLockTakenOverOnlyWhenStaleAndAsked)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "a host name of its own needs root";
    makeStore(app.dataDir, {QStringLiteral("山田")});
    QProcess other; // the entry lock held by a copy on OTHER-PC, which then loses its power
    other.start(QStringLiteral("unshare"), {"--uts", "sh", "-c", "hostname " + OtherPc + " && exec \"$0\" \"$@\"",
                                            QStringLiteral(CRASH_WORKER), "hold-lock", temp.path()});
    ASSERT_TRUE(other.waitForReadyRead(10000)) << other.readAllStandardError().toStdString();
    ::kill(static_cast<pid_t>(other.processId()), SIGKILL);
    other.waitForFinished();

    click(app.form1().Command1);
    EXPECT_FALSE(app.form2().isVisible());
    const QStringList held = takeMessages();
    ASSERT_EQ(held.size(), 1);
    EXPECT_TRUE(held[0].startsWith(QStringLiteral("PC「OTHER-PC」（"))) << held[0].toStdString();

    age(lockPath(), 6);
    dialogs.answer(false); // the default: the other PC may still be working
    click(app.form1().Command1);
    EXPECT_FALSE(app.form2().isVisible());
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].kind, ScriptedDialogs::Kind::Risky);
    EXPECT_TRUE(dialogs.shown[0].text.contains(QStringLiteral("PC「OTHER-PC」")));
    EXPECT_TRUE(dialogs.shown[0].text.contains(QStringLiteral("6分間更新されていません")));
    EXPECT_TRUE(fileBytes(lockPath()).contains("host=OTHER-PC"));

    dialogs.shown.clear();
    dialogs.answer(true);
    click(app.form1().Command1);
    EXPECT_TRUE(app.form2().isVisible());
    EXPECT_TRUE(fileBytes(lockPath()).contains("host=" + QSysInfo::machineHostName().toUtf8()));
    EXPECT_TRUE(app.form1().findChild<QTimer*>(QStringLiteral("lockRefresh"))->isActive());
    app.form2().close();
    EXPECT_FALSE(QFile::exists(lockPath()));
}

// This PC's lock, left unrefreshed while its link to the file server stalled, was taken over by OTHER-PC:
// from then on this copy writes nothing, whichever window it writes from.
TEST_F(SharedFolder, APcThatLostTheLockWritesNothing)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "a host name of its own needs root";
    const QString yamada = QStringLiteral("山田");
    makeStore(app.dataDir, {yamada, QStringLiteral("鈴木")});
    ASSERT_TRUE(AppendMonthlyRecord(app.dataDir, yamada, MonthlyRecord{200504, 1}));
    click(app.form1().Command1);
    doubleClick(app.form2().List1, yamada);
    click(app.form2().Command8);
    ASSERT_TRUE(app.form6().isVisible());

    age(lockPath(), 6);
    QProcess other;
    other.start(QStringLiteral("unshare"), {"--uts", "sh", "-c", "hostname " + OtherPc + " && exec \"$0\" \"$@\"",
                                            QStringLiteral(CRASH_WORKER), "hold-lock", temp.path()});
    ASSERT_TRUE(other.waitForReadyRead(10000)) << other.readAllStandardError().toStdString();
    const auto before = snapshot(temp.path());
    const QString lost = messageOf(failureWithText(FailureKind::LockLost, OtherPc));

    dialogs.answer(true); // 全訂正終了
    click(app.form6().Command2);
    EXPECT_EQ(takeMessages(), (QStringList{QStringLiteral("訂正したデータを保存します。"), lost}));
    click(app.form6().Command1);
    type(app.form2().Text7, QStringLiteral("2005"));
    pressEnter(app.form2().Text7);
    type(app.form2().Text6, QStringLiteral("5"));
    pressEnter(app.form2().Text6);
    dialogs.answer(true); // 全データ保存
    click(app.form2().Command3);
    doubleClick(app.form2().List1, QStringLiteral("鈴木"));
    dialogs.answer(true); // 登録抹消
    click(app.form2().Command5);
    EXPECT_EQ(takeMessages(),
              (QStringList{QStringLiteral("2005年5月：登録者2名のうち、確定した人 0名（入力 0名、CSV取込 0名）\n"
                                          "入力しなかった2名は、外部被曝 M、内部被曝 0 として保存します。\n\n"
                                          "データ入力に間違いはありませんか？"),
                           lost, QStringLiteral("登録を抹消していいですか？"), lost}));
    EXPECT_EQ(messageOf(RegisterNewPerson(app.dataDir, app.state, personHeader(QStringLiteral("佐藤"), 3)).error()),
              lost);
    EXPECT_EQ(snapshot(temp.path()), before);
    ::kill(static_cast<pid_t>(other.processId()), SIGKILL);
    other.waitForFinished();
}

TEST_F(SharedFolder, AStaleLockRenewedMeanwhileIsLeftToItsHolder)
{
    writeBytes(lockPath(), lockOfOtherPc(QStringLiteral("2026-12-08T09:00:00+09:00")));
    age(lockPath(), 10);
    WriterLock lock(app.dataDir);
    EXPECT_EQ(lock.tryLock().error().kind, FailureKind::LockStale);
    const QByteArray renewed = lockOfOtherPc(QStringLiteral("2026-12-08T09:20:00+09:00"));
    writeBytes(lockPath(), renewed); // OTHER-PC came back and opened data entry again
    const Status taken = lock.takeOver();
    ASSERT_FALSE(taken);
    EXPECT_EQ(taken.error().kind, FailureKind::LockHeld);
    EXPECT_EQ(taken.error().text, OtherPc);
    EXPECT_EQ(fileBytes(lockPath()), renewed);
    EXPECT_EQ(QDir(temp.path()).entryList(QDir::Files | QDir::Hidden), QStringList{WriterLock::FileName});
}

TEST_F(SharedFolder, TheHolderRefreshesItsLockAndIsToldWhenItWasTakenOver)
{
    WriterLock lock(app.dataDir);
    ASSERT_TRUE(lock.tryLock());
    age(lockPath(), 10);
    ASSERT_TRUE(lock.refresh());
    struct stat refreshed {};
    ASSERT_EQ(::stat(QFile::encodeName(lockPath()).constData(), &refreshed), 0);
    EXPECT_GE(refreshed.st_mtime, ::time(nullptr) - 60);

    writeBytes(lockPath(), lockOfOtherPc(QStringLiteral("2026-12-08T09:20:00+09:00")));
    const Status lost = lock.refresh();
    ASSERT_FALSE(lost);
    EXPECT_EQ(lost.error().kind, FailureKind::LockLost);
    EXPECT_EQ(lost.error().text, OtherPc);
    lock.unlock();
    EXPECT_TRUE(fileBytes(lockPath()).contains("host=OTHER-PC")); // the new holder keeps it
}

TEST_F(SharedFolder, ALockOfAnEarlierVersionIsJudgedByItsProcessAndHost)
{
    const QByteArray host = QSysInfo::machineHostName().toUtf8();
    writeBytes(lockPath(), QByteArray::number(::getpid()) + "\nVelmora\n" + host + "\n");
    WriterLock lock(app.dataDir);
    EXPECT_EQ(lock.tryLock().error().kind, FailureKind::LockHeld); // its process runs
    writeBytes(lockPath(), "2147483000\nVelmora\n" + host + "\n");
    EXPECT_TRUE(lock.tryLock()); // its process has ended
    EXPECT_TRUE(fileBytes(lockPath()).startsWith("velmora-entry-lock\n"));
}

// Another PC appends a month to a personal file one byte at a time while this PC reads it over and over:
// every read gives the months before or the months with the new one, never a damaged file.
TEST_F(SharedFolder, AFileBeingAppendedIsNeverTakenForDamaged)
{
    const QString name = QStringLiteral("山田");
    makeStore(app.dataDir, {name});
    const MonthlyRecord april{200504, 0.5, 0, 0, 0.00123, QStringLiteral("腕")};
    ASSERT_TRUE(AppendMonthlyRecord(app.dataDir, name, april));
    const MonthlyRecord may{200505, 1.25, 0.5, 0, 0, QStringLiteral("確認済み")};
    const auto record = encodeRecord(may);
    ASSERT_TRUE(record);
    QStringList bytes;
    for (char byte : *record)
        bytes << QStringLiteral("\\x%1").arg(static_cast<unsigned char>(byte), 2, 16, QLatin1Char('0'));
    QProcess appender;
    appender.start(QStringLiteral("bash"), {"-c", "for b in $1; do printf \"$b\" >>\"$0\"; sleep 0.01; done",
                                            app.dataDir.personalFile(name), bytes.join(QLatin1Char(' '))});
    ASSERT_TRUE(appender.waitForStarted());
    int reads = 0;
    const QList<QList<MonthlyRecord>> expected{{april}, {april, may}};
    while (appender.state() != QProcess::NotRunning || reads == 0) {
        const auto whole = ReadPersonalFile(app.dataDir, name);
        ASSERT_TRUE(whole) << messageOf(whole.error()).toStdString();
        EXPECT_TRUE(expected.contains(whole->records));
        const auto between = ReadPersonalRecordsBetween(app.dataDir, name, 200504, 200505);
        ASSERT_TRUE(between) << messageOf(between.error()).toStdString();
        EXPECT_TRUE(expected.contains(between->records));
        ++reads;
        appender.waitForFinished(0);
    }
    EXPECT_EQ(ReadPersonalFile(app.dataDir, name)->records, expected[1]);
    std::cout << reads << " reads while " << bytes.size() << " bytes were appended one by one\n";
}

// This PC's clock runs five minutes ahead of the file server's (libfaketime) while another PC appends a
// month: whether the file was written lately is judged by the server's clock, so the read waits for the
// whole record instead of calling the file damaged.
TEST_F(SharedFolder, AFileBeingAppendedIsJudgedByTheFileServersClock)
{
    const QString fakeTime = QStringLiteral("/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1");
    if (!QFile::exists(fakeTime))
        GTEST_SKIP() << "libfaketime is not installed";
    const QString name = QStringLiteral("山田");
    makeStore(app.dataDir, {name});
    const QByteArray record = *encodeRecord(MonthlyRecord{200504, 0.5, 0, 0, 0, QStringLiteral("腕")});
    QFile file(app.dataDir.personalFile(name));
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write(record.left(12));
    file.flush();
    QProcess reader;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LD_PRELOAD"), fakeTime);
    environment.insert(QStringLiteral("FAKETIME"), QStringLiteral("+5m"));
    environment.insert(QStringLiteral("NO_FAKE_STAT"), QStringLiteral("1")); // file times stay the server's
    environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("verify_asan_link_order=0:detect_leaks=0"));
    reader.setProcessEnvironment(environment);
    reader.start(QStringLiteral(CRASH_WORKER), {"read", temp.path(), name});
    ASSERT_TRUE(reader.waitForStarted());
    QThread::msleep(500);
    file.write(record.mid(12));
    file.close();
    ASSERT_TRUE(reader.waitForFinished(10000));
    EXPECT_EQ(reader.readAllStandardOutput().trimmed(), "1");
    EXPECT_EQ(reader.exitCode(), 0);
}

// Another PC corrects a personal file over and over (a rewrite renamed into place) while this PC reads it:
// every read gives the old or the new version whole.
TEST_F(SharedFolder, AFileBeingRewrittenIsReadWholeOldOrNew)
{
    const auto& versions = rewriteVersions();
    makeStore(app.dataDir, {RewrittenPerson});
    QProcess rewriter;
    rewriter.start(QStringLiteral(CRASH_WORKER), {"rewrite", temp.path()});
    ASSERT_TRUE(rewriter.waitForStarted());
    QElapsedTimer elapsed;
    elapsed.start();
    int reads = 0;
    while (elapsed.elapsed() < 1000) {
        const auto read = ReadPersonalFile(app.dataDir, RewrittenPerson);
        ASSERT_TRUE(read) << messageOf(read.error()).toStdString();
        const bool whole = (read->header == versions[0].header && read->records == versions[0].records) ||
                           (read->header == versions[1].header && read->records == versions[1].records);
        EXPECT_TRUE(whole || read->records.isEmpty()) << "read " << reads; // empty: before the first rewrite
        ++reads;
    }
    ::kill(static_cast<pid_t>(rewriter.processId()), SIGKILL);
    rewriter.waitForFinished();
    std::cout << reads << " reads during rewrites, each the old or the new version\n";
}

// A file server without RENAME_NOREPLACE gets a new file's name by a hard link; one without hard links
// too refuses the registration, leaving no temporary file and no personal file behind.
TEST_F(SharedFolder, ANewFileIsNamedByAHardLinkWhereTheServerHasNoRenameWithoutReplacing)
{
    for (const bool links : {true, false}) {
        QDir(temp.path()).removeRecursively();
        QDir().mkpath(temp.path());
        makeStore(app.dataDir, {QStringLiteral("山田")});
        const auto before = snapshot(temp.path());
        QStringList injected{"-e", "inject=renameat2:error=EINVAL"};
        if (!links)
            injected << "-e"
                     << "inject=link:error=EPERM";
        QProcess strace;
        strace.setProcessEnvironment(withoutLeakCheck());
        strace.start(QStringLiteral("strace"), QStringList{"-f", "-qq", "-e", "trace=renameat2,link"} + injected +
                                                   QStringList{QStringLiteral(CRASH_WORKER), "register", temp.path()});
        ASSERT_TRUE(strace.waitForFinished(30000));
        EXPECT_TRUE(strace.readAllStandardError().contains("(INJECTED)"));
        EXPECT_EQ(strace.exitCode(), links ? 0 : 1);
        const auto after = snapshot(temp.path());
        EXPECT_EQ(after.contains(DoseDataFolder + "/" + RegisteredPerson().name + ".dat"), links);
        EXPECT_EQ(after.value(RegistrantNamesFile) == before.value(RegistrantNamesFile), !links);
        for (const QString& file : after.keys())
            EXPECT_FALSE(isTemporaryFileName(QFileInfo(file).fileName())) << file.toStdString();
    }
}

// The file server's failure to take a write, told only when the data is flushed (fsync, fdatasync): for
// every flush of a registration and of a save-all, failing it fails the change.
TEST_F(SharedFolder, AFailedFlushIsReportedLikeAnyOtherWriteFailure)
{
    for (const auto& [change, flush] : {std::pair<QStringList, QString>{{"register"}, "fsync"},
                                        std::pair<QStringList, QString>{{"save-all", "200504"}, "fdatasync"}}) {
        int injected = 0;
        for (int call = 1;; ++call) {
            QDir(temp.path()).removeRecursively();
            QDir().mkpath(temp.path());
            makeStore(app.dataDir, {QStringLiteral("山田"), QStringLiteral("鈴木"), QStringLiteral("田中")});
            QProcess strace;
            strace.setProcessEnvironment(withoutLeakCheck());
            strace.start(QStringLiteral("strace"),
                         QStringList{"-f", "-qq", "-e", "trace=" + flush, "-e",
                                     QStringLiteral("inject=%1:error=EIO:when=%2").arg(flush).arg(call),
                                     QStringLiteral(CRASH_WORKER), change[0], temp.path()} +
                             change.mid(1));
            ASSERT_TRUE(strace.waitForFinished(30000));
            if (!strace.readAllStandardError().contains("(INJECTED)"))
                break;
            ++injected;
            EXPECT_EQ(strace.exitCode(), 1) << change.join(' ').toStdString() << ": " << flush.toStdString() << " #"
                                            << call << " failed and the change was reported done";
            // A list renamed into place whose folder flush failed holds the change: nothing is undone under it.
            if (change[0] == "register") {
                EXPECT_EQ(LoadRegistrantList(app.dataDir)->names.contains(RegisteredPerson().name),
                          personalFileExists(app.dataDir, RegisteredPerson().name))
                    << "fsync #" << call;
            }
        }
        EXPECT_GT(injected, 0) << change.join(' ').toStdString() << " never called " << flush.toStdString();
    }
}

} // namespace
