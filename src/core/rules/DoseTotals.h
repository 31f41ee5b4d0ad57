#pragma once

#include "core/files/DataDir.h"
#include "core/files/DoseAdditions.h"
#include "core/model/Calendar.h"
#include "core/model/ExactDose.h"
#include "core/model/Records.h"
#include "core/model/Result.h"
#include "core/rules/DoseLimits.h"

#include <QDate>
#include <QList>
#include <QStringList>
#include <array>
#include <optional>

// The totals the regulations for radiation workers in medical care ask for, and the check against their
// limits. Periods: the fiscal year from April; quarters from April, July, October and January; five-year
// blocks of fiscal years from 2001 (2001–2005, 2006–2010, … 2021–2025, 2026–2030). The effective dose of a
// month is the external effective dose plus the internal dose; "Ｍ" (stored 0) counts as 0. Sums are
// exact (ExactDose): a total equal to a limit is within it. Doses received at other facilities count in
// every total and limit; a person's declarations (pregnancy, exemption from the women's quarterly limit,
// designated doctor under the lens transitional rule) set the limits that apply. Nothing is written.
namespace velmora {

// In rising order of concern, as the totals window sorts them: 要確認 (a record the totals cannot take as
// it stands) between 注意 and 超過, and a file that cannot be read above all.
enum class Verdict { Within, Warning, Doubtful, Exceeded, Unreadable };

// The fiscal years the totals accept, in the window and on the command line alike.
constexpr int FirstTotalsYear = 1;
constexpr int LastTotalsYear = 9999;
std::optional<int> totalsYearOf(const QString& text);

// The doses counted for one month; `recorded` is false where the file holds no record of it. The effective
// dose includes the internal dose, which is also given apart.
struct MonthDoses {
    bool recorded = false;
    ExactDose effective;
    ExactDose lens;
    ExactDose skin;
    ExactDose internal;
    MonthDoses& operator+=(const MonthDoses& other);
};

// The running external and internal totals of a pregnancy at the end of one of its months.
struct PregnancyMonth {
    MonthKey key;
    ExactDose external;
    ExactDose internal;
};

// The figures of one person for one fiscal year. The quarter, year and block totals include the doses
// received at other facilities; `months` are this hospital's records, `otherFacilityMonths` the entries of
// other facilities, each in the last month of its period.
struct DoseTotals {
    std::array<MonthDoses, 12> months; // April to March
    std::array<MonthDoses, 12> otherFacilityMonths;
    std::array<ExactDose, 4> effectiveQuarters;
    std::array<ExactDose, 4> lensQuarters;
    std::array<ExactDose, 4> skinQuarters;
    std::array<ExactDose, 4> internalQuarters;
    ExactDose effectiveYear;
    ExactDose lensYear;
    ExactDose skinYear;
    ExactDose internalYear;
    // The block's totals from its first fiscal year to the end of this one; nothing before the fiscal
    // year the block limit applies from (2001 for the effective dose, 2021 for the lens). A designated
    // doctor's lens block total is kept as recorded, though the transitional rule judges another figure.
    std::optional<ExactDose> effectiveBlock;
    std::optional<ExactDose> lensBlock;
    // A designated doctor's lens total from FY2023 to the end of this year, which is judged against the
    // transitional rule's 60 mSv; nothing where that rule does not bind.
    std::optional<ExactDose> lensSinceTransition;
    // The effective dose of each fiscal year of the block up to this one, with its running total; the
    // running total is to be recorded once a year of the block exceeds 20 mSv.
    struct BlockYear {
        int fiscalYear;
        ExactDose effective;
        ExactDose runningTotal;
        ExactDose lens;
    };
    QList<BlockYear> blockYears;
    bool runningTotalKept = false;
    // Each pregnancy that stands in the fiscal year, from its first month to the delivery or the year's
    // March, with its running totals month by month (up to the last month with a dose).
    struct Pregnancy {
        qint64 from; // the earlier of the diagnosis and the declaration, yyyymmdd
        QList<PregnancyMonth> months;
        ExactDose external() const { return months.isEmpty() ? ExactDose() : months.last().external; }
        ExactDose internal() const { return months.isEmpty() ? ExactDose() : months.last().internal; }
    };
    QList<Pregnancy> pregnancies;
    // Every limit that binds the person in the fiscal year, with the figure held against it.
    struct CheckedLimit {
        const DoseLimit* limit;
        int quarter; // 1–4 for a quarter's limit, else 0
        ExactDose value;
        Verdict verdict; // Within, Warning or Exceeded
    };
    QList<CheckedLimit> checkedLimits;
    Verdict verdict = Verdict::Within;
    // The limits first, in the order they are listed ("実効 年度 52 > 50"), then the records that need a
    // look: a month held twice, a month numbered outside 1–12, a negative dose.
    QStringList reasons;
    qsizetype limitReasonCount = 0; // the first reasons, those about limits
    QStringList limitReasons() const { return reasons.first(limitReasonCount); }
    // The part of the year received at other facilities; recorded when an entry counts in the year.
    MonthDoses otherFacilityYear() const;
};

// "超過", "要確認", "注意", "読込不可", or an empty text within the limits.
QString verdictText(Verdict verdict);

// The figures of a person for a fiscal year, from the person's records, doses at other facilities and
// declarations. An entry of another facility after `currentMonth` (when given) needs a look.
DoseTotals doseTotals(const PersonalFile& person, int fiscalYear, const DoseAdditions& additions = {},
                      std::optional<MonthKey> currentMonth = std::nullopt);

// A person's doses month by month from `from` to `to`, as the fiscal years' totals count them: this
// hospital's records (a month held twice by its larger values) with the doses elsewhere in the last month of
// their period.
QList<std::pair<MonthKey, MonthDoses>> monthsBetween(const PersonalFile& person, const DoseAdditions& additions,
                                                     MonthKey from, MonthKey to);

// The doses of a calendar year, January to December, counted as the fiscal years count them (the labour
// office's report and the health examination go by the calendar year).
MonthDoses calendarYearDoses(const PersonalFile& person, int year, const DoseAdditions& additions);

// The first month whose records the totals of a fiscal year need: April of the block's first year, or the
// month of a pregnancy declaration that still stands in the fiscal year, when earlier.
MonthKey firstMonthNeeded(int fiscalYear, const DoseAdditions& additions);

} // namespace velmora
