#pragma once

#include "DoseTotals.h"
#include "store/Result.h"

#include <QByteArray>

// The totals of every person as a CSV file that Excel on a Japanese PC opens by a double-click:
// UTF-8 with a byte-order mark, CR LF, one row per person in the order of gatherDoseTotals.
namespace velmora {

QByteArray totalsCsv(const QList<TotalsRow>& rows, int fiscalYear);

// Writes a CSV into `outputFile` (replaced whole) or onto standard output when it is empty.
Status writeCsvOutput(const QString& outputFile, const QByteArray& csv);

// The CSV of the data folder for a fiscal year (as of `currentMonth`), into `outputFile` (replaced whole) or onto
// standard output when it is empty. Fails when a list cannot be read or the CSV cannot be written; files that cannot be
// read are rows with their reason, and are named in `unreadable`; names with doses elsewhere that nobody
// has in `unknownPersons` (see gatherStoreTotals).
Status exportDoseTotals(const DataDir& dir, int fiscalYear, MonthKey currentMonth, const QString& outputFile,
                        QStringList& unreadable, QStringList* unknownPersons = nullptr);

} // namespace velmora
