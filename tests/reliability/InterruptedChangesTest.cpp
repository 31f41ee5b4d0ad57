#include "CrashWorkerValues.h"
#include "core/changes/RegistrantChanges.h"
#include "core/files/FileWriter.h"
#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"
#include "core/files/StoreCheck.h"
#include "core/texts/Messages.h"
#include "support/Stores.h"
#include "support/Traced.h"
#include "support/WindowTest.h"

#include <QProcess>
#include <iostream>

using namespace velmora;
using namespace velmora::test;

namespace {

const QString Suzuki = QStringLiteral("鈴木");
const QString Tanaka = QStringLiteral("田中");
const QString Sato = RegisteredPerson().name;

// The system calls at whose entry the worker is killed, each at its first, second, … call in turn.
const char* const KillPoints[] = {"write", "fsync", "fdatasync", "ftruncate", "rename", "renameat2", "link", "unlink"};

struct Change {
    const char* name;
    QStringList arguments; // of the crash worker, after its data directory
};

void PrintTo(const Change& change, std::ostream* out)
{
    *out << change.name;
}

// A registration, a removal or a restore killed at every point of its writes, then done again through
// the windows: the change ends complete, no name stands twice or on both lists, no number is given twice.
class InterruptedChange : public WindowTest, public testing::WithParamInterface<Change> {
protected:
    void freshStore()
    {
        QDir(temp.path()).removeRecursively();
        QDir().mkpath(temp.path());
        makeStore(app.dataDir, {QStringLiteral("山田"), Suzuki, Tanaka});
        SharedState setUp; // outside the windows, which hold no entry lock yet
        setUp.registrants = *LoadRegistrantList(app.dataDir);
        ASSERT_TRUE(RemoveRegistrant(app.dataDir, setUp, Tanaka));
    }
    // Runs the worker under strace, killed on entry to the `count`-th call of `syscall`; whether it was.
    bool killedAt(const char* syscall, int count)
    {
        QProcess strace;
        strace.setProcessEnvironment(withoutLeakCheck());
        strace.start(QStringLiteral("strace"),
                     QStringList{"-f", "-qq", "-o", "/dev/null", "-e", QStringLiteral("trace=%1").arg(syscall), "-e",
                                 QStringLiteral("inject=%1:signal=KILL:when=%2").arg(syscall).arg(count),
                                 QStringLiteral(CRASH_WORKER), GetParam().name, temp.path()} +
                         GetParam().arguments);
        EXPECT_TRUE(strace.waitForFinished(30000));
        EXPECT_TRUE(strace.exitStatus() == QProcess::CrashExit || strace.exitCode() == 0)
            << strace.readAllStandardError().toStdString();
        return strace.exitStatus() == QProcess::CrashExit;
    }
    void registerThroughTheWindow(const QString& name, bool expectQuestion)
    {
        click(app.form2().Command1);
        type(app.form3().Text2, name);
        type(app.form3().Text5, "1980");
        type(app.form3().Text6, "1");
        type(app.form3().Text7, "1");
        type(app.form3().Text4, QStringLiteral("外来"));
        if (expectQuestion)
            dialogs.answer(true);
        click(app.form3().Command1);
        if (app.form3().isVisible())
            click(app.form3().Command2);
    }
    // Does the change again as an operator would, with whatever the kill left.
    void repeatThroughTheWindows()
    {
        click(app.form1().Command1);
        ASSERT_TRUE(app.form2().isVisible());
        const QString change = GetParam().name;
        const auto removed = *ReadRemovedNames(app.dataDir);
        if (change == QLatin1String("register"))
            registerThroughTheWindow(Sato, personalFileExists(app.dataDir, Sato) && app.state.positionOf(Sato) < 0);
        else if (change == QLatin1String("restore"))
            registerThroughTheWindow(Tanaka, removed.contains(Tanaka));
        else if (app.state.positionOf(Suzuki) >= 0) {
            doubleClick(app.form2().List1, Suzuki);
            dialogs.answer(true);
            dialogs.answer(false); // no leaving record
            click(app.form2().Command5);
        }
        app.form2().close();
    }
    void expectComplete()
    {
        const auto listed = LoadRegistrantList(app.dataDir);
        ASSERT_TRUE(listed) << messageOf(listed.error()).toStdString();
        const QStringList removed = *ReadRemovedNames(app.dataDir);
        for (const QString& name : removed)
            EXPECT_EQ(removed.count(name), 1) << name.toStdString();
        for (const QString& name : listed->names) {
            EXPECT_EQ(listed->names.count(name), 1) << name.toStdString() << " is listed twice";
            EXPECT_FALSE(removed.contains(name)) << name.toStdString() << " stands on both lists";
        }
        const QString change = GetParam().name;
        const QString moved = change == QLatin1String("register") ? Sato
                              : change == QLatin1String("remove") ? Suzuki
                                                                  : Tanaka;
        EXPECT_EQ(listed->names.contains(moved), change != QLatin1String("remove"));
        EXPECT_EQ(removed.contains(moved), change == QLatin1String("remove"));
        QList<double> numbers;
        for (const QString& name : listed->names + removed)
            if (const auto header = ReadPersonalHeader(app.dataDir, name, 9))
                numbers.append(header->registrationNumber);
        for (double number : numbers)
            EXPECT_EQ(numbers.count(number), 1) << "number " << number << " was given twice";
        EXPECT_GT(*ReadNextRegistrationNumber(app.dataDir), *std::max_element(numbers.begin(), numbers.end()));
        // A record the kill left without its change is answered 未実施 by the change done again.
        for (const Failure& fault : VerifyStore(app.dataDir).faults)
            ADD_FAILURE() << messageOf(fault).toStdString();
        for (const QString& folder : {temp.path(), app.dataDir.doseDataFolder()})
            for (const QString& file : QDir(folder).entryList(QDir::Files | QDir::Hidden))
                EXPECT_FALSE(isTemporaryFileName(file)) << file.toStdString() << " was left behind";
    }
};

TEST_P(InterruptedChange, IsCompletedThroughTheWindowsWhereverItWasKilled)
{
    int kills = 0;
    for (const char* syscall : KillPoints) {
        for (int count = 1; count < 20; ++count) {
            freshStore();
            const auto others = fileBytes(app.dataDir.personalFile(QStringLiteral("山田")));
            const bool killed = killedAt(syscall, count);
            repeatThroughTheWindows();
            SCOPED_TRACE(QStringLiteral("killed at %1 #%2").arg(syscall).arg(count).toStdString());
            expectComplete();
            EXPECT_EQ(fileBytes(app.dataDir.personalFile(QStringLiteral("山田"))), others);
            if (!killed)
                break;
            ++kills;
        }
    }
    EXPECT_GT(kills, 3);
    std::cout << GetParam().name << ": killed at " << kills << " points of its writes, completed each time\n";
}

INSTANTIATE_TEST_SUITE_P(Changes, InterruptedChange,
                         testing::Values(Change{"register", {}}, Change{"remove", {Suzuki}},
                                         Change{"restore", {Tanaka}}),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
