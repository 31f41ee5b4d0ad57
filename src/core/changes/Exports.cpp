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

QByteArray historyCsv(const QList<ChangeRecord>& records, const QString& person)
{
    QList<QStringList> table{{QStringLiteral("日時"), QStringLiteral("PC"), QStringLiteral("ユーザー"),
                              QStringLiteral("操作"), QStringLiteral("氏名"), QStringLiteral("年月"),
                              QStringLiteral("変更前"), QStringLiteral("変更後"), QStringLiteral("SHA-256"),
                              QStringLiteral("状態")}};
    for (const ChangeRecord& record : records) {
        const Change& change = record.change;
        if (!person.isEmpty() && change.person != person)
            continue;
        table.append({record.time.toString(HistoryTimeForm), record.pc, record.user, changeKindText(change.kind),
                      change.person, change.month ? yearMonthText(change.month) : QString(), change.before,
                      change.after, QString::fromLatin1(record.hash),
                      record.intact ? QString() : QStringLiteral("改変あり")});
    }
    return csv::excelFile(table);
}

Status writeCsvOutput(const QString& outputFile, const QByteArray& csv)
{
    if (!outputFile.isEmpty())
        return replaceFile(outputFile, outputFile, csv);
    if (std::fwrite(csv.constData(), 1, static_cast<size_t>(csv.size()), stdout) != static_cast<size_t>(csv.size()) ||
        std::fflush(stdout) != 0)
        return failure(FailureKind::CannotWrite, QStringLiteral("標準出力"));
    return {};
}

} // namespace velmora
