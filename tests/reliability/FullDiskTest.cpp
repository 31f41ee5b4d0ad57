#include "core/changes/RecordedWrites.h"
#include "core/changes/RegistrantChanges.h"
#include "core/changes/SaveAll.h"
#include "core/files/DoseAdditions.h"
#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"
#include "core/files/TextFile.h"
#include "core/files/WriterLock.h"
#include "core/texts/Messages.h"
#include "support/SmallFileSystem.h"
#include "support/Stores.h"
#include "support/WindowTest.h"

#include <functional>
#include <iostream>
#include <sys/mount.h>
#include <unistd.h>

using namespace velmora;
using namespace velmora::test;

namespace {

const QString Yamada = QStringLiteral("山田");
const QString Suzuki = QStringLiteral("鈴木");
const QString Tanaka = QStringLiteral("田中");

qint64 sizeOf(const QString& path)
{
    return QFileInfo(path).size();
}

// How many bytes bring a file of `size` bytes, grown by `fixed` more, to `gap` bytes before a page ends.
qsizetype paddingBefore(qint64 size, qsizetype fixed, int gap)
{
    const qint64 page = SmallFileSystem::PageBytes;
    return static_cast<qsizetype>(((page - gap - size - fixed) % page + page) % page);
}

// A store of three persons, 田中 removed, whose files that a change appends to end `gap` bytes before
// the end of a page: on a full disk, an append then fails after its first `gap` bytes.
void prepareStore(const DataDir& dir, int gap)
{
    makeStore(dir, {Yamada, Suzuki, Tanaka});
    SharedState state;
    state.registrants = *LoadRegistrantList(dir);
    ASSERT_TRUE(RemoveRegistrant(dir, state, Tanaka));
    for (const QString& name : {Yamada, Suzuki}) {
        const MonthlyRecord record{202604, 0.1, 0, 0, 0, QString()};
        const qsizetype fixed = encodeRecord(record)->size();
        const qsizetype padding = paddingBefore(sizeOf(dir.personalFile(name)), fixed, gap);
        ASSERT_TRUE(AppendMonthlyRecord(dir, name, {202604, 0.1, 0, 0, 0, QString(padding, QLatin1Char('x'))}));
    }
    // Lists that the writers of doses elsewhere and declarations replace.
    ASSERT_TRUE(WriteOtherFacilityDoses(dir, {{Yamada, QStringLiteral("旧"), 202504, 202504, 1, 0, 0, 0, NoComment}}));
    ASSERT_TRUE(WriteDeclarations(dir, {{Suzuki, DeclarationKind::NoPregnancyPlan, 20200401, 0, NoComment}}));
    const QString removedName = QStringLiteral("退職者");
    const qsizetype fixed = encodeLines({removedName})->size();
    ASSERT_TRUE(
        AppendRemovedName(dir, removedName + QString(paddingBefore(sizeOf(dir.listFile(RemovedNamesFile)), fixed, gap),
                                                     QLatin1Char('x'))));
    // Month lines of five and six bytes (" 1 \r\n", " 10 \r\n") make up any length from 20 bytes on.
    qsizetype total = paddingBefore(sizeOf(dir.listFile(EnteredMonthsFile)), 0, gap);
    total += total < 20 ? SmallFileSystem::PageBytes : 0;
    for (qsizetype six = total % 5; six > 0; --six)
        ASSERT_TRUE(AppendEnteredMonth(dir, 10));
    for (qsizetype five = (total - total % 5 * 6) / 5; five > 0; --five)
        ASSERT_TRUE(AppendEnteredMonth(dir, 1));
}

SharedState stateOf(const DataDir& dir)
{
    SharedState state;
    state.registrants = *LoadRegistrantList(dir);
    return state;
}

// One change of the store as a window makes it, with the routine the window calls.
struct Writer {
    const char* name;
    bool firstStart; // runs on an empty data directory
    std::function<Status(const DataDir&)> run;
};

void PrintTo(const Writer& writer, std::ostream* out)
{
    *out << writer.name;
}

const Writer Writers[] = {
    {"registration", false,
     [](const DataDir& dir) {
         auto state = stateOf(dir);
         return RegisterNewPerson(dir, state, personHeader(QStringLiteral("佐藤"), 4));
     }},
    {"removal", false,
     [](const DataDir& dir) {
         auto state = stateOf(dir);
         return RemoveRegistrant(dir, state, Suzuki);
     }},
    {"restore", false,
     [](const DataDir& dir) {
         auto state = stateOf(dir);
         return RestoreRegistrant(dir, state, Tanaka);
     }},
    {"correction", false,
     [](const DataDir& dir) {
         auto file = *ReadPersonalFile(dir, Yamada);
         file.header.affiliation = QStringLiteral("外来");
         file.records.append({202612, 1.25, 0, 0, 0, QStringLiteral("追加")});
         return SaveCorrections(dir, Yamada, file.header, file.records, file.fingerprint);
     }},
    {"save-all", false,
     [](const DataDir& dir) {
         std::vector<PendingEntry> pending(RegistrantList::Capacity);
         pending[1] = {0.5, 0.25, 1, 0.002, QStringLiteral("確認済み")};
         const auto saved = SaveMonthForAll(dir, *LoadRegistrantList(dir), pending, 202612);
         return saved ? Status() : Status(saved.error());
     }},
    {"first start", true, [](const DataDir& dir) { return InitialiseForEntry(dir); }},
    {"doses elsewhere", false,
     [](const DataDir& dir) {
         QList<OtherFacilityDose> doses;
         for (int month = 1; month <= 12; ++month)
             doses.append({Yamada, QStringLiteral("第二病院"), 202600 + month, 202600 + month, month * 0.1, 0, 0, 0,
                           QStringLiteral("月報%1").arg(month)});
         return SaveOtherFacilityDoses(dir, {}, doses);
     }},
    {"declarations", false,
     [](const DataDir& dir) {
         return SaveDeclarations(dir, {},
                                 {{Suzuki, DeclarationKind::Pregnancy, 20260610, 20270115, NoComment},
                                  {Yamada, DeclarationKind::DesignatedDoctor, 20210401, 0, NoComment}});
     }},
    {"facility", false,
     [](const DataDir& dir) {
         return SaveFacility(dir, {}, {QStringLiteral("A病院"), QStringLiteral("放射線管理責任者"), Yamada});
     }},
};

std::string rowName(const testing::TestParamInfo<Writer>& row)
{
    std::string name = row.param.name;
    std::replace(name.begin(), name.end(), ' ', '_');
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
}

class FullDisk : public testing::TestWithParam<Writer> {
protected:
    void SetUp() override
    {
        if (::geteuid() != 0)
            GTEST_SKIP() << "mounting a small file system needs root";
        disk = std::make_unique<SmallFileSystem>(mount.path(), 1 << 20);
        ASSERT_TRUE(disk->ok) << "tmpfs could not be mounted";
    }
    // A fresh store on the small file system, prepared while there is room.
    void freshStore(int gap)
    {
        disk->makeRoom();
        QDir(root).removeRecursively();
        QDir().mkpath(root);
        if (!GetParam().firstStart)
            prepareStore(dir, gap);
    }

    QTemporaryDir mount;
    std::unique_ptr<SmallFileSystem> disk;
    QString root = QDir(mount.path()).filePath(QStringLiteral("store"));
    DataDir dir{root};
};

// Every file after a failed write is the old or the new version of itself, and nothing else is there; the
// change history holds its old records and the first of the new ones (those of the persons saved before a
// save-all stopped).
void expectEachFileOldOrNew(const QMap<QString, QByteArray>& after, const QMap<QString, QByteArray>& before,
                            const QMap<QString, QByteArray>& finished)
{
    for (auto file = after.begin(); file != after.end(); ++file) {
        const bool old = before.contains(file.key()) && before[file.key()] == file.value();
        const bool changed = finished.contains(file.key()) &&
                             (file.key() == ChangeHistoryFile ? finished[file.key()].startsWith(file.value()) &&
                                                                    file.value().startsWith(before.value(file.key()))
                                                              : finished[file.key()] == file.value());
        EXPECT_TRUE(old || changed) << file.key().toStdString() << " is neither its old nor its new version";
    }
    for (auto file = before.begin(); file != before.end(); ++file)
        EXPECT_TRUE(after.contains(file.key()) || !finished.contains(file.key())) << file.key().toStdString();
}

TEST_P(FullDisk, AFailedWriteKeepsEveryByteAndTheRetryCompletesIt)
{
    int rounds = 0, failures = 0;
    for (const int gap : {0, 1, 7, 23, 40}) {
        QTemporaryDir reference;
        const DataDir referenceDir(reference.path());
        if (!GetParam().firstStart)
            prepareStore(referenceDir, gap);
        ASSERT_TRUE(GetParam().run(referenceDir));
        const auto finished = snapshot(reference.path());

        for (qint64 freePages = 0;; ++freePages) {
            ASSERT_LT(freePages, 64) << "the change never fitted";
            freshStore(gap);
            const auto before = snapshot(root);
            disk->fillLeaving(freePages * SmallFileSystem::PageBytes);
            ++rounds;
            const Status written = GetParam().run(dir);
            if (written) {
                EXPECT_EQ(snapshot(root), finished) << "gap " << gap << ", free pages " << freePages;
                break;
            }
            ++failures;
            EXPECT_TRUE(messageOf(written.error()).contains(QStringLiteral("ディスクの空き容量が不足しています")))
                << messageOf(written.error()).toStdString();
            expectEachFileOldOrNew(snapshot(root), before, finished);
            disk->makeRoom();
            EXPECT_TRUE(GetParam().run(dir)) << "the retry after room was made failed";
            EXPECT_EQ(snapshot(root), finished) << "gap " << gap << ", free pages " << freePages;
        }
    }
    EXPECT_GT(failures, 0);
    std::cout << "full disk, " << GetParam().name << ": " << rounds << " rounds, " << failures
              << " writes refused by the full disk, each file old or new after it, 0 bytes lost\n";
}

INSTANTIATE_TEST_SUITE_P(Writers, FullDisk, testing::ValuesIn(Writers), rowName);

// The same writers on a data folder mounted read-only: each is refused with the cause, and nothing changes.
class ReadOnlyMount : public testing::TestWithParam<Writer> {};

TEST_P(ReadOnlyMount, EveryWriterSaysTheFolderIsReadOnly)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "a bind mount needs root";
    QTemporaryDir temp;
    const DataDir dir(temp.path());
    if (!GetParam().firstStart)
        prepareStore(dir, 0);
    const auto before = snapshot(temp.path());
    const QByteArray root = QFile::encodeName(temp.path());
    ASSERT_EQ(::mount(root.constData(), root.constData(), nullptr, MS_BIND, nullptr), 0);
    ASSERT_EQ(::mount(nullptr, root.constData(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr), 0);
    const Status written = GetParam().run(dir);
    ::umount(root.constData());
    ASSERT_FALSE(written);
    EXPECT_TRUE(messageOf(written.error()).contains(QStringLiteral("データフォルダが読み取り専用です")))
        << messageOf(written.error()).toStdString();
    EXPECT_EQ(snapshot(temp.path()), before);
}

INSTANTIATE_TEST_SUITE_P(Writers, ReadOnlyMount, testing::ValuesIn(Writers), rowName);

// The main menu on a full disk: the first start and the entry lock say what failed, and work once
// there is room.
class FullDiskWindows : public WindowTest {
protected:
    void SetUp() override
    {
        if (::geteuid() != 0)
            GTEST_SKIP() << "mounting a small file system needs root";
        disk = std::make_unique<SmallFileSystem>(temp.path(), 256 << 10);
        ASSERT_TRUE(disk->ok) << "tmpfs could not be mounted";
    }
    std::unique_ptr<SmallFileSystem> disk;
};

TEST_F(FullDiskWindows, AFirstStartThatCannotWriteIsToldAndCompletedLater)
{
    disk->fillLeaving(0);
    click(app.form1().Command1);
    const QStringList messages = takeMessages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("書き込めません"))) << messages[0].toStdString();
    EXPECT_FALSE(app.form2().isVisible());

    disk->makeRoom();
    click(app.form1().Command1);
    EXPECT_EQ(takeMessages(), QStringList());
    EXPECT_TRUE(app.form2().isVisible());
    expectFirstStartStore(temp.path());
}

TEST_F(FullDiskWindows, ALockFileThatCannotBeWrittenIsNotTakenForAnotherCopy)
{
    makeStore(app.dataDir, {Yamada});
    disk->fillLeaving(0);
    click(app.form1().Command1);
    const QStringList messages = takeMessages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(messageOf(failure(FailureKind::CannotLock, WriterLock::FileName))));
    EXPECT_TRUE(
        messages[0].endsWith(QStringLiteral("原因：ディスクの空き容量が不足しています。"
                                            "不要なファイルを削除して空きを作ってから、もう一度行って下さい。")));
    EXPECT_FALSE(app.form2().isVisible());
}

} // namespace
