#include "app/Commands.h"
#include "core/changes/Backups.h"
#include "core/changes/RecordedWrites.h"
#include "core/changes/RegistrantChanges.h"
#include "core/files/ChangeHistory.h"
#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"
#include "core/files/SystemFiles.h"
#include "core/files/WriterLock.h"
#include "core/rules/DoseDistribution.h"
#include "core/rules/ExaminationRules.h"
#include "support/DataFiles.h"
#include "support/PdfTools.h"
#include "support/ProgramRun.h"
#include "support/SmallFileSystem.h"
#include "support/Stores.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <numeric>
#include <sys/mount.h>
#include <unistd.h>

using namespace velmora;
using namespace velmora::test;

namespace {

struct CommandRun {
    int exitCode;
    QByteArray out;
    QString err;
};

CommandRun doseTotals(const QStringList& arguments, const QString& standardOutput = {})
{
    QProcess program;
    if (!standardOutput.isEmpty())
        program.setStandardOutputFile(standardOutput);
    program.start(QStringLiteral(VELMORA_BINARY), QStringList{QStringLiteral("--dose-totals")} + arguments);
    EXPECT_TRUE(program.waitForFinished(30000));
    return {program.exitCode(), program.readAllStandardOutput(), QString::fromUtf8(program.readAllStandardError())};
}

TEST(DoseTotalsCommand, TellsByItsStatusWhetherEveryFileWasReadAndTheCsvWritten)
{
    QTemporaryDir store;
    const DataDir dir(store.path());
    makeStore(dir, {QStringLiteral("山田"), QStringLiteral("佐藤")});
    ASSERT_TRUE(AppendMonthlyRecord(dir, QStringLiteral("山田"), {202104, 6, 0, 0, 0, NoComment}));

    const CommandRun whole = doseTotals({QStringLiteral("2021"), QStringLiteral("--data-dir"), store.path()});
    EXPECT_EQ(whole.exitCode, 0) << whole.err.toStdString();
    EXPECT_EQ(whole.out.count("\r\n"), 3);
    // Standard output that cannot take the CSV is a failure, not a silent loss.
    EXPECT_EQ(
        doseTotals({QStringLiteral("2021"), QStringLiteral("--data-dir"), store.path()}, QStringLiteral("/dev/full"))
            .exitCode,
        1);
    for (const char* year : {"0", "-3", "99999", "2021a"})
        EXPECT_EQ(doseTotals({QString::fromLatin1(year), QStringLiteral("--data-dir"), store.path()}).exitCode, 1)
            << year;
    EXPECT_EQ(doseTotals({QStringLiteral("9999"), QStringLiteral("--data-dir"), store.path()}).exitCode, 0);

    writeBytes(dir.personalFile(QStringLiteral("佐藤")), " 3 \r\n");
    const CommandRun damaged = doseTotals({QStringLiteral("2021"), QStringLiteral("--data-dir"), store.path()});
    EXPECT_EQ(damaged.exitCode, 2);
    EXPECT_TRUE(damaged.err.contains(QStringLiteral("被曝Data/佐藤.dat"))) << damaged.err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(damaged.out).contains(QStringLiteral("読込不可")));
    EXPECT_TRUE(QString::fromUtf8(damaged.out).contains(QStringLiteral("山田")));
}

// A share whose mount point is there but nothing mounted on it: the runs without windows refuse the folder
// and make nothing on the local disk beneath the mount point.
TEST(DoseDistributionCommand, WritesTheDistributionOfTheStoreOnStandardOutput)
{
    QTemporaryDir store;
    const DataDir dir(store.path());
    makeStore(dir, {QStringLiteral("山田"), QStringLiteral("佐藤")});
    ASSERT_TRUE(AppendMonthlyRecord(dir, QStringLiteral("山田"), {202104, 6, 0, 0, 0, NoComment}));
    const auto run = [&store](const QString& year) {
        QProcess program;
        program.start(QStringLiteral(VELMORA_BINARY),
                      {QStringLiteral("--dose-distribution"), year, QStringLiteral("--data-dir"), store.path()});
        EXPECT_TRUE(program.waitForFinished(30000));
        return std::pair{program.exitCode(), program.readAllStandardOutput()};
    };
    const auto [status, csv] = run(QStringLiteral("2021"));
    EXPECT_EQ(status, 0);
    EXPECT_EQ(csv, distributionCsv(doseDistribution(*gatherStoreTotals(dir, 2021, 202612), 2021)));
    EXPECT_TRUE(csv.contains("実効_年度,5超15以下,1\r\n"));
    EXPECT_EQ(run(QStringLiteral("二〇二一")).first, 1);
}

// The report's counts of a half year on standard output or in --output; an unreadable list names itself.
TEST(ExaminationReportCommand, WritesTheCountsOfTheHalfYear)
{
    QTemporaryDir store;
    const DataDir dir(store.path());
    makeStore(dir, {QStringLiteral("山田")});
    ASSERT_TRUE(AppendMonthlyRecord(dir, QStringLiteral("山田"), {202507, 6, 0, 0, 0, NoComment}));
    ASSERT_TRUE(WriteExaminations(dir, {{QStringLiteral("山田"), 20260105, ExaminationKind::Periodic}}));
    const ProgramRun run = runVelmora({"--exam-report", "2026-1", "--data-dir", store.path()});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, QString::fromUtf8(examinationReportCsv(*examinationReport(dir, {2026, 1}))));
    EXPECT_TRUE(run.out.contains(QStringLiteral("前年1年間の実効線量による区分,5mSvを超え15mSv以下の者,1\r\n")));
    writeBytes(dir.listFile(ExaminationsFile), " 2 \r\n");
    const ProgramRun damaged = runVelmora({"--exam-report", "2026-1", "--data-dir", store.path()});
    EXPECT_EQ(damaged.exitCode, 1);
    EXPECT_TRUE(damaged.err.contains(ExaminationsFile));
}

TEST(DoseTotalsCommand, AFolderOnAnUnmountedShareIsRefusedAndNotCreated)
{
    QTemporaryDir mountPoint;
    const QString store = QDir(mountPoint.path()).filePath(QStringLiteral("velmora"));
    const QByteArray point = QFile::encodeName(mountPoint.path());
    if (::geteuid() != 0 || ::mount("velmora-share", point.constData(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "mounting a share needs root";
    QDir().mkpath(store);
    makeStore(DataDir(store), {QStringLiteral("山田")});
    EXPECT_EQ(doseTotals({QStringLiteral("2021"), QStringLiteral("--data-dir"), store}).exitCode, 0);
    ASSERT_EQ(::umount(point.constData()), 0);

    const CommandRun totals = doseTotals({QStringLiteral("2021"), QStringLiteral("--data-dir"), store});
    EXPECT_EQ(totals.exitCode, 1);
    EXPECT_EQ(totals.err, QStringLiteral("velmora: データフォルダ「%1」がありません。\n").arg(store));
    QProcess import;
    import.start(QStringLiteral(VELMORA_BINARY), {"--import-month", "202104", "--data-dir", store, "/dev/null"});
    ASSERT_TRUE(import.waitForFinished(30000));
    EXPECT_EQ(import.exitCode(), 1);
    EXPECT_TRUE(QDir(mountPoint.path()).isEmpty());
}

TEST(HistoryCommands, WriteTheHistoryAndNameTheFirstRecordAlteredByHand)
{
    QTemporaryDir store;
    const DataDir dir(store.path());
    makeStore(dir, {QStringLiteral("山田"), QStringLiteral("佐藤")});
    ASSERT_TRUE(
        SaveDeclarations(dir, {}, {{QStringLiteral("佐藤"), DeclarationKind::Pregnancy, 20250610, 0, NoComment}}));
    ASSERT_TRUE(SaveOtherFacilityDoses(
        dir, {}, {{QStringLiteral("山田"), QStringLiteral("B病院"), 202505, 202505, 1, 0, 0, 0, NoComment}}));
    const QStringList folder{QStringLiteral("--data-dir"), store.path()};

    const ProgramRun whole = runVelmora(QStringList{"--verify"} + folder);
    EXPECT_EQ(whole.exitCode, 0) << whole.err.toStdString();
    EXPECT_TRUE(whole.out.contains(QStringLiteral("個人データファイル2件）と変更履歴2件"))) << whole.out.toStdString();
    const ProgramRun one = runVelmora(QStringList{"--history", "--person", "山田"} + folder);
    EXPECT_EQ(one.exitCode, 0);
    const QStringList rows = one.out.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_TRUE(rows[1].contains(QStringLiteral(",他施設線量,山田,2025/05,,施設 B病院、"))) << rows[1].toStdString();

    // The first record's values changed by hand, the file's size and time kept, while this PC's note holds the
    // history for whole: both commands name it, neither trusting the note.
    const QString history = dir.listFile(ChangeHistoryFile);
    ASSERT_TRUE(ReadChangeHistory(dir, {{}, 0, 0, CheckedNote::Renewed, {}, {}}));
    ASSERT_TRUE(QFileInfo::exists(historyCheckedNote(dir)));
    const QDateTime written = QFileInfo(history).lastModified();
    writeBytes(history, fileBytes(history).replace("20250610", "20250611"));
    QFile edited(history);
    ASSERT_TRUE(edited.open(QIODevice::ReadWrite) && edited.setFileTime(written, QFileDevice::FileModificationTime));
    edited.close();
    const ProgramRun altered = runVelmora(QStringList{"--verify"} + folder);
    EXPECT_EQ(altered.exitCode, 1);
    EXPECT_TRUE(altered.err.contains(QStringLiteral("「変更履歴.txt」の1件目の記録（1行目から）が、書かれた後に")))
        << altered.err.toStdString();
    const ProgramRun listed = runVelmora(QStringList{"--history"} + folder);
    EXPECT_EQ(listed.exitCode, BrokenHistoryStatus);
    EXPECT_TRUE(listed.out.contains(QStringLiteral(",改変あり\r\n"))) << listed.out.toStdString();
    // A line that does not read at the end: every record still written, and the status says so.
    const QByteArray edits = fileBytes(history);
    writeBytes(history, fileBytes(history).replace("20250611", "20250610") + "garbage\r\n");
    EXPECT_EQ(runVelmora(QStringList{"--history"} + folder).exitCode, BrokenHistoryStatus);
    writeBytes(history, edits);
    // A damaged store file is named too.
    writeBytes(dir.personalFile(QStringLiteral("佐藤")), " 3 \r\n");
    EXPECT_TRUE(runVelmora(QStringList{"--verify"} + folder).err.contains(QStringLiteral("被曝Data/佐藤.dat")));

    // Into a file: the rows written onto standard output; on a full disk the file before stays, alone.
    QTemporaryDir outputs;
    const QString output = outputs.filePath(QStringLiteral("履歴.csv"));
    const QStringList toFile = QStringList{"--history", "--output", output} + folder;
    EXPECT_EQ(runVelmora(toFile).exitCode, BrokenHistoryStatus);
    EXPECT_EQ(fileBytes(output), "\xEF\xBB\xBF" + listed.out.toUtf8());
    ASSERT_TRUE(RecordWrite(dir, QList<Change>(500, {ChangeKind::Facility, {}, 0, {}, QStringLiteral("施設")}),
                            [] { return Status(); }));
    SmallFileSystem disk(outputs.path(), 1 << 20);
    if (!disk.ok)
        GTEST_SKIP() << "no tmpfs can be mounted here";
    writeBytes(output, "before");
    disk.fillLeaving(SmallFileSystem::PageBytes);
    EXPECT_EQ(runVelmora(toFile).exitCode, 1);
    EXPECT_EQ(fileBytes(output), "before");
    EXPECT_EQ(QDir(outputs.path()).entryList(QDir::Files | QDir::Hidden).size(), 2); // with the filler
}

TEST(BackupCommands, MakeAGenerationUnlessDataIsBeingEnteredAndFindAChangedFile)
{
    QTemporaryDir store;
    QTemporaryDir backups;
    const DataDir dir(store.path());
    makeStore(dir, {QStringLiteral("山田")});
    const QStringList backUp{QStringLiteral("--backup"), backups.path(), QStringLiteral("--data-dir"), store.path()};
    const QStringList check{QStringLiteral("--verify-backup"), backups.path()};
    EXPECT_EQ(runVelmora(check).exitCode, 1); // none yet
    const ProgramRun made = runVelmora(backUp);
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
    EXPECT_EQ(runVelmora(check).exitCode, 0);
    {
        WriterLock entry(dir); // data entry on another copy: no copy of a store being changed
        ASSERT_TRUE(entry.tryLock());
        EXPECT_EQ(runVelmora(backUp).exitCode, 1);
    }
    const QString generation = QDir(backups.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).first();
    const QString copy = QDir(backups.path()).filePath(generation + QStringLiteral("/被曝Data/山田.dat"));
    writeBytes(copy, fileBytes(copy) + "x");
    const ProgramRun found = runVelmora(check);
    EXPECT_EQ(found.exitCode, 1);
    EXPECT_TRUE(found.err.contains(QStringLiteral("被曝Data/山田.dat」が作成時と違います（大きさが違います）")))
        << found.err.toStdString();
    EXPECT_TRUE(found.out.contains(QStringLiteral("作成時のままの世代：0、違いのある世代：1")))
        << found.out.toStdString();

    // A data folder that holds no store (a share not mounted): status 1, the reason told.
    QTemporaryDir empty;
    const ProgramRun unmounted = runVelmora({"--backup", backups.path(), "--data-dir", empty.path()});
    EXPECT_EQ(unmounted.exitCode, 1);
    EXPECT_TRUE(unmounted.err.contains(QStringLiteral("登録者名.txt）がありません"))) << unmounted.err.toStdString();

    // A store on a read-only mount is backed up without the lock it cannot make.
    QProcess mount;
    mount.start("sh",
                {"-c", QStringLiteral("mount --bind '%1' '%1' && mount -o remount,ro,bind '%1'").arg(store.path())});
    if (mount.waitForFinished() && mount.exitCode() == 0) {
        const ProgramRun readOnly = runVelmora(backUp);
        QProcess::execute("umount", {store.path()});
        EXPECT_EQ(readOnly.exitCode, 0) << readOnly.err.toStdString();
    }
    // A store that lost a person's file: made, named, status 3 for the scheduled task to see.
    QFile::remove(dir.personalFile(QStringLiteral("山田")));
    ASSERT_TRUE(SaveRegistrantList(dir, {}));
    EXPECT_EQ(runVelmora(backUp).exitCode, StoreShrankStatus);
}

// A power cut right after a generation or an archive takes its name finds what it holds on the disk: every
// folder made and every PDF is flushed before the rename (the order of the system calls, under strace; the
// paths as strace writes them, their Japanese escaped).
TEST(BackupCommands, FlushEveryFolderAndPdfBeforeTheNameIsGiven)
{
    QTemporaryDir store;
    QTemporaryDir out;
    const DataDir dir(store.path());
    makeStore(dir, {QStringLiteral("山田")});
    ASSERT_TRUE(AppendMonthlyRecord(dir, QStringLiteral("山田"), {202505, 1.5, 0, 0, 0, NoComment}));
    ASSERT_TRUE(SaveFacility(dir, {}, {QStringLiteral("A病院"), {}, {}}));
    const QString trace = out.filePath(QStringLiteral("trace"));
    const auto callsOf = [&](const QStringList& arguments) {
        const ProgramRun run = runVelmora(arguments, {"-o", trace, "-y", "-e", "trace=fsync,rename"});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        return fileBytes(trace).split('\n');
    };
    // The flushes before the rename of the folder written apart (`.part`) into its name (each line of the
    // trace after its process's number).
    const auto flushedBeforeRename = [](const QList<QByteArray>& calls) {
        QList<QByteArray> flushed;
        for (const QByteArray& call : calls) {
            if (call.contains(" rename(") && call.contains(".part\","))
                return flushed;
            if (call.contains(" fsync(") && call.contains(".part"))
                flushed << call.mid(call.indexOf(".part"), call.indexOf(">)") - call.indexOf(".part"));
        }
        return QList<QByteArray>();
    };
    const QList<QByteArray> backup =
        flushedBeforeRename(callsOf({"--backup", out.filePath(QStringLiteral(".")), "--data-dir", store.path()}));
    EXPECT_TRUE(backup.contains(".part")) << "the generation's folder";
    EXPECT_TRUE(std::any_of(backup.begin(), backup.end(), [](const QByteArray& path) { return path.endsWith("Data"); }))
        << "its 被曝Data folder";
    const QList<QByteArray> archive = flushedBeforeRename(callsOf(
        {"--archive-year", "2025", "--output", out.filePath(QStringLiteral("arc")), "--data-dir", store.path()}));
    EXPECT_TRUE(archive.contains(".part")) << "the archive's folder";
    QSet<QByteArray> pdfs;
    for (const QByteArray& path : archive)
        if (path.endsWith(".pdf"))
            pdfs.insert(path);
    EXPECT_EQ(pdfs.size(), 5) << "each PDF";
}

TEST(ArchiveCommand, KeepsAClosedYearAsPdfACsvAndAManifest)
{
    QTemporaryDir store;
    QTemporaryDir archives;
    const DataDir dir(store.path());
    makeStore(dir, {QStringLiteral("山田"), QStringLiteral("佐藤"), QStringLiteral("鈴木")});
    ASSERT_TRUE(AppendMonthlyRecord(dir, QStringLiteral("山田"), {202505, 1.5, 0, 0, 0, NoComment}));
    ASSERT_TRUE(AppendMonthlyRecord(dir, QStringLiteral("佐藤"), {202603, 0.5, 0, 0, 0, NoComment}));
    ASSERT_TRUE(AppendMonthlyRecord(dir, QStringLiteral("鈴木"), {202604, 9, 0, 0, 0, NoComment})); // FY 2026
    SharedState state;
    state.registrants = *LoadRegistrantList(dir);
    ASSERT_TRUE(RemoveRegistrant(dir, state, QStringLiteral("佐藤")));
    const QString output = QDir(archives.path()).filePath(QStringLiteral("2025"));
    const auto archive = [&](const char* year) {
        return runVelmora({QStringLiteral("--archive-year"), QString::fromLatin1(year), QStringLiteral("--output"),
                           output, QStringLiteral("--data-dir"), store.path()});
    };
    // Never without the facility on its pages: a store that never named it is refused.
    const ProgramRun unnamed = archive("2025");
    EXPECT_EQ(unnamed.exitCode, 1);
    EXPECT_TRUE(unnamed.err.contains(QStringLiteral("事業所名が設定されていません"))) << unnamed.err.toStdString();
    ASSERT_TRUE(SaveFacility(dir, {}, {QStringLiteral("A病院"), {}, {}}));
    // Nor with a history whose chain does not hold: a year of its first record's time edited in place.
    const QByteArray history = fileBytes(dir.listFile(ChangeHistoryFile));
    writeBytes(dir.listFile(ChangeHistoryFile), QByteArray(history).replace(3, 1, history[3] == '6' ? "5" : "6"));
    const ProgramRun edited = archive("2025");
    EXPECT_EQ(edited.exitCode, 1);
    EXPECT_TRUE(edited.err.contains(QStringLiteral("変更履歴"))) << edited.err.toStdString();
    writeBytes(dir.listFile(ChangeHistoryFile), history);

    const ProgramRun open = archive("2026");
    EXPECT_EQ(open.exitCode, 1);
    EXPECT_TRUE(open.err.contains(QStringLiteral("2026年度はまだ終わっていません"))) << open.err.toStdString();
    const ProgramRun kept = archive("2025");
    ASSERT_EQ(kept.exitCode, 0) << kept.err.toStdString();
    const QDir folder(output);
    EXPECT_EQ(folder.entryList(QDir::Files).size(), 9);
    const QString records = folder.filePath(QStringLiteral("2025年度_個人被曝記録.pdf"));
    EXPECT_TRUE(runPdfTool(QStringLiteral("pdfinfo"), {QStringLiteral("-meta"), records})
                    .contains(QStringLiteral("pdfaid:part=\"1\" pdfaid:conformance=\"B\"")));
    const QStringList fonts = runPdfTool(QStringLiteral("pdffonts"), {records}).split('\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_FALSE(fonts.isEmpty());
    for (const QString& font : fonts) // emb, sub, uni, object: every font embedded
        EXPECT_TRUE(QRegularExpression(QStringLiteral("\\syes\\s+(yes|no)\\s+(yes|no)\\s+\\d+\\s+\\d+\\s*$"))
                        .match(font)
                        .hasMatch())
            << font.toStdString();
    const QString text = runPdfTool(QStringLiteral("pdftotext"), {records, QStringLiteral("-")});
    EXPECT_TRUE(text.contains(QStringLiteral("山田")) && text.contains(QStringLiteral("佐藤")));
    EXPECT_FALSE(text.contains(QStringLiteral("鈴木"))); // no record in the year
    EXPECT_EQ(QString::fromLatin1(fileBytes(folder.filePath(ManifestFile)).left(5)), QStringLiteral(" 8 \r\n"));
    // The year's changes: the removal has no month, so the year's history is its headings alone.
    EXPECT_EQ(fileBytes(folder.filePath(QStringLiteral("2025年度_変更履歴.csv"))).count("\r\n"), 1);
    EXPECT_EQ(archive("2025").exitCode, 1); // the folder holds files now
}

TEST(CommandLine, RefusesInJapaneseAndAnswersHelpAndVersion)
{
    for (const QStringList& arguments : {QStringList{"--no-such-option"},
                                         {"--data-dir"},
                                         {"--dose-totals", "x"},
                                         {"--import-month", "2025-4", "a.csv"},
                                         {"--import-month", "202504"},
                                         {"--person", "山田"},
                                         {"--exam-report", "2026-3"},
                                         {"a.csv"}}) {
        QProcess program;
        program.start(QStringLiteral(VELMORA_BINARY), arguments);
        ASSERT_TRUE(program.waitForFinished(30000));
        const QString said = QString::fromUtf8(program.readAllStandardError());
        EXPECT_EQ(program.exitCode(), 1) << arguments.join(' ').toStdString();
        const bool japanese = std::any_of(said.begin(), said.end(), [](QChar c) { return c.unicode() >= 0x3040; });
        EXPECT_TRUE(said.startsWith("velmora: ") && japanese) << said.toStdString();
    }
    for (const char* answered : {"--help", "--version"}) {
        QProcess program;
        program.start(QStringLiteral(VELMORA_BINARY), {QString::fromLatin1(answered)});
        ASSERT_TRUE(program.waitForFinished(30000));
        EXPECT_EQ(program.exitCode(), 0) << answered;
        const QString told = QString::fromLocal8Bit(program.readAllStandardOutput());
        EXPECT_FALSE(told.isEmpty()) << answered;
        if (QLatin1String(answered) != QLatin1String("--help"))
            continue;
        // In Japanese, every option named, and every line within 80 columns of a terminal.
        EXPECT_TRUE(told.contains(QStringLiteral("変更履歴（いつ、誰が"))) << told.toStdString();
        EXPECT_TRUE(told.contains(QStringLiteral("--verify-backup <folder>"))) << told.toStdString();
        for (const QString& line : told.split(QLatin1Char('\n')))
            EXPECT_LE(std::accumulate(line.begin(), line.end(), 0,
                                      [](int width, QChar c) { return width + (c.unicode() < 0x80 ? 1 : 2); }),
                      80)
                << line.toStdString();
    }
}

// The archive holds the year and nothing after it, a page for everyone with a dose counted in it, and is
// whole or absent: a damaged store file, a kill, a full disk leave no folder under its name.
TEST(ArchiveCommand, HoldsTheYearAloneAndIsWholeOrAbsent)
{
    QTemporaryDir store;
    QTemporaryDir archives;
    const DataDir dir(store.path());
    makeStore(dir, {QStringLiteral("山田"), QStringLiteral("佐藤")});
    ASSERT_TRUE(AppendMonthlyRecord(dir, QStringLiteral("山田"), {202505, 1.5, 0, 0, 0, NoComment}));
    ASSERT_TRUE(AppendMonthlyRecord(dir, QStringLiteral("山田"), {202605, 7.25, 0, 0, 0, NoComment})); // after it
    const OtherFacilityDose elsewhere{
        QStringLiteral("佐藤"), QStringLiteral("B病院"), 202506, 202506, 4.5, 0, 0, 0, NoComment};
    ASSERT_TRUE(SaveOtherFacilityDoses(dir, {}, {elsewhere}));
    const QString output = QDir(archives.path()).filePath(QStringLiteral("2025"));
    const QStringList archive{"--archive-year", "2025", "--output", output, "--data-dir", store.path()};
    const auto nothingLeft = [&] {
        return QDir(archives.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty();
    };

    const QByteArray facility = "\x81\r\n";
    writeBytes(dir.listFile(FacilityFile), facility);
    EXPECT_EQ(runVelmora(archive).exitCode, 1);
    EXPECT_TRUE(nothingLeft());
    QFile::remove(dir.listFile(FacilityFile));
    ASSERT_TRUE(SaveFacility(dir, {}, {QStringLiteral("A総合病院"), {}, {}}));

    // Under the name of what it writes apart, a link or a folder of the user's is named and left as it was.
    const QString part = output + QStringLiteral(".part");
    for (const auto& plant : std::initializer_list<std::function<bool()>>{
             [&] { return makeSymbolicLink(store.path(), part); },
             [&] {
                 return QDir().mkdir(part) && (writeBytes(QDir(part).filePath(QStringLiteral("a.txt")), "x"), true);
             }}) {
        if (!plant())
            continue;
        const auto before = snapshot(store.path());
        const ProgramRun refused = runVelmora(archive);
        EXPECT_EQ(refused.exitCode, 1);
        EXPECT_TRUE(refused.err.contains(QStringLiteral("削除せずに残しました"))) << refused.err.toStdString();
        EXPECT_EQ(snapshot(store.path()), before);
        EXPECT_NE(system::kindOf(part), system::FileKind::Missing);
        QFile::remove(QDir(part).filePath(QStringLiteral("a.txt")));
        QFile::remove(part);
        QDir().rmdir(part);
    }

    // Killed as it gives the folder its name: nothing under it; the next run clears what was left.
    runVelmora(archive, {"-e", "trace=rename", "-e", "inject=rename:signal=KILL:when=1"});
    EXPECT_FALSE(QFileInfo::exists(output));
    const ProgramRun made = runVelmora(archive);
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
    EXPECT_EQ(QDir(archives.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("2025")});
    const QString records = runPdfTool(QStringLiteral("pdftotext"),
                                       {QDir(output).filePath(QStringLiteral("2025年度_個人被曝記録.pdf")), "-"});
    EXPECT_TRUE(records.contains(QStringLiteral("佐藤"))) << "a page for doses elsewhere alone";
    EXPECT_FALSE(records.contains(QStringLiteral("8.75"))) << "a running total past the year";
    for (const char* report : {"個人被曝記録", "登録者データ表", "月別被曝一覧表"}) // the facility at every page's foot
        EXPECT_EQ(
            runPdfTool(QStringLiteral("pdftotext"),
                       {QDir(output).filePath(QStringLiteral("2025年度_%1.pdf").arg(QString::fromUtf8(report))), "-"})
                .count(QStringLiteral("A総合病院")),
            report == std::string("月別被曝一覧表") ? 12
            : report == std::string("個人被曝記録") ? 2
                                                    : 1)
            << report;
    EXPECT_TRUE(fileBytes(QDir(output).filePath(ManifestFile)).contains("SHA-256"));

    // On a full disk: refused, with nothing under the archive's name nor beside it.
    QDir(output).removeRecursively();
    SmallFileSystem disk(archives.path(), 4 << 20);
    if (!disk.ok)
        GTEST_SKIP() << "no tmpfs can be mounted here";
    disk.fillLeaving(64 << 10);
    EXPECT_EQ(runVelmora(archive).exitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(output));
    EXPECT_FALSE(QFileInfo::exists(output + QStringLiteral(".part")));
}

} // namespace
