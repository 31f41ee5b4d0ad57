#include "core/changes/ChangeValues.h"

#include "core/model/Calendar.h"

#include <QHash>
#include <map>

namespace velmora {
namespace {

// Entries of `from` not matched by an equal entry of `against`, in the order of `from`.
template <typename Entry> QList<Entry> unmatched(const QList<Entry>& from, const QList<Entry>& against)
{
    QHash<Entry, qsizetype> available;
    for (const Entry& entry : against)
        ++available[entry];
    QList<Entry> left;
    for (const Entry& entry : from) {
        auto match = available.find(entry);
        if (match != available.end() && *match > 0)
            --*match;
        else
            left.append(entry);
    }
    return left;
}

template <typename Entry>
QList<Change> listChanges(ChangeKind kind, const QList<Entry>& before, const QList<Entry>& after,
                          QString (*values)(const Entry&), MonthKey (*monthOf)(const Entry&))
{
    const QList<Entry> removed = unmatched(before, after);
    QList<Entry> added = unmatched(after, before);
    QList<Change> changes;
    for (const Entry& old : removed) {
        Change change{kind, old.name, monthOf(old), values(old), {}};
        const auto same = std::find_if(added.begin(), added.end(), [&](const Entry& e) { return e.name == old.name; });
        if (same != added.end()) {
            change.after = values(*same);
            added.erase(same);
        }
        changes.append(change);
    }
    for (const Entry& entry : added)
        changes.append({kind, entry.name, monthOf(entry), {}, values(entry)});
    return changes;
}

// The month a record of the history is found under: the first of the entry's period.
MonthKey otherDoseMonth(const OtherFacilityDose& dose)
{
    return isRecordMonth(dose.from) ? dose.from : 0;
}

MonthKey declarationMonth(const Declaration& declaration)
{
    return isRecordMonth(declaration.from / 100) ? declaration.from / 100 : 0;
}

MonthKey examinationMonth(const Examination& examination)
{
    return examination.day / 100;
}

MonthKey noMonth(const Dosimeter&)
{
    return 0;
}

} // namespace

QList<Change> correctionChanges(const PersonalFile& before, const PersonalHeader& header,
                                const QList<MonthlyRecord>& records)
{
    const QString& name = before.header.name;
    std::map<MonthKey, std::pair<const MonthlyRecord*, const MonthlyRecord*>> months;
    for (const MonthlyRecord& record : before.records)
        months[record.key].first = &record;
    for (const MonthlyRecord& record : records)
        months[record.key].second = &record;
    QList<Change> changes;
    for (const auto& [key, pair] : months) {
        const auto [old, now] = pair;
        if (!now)
            changes.append({ChangeKind::Deletion, name, key, monthValues(*old), {}});
        else if (!old)
            changes.append({ChangeKind::MonthSaved, name, key, {}, monthValues(*now)});
        else if (*old != *now)
            changes.append({ChangeKind::Correction, name, key, monthValues(*old), monthValues(*now)});
    }
    QStringList was;
    QStringList is;
    const auto oldFields = correctableFields(before.header);
    const auto newFields = correctableFields(header);
    for (qsizetype at = 0; at < oldFields.size(); ++at)
        if (oldFields[at] != newFields[at]) {
            was << changeField(oldFields[at].first, oldFields[at].second);
            is << changeField(newFields[at].first, newFields[at].second);
        }
    if (!was.isEmpty())
        changes.append(
            {ChangeKind::HeaderCorrection, name, 0, was.join(ChangeWordSeparator), is.join(ChangeWordSeparator)});
    return changes;
}

QList<Change> otherDoseChanges(const QList<OtherFacilityDose>& before, const QList<OtherFacilityDose>& after)
{
    return listChanges(ChangeKind::OtherDose, before, after, otherDoseValues, otherDoseMonth);
}

QList<Change> declarationChanges(const QList<Declaration>& before, const QList<Declaration>& after)
{
    return listChanges(ChangeKind::Declaration, before, after, declarationValues, declarationMonth);
}

QList<Change> examinationChanges(const QList<Examination>& before, const QList<Examination>& after)
{
    return listChanges(ChangeKind::Examination, before, after, examinationValues, examinationMonth);
}

QList<Change> dosimeterChanges(const QList<Dosimeter>& before, const QList<Dosimeter>& after)
{
    return listChanges(ChangeKind::Dosimeter, before, after, dosimeterValues, noMonth);
}

} // namespace velmora
