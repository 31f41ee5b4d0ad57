#pragma once

#include "core/files/DataDir.h"
#include "core/model/Result.h"

#include <QDate>

// A closed fiscal year kept so that it can be read in thirty years without the program: its reports as
// PDF/A-1b files with their fonts, its CSVs, and a manifest of every file's SHA-256.
namespace velmora {

// Writes into the empty (or missing) folder `output`, for everyone with a record in the fiscal year,
// registrants and removed persons alike: "<年度>年度_個人被曝記録.pdf" (a page each), the registrant data
// table, the monthly exposure lists of the year's twelve months, the totals and the dose distribution,
// the CSVs of the totals, the distribution and the year's change history, and velmora-manifest.txt.
// YearNotClosed for a year whose 31 March is not past on `today`; the names of the files written.
Result<QStringList> ArchiveYear(const DataDir& dir, int fiscalYear, const QString& output, const QDate& today);

// What to look at before a year is kept: each person of the year whose totals are 要確認 (a month held twice,
// a period elsewhere that reaches into the year, …), as "氏名：理由", which the archive keeps as they stand.
Result<QStringList> archiveDoubts(const DataDir& dir, int fiscalYear);

// The same as a text for the operator; empty when there is none.
QString archiveDoubtsText(int fiscalYear, const QStringList& doubts);

} // namespace velmora
