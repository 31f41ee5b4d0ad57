#include "DoseTotals.h"

#include "store/Messages.h"
#include "store/PersonalFile.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace velmora {
namespace {

constexpr int FirstBlock = 2001;
constexpr int EffectiveBlockFrom = 2001;
constexpr int LensBlockFrom = 2021;
constexpr int WomenQuarterFrom = 2001;
constexpr int LensYearLowerFrom = 2021;
constexpr double WarningShare = 0.8;
constexpr double RunningTotalAbove = 20;

struct MonthDoses {
    bool recorded = false;
    double effective = 0;
    double lens = 0;
    double skin = 0;
};

// The place of a calendar month in its fiscal year: April 0 … March 11.
int slotInYear(int monthOfYear)
{
    return monthOfYear >= 4 ? monthOfYear - 4 : monthOfYear + 8;
}

// The doses of each month of the fiscal years from `first` to `last`, by slot from April of `first`: the
// first record of a month in file order; negative values left out and named.
std::vector<MonthDoses> monthDoses(const PersonalFile& person, int first, int last, QStringList& leftOut)
{
    std::vector<MonthDoses> months(static_cast<size_t>((last - first + 1) * 12));
    for (const MonthlyRecord& record : person.records) {
        const auto monthOfYear = static_cast<int>(record.key % 100);
        // A key whose month is no calendar month (typed as 13, say) belongs to no period.
        if (record.key <= 0 || monthOfYear < 1 || monthOfYear > 12)
            continue;
        const int year = fiscalYearOf(record.key);
        if (year < first || year > last)
            continue;
        MonthDoses& month = months[static_cast<size_t>((year - first) * 12 + slotInYear(monthOfYear))];
        if (month.recorded)
            continue;
        const auto counted = [&](double dose) {
            if (dose >= 0)
                return dose;
            leftOut << QStringLiteral("%1/%2").arg(record.key / 100).arg(monthOfYear, 2, 10, QLatin1Char('0'));
            return 0.0;
        };
        month = {true, counted(record.effective) + counted(record.internal), counted(record.lens),
                 counted(record.skin)};
    }
    return months;
}

// Checks one figure against its limit: over it is exceeded, from 80 % of it a warning.
void check(DoseTotals& totals, const QString& what, double value, double limit, const QString& note = {})
{
    if (value > limit) {
        totals.verdict = Verdict::Exceeded;
        totals.reasons << QStringLiteral("%1 %2 > %3%4").arg(what, totalsForm(value), totalsForm(limit), note);
    } else if (value >= WarningShare * limit) {
        if (totals.verdict == Verdict::Within)
            totals.verdict = Verdict::Warning;
        totals.reasons
            << QStringLiteral("%1 %2 ≥ %3%4").arg(what, totalsForm(value), totalsForm(WarningShare * limit), note);
    }
}

} // namespace

int blockStart(int fiscalYear)
{
    const int offset = fiscalYear - FirstBlock;
    return FirstBlock + (offset >= 0 ? offset / 5 : (offset - 4) / 5) * 5;
}

int fiscalYearOf(MonthKey key)
{
    const auto year = static_cast<int>(key / 100);
    return key % 100 >= 4 ? year : year - 1;
}

DoseTotals doseTotals(const PersonalFile& person, int fiscalYear)
{
    DoseTotals totals;
    QStringList leftOut;
    const int first = blockStart(fiscalYear);
    const std::vector<MonthDoses> months = monthDoses(person, first, fiscalYear, leftOut);
    const size_t thisYear = static_cast<size_t>((fiscalYear - first) * 12);
    for (size_t slot = 0; slot < 12; ++slot) {
        const MonthDoses& month = months[thisYear + slot];
        const size_t quarter = slot / 3;
        totals.effectiveMonths[slot] = month.effective;
        totals.lensMonths[slot] = month.lens;
        totals.skinMonths[slot] = month.skin;
        totals.effectiveQuarters[quarter] += month.effective;
        totals.lensQuarters[quarter] += month.lens;
        totals.skinQuarters[quarter] += month.skin;
        totals.effectiveYear += month.effective;
        totals.lensYear += month.lens;
        totals.skinYear += month.skin;
    }
    double effectiveRunning = 0;
    double lensRunning = 0;
    bool runningTotalKept = false;
    for (int year = first; year <= fiscalYear; ++year) {
        double effective = 0;
        for (size_t slot = 0; slot < 12; ++slot) {
            const MonthDoses& month = months[static_cast<size_t>((year - first) * 12) + slot];
            effective += month.effective;
            lensRunning += month.lens;
        }
        effectiveRunning += effective;
        totals.blockYears.append({year, effective, effectiveRunning});
        runningTotalKept = runningTotalKept || effective > RunningTotalAbove;
    }
    if (!runningTotalKept)
        totals.blockYears.clear();
    if (fiscalYear >= EffectiveBlockFrom)
        totals.effectiveBlock = effectiveRunning;
    if (fiscalYear >= LensBlockFrom)
        totals.lensBlock = lensRunning;

    check(totals, QStringLiteral("実効 年度"), totals.effectiveYear, 50);
    if (totals.effectiveBlock)
        check(totals, QStringLiteral("実効 5年"), *totals.effectiveBlock, 100);
    if (person.header.sexCode != 0 && fiscalYear >= WomenQuarterFrom)
        for (int quarter = 0; quarter < 4; ++quarter)
            check(totals, QStringLiteral("実効 Q%1").arg(quarter + 1), totals.effectiveQuarters[quarter], 5,
                  QStringLiteral("（女性。妊娠不能と診断された者等は対象外）"));
    check(totals, QStringLiteral("水晶体 年度"), totals.lensYear, fiscalYear >= LensYearLowerFrom ? 50 : 150);
    if (totals.lensBlock)
        check(totals, QStringLiteral("水晶体 5年"), *totals.lensBlock, 100);
    check(totals, QStringLiteral("皮膚 年度"), totals.skinYear, 500);
    if (totals.effectiveYear > RunningTotalAbove) {
        if (totals.verdict == Verdict::Within)
            totals.verdict = Verdict::Warning;
        totals.reasons << QStringLiteral("実効 年度 %1 > 20（5年の累積を記録）").arg(totalsForm(totals.effectiveYear));
    }
    if (!leftOut.isEmpty())
        totals.reasons << QStringLiteral("負の値を除外 %1").arg(leftOut.join(QLatin1Char(' ')));
    return totals;
}

QString verdictText(Verdict verdict)
{
    return verdict == Verdict::Exceeded  ? QStringLiteral("超過")
           : verdict == Verdict::Warning ? QStringLiteral("注意")
                                         : QString();
}

QList<TotalsRow> gatherDoseTotals(const DataDir& dir, const QStringList& names, int fiscalYear)
{
    QList<TotalsRow> rows;
    rows.reserve(names.size());
    for (const QString& name : names) {
        TotalsRow row;
        row.name = name;
        // Only the months of the fiscal year's five-year block are read.
        const MonthKey from = MonthKey{blockStart(fiscalYear)} * 100 + 4;
        const MonthKey to = MonthKey{fiscalYear + 1} * 100 + 3;
        if (const auto person = ReadPersonalRecordsBetween(dir, name, from, to)) {
            row.registrationNumber = person->header.registrationNumber;
            row.sexCode = person->header.sexCode;
            row.totals = doseTotals(*person, fiscalYear);
        } else {
            row.unreadable = messageOf(person.error());
        }
        rows.append(row);
    }
    return rows;
}

QString totalsForm(double value)
{
    // Rounded to 15 significant digits first, so that 0.1 + 0.2 gives 0.3, then written without exponent.
    const double rounded = QString::number(value, 'g', 15).toDouble();
    char digits[400];
    const auto written =
        std::to_chars(std::begin(digits), std::end(digits), rounded == 0 ? 0.0 : rounded, std::chars_format::fixed);
    return QString::fromLatin1(digits, static_cast<qsizetype>(written.ptr - digits));
}

} // namespace velmora
