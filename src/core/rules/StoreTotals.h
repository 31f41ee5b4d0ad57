#pragma once

#include "core/files/DataDir.h"
#include "core/files/DoseAdditions.h"
#include "core/rules/DoseTotals.h"

// The totals of a store's persons for a fiscal year: each registrant's and removed person's file read (on
// every core), with the doses elsewhere and declarations, and its figures worked out by doseTotals.
namespace velmora {

// One person's row: a registrant, or a removed person whose file holds a record of the period.
struct TotalsRow {
    QString name;
    bool removed = false;
    double registrationNumber = 0;
    double sexCode = 0;
    QString jobType;
    QString affiliation;
    std::optional<DoseTotals> totals; // nothing when the file could not be read
    QString unreadable;               // the message about the file, when it could not be read
    Verdict verdict() const { return totals ? totals->verdict : Verdict::Unreadable; }
};

// The rows of the registrants in list order, then of the removed persons whose files hold a record from
// the block's first April to the fiscal year's March (or cannot be read), in the order they were removed.
QList<TotalsRow> gatherDoseTotals(const DataDir& dir, const QStringList& registrants, const QStringList& removed,
                                  int fiscalYear, const QHash<QString, DoseAdditions>& additions = {},
                                  std::optional<MonthKey> currentMonth = std::nullopt);

// The same for the lists of the data folder, with their doses at other facilities and declarations; fails
// when one of the lists cannot be read. The names that have entries elsewhere or declarations but are
// neither registrants nor removed persons (a name mistyped by hand) go into `unknownPersons`.
Result<QList<TotalsRow>> gatherStoreTotals(const DataDir& dir, int fiscalYear, MonthKey currentMonth,
                                           QStringList* unknownPersons = nullptr);

} // namespace velmora
