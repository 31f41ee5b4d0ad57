#include "core/rules/MonthPlausibility.h"

#include "core/files/DoseAdditions.h"
#include "core/files/PersonalFile.h"
#include "core/rules/DoseTotals.h"
#include "core/texts/Messages.h"

#include <QSet>

namespace velmora {
namespace {

// The limits (and quarters) a person's totals exceed.
QSet<std::pair<const DoseLimit*, int>> exceededLimits(const DoseTotals& totals)
{
    QSet<std::pair<const DoseLimit*, int>> exceeded;
    for (const DoseTotals::CheckedLimit& checked : totals.checkedLimits)
        if (checked.verdict == Verdict::Exceeded)
            exceeded.insert({checked.limit, checked.quarter});
    return exceeded;
}

} // namespace

LimitFindings monthLimitFindings(const DataDir& dir, const RegistrantList& registrants,
                                 const std::vector<PendingEntry>& pending, MonthKey key)
{
    LimitFindings findings;
    auto additions = ReadDoseAdditions(dir);
    if (!additions) {
        findings.unchecked = messageOf(additions.error());
        additions = QHash<QString, DoseAdditions>();
    }
    const int fiscalYear = fiscalYearOf(key);
    for (qsizetype at = 0; at < registrants.count(); ++at) {
        const PendingEntry& entry = pending[static_cast<size_t>(at)];
        // Values of 0 (the defaults "Ｍ" and 0) change no total.
        if (entry.effective == 0 && entry.lens == 0 && entry.skin == 0 && entry.internal == 0)
            continue;
        const QString& name = registrants.names[at];
        const DoseAdditions& own = additions->value(name);
        auto person = ReadPersonalRecordsBetween(dir, name, firstMonthNeeded(fiscalYear, own),
                                                 FiscalYear(fiscalYear).lastMonth());
        if (!person) {
            findings.unreadable << QStringLiteral("%1：%2").arg(name, messageOf(person.error()));
            continue;
        }
        const DoseTotals before = doseTotals(*person, fiscalYear, own);
        person->records.append({key, entry.effective, entry.lens, entry.skin, entry.internal, entry.comment});
        const DoseTotals after = doseTotals(*person, fiscalYear, own);
        QStringList brought;
        for (const QString& reason : after.limitReasons())
            if (!before.limitReasons().contains(reason))
                brought << reason;
        if (!brought.isEmpty())
            (exceededLimits(after).subtract(exceededLimits(before)).isEmpty() ? findings.near : findings.over)
                << name + QStringLiteral("：") + brought.join(QStringLiteral("、"));
    }
    return findings;
}

QString monthLimitReport(const LimitFindings& findings)
{
    return monthLimitText(findings.over, findings.near, findings.unreadable, findings.unchecked);
}

} // namespace velmora
