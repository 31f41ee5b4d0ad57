#include "MonthPlausibility.h"

#include "store/DoseAdditions.h"
#include "store/Messages.h"
#include "store/PersonalFile.h"
#include "totals/DoseTotals.h"

namespace velmora {

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
                                                 MonthKey{fiscalYear + 1} * 100 + 3);
        if (!person) {
            findings.persons << QStringLiteral("%1：（限度を確認できません：%2）").arg(name, messageOf(person.error()));
            continue;
        }
        const QStringList before = doseTotals(*person, fiscalYear, own).limitReasons();
        person->records.append({key, entry.effective, entry.lens, entry.skin, entry.internal, entry.comment});
        QStringList brought;
        for (const QString& reason : doseTotals(*person, fiscalYear, own).limitReasons())
            if (!before.contains(reason))
                brought << reason;
        if (!brought.isEmpty())
            findings.persons << name + QStringLiteral("：") + brought.join(QStringLiteral("、"));
    }
    return findings;
}

QString monthLimitReport(const LimitFindings& findings)
{
    QStringList paragraphs;
    if (!findings.persons.isEmpty())
        paragraphs << QStringLiteral("この月の線量で限度の注意・超過となる人が%1名います（%2）。\n%3")
                          .arg(findings.persons.size())
                          .arg(findings.unchecked.isEmpty() ? QStringLiteral("他施設での線量を含みます")
                                                            : QStringLiteral("この施設の線量だけで確認しました"))
                          .arg(listForMessage(findings.persons, QStringLiteral("名"), 20));
    if (!findings.unchecked.isEmpty())
        paragraphs << QStringLiteral(
                          "他施設での線量・申告を読み込めないため、限度はこの施設の線量だけで確認しました。\n%1")
                          .arg(findings.unchecked);
    return paragraphs.join(QStringLiteral("\n\n"));
}

} // namespace velmora
