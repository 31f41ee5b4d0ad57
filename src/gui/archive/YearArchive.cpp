#include "gui/archive/YearArchive.h"

#include "core/changes/Backups.h"
#include "core/changes/Exports.h"
#include "core/files/ChangeHistory.h"
#include "core/files/DoseAdditions.h"
#include "core/files/FacilitySettings.h"
#include "core/files/FileWriter.h"
#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"
#include "core/files/Removals.h"
#include "core/files/SystemFiles.h"
#include "core/files/TextFile.h"
#include "core/model/Calendar.h"
#include "core/rules/DoseDistribution.h"
#include "core/rules/ReportData.h"
#include "core/texts/Messages.h"
#include "gui/platform/ArchivePrinter.h"
#include "gui/reports/DistributionReport.h"
#include "gui/reports/MonthlyList.h"
#include "gui/reports/PersonalRecord.h"
#include "gui/reports/RegistrantTable.h"
#include "gui/reports/TotalsReport.h"

#include <QDir>
#include <QFileInfo>

namespace velmora {
namespace {

bool inYear(MonthKey key, int fiscalYear)
{
    return isRecordMonth(key) && fiscalYearOf(key) == fiscalYear;
}

// The files of everyone with a dose counted in the year, here or elsewhere, registrants first, in list
// order, each holding the months up to the year's end and none after, so that the page and its running
// totals are those of the year whenever the archive is made.
Result<QList<PersonalFile>> personsOfYear(const DataDir& dir, int fiscalYear)
{
    const auto names = ReadAllPersonNames(dir);
    if (!names)
        return names.error();
    const auto additions = ReadDoseAdditions(dir);
    if (!additions)
        return additions.error();
    const MonthKey yearEnd = FiscalYear(fiscalYear).lastMonth();
    QList<PersonalFile> persons;
    for (const QString& name : *names) {
        auto file = ReadPersonalFile(dir, name);
        if (!file)
            return file.error();
        file->records.removeIf([&](const MonthlyRecord& record) { return record.key > yearEnd; });
        const auto elsewhere = additions->value(name).otherDoses;
        if (std::any_of(file->records.begin(), file->records.end(),
                        [&](const MonthlyRecord& record) { return inYear(record.key, fiscalYear); }) ||
            std::any_of(elsewhere.begin(), elsewhere.end(),
                        [&](const OtherFacilityDose& dose) { return inYear(dose.to, fiscalYear); }))
            persons.append(*file);
    }
    return persons;
}

Status writeFile(const QString& output, const QString& name, const QByteArray& bytes, QStringList& written)
{
    const Status saved = createFile(QDir(output).filePath(name), name, bytes);
    if (isWritten(saved))
        written << name;
    return isWritten(saved) ? Status() : saved;
}

// Every PDF whole (ending as a PDF ends) and on the disk: a full disk or a failing device found before
// the archive takes its name.
Status checkAndFlush(const QString& folder, const QStringList& files)
{
    for (const QString& file : files) {
        const QString path = QDir(folder).filePath(file);
        const auto bytes = readFileBytes(path, file, qint64(1) << 30);
        if (!bytes)
            return bytes.error();
        if (!bytes->trimmed().endsWith("%%EOF") || !system::flushFile(path))
            return failureWithText(
                FailureKind::ArchiveNotWritten,
                QStringLiteral("ファイル「%1」を最後まで書き込めませんでした（ディスクの空きを確認して下さい）")
                    .arg(file));
    }
    return {};
}

// Draws every report of the year into `folder` and writes the CSVs and the manifest beside them.
Result<QStringList> writeArchive(const DataDir& dir, int fiscalYear, const QString& folder, const QDate& today)
{
    const auto persons = personsOfYear(dir, fiscalYear);
    if (!persons)
        return persons.error();
    const MonthKey yearEnd = FiscalYear(fiscalYear).lastMonth();
    const auto rows = gatherStoreTotals(dir, fiscalYear, yearEnd);
    if (!rows)
        return rows.error();
    // The history read a record at a time, the year's changes kept: thirty years in bounded memory.
    QList<ChangeRecord> yearChanges;
    HistoryQuery query;
    query.each = [&](const ChangeRecord& record) {
        if (inYear(record.change.month, fiscalYear))
            yearChanges << record;
    };
    const auto history = ReadChangeHistory(dir, query);
    if (!history)
        return history.error();
    if (!history->damage.isEmpty())
        return damagedHistoryAt(history->damage.first());
    // The archive pins the history's head: a chain that does not hold is no history to stand behind.
    if (history->broken)
        return *history->broken;
    // The facility stands on every page: a file that does not read is mended first, one never written set.
    const auto facility = ReadFacility(dir);
    if (!facility)
        return facility.error();
    if (facility->name.isEmpty())
        return failure(FailureKind::FacilityUnnamed);
    const QString facilityText = facilityLine(*facility);
    QStringList names;
    for (const PersonalFile& person : *persons)
        names << person.header.name;

    const QString year = QString::number(fiscalYear);
    ArchivePrinter printer(folder, QStringLiteral("%1年度_").arg(fiscalYear));
    for (const PersonalFile& person : *persons)
        PrintPersonalRecord(printer, person, year, facilityText);
    QStringList unreadable;
    const auto summary = gatherRegistrantSummary(dir, names, unreadable);
    qsizetype nextRow = 1; // NextRow counts the list from 1
    PrintRegistrantTable(printer, {names, summary}, nextRow, facilityText);
    for (QDate month(fiscalYear, 4, 1); month < QDate(fiscalYear + 1, 4, 1); month = month.addMonths(1)) {
        const MonthKey key = monthOf(month);
        const auto monthRows = gatherMonthRows(dir, names, key, unreadable);
        nextRow = 1;
        PrintMonthlyList(printer, {QString::number(key / 100), QString::number(key % 100), names, monthRows}, nextRow,
                         facilityText);
    }
    const QString headText = historyHeadText(history->head.records, history->head.lastHash);
    PrintDoseTotals(printer, {fiscalYear, today, false, *rows, facilityText, headText});
    const DoseDistribution distribution = doseDistribution(*rows, fiscalYear);
    drawDoseDistribution(printer.beginDocument(QStringLiteral("線量分布")), ChartPaperStyle, distribution, today,
                         facilityText);
    drawDoseGroups(printer.beginDocument(QStringLiteral("線量分布")), ChartPaperStyle, distribution, today,
                   facilityText);
    if (const PrintReport printed = printer.takeReport(); printed.failed)
        return failureWithText(FailureKind::ArchiveNotWritten, printed.message);
    QStringList written = printer.files();
    if (const Status whole = checkAndFlush(folder, written); !whole)
        return whole.error();

    for (const auto& [name, bytes] :
         {std::pair{QStringLiteral("%1年度_線量集計.csv").arg(fiscalYear), totalsCsv(*rows, fiscalYear)},
          std::pair{QStringLiteral("%1年度_線量分布.csv").arg(fiscalYear), distributionCsv(distribution)},
          std::pair{QStringLiteral("%1年度_変更履歴.csv").arg(fiscalYear), historyCsv(yearChanges)}})
        if (const Status saved = writeFile(folder, name, bytes, written); !saved)
            return saved.error();
    // The manifest ends with the history's head, so that the archive pins the history as it stood.
    if (const Status listed = WriteManifest(folder, written, {headText}); !listed)
        return listed.error();
    return written << ManifestFile;
}

} // namespace

Result<QStringList> archiveDoubts(const DataDir& dir, int fiscalYear)
{
    const auto rows = gatherStoreTotals(dir, fiscalYear, FiscalYear(fiscalYear).lastMonth());
    if (!rows)
        return rows.error();
    QStringList doubts;
    for (const TotalsRow& row : *rows)
        if (row.verdict() == Verdict::Doubtful)
            doubts << row.name + QStringLiteral("：") + row.totals->reasons.join(QStringLiteral("／"));
    return doubts;
}

QString archiveDoubtsText(int fiscalYear, const QStringList& doubts)
{
    if (doubts.isEmpty())
        return {};
    return QStringLiteral("%1年度には要確認の人が%2名います。保存版にはこのまま記録されます。\n%3")
        .arg(fiscalYear)
        .arg(doubts.size())
        .arg(listForMessage(doubts, QStringLiteral("名"), 20));
}

Result<QStringList> ArchiveYear(const DataDir& dir, int fiscalYear, const QString& output, const QDate& today)
{
    if (today <= QDate(fiscalYear + 1, 3, 31))
        return failureWithText(FailureKind::YearNotClosed, QString::number(fiscalYear));
    const QString target = QFileInfo(output).absoluteFilePath();
    const system::FileKind targetKind = system::kindOf(target);
    if (targetKind == system::FileKind::Regular || targetKind == system::FileKind::Other ||
        (targetKind == system::FileKind::Folder && !QDir(target).isEmpty()))
        return failureWithText(
            FailureKind::ArchiveNotWritten,
            QStringLiteral("フォルダ「%1」にはほかのファイルがあります。空のフォルダを指定して下さい")
                .arg(QDir::toNativeSeparators(output)));
    // Written apart and given its name only when whole: a kill or a full disk leaves no file under the
    // archive's name, and what it left is cleared by the next run.
    const QString unfinished = target + QStringLiteral(".part");
    if (const Status cleared = removeOwnFolder(unfinished); !cleared)
        return cleared.error();
    if (!QDir().mkpath(QFileInfo(unfinished).path()))
        return failure(FailureKind::CannotCreateFolder, QDir::toNativeSeparators(QFileInfo(unfinished).path()));
    if (const Status made = makeMarkedFolder(unfinished); !made)
        return made.error();
    auto written = writeArchive(dir, fiscalYear, unfinished, today);
    if (written) {
        if (const Status unmarked = unmarkFolder(unfinished); !unmarked)
            written = unmarked.error();
    }
    if (written && !system::flushFolder(unfinished))
        written = failure(FailureKind::CannotWrite, QDir::toNativeSeparators(unfinished));
    if (written && QFileInfo::exists(target)) {
        if (const Status cleared = removeOwnFolder(target); !cleared) // the empty folder chosen for it
            written = cleared.error();
    }
    if (written && system::renameFolder(unfinished, target) == system::RenameOutcome::Failed)
        written = failure(FailureKind::CannotWrite, QDir::toNativeSeparators(target));
    if (!written)
        (void)removeOwnFolder(unfinished);
    return written;
}

} // namespace velmora
