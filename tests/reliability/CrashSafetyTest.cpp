#include "CrashWorkerValues.h"
#include "core/files/DoseAdditions.h"
#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"
#include "core/files/StoreCheck.h"
#include "core/files/TextFile.h"
#include "core/files/WriterLock.h"
#include "core/texts/Messages.h"
#include "support/DataFiles.h"
#include "support/Stores.h"
#include "support/Traced.h"
#include "support/WindowTest.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <iostream>
#include <random>

using namespace velmora;
using namespace velmora::test;

namespace {

constexpr MonthKey SavedMonth = 202604;
constexpr int Registrants = 300;
constexpr int Rounds = 24;

QProcess* startWorker(const QStringList& arguments)
{
    auto* worker = new QProcess;
    worker->start(QStringLiteral(CRASH_WORKER), arguments);
    EXPECT_TRUE(worker->waitForStarted());
    return worker;
}

void killWorker(QProcess* worker)
{
    ::kill(static_cast<pid_t>(worker->processId()), SIGKILL);
    worker->waitForFinished();
    delete worker;
}

// A store of 300 registrants with two years of records each, the model of every round.
class CrashSafety : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        model = new QTemporaryDir;
        const DataDir dir(model->path());
        QStringList names;
        for (int i = 0; i < Registrants; ++i)
            names << QStringLiteral("職員%1").arg(i, 3, 10, QLatin1Char('0'));
        makeStore(dir, names);
        QList<MonthlyRecord> records;
        for (int month = 0; month < 24; ++month)
            records.append({202404 + month / 12 * 100 + month % 12, 0.1, 0, 0, 0, NoComment});
        for (const QString& name : names)
            ASSERT_TRUE(RewritePersonalFile(dir, name, personHeader(name), records));
    }
    static void TearDownTestSuite() { delete model; }

    static QTemporaryDir* model;
};
QTemporaryDir* CrashSafety::model = nullptr;

TEST_F(CrashSafety, SaveAllKilledAtAnyMomentSavesEveryMonthExactlyOnce)
{
    const auto before = snapshot(model->path());
    const auto names = LoadRegistrantList(DataDir(model->path()))->names;
    // How long the writing of an undisturbed save takes, so that the kills fall across all of it.
    QTemporaryDir timing;
    copyTree(model->path(), timing.path());
    QProcess* undisturbed = startWorker({"save-all", timing.path(), QString::number(SavedMonth)});
    ASSERT_TRUE(undisturbed->waitForReadyRead(60000));
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(undisturbed->waitForFinished(60000));
    const qint64 duration = clock.elapsed();
    delete undisturbed;

    std::mt19937 random(20261207);
    int killedMidway = 0;
    qint64 filesChecked = 0;
    qint64 bytesLost = 0;
    for (int round = 0; round < Rounds; ++round) {
        QTemporaryDir store;
        copyTree(model->path(), store.path());
        const DataDir dir(store.path());
        QProcess* worker = startWorker({"save-all", store.path(), QString::number(SavedMonth)});
        ASSERT_TRUE(worker->waitForReadyRead(60000));
        QThread::usleep(std::uniform_int_distribution<qint64>(0, duration * 1000)(random));
        killWorker(worker);
        int saved = 0;
        for (const QString& name : names)
            saved += fileBytes(dir.personalFile(name)).size() > before.value("被曝Data/" + name + ".dat").size();
        killedMidway += saved > 0 && saved < Registrants;

        QProcess* again = startWorker({"save-all", store.path(), QString::number(SavedMonth)});
        ASSERT_TRUE(again->waitForFinished(60000));
        EXPECT_EQ(again->exitCode(), 0) << again->readAllStandardError().toStdString();
        delete again;

        auto expected = before;
        for (qsizetype i = 0; i < names.size(); ++i)
            expected["被曝Data/" + names[i] + ".dat"] +=
                *encodeRecord({SavedMonth, pendingValueOf(i).effective, pendingValueOf(i).lens, pendingValueOf(i).skin,
                               pendingValueOf(i).internal, pendingValueOf(i).comment});
        expected[EnteredMonthsFile] += " 202604 \r\n";
        // Records of changes the kill left unmade are answered 未実施: the store agrees with its history.
        for (const Failure& fault : VerifyStore(dir).faults)
            ADD_FAILURE() << "round " << round << ": " << messageOf(fault).toStdString();
        auto after = snapshot(store.path());
        // Every month saved is in the change history, whose chain holds across the kill (a person whose record
        // was written before the kill and whose file was not is recorded again).
        const QByteArray history = after.take(ChangeHistoryFile);
        EXPECT_FALSE(history.contains("|broken")) << "round " << round;
        for (const QString& name : names)
            EXPECT_TRUE(history.contains("入力|" + name.toUtf8() + "|202604||")) << "round " << round;
        for (auto it = expected.begin(); it != expected.end(); ++it) {
            ++filesChecked;
            if (after.value(it.key()) != it.value()) {
                ADD_FAILURE() << "round " << round << ": " << it.key().toStdString() << " differs";
                bytesLost += std::abs(after.value(it.key()).size() - it.value().size());
            }
        }
        EXPECT_EQ(after.keys(), expected.keys()) << "round " << round;
    }
    std::cout << "save-all: " << Rounds << " rounds killed at random within the " << duration << " ms of writing, "
              << killedMidway << " of them midway; " << filesChecked << " files checked; " << bytesLost
              << " bytes lost\n";
    EXPECT_GT(killedMidway, 0);
}

TEST_F(CrashSafety, RewritesKilledAtAnyMomentLeaveTheOldOrTheNewFile)
{
    const auto& versions = rewriteVersions();
    QByteArray personal[2];
    for (int v = 0; v < 2; ++v) {
        personal[v] = *encodeHeader(versions[v].header);
        for (const MonthlyRecord& record : versions[v].records)
            personal[v] += *encodeRecord(record);
    }
    std::mt19937 random(7);
    int filesChecked = 0;
    for (int round = 0; round < Rounds; ++round) {
        QTemporaryDir store;
        const DataDir dir(store.path());
        makeStore(dir, {RewrittenPerson});
        ASSERT_TRUE(RewritePersonalFile(dir, RewrittenPerson, versions[0].header, versions[0].records));
        ASSERT_TRUE(SaveRegistrantList(dir, versions[0].names));
        const QByteArray oldList = fileBytes(dir.listFile(RegistrantNamesFile));
        // The doses elsewhere: the old version is written beside, the new read back from a scratch store.
        QByteArray elsewhere[2];
        for (int v = 0; v < 2; ++v) {
            QTemporaryDir scratch;
            ASSERT_TRUE(WriteOtherFacilityDoses(DataDir(scratch.path()), versions[v].otherDoses));
            elsewhere[v] = fileBytes(DataDir(scratch.path()).listFile(OtherFacilityDosesFile));
        }
        ASSERT_TRUE(WriteOtherFacilityDoses(dir, versions[0].otherDoses));
        QByteArray newList = QByteArray(" 500 \r\n");
        for (const QString& name : versions[1].names)
            newList += *encodeLines({name});
        QProcess* worker = startWorker({"rewrite", store.path()});
        QThread::msleep(std::uniform_int_distribution<int>(20, 300)(random));
        killWorker(worker);
        const QByteArray file = fileBytes(dir.personalFile(RewrittenPerson));
        EXPECT_TRUE(file == personal[0] || file == personal[1]) << "round " << round << ": " << file.size() << " bytes";
        const QByteArray list = fileBytes(dir.listFile(RegistrantNamesFile));
        EXPECT_TRUE(list == oldList || list == newList) << "round " << round;
        const QByteArray doses = fileBytes(dir.listFile(OtherFacilityDosesFile));
        EXPECT_TRUE(doses == elsewhere[0] || doses == elsewhere[1]) << "round " << round;
        // A temporary file left by a kill between writing and renaming goes when the entry window opens.
        removeUnfinishedRewrites(dir);
        EXPECT_EQ(QDir(dir.doseDataFolder()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{RewrittenPerson + ".dat"});
        EXPECT_EQ(QDir(store.path()).entryList(QDir::Files).size(), 6);
        filesChecked += 3;
    }
    std::cout << "rewrites: " << Rounds << " rounds killed at random, " << filesChecked
              << " files checked, each the old or the new version\n";
}

class OneWriter : public WindowTest {};

TEST_F(OneWriter, ASecondCopyCannotOpenTheEntryWindowUntilTheFirstIsGone)
{
    ASSERT_TRUE(InitialiseForEntry(app.dataDir));
    QProcess* other = startWorker({"hold-lock", temp.path()});
    ASSERT_TRUE(other->waitForReadyRead(10000));
    click(app.form1().Command1);
    const QStringList held = takeMessages();
    ASSERT_EQ(held.size(), 1);
    EXPECT_TRUE(held[0].startsWith(QStringLiteral("このPCの別のVelmora（"))) << held[0].toStdString();
    EXPECT_FALSE(app.form2().isVisible());
    click(app.form1().Command2); // searching is allowed
    EXPECT_TRUE(app.form4().isVisible());
    app.form4().close();

    killWorker(other); // its lock is left behind, stale
    click(app.form1().Command1);
    EXPECT_TRUE(app.form2().isVisible());
    EXPECT_TRUE(dialogs.shown.isEmpty());

    QProcess third;
    third.start(QStringLiteral(CRASH_WORKER), {"hold-lock", temp.path()});
    ASSERT_TRUE(third.waitForFinished(10000));
    EXPECT_EQ(third.exitCode(), 1); // refused while this window is open

    app.form2().close(); // leaving the entry window lets others in
    QProcess fourth;
    fourth.start(QStringLiteral(CRASH_WORKER), {"hold-lock", temp.path()});
    EXPECT_TRUE(fourth.waitForReadyRead(10000));
    fourth.kill();
    fourth.waitForFinished();
}

// A power cut right after a rename must find the new content on the disk, not an empty file: every
// temporary file is flushed before it takes its name (the order of the system calls, under strace).
TEST(WriteOrder, EveryTemporaryFileIsFlushedBeforeItTakesItsName)
{
    for (const QStringList& change : {QStringList{"remove", QStringLiteral("鈴木")}, QStringList{"register"}}) {
        QTemporaryDir temp;
        makeStore(DataDir(temp.path()), {QStringLiteral("山田"), QStringLiteral("鈴木")});
        QProcess strace;
        strace.setProcessEnvironment(withoutLeakCheck());
        strace.start(QStringLiteral("strace"), QStringList{"-f", "-qq", "-y", "-e", "trace=fsync,rename,renameat2,link",
                                                           QStringLiteral(CRASH_WORKER), change[0], temp.path()} +
                                                   change.mid(1));
        ASSERT_TRUE(strace.waitForFinished(30000));
        ASSERT_EQ(strace.exitCode(), 0);
        const QList<QByteArray> calls = strace.readAllStandardError().split('\n');
        QList<QByteArray> flushed;
        int named = 0;
        for (const QByteArray& call : calls) {
            const qsizetype from = call.indexOf(".velmora-writing-");
            if (from < 0)
                continue;
            if (call.startsWith("fsync("))
                flushed << call.mid(from, call.indexOf('>', from) - from);
            else if (call.startsWith("rename") || call.startsWith("link")) {
                ++named;
                EXPECT_TRUE(flushed.contains(call.mid(from, call.indexOf('"', from) - from))) << call.toStdString();
            }
        }
        EXPECT_GT(named, 0) << change.join(' ').toStdString();
    }
}

} // namespace
