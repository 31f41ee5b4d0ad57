#pragma once

#include "core/model/Result.h"
#include "core/rules/DoseTotals.h"

#include <QByteArray>

// The CSV files the program writes for the operator and for other programs (Excel on a Japanese PC opens
// them by a double-click: UTF-8 with a byte-order mark, CR LF): the totals and the dose distribution.
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

} // namespace velmora
