#include "DoseTotals.h"

#include "store/ListFiles.h"
#include "store/Messages.h"
#include "store/PersonalFile.h"

#include <QSet>
#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace velmora {
namespace {

constexpr int FirstBlock = 2001;
constexpr int EffectiveBlockFrom = 2001;
constexpr int LensBlockFrom = 2021;
constexpr int WomenQuarterFrom = 2001;
constexpr int LensYearLowerFrom = 2021;
constexpr ExactDose RunningTotalAbove = ExactDose::whole(20);

// The four doses of a record in the order they are named.
enum Dose { External, Lens, Skin, Internal };
const QString DoseNames[] = {QStringLiteral("実効"), QStringLiteral("水晶体"), QStringLiteral("皮膚"),
                             QStringLiteral("内部")};

// The doses of one month as the records give them, and what a reason must say about them.
struct MonthSlot {
    int records = 0;
    std::array<ExactDose, 4> largest; // of each dose over the month's records, negatives left out
    // Effective, lens and skin of each record, for the reason about a month held twice.
    std::array<ExactDose, 3> first;
    QList<std::array<ExactDose, 3>> later;
};

QString monthName(MonthKey key)
{
    return QStringLiteral("%1年%2月").arg(key / 100).arg(key % 100);
}

// A dose as a reason shows it, with a true minus sign.
QString signedText(const ExactDose& dose)
{
    QString text = dose.text();
    if (text.startsWith(QLatin1Char('-')))
        text[0] = QChar(0x2212);
    return text;
}

std::array<ExactDose, 3> shownDoses(const std::array<ExactDose, 4>& doses)
{
    return {doses[External] + doses[Internal], doses[Lens], doses[Skin]};
}

// "実効 30、水晶体 2": the doses of a record that are not zero, or "線量 0".
QString nonZeroDoses(const std::array<ExactDose, 3>& doses)
{
    QStringList named;
    for (int dose = 0; dose < 3; ++dose)
        if (!doses[dose].isZero())
            named << DoseNames[dose] + QLatin1Char(' ') + signedText(doses[dose]);
    return named.isEmpty() ? QStringLiteral("線量 0") : named.join(QStringLiteral("、"));
}

// "2021年6月の記録が2件（実効 1、45）": the doses that differ between the records of a month.
QString twiceHeld(MonthKey key, const MonthSlot& slot)
{
    QStringList differing;
    for (int dose = 0; dose < 3; ++dose) {
        QStringList values{signedText(slot.first[dose])};
        for (const auto& record : slot.later)
            values << signedText(record[dose]);
        if (values.count(values.first()) != values.size())
            differing << DoseNames[dose] + QLatin1Char(' ') + values.join(QStringLiteral("、"));
    }
    return QStringLiteral("%1の記録が%2件（%3。各線量の大きい方で集計）")
        .arg(monthName(key))
        .arg(slot.records)
        .arg(differing.isEmpty() ? QStringLiteral("同じ値") : differing.join(QStringLiteral("／")));
}

// The place of a calendar month in its fiscal year: April 0 … March 11.
int slotInYear(int monthOfYear)
{
    return monthOfYear >= 4 ? monthOfYear - 4 : monthOfYear + 8;
}

class Figures {
public:
    Figures(int fiscalYear, double sexCode) : year(fiscalYear), first(blockStart(fiscalYear)), woman(sexCode != 0)
    {
        monthSlots.resize(static_cast<size_t>((year - first + 1) * 12));
    }

    void take(const MonthlyRecord& record)
    {
        const std::array<ExactDose, 4> doses = {ExactDose::of(record.effective), ExactDose::of(record.lens),
                                                ExactDose::of(record.skin), ExactDose::of(record.internal)};
        const int monthOfYear = static_cast<int>(record.key % 100);
        const int recordYear = fiscalYearOf(record.key);
        if (record.key <= 0 || recordYear < first || recordYear > year)
            return;
        // A key whose month is no calendar month (typed as 13, say) belongs to no period.
        if (monthOfYear < 1 || monthOfYear > 12) {
            doubts << QStringLiteral("%1の記録（%2）は月が1～12でないため集計外")
                          .arg(monthName(record.key), nonZeroDoses(shownDoses(doses)));
            return;
        }
        MonthSlot& slot = monthSlots[static_cast<size_t>((recordYear - first) * 12 + slotInYear(monthOfYear))];
        std::array<ExactDose, 4> counted = doses;
        for (int dose = 0; dose < 4; ++dose)
            if (doses[dose].isNegative()) {
                negatives << QStringLiteral("%1 %2（%3）")
                                 .arg(DoseNames[dose], signedText(doses[dose]), monthName(record.key));
                counted[dose] = ExactDose();
            }
        if (++slot.records == 1) {
            slot.largest = counted;
            slot.first = shownDoses(doses);
            return;
        }
        if (slot.records == 2)
            twiceHeldKeys << record.key;
        slot.later << shownDoses(doses);
        for (int dose = 0; dose < 4; ++dose)
            slot.largest[dose] = std::max(slot.largest[dose], counted[dose]);
    }

    DoseTotals totals() const
    {
        DoseTotals t;
        const size_t thisYear = static_cast<size_t>((year - first) * 12);
        for (size_t at = 0; at < 12; ++at) {
            const MonthDoses month = doses(monthSlots[thisYear + at]);
            const size_t quarter = at / 3;
            t.months[at] = month;
            t.effectiveQuarters[quarter] += month.effective;
            t.lensQuarters[quarter] += month.lens;
            t.skinQuarters[quarter] += month.skin;
            t.effectiveYear += month.effective;
            t.lensYear += month.lens;
            t.skinYear += month.skin;
        }
        blockTotals(t);
        checkLimits(t);
        noteDoubts(t);
        return t;
    }

private:
    static MonthDoses doses(const MonthSlot& slot)
    {
        const auto& d = slot.largest;
        return {slot.records > 0, d[External] + d[Internal], d[Lens], d[Skin]};
    }

    void blockTotals(DoseTotals& t) const
    {
        ExactDose effectiveRunning;
        ExactDose lensRunning;
        for (int blockYear = first; blockYear <= year; ++blockYear) {
            ExactDose effective;
            for (size_t at = 0; at < 12; ++at) {
                const MonthDoses month = doses(monthSlots[static_cast<size_t>((blockYear - first) * 12) + at]);
                effective += month.effective;
                lensRunning += month.lens;
            }
            effectiveRunning += effective;
            t.blockYears.append({blockYear, effective, effectiveRunning});
            t.runningTotalKept = t.runningTotalKept || effective > RunningTotalAbove;
        }
        if (year >= EffectiveBlockFrom)
            t.effectiveBlock = effectiveRunning;
        if (year >= LensBlockFrom)
            t.lensBlock = lensRunning;
    }

    // Each figure against its limit: over it is exceeded, from 80 % of it a warning.
    static void check(DoseTotals& t, const QString& what, const ExactDose& value, int limitMSv,
                      const QString& note = {})
    {
        const ExactDose limit = ExactDose::whole(limitMSv);
        if (value > limit) {
            t.verdict = std::max(t.verdict, Verdict::Exceeded);
            t.reasons << QStringLiteral("%1 %2 > %3%4").arg(what, value.text(), limit.text(), note);
        } else if (value.reachesFourFifthsOf(limit)) {
            t.verdict = std::max(t.verdict, Verdict::Warning);
            t.reasons << QStringLiteral("%1 %2 ≥ %3%4").arg(what, value.text(), limit.fourFifths().text(), note);
        }
    }

    void checkLimits(DoseTotals& t) const
    {
        check(t, QStringLiteral("実効 年度"), t.effectiveYear, 50);
        if (t.effectiveBlock)
            check(t, QStringLiteral("実効 5年"), *t.effectiveBlock, 100);
        if (woman && year >= WomenQuarterFrom)
            for (int quarter = 0; quarter < 4; ++quarter)
                check(t, QStringLiteral("実効 Q%1").arg(quarter + 1), t.effectiveQuarters[quarter], 5,
                      QStringLiteral("（女性。妊娠不能と診断された者等は対象外）"));
        check(t, QStringLiteral("水晶体 年度"), t.lensYear, year >= LensYearLowerFrom ? 50 : 150);
        if (t.lensBlock)
            check(t, QStringLiteral("水晶体 5年"), *t.lensBlock, 100);
        check(t, QStringLiteral("皮膚 年度"), t.skinYear, 500);
        if (t.effectiveYear > RunningTotalAbove) {
            t.verdict = std::max(t.verdict, Verdict::Warning);
            t.reasons << QStringLiteral("実効 年度 %1 > 20（5年の累積を記録）").arg(t.effectiveYear.text());
        }
    }

    void noteDoubts(DoseTotals& t) const
    {
        QStringList found;
        for (const MonthKey key : twiceHeldKeys) {
            const int at = (fiscalYearOf(key) - first) * 12 + slotInYear(static_cast<int>(key % 100));
            found << twiceHeld(key, monthSlots[static_cast<size_t>(at)]);
        }
        found << doubts;
        if (!negatives.isEmpty())
            found << QStringLiteral("負の値を除外 %1").arg(negatives.join(QStringLiteral("、")));
        if (found.isEmpty())
            return;
        t.verdict = std::max(t.verdict, Verdict::Doubtful);
        t.reasons << found;
    }

    int year;
    int first;
    bool woman;
    std::vector<MonthSlot> monthSlots; // by month from April of the block's first year
    QList<MonthKey> twiceHeldKeys;
    QStringList doubts;
    QStringList negatives;
};

std::optional<TotalsRow> rowOf(const DataDir& dir, const QString& name, bool removed, int fiscalYear)
{
    TotalsRow row;
    row.name = name;
    row.removed = removed;
    // Only the months of the fiscal year's five-year block are read.
    const MonthKey from = MonthKey{blockStart(fiscalYear)} * 100 + 4;
    const MonthKey to = MonthKey{fiscalYear + 1} * 100 + 3;
    const auto person = ReadPersonalRecordsBetween(dir, name, from, to);
    if (!person) {
        row.unreadable = messageOf(person.error());
        return row;
    }
    if (removed && person->records.isEmpty())
        return std::nullopt; // removed before the period
    row.registrationNumber = person->header.registrationNumber;
    row.sexCode = person->header.sexCode;
    row.jobType = person->header.jobType;
    row.affiliation = person->header.affiliation;
    row.totals = doseTotals(*person, fiscalYear);
    return row;
}

} // namespace

std::optional<int> totalsYearOf(const QString& text)
{
    bool whole = false;
    const int year = text.trimmed().toInt(&whole);
    if (!whole || year < FirstTotalsYear || year > LastTotalsYear)
        return std::nullopt;
    return year;
}

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
    Figures figures(fiscalYear, person.header.sexCode);
    for (const MonthlyRecord& record : person.records)
        figures.take(record);
    return figures.totals();
}

QString verdictText(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Within:
        return {};
    case Verdict::Warning:
        return QStringLiteral("注意");
    case Verdict::Doubtful:
        return QStringLiteral("要確認");
    case Verdict::Exceeded:
        return QStringLiteral("超過");
    case Verdict::Unreadable:
        return QStringLiteral("読込不可");
    }
    return {};
}

QList<TotalsRow> gatherDoseTotals(const DataDir& dir, const QStringList& registrants, const QStringList& removed,
                                  int fiscalYear)
{
    // Each person once: a name on both lists (a removal or restore cut short) is a registrant.
    QList<std::pair<QString, bool>> persons;
    QSet<QString> listed;
    for (const auto& [names, removedList] : {std::pair{&registrants, false}, {&removed, true}})
        for (const QString& name : *names)
            if (!listed.contains(name)) {
                listed.insert(name);
                persons.append({name, removedList});
            }
    // The files are read on every core: reading and parsing is the work, each file on its own.
    std::vector<std::optional<TotalsRow>> found(static_cast<size_t>(persons.size()));
    const auto workers = std::clamp(std::thread::hardware_concurrency(), 1U, 4U);
    std::atomic<qsizetype> next = 0;
    const auto work = [&] {
        for (qsizetype at = next++; at < persons.size(); at = next++)
            found[static_cast<size_t>(at)] = rowOf(dir, persons[at].first, persons[at].second, fiscalYear);
    };
    std::vector<std::thread> helpers;
    for (unsigned helper = 1; helper < workers; ++helper)
        helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers)
        helper.join();
    QList<TotalsRow> rows;
    rows.reserve(persons.size());
    for (std::optional<TotalsRow>& row : found)
        if (row)
            rows << std::move(*row);
    return rows;
}

Result<QList<TotalsRow>> gatherStoreTotals(const DataDir& dir, int fiscalYear)
{
    const auto registrants = LoadRegistrantList(dir);
    if (!registrants)
        return registrants.error();
    const auto removed = ReadRemovedNames(dir);
    if (!removed)
        return removed.error();
    return gatherDoseTotals(dir, registrants->names, *removed, fiscalYear);
}

} // namespace velmora
