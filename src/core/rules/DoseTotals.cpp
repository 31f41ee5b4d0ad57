#include "core/rules/DoseTotals.h"

#include "core/files/PersonalFile.h"
#include "core/files/PositionalForms.h"

#include <QLocale>
#include <algorithm>
#include <vector>

namespace velmora {
namespace {

constexpr ExactDose RecordBlockAbove = ExactDose::whole(RecordBlockAboveMSv);

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
    std::array<ExactDose, 4> otherFacilities; // the entries of other facilities counted in this month
    bool otherRecorded = false;
};

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

std::array<ExactDose, 4> dosesOf(const OtherFacilityDose& dose)
{
    return {ExactDose::of(dose.effective), ExactDose::of(dose.lens), ExactDose::of(dose.skin),
            ExactDose::of(dose.internal)};
}

bool standsBetween(const Declaration& declaration, qint64 firstDay, qint64 lastDay)
{
    return declaration.from <= lastDay && (declaration.to == 0 || declaration.to >= firstDay);
}

// The pregnancy declarations that stand in some part of a fiscal year, the earliest first, so that the
// last is the latest whatever order they were listed in.
QList<Declaration> pregnanciesIn(int fiscalYear, const DoseAdditions& additions)
{
    QList<Declaration> found;
    for (const Declaration& declaration : additions.declarations)
        if (declaration.kind == DeclarationKind::Pregnancy &&
            standsBetween(declaration, FiscalYear(fiscalYear).firstDay(), FiscalYear(fiscalYear).lastDay()))
            found << declaration;
    std::stable_sort(found.begin(), found.end(),
                     [](const Declaration& a, const Declaration& b) { return a.from < b.from; });
    return found;
}

// A pregnancy no delivery has ended 300 days after it was declared: its end is most likely not entered.
constexpr int LongestOpenPregnancyDays = 300;

class Figures {
public:
    Figures(int fiscalYear, double sexCode, const DoseAdditions& personAdditions, std::optional<MonthKey> currentMonth)
        : year(fiscalYear), first(blockStart(fiscalYear)), woman(sexCode != 0), additions(personAdditions)
    {
        monthSlots.resize(static_cast<size_t>((year - first + 1) * 12));
        for (const OtherFacilityDose& dose : additions.otherDoses)
            takeOtherFacility(dose, currentMonth);
        if (currentMonth)
            noteOpenPregnancies(*currentMonth);
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
        noteUnheld(monthName(record.key), {record.effective, record.lens, record.skin, record.internal});
        MonthSlot& slot = monthSlots[static_cast<size_t>((recordYear - first) * 12 + slotInYear(record.key))];
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

    // The totals, with the running external and internal doses of each pregnancy that stands in the
    // fiscal year, from its first month.
    DoseTotals totals(const QList<DoseTotals::Pregnancy>& pregnancies) const
    {
        DoseTotals t;
        const size_t thisYear = static_cast<size_t>((year - first) * 12);
        for (size_t at = 0; at < 12; ++at) {
            const MonthSlot& slot = monthSlots[thisYear + at];
            const MonthDoses month = doses(slot);
            const MonthDoses counted = withOtherFacilities(slot);
            const size_t quarter = at / 3;
            t.months[at] = month;
            t.effectiveQuarters[quarter] += counted.effective;
            t.lensQuarters[quarter] += counted.lens;
            t.skinQuarters[quarter] += counted.skin;
            t.internalQuarters[quarter] += counted.internal;
            t.effectiveYear += counted.effective;
            t.lensYear += counted.lens;
            t.skinYear += counted.skin;
            t.internalYear += counted.internal;
            const auto& other = slot.otherFacilities;
            t.otherFacilityMonths[at] = {slot.otherRecorded, other[External] + other[Internal], other[Lens],
                                         other[Skin], other[Internal]};
        }
        t.pregnancies = pregnancies;
        blockTotals(t);
        checkLimits(t);
        t.limitReasonCount = t.reasons.size();
        noteDoubts(t);
        return t;
    }

private:
    // A stored dose finer than the exact type keeps (a file edited by hand) is counted rounded and named.
    void noteUnheld(const QString& where, const std::array<double, 4>& stored)
    {
        for (size_t dose = 0; dose < 4; ++dose)
            if (!ExactDose::holds(stored[dose]))
                doubts << QStringLiteral("%1の%2 %3は小数点以下12桁を超えるため、12桁に丸めて集計")
                              .arg(where, DoseNames[dose],
                                   QString::number(stored[dose], 'g', QLocale::FloatingPointShortest));
    }

    void noteOpenPregnancies(MonthKey currentMonth)
    {
        const QDate thisMonth(static_cast<int>(currentMonth / 100), static_cast<int>(currentMonth % 100), 1);
        for (const Declaration& pregnancy : pregnanciesIn(year, additions)) {
            const QDate from(static_cast<int>(pregnancy.from / 10000), static_cast<int>(pregnancy.from / 100 % 100),
                             static_cast<int>(pregnancy.from % 100));
            if (pregnancy.to == 0 && from.daysTo(thisMonth) > LongestOpenPregnancyDays)
                doubts << QStringLiteral("%1からの妊娠は%2日を過ぎても出産日（終了日）がないため、入力を確認")
                              .arg(dateWithSlashes(static_cast<double>(pregnancy.from)))
                              .arg(LongestOpenPregnancyDays);
        }
    }

    // An entry of another facility counts in the last month of its period; one whose period crosses a fiscal
    // year or ends after this month counts there too, conservatively, and needs a look.
    void takeOtherFacility(const OtherFacilityDose& dose, std::optional<MonthKey> currentMonth)
    {
        const int entryYear = fiscalYearOf(dose.to);
        const QString entry =
            QStringLiteral("他施設線量（%1 %2～%3）").arg(dose.facility, monthName(dose.from), monthName(dose.to));
        // A period counted in a later year may hold doses of this one: this year is flagged too, closed or not.
        if (entryYear > year && fiscalYearOf(dose.from) <= year)
            doubts << entry + QStringLiteral("は期間の一部がこの年度にあるが、%1年度（終了月）に集計").arg(entryYear);
        if (entryYear < first || entryYear > year)
            return;
        if (fiscalYearOf(dose.from) != entryYear)
            doubts << entry + QStringLiteral("は期間が年度をまたぐため、終了月に集計");
        // A woman's 3-month limit is judged on the quarter of the last month: a period across quarters may
        // hold doses of an earlier one.
        else if (woman && entryYear == year && quarterOf(dose.from) != quarterOf(dose.to))
            doubts << entry + QStringLiteral("は期間が四半期をまたぐため、終了月の%1に集計")
                                  .arg(quarterName(quarterOf(dose.to) + 1));
        if (currentMonth && dose.to > *currentMonth)
            doubts << entry + QStringLiteral("は今月より後の月のため、入力の誤りがないか確認");
        if (dose.note.startsWith(SenderDoubtMark))
            doubts << entry + QStringLiteral("は送り元で") + dose.note;
        noteUnheld(entry, {dose.effective, dose.lens, dose.skin, dose.internal});
        MonthSlot& slot = monthSlots[static_cast<size_t>((entryYear - first) * 12 + slotInYear(dose.to))];
        const auto entered = dosesOf(dose);
        for (size_t at = 0; at < 4; ++at)
            slot.otherFacilities[at] += entered[at];
        slot.otherRecorded = true;
    }

    static MonthDoses doses(const MonthSlot& slot)
    {
        const auto& d = slot.largest;
        return {slot.records > 0, d[External] + d[Internal], d[Lens], d[Skin], d[Internal]};
    }

    static MonthDoses withOtherFacilities(const MonthSlot& slot)
    {
        const auto& d = slot.largest;
        const auto& o = slot.otherFacilities;
        return {slot.records > 0 || slot.otherRecorded, d[External] + d[Internal] + o[External] + o[Internal],
                d[Lens] + o[Lens], d[Skin] + o[Skin], d[Internal] + o[Internal]};
    }

    bool declared(DeclarationKind kind, qint64 firstDay, qint64 lastDay) const
    {
        return std::any_of(additions.declarations.begin(), additions.declarations.end(),
                           [&](const Declaration& d) { return d.kind == kind && standsBetween(d, firstDay, lastDay); });
    }

    // Whether the transitional rule holds the lens of this fiscal year: a designated doctor in FY2021–2025.
    bool lensTransition() const
    {
        return year >= LensTransitionFrom && year <= LensTransitionLast &&
               declared(DeclarationKind::DesignatedDoctor, FiscalYear(year).firstDay(), FiscalYear(year).lastDay());
    }

    // The women's quarterly limit does not apply to a quarter that a diagnosis of being unable to conceive
    // covers from its first to its last day. A written declaration of no intention to become pregnant exempts
    // under the 医療法施行規則 only, not under the 電離則, so the limit stays.
    bool quarterExempt(int quarter) const
    {
        const auto [firstDay, lastDay] = FiscalYear(year).quarterDays(quarter);
        return std::any_of(additions.declarations.begin(), additions.declarations.end(), [&](const Declaration& d) {
            return d.kind == DeclarationKind::CannotConceive && d.from <= firstDay && (d.to == 0 || d.to >= lastDay);
        });
    }

    QString womanNote(int quarter) const
    {
        const auto [firstDay, lastDay] = FiscalYear(year).quarterDays(quarter);
        return declared(DeclarationKind::NoPregnancyPlan, firstDay, lastDay)
                   ? QStringLiteral("（女性。妊娠の意思なし（書面）の申出は電離則では対象外とならない）")
                   : QStringLiteral("（女性。妊娠不能と診断された者は対象外）");
    }

    bool binds(const DoseLimit& limit) const
    {
        switch (limit.holder) {
        case LimitHolder::Everyone:
        case LimitHolder::PregnantWorkers: // checked for each pregnancy
            return true;
        case LimitHolder::Women:
            return woman;
        case LimitHolder::ExceptTransition:
            return !lensTransition();
        case LimitHolder::DesignatedDoctors:
            return lensTransition();
        }
        return false;
    }

    void blockTotals(DoseTotals& t) const
    {
        ExactDose effectiveRunning;
        ExactDose lensRunning;
        for (int blockYear = first; blockYear <= year; ++blockYear) {
            ExactDose effective;
            ExactDose lens;
            for (size_t at = 0; at < 12; ++at) {
                const MonthDoses month =
                    withOtherFacilities(monthSlots[static_cast<size_t>((blockYear - first) * 12) + at]);
                effective += month.effective;
                lens += month.lens;
            }
            effectiveRunning += effective;
            lensRunning += lens;
            t.blockYears.append({blockYear, effective, effectiveRunning, lens});
            t.runningTotalKept = t.runningTotalKept || effective > RecordBlockAbove;
        }
    }

    // Each figure against its limit: over it is exceeded, from 80 % of it a warning.
    static void check(DoseTotals& t, const DoseLimit& limit, int quarter, const ExactDose& value,
                      const QString& note = {})
    {
        const ExactDose bound = limit.limit();
        Verdict verdict = Verdict::Within;
        if (value > bound) {
            verdict = Verdict::Exceeded;
            t.reasons << QStringLiteral("%1 %2 > %3%4").arg(limit.figure(quarter), value.text(), bound.text(), note);
        } else if (value.reachesFourFifthsOf(bound)) {
            verdict = Verdict::Warning;
            t.reasons << QStringLiteral("%1 %2 ≥ %3%4")
                             .arg(limit.figure(quarter), value.text(), bound.fourFifths().text(), note);
        }
        t.verdict = std::max(t.verdict, verdict);
        t.checkedLimits.append({&limit, quarter, value, verdict});
    }

    // The total of a dose over the block's years from `from` to this one.
    static ExactDose yearsTotal(const DoseTotals& t, bool lens, int from)
    {
        ExactDose total;
        for (const DoseTotals::BlockYear& blockYear : t.blockYears)
            if (blockYear.fiscalYear >= from)
                total += lens ? blockYear.lens : blockYear.effective;
        return total;
    }

    void checkLimits(DoseTotals& t) const
    {
        for (const DoseLimit& limit : doseLimits()) {
            if (!limit.holdsIn(year) || !binds(limit))
                continue;
            const bool lens = limit.quantity == LimitQuantity::Lens;
            switch (limit.period) {
            case LimitPeriod::Quarter:
                for (int quarter = 0; quarter < 4; ++quarter)
                    if (!quarterExempt(quarter))
                        check(t, limit, quarter + 1, t.effectiveQuarters[static_cast<size_t>(quarter)],
                              womanNote(quarter));
                break;
            case LimitPeriod::FiscalYear:
                check(t, limit, 0,
                      lens                                    ? t.lensYear
                      : limit.quantity == LimitQuantity::Skin ? t.skinYear
                                                              : t.effectiveYear);
                break;
            case LimitPeriod::Block:
                (lens ? t.lensBlock : t.effectiveBlock) = yearsTotal(t, lens, first);
                check(t, limit, 0, *(lens ? t.lensBlock : t.effectiveBlock));
                break;
            case LimitPeriod::TransitionYears:
                t.lensSinceTransition = yearsTotal(t, lens, limit.fromYear);
                check(t, limit, 0, *t.lensSinceTransition, QStringLiteral("（経過措置対象医師）"));
                break;
            case LimitPeriod::Pregnancy:
                for (const DoseTotals::Pregnancy& pregnancy : t.pregnancies)
                    check(t, limit, 0,
                          limit.quantity == LimitQuantity::PregnancyExternal ? pregnancy.external()
                                                                             : pregnancy.internal(),
                          QStringLiteral("（%1からの妊娠）").arg(dateWithSlashes(static_cast<double>(pregnancy.from))));
                break;
            }
        }
        if (!t.lensBlock && year >= LensTransitionFrom)
            t.lensBlock = yearsTotal(t, true, first);
        if (t.effectiveYear > RecordBlockAbove) {
            t.verdict = std::max(t.verdict, Verdict::Warning);
            t.reasons << QStringLiteral("実効 年度 %1 > %2（5年の累積を記録）")
                             .arg(t.effectiveYear.text())
                             .arg(RecordBlockAboveMSv);
        }
    }

    void noteDoubts(DoseTotals& t) const
    {
        QStringList found;
        for (const MonthKey key : twiceHeldKeys) {
            const int at = (fiscalYearOf(key) - first) * 12 + slotInYear(key);
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
    const DoseAdditions& additions;
    std::vector<MonthSlot> monthSlots; // by month from April of the block's first year
    QList<MonthKey> twiceHeldKeys;
    QStringList doubts;
    QStringList negatives;
};

// The running external and internal doses of a pregnancy month by month, up to the end of the fiscal year:
// this hospital's records (the larger where a month is held twice, negatives left out) and every entry of
// another facility whose period touches its months (whole, in the first month it touches: it cannot be split).
DoseTotals::Pregnancy pregnancyTotals(const PersonalFile& person, const DoseAdditions& additions,
                                      const Declaration& pregnancy, int fiscalYear)
{
    const MonthKey from = pregnancy.from / 100;
    const MonthKey lastOfYear = FiscalYear(fiscalYear).lastMonth();
    const MonthKey to = pregnancy.to == 0 ? lastOfYear : std::min(lastOfYear, MonthKey{pregnancy.to / 100});
    QHash<MonthKey, std::array<ExactDose, 2>> months;
    MonthKey lastDosed = from;
    for (const MonthlyRecord& record : person.records) {
        if (record.key < from || record.key > to)
            continue;
        auto& month = months[record.key];
        const ExactDose external = ExactDose::of(record.effective);
        const ExactDose internal = ExactDose::of(record.internal);
        month[0] = std::max(month[0], external.isNegative() ? ExactDose() : external);
        month[1] = std::max(month[1], internal.isNegative() ? ExactDose() : internal);
        lastDosed = std::max(lastDosed, record.key);
    }
    for (const OtherFacilityDose& dose : additions.otherDoses)
        if (dose.from <= to && dose.to >= from) {
            auto& month = months[std::max(dose.from, from)];
            month = {month[0] + ExactDose::of(dose.effective), month[1] + ExactDose::of(dose.internal)};
            lastDosed = std::max(lastDosed, std::max(dose.from, from));
        }
    DoseTotals::Pregnancy totals{pregnancy.from, {}};
    PregnancyMonth running{from, {}, {}};
    for (MonthKey key = from; key <= std::min(to, lastDosed); key = nextMonth(key)) {
        const auto month = months.value(key);
        running = {key, running.external + month[0], running.internal + month[1]};
        totals.months << running;
    }
    return totals;
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

DoseTotals doseTotals(const PersonalFile& person, int fiscalYear, const DoseAdditions& additions,
                      std::optional<MonthKey> currentMonth)
{
    Figures figures(fiscalYear, person.header.sexCode, additions, currentMonth);
    for (const MonthlyRecord& record : person.records)
        figures.take(record);
    QList<DoseTotals::Pregnancy> pregnancies;
    for (const Declaration& pregnancy : pregnanciesIn(fiscalYear, additions))
        pregnancies << pregnancyTotals(person, additions, pregnancy, fiscalYear);
    return figures.totals(pregnancies);
}

MonthKey firstMonthNeeded(int fiscalYear, const DoseAdditions& additions)
{
    MonthKey from = FiscalYear(fiscalYear).blockStart().firstMonth();
    for (const Declaration& pregnancy : pregnanciesIn(fiscalYear, additions))
        from = std::min(from, MonthKey{pregnancy.from / 100});
    return from;
}

MonthDoses& MonthDoses::operator+=(const MonthDoses& other)
{
    recorded = recorded || other.recorded;
    effective += other.effective;
    lens += other.lens;
    skin += other.skin;
    internal += other.internal;
    return *this;
}

MonthDoses DoseTotals::otherFacilityYear() const
{
    MonthDoses year;
    for (const MonthDoses& month : otherFacilityMonths)
        year += month;
    return year;
}

QList<std::pair<MonthKey, MonthDoses>> monthsBetween(const PersonalFile& person, const DoseAdditions& additions,
                                                     MonthKey from, MonthKey to)
{
    QList<std::pair<MonthKey, MonthDoses>> months;
    std::optional<DoseTotals> totals;
    for (MonthKey key = from; key <= to; key = nextMonth(key)) {
        const int slot = slotInYear(key);
        if (!totals || slot == 0)
            totals = doseTotals(person, fiscalYearOf(key), additions);
        MonthDoses month = totals->months[static_cast<size_t>(slot)];
        month += totals->otherFacilityMonths[static_cast<size_t>(slot)];
        months.append({key, month});
    }
    return months;
}

MonthDoses calendarYearDoses(const PersonalFile& person, int year, const DoseAdditions& additions)
{
    MonthDoses total;
    for (const auto& [key, month] :
         monthsBetween(person, additions, MonthKey{year} * 100 + 1, MonthKey{year} * 100 + 12))
        total += month;
    return total;
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

} // namespace velmora
