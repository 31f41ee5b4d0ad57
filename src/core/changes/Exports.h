#pragma once

#include "core/files/ChangeHistory.h"
#include "core/model/Result.h"
#include "core/rules/ExaminationRules.h"
#include "core/rules/StoreTotals.h"

#include <QByteArray>

// The CSV files the program writes for the operator and for other programs (Excel on a Japanese PC opens
// them by a double-click: UTF-8 with a byte-order mark, CR LF): the totals, the dose distribution and the
// change history.
namespace velmora {

// The totals of every person, one row per person in the order of gatherDoseTotals.
QByteArray totalsCsv(const QList<TotalsRow>& rows, int fiscalYear);

// Writes a CSV into `outputFile` (replaced whole) or onto standard output when it is empty.
Status writeCsvOutput(const QString& outputFile, const QByteArray& csv);

// The totals of the data folder for a fiscal year (as of `currentMonth`), into `outputFile` (replaced whole) or onto
// standard output when it is empty. Fails when a list cannot be read or the CSV cannot be written; files that cannot be
// read are rows with their reason, and are named in `unreadable`; names with doses elsewhere that nobody
// has in `unknownPersons` (see gatherStoreTotals).
Status ExportDoseTotals(const DataDir& dir, int fiscalYear, MonthKey currentMonth, const QString& outputFile,
                        QStringList& unreadable, QStringList* unknownPersons = nullptr);

// The distribution of the data folder for a fiscal year, into `outputFile` (replaced whole) or onto
// standard output when it is empty; files that cannot be read are counted apart and named in `unreadable`.
Status ExportDoseDistribution(const DataDir& dir, int fiscalYear, MonthKey currentMonth, const QString& outputFile,
                              QStringList& unreadable);

// The figures of the labour office's report on the periodic health examinations of a half year, into
// `outputFile` or onto standard output.
Status ExportExaminationReport(const DataDir& dir, const HalfYear& period, const QString& outputFile);

// Records of the change history: 日時,PC,ユーザー,操作,氏名,年月,変更前,変更後,SHA-256,状態, where 状態 is
// 改変あり for a record whose hash does not hold.
QByteArray historyCsv(const QList<ChangeRecord>& records);

// The whole change history in that form, only the records of `person` when one is given, into `outputFile`
// (replaced when every row is written) or onto standard output when it is empty: written as it is read, so
// that a history of any length takes bounded memory. What was read of it (its damage, a broken chain).
Result<HistoryRead> ExportChangeHistory(const DataDir& dir, const QString& person, const QString& outputFile);

} // namespace velmora
