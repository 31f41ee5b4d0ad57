// A process to be killed: runs the store's own routines on a data directory until it is killed or done.
//   crash_worker save-all DIR KEY   the routine of "全データ保存" for the month KEY, with the pending values
//                                   pendingValueOf() gives each registrant
//   crash_worker rewrite DIR        rewrites "被曝Data/山田.dat", "登録者名.txt" and "他施設線量.txt" between two
//                                   versions, forever
//   crash_worker hold-lock DIR      takes the entry window's lock, over a stale one too, and waits
//   crash_worker register DIR       registers RegisteredPerson() as the registration window does
//   crash_worker remove DIR NAME    removes a registrant as the entry window does
//   crash_worker restore DIR NAME   restores a removed registrant as the registration window does
//   crash_worker read DIR NAME      reads a personal file and prints how many months it holds, or why not
#include "CrashWorkerValues.h"
#include "core/changes/RegistrantChanges.h"
#include "core/changes/SaveAll.h"
#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"
#include "core/files/WriterLock.h"
#include "core/texts/Messages.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>

using namespace velmora;

namespace {

int saveAll(const DataDir& dir, MonthKey key)
{
    removeUnfinishedRewrites(dir); // as the entry window's lock does before data entry
    const auto registrants = LoadRegistrantList(dir);
    if (!registrants)
        return 2;
    std::vector<PendingEntry> pending(RegistrantList::Capacity);
    for (qsizetype i = 0; i < registrants->count(); ++i)
        pending[i] = pendingValueOf(i);
    // The test times its kill from the moment the first record is about to be written.
    const qsizetype count = registrants->count();
    const auto saved = SaveMonthForAll(dir, *registrants, pending, key, HeldValues::Keep, [count](qsizetype done) {
        if (done == count) {
            std::puts("writing");
            std::fflush(stdout);
        }
        return true;
    });
    if (!saved)
        std::fprintf(stderr, "%s\n", messageOf(saved.error()).toUtf8().constData());
    return saved || saved.error().kind == FailureKind::MonthEntered ? 0 : 1;
}

[[noreturn]] void rewriteForever(const DataDir& dir)
{
    for (int round = 0;; ++round) {
        const RewriteVersion& version = rewriteVersions()[round % 2];
        (void)RewritePersonalFile(dir, RewrittenPerson, version.header, version.records);
        (void)SaveRegistrantList(dir, version.names);
        (void)WriteOtherFacilityDoses(dir, version.otherDoses);
    }
}

// One change of the registrant lists, with the list as the window holds it; 0 when it completed.
int changeRegistrants(const DataDir& dir, const QString& change, const QString& name)
{
    SharedState state;
    const auto registrants = LoadRegistrantList(dir);
    if (!registrants)
        return 2;
    state.registrants = *registrants;
    const Status changed = change == QLatin1String("register") ? RegisterNewPerson(dir, state, RegisteredPerson())
                           : change == QLatin1String("remove") ? RemoveRegistrant(dir, state, name)
                                                               : RestoreRegistrant(dir, state, name);
    return changed ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 3)
        return 2;
    const DataDir dir(arguments[2]);
    if (arguments[1] == QLatin1String("save-all") && arguments.size() == 4)
        return saveAll(dir, arguments[3].toLongLong());
    if (arguments[1] == QLatin1String("rewrite"))
        rewriteForever(dir);
    if (QStringList{"register", "remove", "restore"}.contains(arguments[1]))
        return changeRegistrants(dir, arguments[1], arguments.value(3));
    if (arguments[1] == QLatin1String("read")) {
        const auto file = ReadPersonalFile(dir, arguments.value(3));
        std::puts(file ? QByteArray::number(file->records.size()).constData()
                       : messageOf(file.error()).toUtf8().constData());
        return file ? 0 : 1;
    }
    if (arguments[1] == QLatin1String("hold-lock")) {
        WriterLock lock(dir);
        const Status locked = lock.tryLock();
        if (!locked && (locked.error().kind != FailureKind::LockStale || !lock.takeOver()))
            return 1;
        std::puts("locked");
        std::fflush(stdout);
        QThread::sleep(3600);
    }
    return 2;
}
