#include "gui/archive/YearArchive.h"

#include "core/changes/Backups.h"
#include "core/changes/Exports.h"
#include "core/files/ChangeHistory.h"
#include "core/files/FacilitySettings.h"
#include "core/files/FileWriter.h"
#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"
#include "core/model/Calendar.h"
#include "core/rules/DoseDistribution.h"
#include "core/rules/ReportData.h"
#include "gui/platform/ArchivePrinter.h"
#include "gui/reports/DistributionReport.h"
#include "gui/reports/MonthlyList.h"
#include "gui/reports/PersonalRecord.h"
#include "gui/reports/TotalsReport.h"
#include "gui/search/RegistrantTable.h"

#include <QDir>

namespace velmora {
namespace {

bool inYear(MonthKey key, int fiscalYear)
{
    return isRecordMonth(key) && fiscalYearOf(key) == fiscalYear;
}

// The files of everyone with a record in the year, registrants first, in list order.
Result<QList<PersonalFile>> personsOfYear(const DataDir& dir, int fiscalYear)
{
    const auto names = ReadAllPersonNames(dir);
    if (!names)
        return names.error();
    QList<PersonalFile> persons;
    for (const QString& name : *names) {
        const auto file = ReadPersonalFile(dir, name);
        if (!file)
            return file.error();
        if (std::any_of(file->records.begin(), file->records.end(),
                        [&](const MonthlyRecord& record) { return inYear(record.key, fiscalYear); }))
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

} // namespace

Result<QStringList> ArchiveYear(const DataDir& dir, int fiscalYear, const QString& output, const QDate& today)
{
    if (today <= QDate(fiscalYear + 1, 3, 31))
        return failureWithText(FailureKind::YearNotClosed, QString::number(fiscalYear));
    if (!QDir().mkpath(output))
        return failure(FailureKind::CannotCreateFolder, QDir::toNativeSeparators(output));
    if (!QDir(output).isEmpty())
        return failureWithText(
            FailureKind::ArchiveNotWritten,
            QStringLiteral("フォルダ「%1」にはほかのファイルがあります。空のフォルダを指定して下さい")
                .arg(QDir::toNativeSeparators(output)));
    const auto persons = personsOfYear(dir, fiscalYear);
    if (!persons)
        return persons.error();
    const auto rows = gatherStoreTotals(dir, fiscalYear, monthOf(today));
    if (!rows)
        return rows.error();
    const auto history = ReadChangeHistory(dir);
    if (!history)
        return history.error();
    if (!history->damage.isEmpty())
        return damagedHistoryAt(history->damage.first());
    const auto facility = ReadFacility(dir);
    const QString facilityText = facility ? facilityLine(*facility) : QString();
    QStringList names;
    for (const PersonalFile& person : *persons)
        names << person.header.name;

    const QString year = QString::number(fiscalYear);
    ArchivePrinter printer(output, QStringLiteral("%1年度_").arg(fiscalYear));
    for (const PersonalFile& person : *persons)
        PrintPersonalRecord(printer, person, year);
    QStringList unreadable;
    const auto summary = gatherRegistrantSummary(dir, names, unreadable);
    qsizetype nextRow = 1; // NextRow counts the list from 1
    PrintRegistrantTable(printer, {names, summary}, nextRow);
    for (QDate month(fiscalYear, 4, 1); month < QDate(fiscalYear + 1, 4, 1); month = month.addMonths(1)) {
        const MonthKey key = monthOf(month);
        const auto monthRows = gatherMonthRows(dir, names, key, unreadable);
        nextRow = 1;
        PrintMonthlyList(printer, {QString::number(key / 100), QString::number(key % 100), names, monthRows}, nextRow);
    }
    PrintDoseTotals(printer, {fiscalYear, today, false, *rows, facilityText});
    const DoseDistribution distribution = doseDistribution(*rows, fiscalYear);
    drawDoseDistribution(printer.beginDocument(QStringLiteral("線量分布")), ChartPaperStyle, distribution, today,
                         facilityText);
    drawDoseGroups(printer.beginDocument(QStringLiteral("線量分布")), ChartPaperStyle, distribution, today,
                   facilityText);
    if (const PrintReport printed = printer.takeReport(); printed.failed)
        return failureWithText(FailureKind::ArchiveNotWritten, printed.message);

    QStringList written = printer.files();
    QList<ChangeRecord> yearChanges;
    for (const ChangeRecord& record : history->records)
        if (inYear(record.change.month, fiscalYear))
            yearChanges << record;
    for (const auto& [name, bytes] :
         {std::pair{QStringLiteral("%1年度_線量集計.csv").arg(fiscalYear), totalsCsv(*rows, fiscalYear)},
          std::pair{QStringLiteral("%1年度_線量分布.csv").arg(fiscalYear), distributionCsv(distribution)},
          std::pair{QStringLiteral("%1年度_変更履歴.csv").arg(fiscalYear), historyCsv(yearChanges)}})
        if (const Status saved = writeFile(output, name, bytes, written); !saved)
            return saved.error();
    if (const Status listed = WriteManifest(output, written); !listed)
        return listed.error();
    return written << ManifestFile;
}

} // namespace velmora
