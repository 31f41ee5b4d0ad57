#include "app/CommandLine.h"

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
#include "core/rules/DoseDistribution.h"
#include "core/rules/DoseTotals.h"
#include "core/rules/LeavingRecord.h"
#include "core/rules/MonthPlausibility.h"
#include "core/texts/Messages.h"
#include "gui/archive/YearArchive.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <cstdio>
#include <cstdlib>

namespace velmora {
namespace {

// A line on standard error, as every command tells what went wrong.
void tell(const QString& text)
{
    std::fprintf(stderr, "velmora: %s\n", qPrintable(text));
}

[[noreturn]] void refuse(const QString& reason)
{
    tell(reason);
    std::exit(1);
}

// Why the command line could not be read, in the words of the other messages.
QString parseError(const QCommandLineParser& parser, const QStringList& arguments)
{
    if (!parser.unknownOptionNames().isEmpty())
        return QStringLiteral("オプション「%1」はありません。使えるオプションは velmora --help で表示されます。")
            .arg(parser.unknownOptionNames().first());
    // Otherwise an option that takes a value stands last, without it.
    return QStringLiteral("オプション「%1」の後に値を指定して下さい。使い方は velmora --help で表示されます。")
        .arg(arguments.constLast());
}

// A month written YYYYMM, such as 202504.
std::optional<MonthKey> monthOf(const QString& text)
{
    bool whole = false;
    const MonthKey key = text.toLongLong(&whole);
    if (!whole || text.size() != 6 || key % 100 < 1 || key % 100 > 12)
        return std::nullopt;
    return key;
}

// The data folder of a run without windows, which never creates it: a folder that is not there (a share
// not mounted) is refused with a message.
std::optional<DataDir> existingDataDir(const StartOptions& options)
{
    const QString root = options.dataDir.isEmpty() ? QDir::currentPath() : options.dataDir;
    if (QFileInfo(root).isDir())
        return DataDir(root);
    tell(QStringLiteral("データフォルダ「%1」がありません。").arg(root));
    return std::nullopt;
}

// A CSV never replaces a file of the store: --output naming one is refused, with a message.
bool outputReplacesStore(const StartOptions& options, const DataDir& dir)
{
    if (options.output.isEmpty() || !isStoreFile(dir, options.output))
        return false;
    tell(QStringLiteral("「%1」はデータフォルダの記録のファイルのため、出力先にできません。"
                        "別のファイル名を --output に指定して下さい。")
             .arg(options.output));
    return true;
}

} // namespace

StartOptions readCommandLine(int& argc, char** argv)
{
    // Read without an application object, which costs a start-up of every run; --help and --version
    // make one to print with.
    QStringList arguments;
    for (int at = 0; at < argc; ++at)
        arguments << QString::fromLocal8Bit(argv[at]);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("個人被曝線量管理: personal radiation dose records"));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption dataDir(QStringLiteral("data-dir"),
                                     QStringLiteral("Keeps the data in <folder>; one that does not exist is made "
                                                    "only after asking (never by a command without windows)."),
                                     QStringLiteral("folder"));
    const QCommandLineOption chosen(QStringLiteral("chosen-data-dir"),
                                    QStringLiteral("Keeps the data in the folder chosen before; asks for one the "
                                                   "first time. The menu entry starts Velmora so."));
    const QCommandLineOption doseTotals(QStringLiteral("dose-totals"),
                                        QStringLiteral("Writes the dose totals and the limit check of every "
                                                       "registrant for <fiscal-year> as CSV, without windows."),
                                        QStringLiteral("fiscal-year"));
    const QCommandLineOption distribution(
        QStringLiteral("dose-distribution"),
        QStringLiteral("Writes how many workers fall into each dose band of <fiscal-year> as CSV, without windows."),
        QStringLiteral("fiscal-year"));
    const QCommandLineOption output(
        QStringLiteral("output"),
        QStringLiteral("Writes the CSV of --dose-totals, --dose-distribution or --leaving-record into "
                       "<file> instead of standard output."),
        QStringLiteral("file"));
    const QCommandLineOption import(QStringLiteral("import-month"),
                                    QStringLiteral("Reads the doses of <month> (YYYYMM) for every registrant from "
                                                   "the CSV file given after it and saves the month, without "
                                                   "windows. Refused, with nothing changed, on any doubt."),
                                    QStringLiteral("month"));
    const QCommandLineOption leaving(
        QStringLiteral("leaving-record"),
        QStringLiteral("Writes the doses of <name> in the current five-year block as the CSV of doses received "
                       "elsewhere, for the next employer (--output as above), without windows."),
        QStringLiteral("name"));
    const QCommandLineOption otherDoses(
        QStringLiteral("import-other-doses"),
        QStringLiteral("Adds the doses received elsewhere of a CSV <file> (such as a leaving record), without "
                       "windows. Refused, with nothing changed, on any doubt."),
        QStringLiteral("file"));
    const QCommandLineOption replace(
        QStringLiteral("replace"),
        QStringLiteral("With --import-month: persons whose file already holds the month with other values (a run "
                       "stopped midway) get the file's values instead of stopping the import."));
    const QCommandLineOption history(
        QStringLiteral("history"),
        QStringLiteral("Writes the change history (who changed what, when, the values before and after) as CSV "
                       "(--output as above), without windows."));
    const QCommandLineOption person(QStringLiteral("person"),
                                    QStringLiteral("With --history: only the changes of <name>."),
                                    QStringLiteral("name"));
    const QCommandLineOption verify(
        QStringLiteral("verify"),
        QStringLiteral("Reads every file of the data folder and checks that no record of the change history was "
                       "altered; names the first fault and ends with status 1, without windows."));
    const QCommandLineOption setAside(
        QStringLiteral("set-aside-history"),
        QStringLiteral("Keeps a change history that has lines that do not read under a new name in the data folder "
                       "and begins the history anew with a record naming it, chained on from it, so that changes "
                       "can be made again, without windows."));
    const QCommandLineOption backup(
        QStringLiteral("backup"),
        QStringLiteral("Copies the data folder, when it reads whole, into a new dated generation in the existing "
                       "<folder> with a manifest of every file's SHA-256, and removes the generations no longer kept "
                       "(the last 10, the last of each month for a year, the last of each year, the last of the most "
                       "persons and of the longest history), without windows. Status 3 when the store holds less "
                       "than a generation before."),
        QStringLiteral("folder"));
    const QCommandLineOption checkBackup(
        QStringLiteral("verify-backup"),
        QStringLiteral("Checks every generation in <folder> against its manifest and lists each with its result; "
                       "status 1 when any differs, without windows."),
        QStringLiteral("folder"));
    const QCommandLineOption archive(
        QStringLiteral("archive-year"),
        QStringLiteral("Writes the closed <fiscal-year>'s reports as PDF/A-1b files, its CSVs and a manifest of "
                       "their SHA-256 into the empty folder of --output, without windows."),
        QStringLiteral("fiscal-year"));
    parser.addOptions({dataDir, chosen, doseTotals, distribution, output, import, replace, leaving, otherDoses, history,
                       person, verify, setAside, backup, checkBackup, archive});
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("The CSV file of --import-month."),
                                 QStringLiteral("[file]"));
    const bool parsed = parser.parse(arguments);
    if (!parsed || parser.isSet(help) || parser.isSet(version) || parser.isSet(doseTotals) ||
        parser.isSet(distribution) || parser.isSet(import) || parser.isSet(leaving) || parser.isSet(otherDoses) ||
        parser.isSet(history) || parser.isSet(verify) || parser.isSet(setAside) || parser.isSet(backup) ||
        parser.isSet(checkBackup) || parser.isSet(archive))
        prepareCommandOutput();
    if (!parsed)
        refuse(parseError(parser, arguments));
    // Printed on standard output on every platform (Qt would show a message box on Windows).
    if (parser.isSet(help) || parser.isSet(version)) {
        const QCoreApplication printing(argc, argv);
        const QString text = parser.isSet(help) ? parser.helpText()
                                                : QCoreApplication::applicationName() + QLatin1Char(' ') +
                                                      QCoreApplication::applicationVersion() + QLatin1Char('\n');
        std::fputs(text.toLocal8Bit().constData(), stdout);
        std::exit(0);
    }
    StartOptions options;
    options.dataDir = parser.value(dataDir);
    options.chosenDataDir = parser.isSet(chosen);
    options.output = parser.value(output);
    options.importFile = parser.positionalArguments().value(0);
    options.replaceHeldValues = parser.isSet(replace);
    options.leavingRecord = parser.value(leaving);
    options.otherDosesImport = parser.value(otherDoses);
    options.history = parser.isSet(history);
    options.historyPerson = parser.value(person);
    options.verify = parser.isSet(verify);
    options.setAsideHistory = parser.isSet(setAside);
    options.backupFolder = parser.value(backup);
    options.verifiedBackupFolder = parser.value(checkBackup);
    if (parser.isSet(person) && !options.history)
        refuse(QStringLiteral("--person は --history と一緒にだけ指定できます。"));
    if (parser.isSet(doseTotals)) {
        options.doseTotalsYear = totalsYearOf(parser.value(doseTotals));
        if (!options.doseTotalsYear)
            refuse(QStringLiteral("--dose-totals には年度を1～9999の数で指定して下さい（例：2025）。"));
    }
    if (parser.isSet(distribution)) {
        options.distributionYear = totalsYearOf(parser.value(distribution));
        if (!options.distributionYear)
            refuse(QStringLiteral("--dose-distribution には年度を1～9999の数で指定して下さい（例：2025）。"));
    }
    if (parser.isSet(archive)) {
        options.archiveYear = totalsYearOf(parser.value(archive));
        if (!options.archiveYear || options.output.isEmpty())
            refuse(QStringLiteral("--archive-year には年度と、保存先の空のフォルダを --output で指定して下さい"
                                  "（例：velmora --archive-year 2025 --output 保存版2025）。"));
    }
    if (parser.isSet(import)) {
        options.importMonth = monthOf(parser.value(import));
        if (!options.importMonth)
            refuse(QStringLiteral("--import-month には年月を6桁（YYYYMM）で指定して下さい（例：202504）。"));
        if (parser.positionalArguments().size() != 1)
            refuse(QStringLiteral("--import-month には取り込むCSVファイルを1つ指定して下さい"
                                  "（例：velmora --import-month 202504 ファイル名）。"));
    } else if (!parser.positionalArguments().isEmpty()) {
        refuse(QStringLiteral("ファイル名は --import-month の後にだけ指定できます。"));
    } else if (options.replaceHeldValues) {
        refuse(QStringLiteral("--replace は --import-month と一緒にだけ指定できます。"));
    }
    return options;
}

int writeTotalsCsv(const StartOptions& options)
{
    const auto dir = existingDataDir(options);
    if (!dir || outputReplacesStore(options, *dir))
        return 1;
    QStringList unreadable;
    QStringList unknownPersons;
    const MonthKey thisMonth = monthOf(QDate::currentDate());
    const Status written =
        options.distributionYear
            ? ExportDoseDistribution(*dir, *options.distributionYear, thisMonth, options.output, unreadable)
            : ExportDoseTotals(*dir, *options.doseTotalsYear, thisMonth, options.output, unreadable, &unknownPersons);
    if (!written) {
        tell(messageOf(written.error()));
        return 1;
    }
    if (!unknownPersons.isEmpty())
        tell(unknownPersonsMessage(unknownPersons));
    if (unreadable.isEmpty())
        return 0;
    tell(unreadableFilesMessage(unreadable));
    return UnreadableFilesStatus;
}

int writeLeavingRecord(const StartOptions& options)
{
    const auto dir = existingDataDir(options);
    if (!dir || outputReplacesStore(options, *dir))
        return 1;
    const auto record = leavingRecordOf(*dir, options.leavingRecord);
    const Status written = record ? writeCsvOutput(options.output, leavingRecordCsv(*record)) : Status(record.error());
    if (!written) {
        tell(messageOf(written.error()));
        return 1;
    }
    return 0;
}

int importOtherDoses(const StartOptions& options)
{
    const auto dir = existingDataDir(options);
    if (!dir)
        return 1;
    noteSystemRequests();
    const auto imported = ImportOtherDoses(*dir, options.otherDosesImport, [] { return systemRequest() == 0; });
    if (!imported) {
        tell(messageOf(imported.error()));
        return imported.error().kind == FailureKind::Interrupted ? 128 + systemRequest() : 1;
    }
    std::printf("%s\n", qPrintable(QStringLiteral("「%1」から他施設での線量を%2件取り込みました。")
                                       .arg(imported->file)
                                       .arg(imported->entries.size())));
    if (!imported->storedAlready.isEmpty())
        tell(QStringLiteral("同じ内容が登録済みの行（取り込みません）：%1行\n%2")
                 .arg(imported->storedAlready.size())
                 .arg(listForMessage(imported->storedAlready, QStringLiteral("行"))));
    return 0;
}

int writeHistory(const StartOptions& options)
{
    const auto dir = existingDataDir(options);
    if (!dir || outputReplacesStore(options, *dir))
        return 1;
    const auto read = ExportChangeHistory(*dir, options.historyPerson, options.output);
    if (!read) {
        tell(messageOf(read.error()));
        return 1;
    }
    // Every record that reads is written; what does not is named.
    for (const DamagedStretch& stretch : read->setAsideDamage + read->damage)
        tell(messageOf(damagedHistoryAt(stretch)));
    if (read->broken)
        tell(messageOf(*read->broken));
    return read->broken || !read->damage.isEmpty() ? BrokenHistoryStatus : 0;
}

int verifyStore(const StartOptions& options)
{
    const auto dir = existingDataDir(options);
    if (!dir)
        return 1;
    // The history is held against the copies in the backup folder chosen in the main menu.
    const QSettings settings(QStringLiteral("Velmora"), QStringLiteral("Velmora"));
    QStringList generations;
    if (const QString backups = backupFolderOf(settings, *dir); !backups.isEmpty())
        for (const Generation& generation : generationsOf(backups))
            generations << QDir(backups).filePath(generation.name);
    const StoreCheck checked = VerifyStore(*dir, generations);
    for (const Failure& fault : checked.faults)
        tell(messageOf(fault));
    if (!checked.faults.isEmpty())
        return 1;
    std::printf("%s\n", qPrintable(QStringLiteral("データフォルダ「%1」の全ファイル（個人データファイル%2件）と"
                                                  "変更履歴%3件を確認しました。問題は見つかりませんでした。")
                                       .arg(QDir::toNativeSeparators(dir->root()))
                                       .arg(checked.personalFiles)
                                       .arg(checked.historyRecords)));
    return 0;
}

int setAsideHistory(const StartOptions& options)
{
    const auto dir = existingDataDir(options);
    if (!dir)
        return 1;
    WriterLock lock(*dir);
    const Status locked = lock.tryLock();
    const auto setAside =
        locked ? SetAsideDamagedHistory(*dir, QDateTime::currentDateTime()) : Result<QString>(locked.error());
    if (!setAside) {
        tell(messageOf(setAside.error()));
        return 1;
    }
    std::printf("%s\n", qPrintable(setAsideMessage(*setAside)));
    return 0;
}

int makeBackup(const StartOptions& options)
{
    const auto dir = existingDataDir(options);
    if (!dir)
        return 1;
    WriterLock lock(*dir);
    // A store this PC cannot write cannot change by its hand while it is copied; it takes no lock.
    const bool readOnly = !dataFolderWriteProblem(dir->root()).isEmpty();
    const Status locked = readOnly ? Status() : lock.tryLock();
    const auto made = locked ? MakeBackup(*dir, options.backupFolder, QDateTime::currentDateTime())
                             : Result<BackupMade>(locked.error());
    if (!made) {
        tell(messageOf(made.error()));
        return 1;
    }
    std::printf("%s\n",
                qPrintable(QStringLiteral("バックアップ「%1」を作成しました。")
                               .arg(QDir::toNativeSeparators(QDir(options.backupFolder).filePath(made->name)))));
    if (!made->larger)
        return 0;
    tell(storeShrankMessage(made->larger->name, made->larger->persons, made->made.persons,
                            made->larger->history > made->made.history));
    return StoreShrankStatus;
}

int verifyBackup(const StartOptions& options)
{
    const auto checked = VerifyBackups(options.verifiedBackupFolder);
    if (!checked) {
        tell(messageOf(checked.error()));
        return 1;
    }
    qsizetype whole = 0;
    for (const GenerationCheck& generation : *checked) {
        if (generation.damage) {
            tell(messageOf(*generation.damage));
            continue;
        }
        ++whole;
        std::printf(
            "%s\n",
            qPrintable(QStringLiteral("%1：作成時のまま（%2ファイル）").arg(generation.name).arg(generation.files)));
    }
    std::printf("%s\n", qPrintable(QStringLiteral(
                                       "バックアップ%1世代を確認しました。作成時のままの世代：%2、違いのある世代：%3")
                                       .arg(checked->size())
                                       .arg(whole)
                                       .arg(checked->size() - whole)));
    return whole == checked->size() ? 0 : 1;
}

int archiveYear(const StartOptions& options)
{
    const auto dir = existingDataDir(options);
    if (!dir)
        return 1;
    const auto written = ArchiveYear(*dir, *options.archiveYear, options.output, QDate::currentDate());
    if (!written) {
        tell(messageOf(written.error()));
        return 1;
    }
    std::printf("%s\n", qPrintable(QStringLiteral("%1年度の保存版をフォルダ「%2」に作成しました。\n%3")
                                       .arg(*options.archiveYear)
                                       .arg(QDir::toNativeSeparators(options.output), written->join('\n'))));
    return 0;
}

int importMonth(const StartOptions& options)
{
    const auto dir = existingDataDir(options);
    if (!dir)
        return 1;
    const MonthKey key = *options.importMonth;
    noteSystemRequests();
    const auto saved =
        SaveMonthFromCsv(*dir, key, options.importFile, options.replaceHeldValues, [] { return systemRequest() == 0; });
    if (!saved) {
        tell(messageOf(saved.error()));
        return saved.error().kind == FailureKind::Interrupted ? 128 + systemRequest() : 1;
    }
    std::printf("%s\n", qPrintable(QStringLiteral("%1年%2月の線量を登録者%3名に保存しました。")
                                       .arg(key / 100)
                                       .arg(key % 100)
                                       .arg(saved->registrants)));
    if (!saved->replaced.isEmpty())
        std::printf("%s\n", qPrintable(QStringLiteral("次の人の保存済みの値をCSVの値で置き換えました。\n%1")
                                           .arg(listForMessage(saved->replaced, QStringLiteral("名")))));
    if (!saved->limitFindings.isEmpty())
        std::printf("%s\n", qPrintable(monthLimitReport(saved->limitFindings)));
    return 0;
}

} // namespace velmora
