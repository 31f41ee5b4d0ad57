#pragma once

#include "core/rules/StoreTotals.h"

#include <QByteArray>
#include <array>

// How many radiation workers fall into each dose band of a fiscal year, as the annual report of a
// hospital asks: effective, lens and skin dose of the year, women's effective dose of each quarter, and
// the effective dose by job type and by affiliation. Everyone with a record in the fiscal year counts,
// removed staff included; a file that cannot be read is counted apart and named. Built on the exact
// totals of gatherDoseTotals, so a band edge is exact: 5 mSv falls in "5以下".
namespace velmora {

// A band: doses above `above` (from 0 when none) up to and including `upTo` (without bound when none).
struct DoseBand {
    std::optional<ExactDose> above;
    std::optional<ExactDose> upTo;
    QString label; // "5超15以下"
    bool contains(const ExactDose& dose) const;
};

// A distribution: its name in the CSV, its heading on the screen and paper, whether the workers whose
// every month of the period is below detection ("Ｍ", stored 0) are counted apart before the bands (and
// not again in the first band), and its bands in rising order. The bands are written down once, in the
// four functions below: a changed statutory form is a changed band there.
struct BandTable {
    QString name;    // 実効_年度
    QString heading; // 実効線量（年度）
    bool belowDetectionApart = false;
    QList<DoseBand> bands;
};

const BandTable& effectiveYearBands();
const BandTable& lensYearBands();
const BandTable& skinYearBands();
const BandTable& womenQuarterBands();

// The label of the workers counted apart as below detection.
inline const QString BelowDetectionLabel = QStringLiteral("検出限界未満");

// The number of workers in each band of a table, the below-detection count first where it is apart.
struct BandCounts {
    const BandTable* table = nullptr;
    QList<int> counts;
    QStringList labels() const;
    int total() const;
};

// The effective-dose counts of the workers of one job type or affiliation.
struct GroupCounts {
    QString group;
    BandCounts effective;
};

struct DoseDistribution {
    int fiscalYear = 0;
    BandCounts effective;
    int workers = 0;
    ExactDose collective; // person·mSv: the sum of the workers' effective doses of the year
    ExactDose mean;
    ExactDose maximum;
    BandCounts lens;
    BandCounts skin;
    std::array<BandCounts, 4> womenQuarters; // April–June … January–March: women with a record in it
    QList<GroupCounts> byJobType;            // in the order the groups first appear
    QList<GroupCounts> byAffiliation;
    QStringList unreadable; // the files that could not be read ("被曝Data/山田.dat")
};

// The distribution of the rows of gatherDoseTotals for their fiscal year.
DoseDistribution doseDistribution(const QList<TotalsRow>& rows, int fiscalYear);

// The group of a worker without a job type or affiliation.
inline const QString NoGroupLabel = QStringLiteral("（未記入）");

// The distribution as a CSV file that Excel on a Japanese PC opens by a double-click (UTF-8 with a
// byte-order mark, CR LF): 分布,区分,人数, one row per band.
QByteArray distributionCsv(const DoseDistribution& distribution);

} // namespace velmora
