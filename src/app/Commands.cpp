#include "app/Commands.h"

#include "app/BackupSchedule.h"
#include "app/Console.h"
#include "app/DataFolder.h"
#include "app/Termination.h"
#include "core/changes/Backups.h"
#include "core/changes/Exports.h"
#include "core/changes/MonthImport.h"
#include "core/changes/OtherDoseImport.h"
#include "core/files/ChangeHistory.h"
#include "core/files/ListFiles.h"
#include "core/files/StoreCheck.h"
#include "core/files/WriterLock.h"
#include "core/model/Calendar.h"
#include "core/rules/LeavingRecord.h"
#include "core/rules/MonthPlausibility.h"
#include "core/texts/Messages.h"
#include "gui/archive/YearArchive.h"
#include "gui/platform/Fonts.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QSysInfo>
#include <cstdio>
#include <functional>

namespace velmora {
namespace {

// What a command made: its exit status, the text for standard output and the notes for standard error.
struct Outcome {
    QString printed;
    QStringList told;
    int status = 0;
};

// A command of the table: whether the options ask for it, whether it writes --output (which never replaces a
// file of the store), whether it opens a store, whether it draws (the archive: pages without a window),
// whether a request to end stops it cleanly, and its work on the store.
struct Command {
    std::function<bool(const StartOptions&)> asked;
    bool writesOutput;
    bool opensStore;
    bool draws;
    bool interruptible; // a request to end stops it between two files (128 + the signal)
    std::function<Result<Outcome>(const DataDir&, const StartOptions&)> run;
};

Result<Outcome> writeTotalsCsv(const DataDir& dir, const StartOptions& options)
{
    QStringList unreadable;
    QStringList unknownPersons;
    const MonthKey thisMonth = monthOf(QDate::currentDate());
    const Status written =
        options.distributionYear
            ? ExportDoseDistribution(dir, *options.distributionYear, thisMonth, options.output, unreadable)
            : ExportDoseTotals(dir, *options.doseTotalsYear, thisMonth, options.output, unreadable, &unknownPersons);
    if (!written)
        return written.error();
    Outcome outcome;
    if (!unknownPersons.isEmpty())
        outcome.told << unknownPersonsMessage(unknownPersons);
    if (!unreadable.isEmpty()) {
        outcome.told << unreadableFilesMessage(unreadable);
        outcome.status = UnreadableFilesStatus;
    }
    return outcome;
}

Result<Outcome> writeExaminationReport(const DataDir& dir, const StartOptions& options)
{
    const Status written = ExportExaminationReport(dir, *halfYearOf(options.examReportHalf), options.output);
    if (!written)
        return written.error();
    return Outcome();
}

Result<Outcome> importMonth(const DataDir& dir, const StartOptions& options)
{
    const MonthKey key = *options.importMonth;
    const auto saved = SaveMonthFromCsv(
        dir, key, options.importFile, options.replaceHeldValues, [] { return systemRequest() == 0; },
        options.importLayout);
    if (!saved)
        return saved.error();
    QStringList printed{QStringLiteral("%1年%2月の線量を登録者%3名に保存しました。")
                            .arg(key / 100)
                            .arg(key % 100)
                            .arg(saved->registrants)};
    if (!saved->replaced.isEmpty())
        printed << QStringLiteral("次の人の保存済みの値をCSVの値で置き換えました。\n%1")
                       .arg(listForMessage(saved->replaced, QStringLiteral("名")));
    if (!saved->limitFindings.isEmpty())
        printed << monthLimitReport(saved->limitFindings);
    return Outcome{printed.join(QLatin1Char('\n')), {}};
}

Result<Outcome> writeLeavingRecord(const DataDir& dir, const StartOptions& options)
{
    const auto day = options.leavingDay.isEmpty() ? std::optional<qint64>(0) : typedDay(options.leavingDay);
    if (!day)
        return failureWithText(FailureKind::NotADay, options.leavingDay);
    const auto record = leavingRecordOf(dir, options.leavingRecord, *day);
    if (!record)
        return record.error();
    if (const Status written = writeCsvOutput(options.output, leavingRecordCsv(*record)); !written)
        return written.error();
    return Outcome{};
}

Result<Outcome> importOtherDoses(const DataDir& dir, const StartOptions& options)
{
    const auto imported = ImportOtherDoses(dir, options.otherDosesImport, [] { return systemRequest() == 0; });
    if (!imported)
        return imported.error();
    Outcome outcome{QStringLiteral("「%1」から他施設での線量を%2件取り込みました。")
                        .arg(imported->file)
                        .arg(imported->entries.size()),
                    {}};
    if (!imported->declarations.isEmpty())
        outcome.printed += QStringLiteral("申告%1件を登録しました。").arg(imported->declarations.size());
    if (const QString named = otherDoseRowsNamed(*imported); !named.isEmpty())
        outcome.told << named;
    return outcome;
}

Result<Outcome> writeHistory(const DataDir& dir, const StartOptions& options)
{
    const auto read = ExportChangeHistory(dir, options.historyPerson, options.output);
    if (!read)
        return read.error();
    // Every record that reads is written; what does not is named.
    Outcome outcome;
    for (const DamagedStretch& stretch : read->setAsideDamage + read->damage)
        outcome.told << messageOf(damagedHistoryAt(stretch));
    if (read->broken)
        outcome.told << messageOf(*read->broken);
    outcome.status = read->broken || !read->damage.isEmpty() ? BrokenHistoryStatus : 0;
    return outcome;
}

Result<Outcome> verifyStore(const DataDir& dir, const StartOptions&)
{
    // The history is held against the copies in the backup folder chosen in the main menu.
    const QSettings settings(QStringLiteral("Velmora"), QStringLiteral("Velmora"));
    QStringList generations;
    if (const QString backups = backupFolderOf(settings, dir); !backups.isEmpty())
        for (const Generation& generation : generationsOf(backups))
            generations << QDir(backups).filePath(generation.name);
    const StoreCheck checked = VerifyStore(dir, generations);
    Outcome outcome;
    for (const Failure& fault : checked.faults)
        outcome.told << messageOf(fault);
    if (!checked.faults.isEmpty()) {
        outcome.status = 1;
        return outcome;
    }
    outcome.printed = QStringLiteral("データフォルダ「%1」の全ファイル（個人データファイル%2件）と"
                                     "変更履歴%3件を確認しました。問題は見つかりませんでした。")
                          .arg(QDir::toNativeSeparators(dir.root()))
                          .arg(checked.personalFiles)
                          .arg(checked.historyRecords);
    return outcome;
}

Result<Outcome> setAsideHistory(const DataDir& dir, const StartOptions&)
{
    WriterLock lock(dir);
    if (const Status locked = lock.tryLock(); !locked)
        return locked.error();
    const auto setAside = SetAsideDamagedHistory(dir, QDateTime::currentDateTime());
    if (!setAside)
        return setAside.error();
    return Outcome{setAsideMessage(*setAside), {}};
}

Result<Outcome> makeBackup(const DataDir& dir, const StartOptions& options)
{
    if (const auto problem = programFolderProblem(options.backupFolder, QStringLiteral("バックアップ")))
        return *problem;
    WriterLock lock(dir);
    // A store this PC cannot write cannot change by its hand while it is copied; it takes no lock.
    const bool readOnly = !dataFolderWriteProblem(dir.root()).isEmpty();
    if (const Status locked = readOnly ? Status() : lock.tryLock(); !locked)
        return locked.error();
    const auto made = MakeBackup(dir, options.backupFolder, QDateTime::currentDateTime());
    if (!made)
        return made.error();
    Outcome outcome{QStringLiteral("バックアップ「%1」を作成しました。")
                        .arg(QDir::toNativeSeparators(QDir(options.backupFolder).filePath(made->name))),
                    {}};
    if (made->larger) {
        outcome.told << storeShrankMessage(made->larger->name, made->larger->persons, made->made.persons,
                                           made->larger->history > made->made.history);
        outcome.status = StoreShrankStatus;
    }
    if (made->leftAlone) {
        outcome.told << messageOf(*made->leftAlone);
        outcome.status = 1;
    }
    return outcome;
}

Result<Outcome> verifyBackup(const DataDir&, const StartOptions& options)
{
    const auto checked = VerifyBackups(options.verifiedBackupFolder);
    if (!checked)
        return checked.error();
    Outcome outcome;
    QStringList printed;
    qsizetype whole = 0;
    for (const GenerationCheck& generation : *checked) {
        if (generation.damage) {
            outcome.told << messageOf(*generation.damage);
            continue;
        }
        ++whole;
        printed << QStringLiteral("%1：作成時のまま（%2ファイル）").arg(generation.name).arg(generation.files);
    }
    printed << QStringLiteral("バックアップ%1世代を確認しました。作成時のままの世代：%2、違いのある世代：%3")
                   .arg(checked->size())
                   .arg(whole)
                   .arg(checked->size() - whole);
    outcome.printed = printed.join(QLatin1Char('\n'));
    outcome.status = whole == checked->size() ? 0 : 1;
    return outcome;
}

Result<Outcome> archiveYear(const DataDir& dir, const StartOptions& options)
{
    const auto written = ArchiveYear(dir, *options.archiveYear, options.output, QDate::currentDate());
    if (!written)
        return written.error();
    Outcome outcome{QStringLiteral("%1年度の保存版をフォルダ「%2」に作成しました。\n%3")
                        .arg(*options.archiveYear)
                        .arg(QDir::toNativeSeparators(options.output), written->join('\n')),
                    {}};
    if (const auto doubts = archiveDoubts(dir, *options.archiveYear); doubts && !doubts->isEmpty())
        outcome.told << archiveDoubtsText(*options.archiveYear, *doubts);
    return outcome;
}

const QList<Command>& commands()
{
    static const QList<Command> table = {
        // asked                                                     output store  draws  interruptible  run
        {[](const StartOptions& o) { return o.doseTotalsYear || o.distributionYear; }, true, true, false, false,
         writeTotalsCsv},
        {[](const StartOptions& o) { return o.importMonth.has_value(); }, false, true, false, true, importMonth},
        {[](const StartOptions& o) { return !o.examReportHalf.isEmpty(); }, true, true, false, false,
         writeExaminationReport},
        {[](const StartOptions& o) { return !o.leavingRecord.isEmpty(); }, true, true, false, false,
         writeLeavingRecord},
        {[](const StartOptions& o) { return !o.otherDosesImport.isEmpty(); }, false, true, false, true,
         importOtherDoses},
        {[](const StartOptions& o) { return o.history; }, true, true, false, false, writeHistory},
        {[](const StartOptions& o) { return o.verify; }, false, true, false, false, verifyStore},
        {[](const StartOptions& o) { return o.setAsideHistory; }, false, true, false, false, setAsideHistory},
        {[](const StartOptions& o) { return !o.backupFolder.isEmpty(); }, false, true, false, false, makeBackup},
        {[](const StartOptions& o) { return !o.verifiedBackupFolder.isEmpty(); }, false, false, false, false,
         verifyBackup},
        {[](const StartOptions& o) { return o.archiveYear.has_value(); }, false, true, true, false, archiveYear},
    };
    return table;
}

// The data folder of a run without windows, which never creates it: a folder that is not there (a share
// not mounted) is refused with a message.
Result<DataDir> existingDataDir(const StartOptions& options)
{
    const QString root = options.dataDir.isEmpty() ? QDir::currentPath() : options.dataDir;
    if (const auto problem = programFolderProblem(root, QStringLiteral("データ")))
        return *problem;
    if (!QFileInfo(root).isDir())
        return failure(FailureKind::DataFolderMissing, root);
    return DataDir(root);
}

// A CSV never replaces a file of the store: --output naming one is refused.
std::optional<Failure> outputReplacesStore(const StartOptions& options, const DataDir& dir)
{
    if (options.output.isEmpty() || !isStoreFile(dir, options.output))
        return std::nullopt;
    return failure(FailureKind::OutputIsStoreFile, options.output);
}

Result<Outcome> run(const Command& command, const StartOptions& options)
{
    const auto dir = command.opensStore ? existingDataDir(options) : Result<DataDir>(DataDir(QString()));
    if (!dir)
        return dir.error();
    if (const auto refused = command.writesOutput ? outputReplacesStore(options, *dir) : std::nullopt)
        return *refused;
    return command.run(*dir, options);
}

} // namespace

std::optional<int> runCommand(int& argc, char** argv, const StartOptions& options)
{
    const auto command =
        std::find_if(commands().begin(), commands().end(), [&](const Command& c) { return c.asked(options); });
    if (command == commands().end())
        return std::nullopt;
    if (command->interruptible)
        noteSystemRequests();
    // The archive's pages are drawn without a window, so no display is needed (a scheduled task): on Linux on
    // Qt's offscreen platform; Windows draws without a desktop session.
    std::optional<QApplication> drawing;
    if (command->draws) {
        if (QSysInfo::productType() != QLatin1String("windows"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        drawing.emplace(argc, argv);
        installJapaneseFonts();
    }
    const auto outcome = run(*command, options);
    if (!outcome) {
        tell(messageOf(outcome.error()));
        return outcome.error().kind == FailureKind::Interrupted ? 128 + systemRequest() : 1;
    }
    if (!outcome->printed.isEmpty())
        std::printf("%s\n", qPrintable(outcome->printed));
    for (const QString& note : outcome->told)
        tell(note);
    return outcome->status;
}

} // namespace velmora
