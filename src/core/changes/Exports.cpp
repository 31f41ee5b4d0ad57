#include "core/changes/Exports.h"

#include "core/files/Csv.h"
#include "core/files/FileWriter.h"
#include "core/model/Calendar.h"
#include "core/rules/DoseDistribution.h"
#include "core/rules/TotalsColumns.h"

#include <cstdio>

namespace velmora {

QByteArray totalsCsv(const QList<TotalsRow>& rows, int fiscalYear)
{
    QList<QStringList> table{{}};
    for (const TotalsColumn column : csvColumns())
        table.first() << csvHeading(column);
    for (const TotalsRow& row : rows) {
        QStringList& cells = table.emplace_back();
        for (const TotalsColumn column : csvColumns())
            cells << cellText(row, column, fiscalYear);
    }
    return csv::excelFile(table);
}

Status ExportDoseTotals(const DataDir& dir, int fiscalYear, MonthKey currentMonth, const QString& outputFile,
                        QStringList& unreadable, QStringList* unknownPersons)
{
    const auto rows = gatherStoreTotals(dir, fiscalYear, currentMonth, unknownPersons);
    if (!rows)
        return rows.error();
    for (const TotalsRow& row : *rows)
        if (!row.totals)
            unreadable << DataDir::shownPersonalFile(row.name);
    return writeCsvOutput(outputFile, totalsCsv(*rows, fiscalYear));
}

Status ExportDoseDistribution(const DataDir& dir, int fiscalYear, MonthKey currentMonth, const QString& outputFile,
                              QStringList& unreadable)
{
    const auto rows = gatherStoreTotals(dir, fiscalYear, currentMonth);
    if (!rows)
        return rows.error();
    const DoseDistribution distribution = doseDistribution(*rows, fiscalYear);
    unreadable = distribution.unreadable;
    return writeCsvOutput(outputFile, distributionCsv(distribution));
}

Status ExportExaminationReport(const DataDir& dir, const HalfYear& period, const QString& outputFile)
{
    const auto report = examinationReport(dir, period);
    if (!report)
        return report.error();
    return writeCsvOutput(outputFile, examinationReportCsv(*report));
}

namespace {

QStringList historyHeadings()
{
    return {QStringLiteral("日時"),    QStringLiteral("PC"),   QStringLiteral("ユーザー"), QStringLiteral("操作"),
            QStringLiteral("氏名"),    QStringLiteral("年月"), QStringLiteral("変更前"),   QStringLiteral("変更後"),
            QStringLiteral("SHA-256"), QStringLiteral("状態")};
}

QStringList historyRow(const ChangeRecord& record)
{
    const Change& change = record.change;
    return {record.time.toString(HistoryTimeForm),
            record.pc,
            record.user,
            changeKindText(change.kind),
            change.person,
            change.month ? yearMonthText(change.month) : QString(),
            change.before,
            change.after,
            QString::fromLatin1(record.hash),
            record.intact ? QString() : QStringLiteral("改変あり")};
}

// Bytes onto standard output, told when they cannot all be written.
Status writeToStandardOutput(QByteArrayView bytes)
{
    if (std::fwrite(bytes.data(), 1, static_cast<size_t>(bytes.size()), stdout) != static_cast<size_t>(bytes.size()) ||
        std::fflush(stdout) != 0)
        return failure(FailureKind::CannotWrite, QStringLiteral("標準出力"));
    return {};
}

} // namespace

QByteArray historyCsv(const QList<ChangeRecord>& records)
{
    QList<QStringList> table{historyHeadings()};
    for (const ChangeRecord& record : records)
        table.append(historyRow(record));
    return csv::excelFile(table);
}

Result<HistoryRead> ExportChangeHistory(const DataDir& dir, const QString& person, const QString& outputFile)
{
    std::optional<ReplacingWriter> file;
    if (!outputFile.isEmpty())
        file.emplace(outputFile, outputFile);
    const auto put = [&](QByteArrayView bytes) { return file ? file->append(bytes) : writeToStandardOutput(bytes); };
    constexpr qsizetype Batch = 1 << 20;
    QByteArray rows = csv::excelFile({historyHeadings()});
    Status written;
    HistoryQuery query;
    query.person = person;
    query.each = [&](const ChangeRecord& record) {
        rows += csv::excelRow(historyRow(record));
        if (rows.size() >= Batch && written)
            written = put(std::exchange(rows, QByteArray()));
    };
    auto read = ReadChangeHistory(dir, query);
    if (!read)
        return read.error();
    if (written)
        written = put(rows);
    if (written && file)
        written = file->finish();
    if (!written)
        return written.error();
    return read;
}

Status writeCsvOutput(const QString& outputFile, const QByteArray& csv)
{
    if (!outputFile.isEmpty())
        return replaceFile(outputFile, outputFile, csv);
    return writeToStandardOutput(csv);
}

} // namespace velmora
