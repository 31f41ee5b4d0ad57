#pragma once

#include "store/DataDir.h"
#include "store/Records.h"

#include <QList>
#include <QStringList>
#include <array>
#include <optional>

// The totals the regulations for radiation workers in medical care ask for, and the check against their
// limits. Periods: the fiscal year from April; quarters from April, July, October and January; five-year
// blocks of fiscal years from 2001 (2001–2005, 2006–2010, … 2021–2025, 2026–2030). The effective dose of a
// month is the external effective dose plus the internal dose; "Ｍ" (stored 0) counts as 0. Of two records
// of one month the first in file order counts, as in the personal exposure record. Nothing is written.
namespace velmora {

enum class Verdict { Within, Warning, Exceeded };

// The figures of one person for one fiscal year.
struct DoseTotals {
    // April to March.
    std::array<double, 12> effectiveMonths{};
    std::array<double, 12> lensMonths{};
    std::array<double, 12> skinMonths{};
    std::array<double, 4> effectiveQuarters{};
    std::array<double, 4> lensQuarters{};
    std::array<double, 4> skinQuarters{};
    double effectiveYear = 0;
    double lensYear = 0;
    double skinYear = 0;
    // The block's totals from its first fiscal year to the end of this one; nothing before the fiscal
    // year the block limit applies from (2001 for the effective dose, 2021 for the lens).
    std::optional<double> effectiveBlock;
    std::optional<double> lensBlock;
    // The effective dose of each fiscal year of the block up to this one, with its running total: kept for
    // the block once a year of it exceeds 20 mSv.
    struct BlockYear {
        int fiscalYear;
        double effective;
        double runningTotal;
    };
    QList<BlockYear> blockYears;
    Verdict verdict = Verdict::Within;
    QStringList reasons; // "実効 年度 52 > 50", … in the order the limits are listed
};

// One registrant's row: the header fields a table shows, and the figures, or why the file could not be read.
struct TotalsRow {
    QString name;
    double registrationNumber = 0;
    double sexCode = 0;
    std::optional<DoseTotals> totals; // nothing when the file could not be read
    QString unreadable;               // the message about the file, when it could not be read
};

// The verdict as the totals window and the CSV write it: "超過", "注意", or an empty text within the limits.
QString verdictText(Verdict verdict);

// The first fiscal year of the five-year block that holds `fiscalYear`.
int blockStart(int fiscalYear);

// The fiscal year a month belongs to: January to March belong to the year that began the April before.
int fiscalYearOf(MonthKey key);

// The figures of a person for a fiscal year, from the person's records.
DoseTotals doseTotals(const PersonalFile& person, int fiscalYear);

// Every registrant's row in list order; a file that cannot be read gives a row without figures.
QList<TotalsRow> gatherDoseTotals(const DataDir& dir, const QStringList& names, int fiscalYear);

// A number as the totals show it: decimal, at most 15 significant digits, no exponent.
QString totalsForm(double value);

} // namespace velmora
