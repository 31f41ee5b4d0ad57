#include "MonthPlausibility.h"

#include "store/DoseAdditions.h"
#include "store/Messages.h"
#include "store/PersonalFile.h"
#include "totals/DoseTotals.h"

namespace velmora {

QStringList monthLimitFindings(const DataDir& dir, const RegistrantList& registrants,
                               const std::vector<PendingEntry>& pending, MonthKey key)
{
    const auto additions = ReadDoseAdditions(dir);
    if (!additions)
        return {QStringLiteral("（限度を確認できません：%1）").arg(messageOf(additions.error()))};
    const int fiscalYear = fiscalYearOf(key);
    QStringList findings;
    for (qsizetype at = 0; at < registrants.count(); ++at) {
        const PendingEntry& entry = pending[static_cast<size_t>(at)];
        // Values of 0 (the defaults "Ｍ" and 0) change no total.
        if (entry.effective == 0 && entry.lens == 0 && entry.skin == 0 && entry.internal == 0)
            continue;
        const QString& name = registrants.names[at];
        const DoseAdditions& own = additions->value(name);
        auto person = ReadPersonalRecordsBetween(dir, name, firstMonthNeeded(fiscalYear, own),
                                                 MonthKey{fiscalYear + 1} * 100 + 3);
        if (!person) {
            findings << QStringLiteral("%1：（限度を確認できません：%2）").arg(name, messageOf(person.error()));
            continue;
        }
        const QStringList before = doseTotals(*person, fiscalYear, own).limitReasons();
        person->records.append({key, entry.effective, entry.lens, entry.skin, entry.internal, entry.comment});
        QStringList brought;
        for (const QString& reason : doseTotals(*person, fiscalYear, own).limitReasons())
            if (!before.contains(reason))
                brought << reason;
        if (!brought.isEmpty())
            findings << name + QStringLiteral("：") + brought.join(QStringLiteral("、"));
    }
    return findings;
}

QString monthLimitReport(const QStringList& findings)
{
    if (findings.isEmpty())
        return {};
    return QStringLiteral("この月の線量で限度の注意・超過となる人が%1名います（他施設での線量を含みます）。\n%2")
        .arg(findings.size())
        .arg(listForMessage(findings, QStringLiteral("名"), 20));
}

} // namespace velmora
