#include "core/changes/ChangeValues.h"

#include "core/files/NumberForms.h"
#include "core/model/Calendar.h"

#include <QHash>
#include <map>

namespace velmora {
namespace {

const QString Separator = QStringLiteral("、");

QString field(QStringView name, const QString& value)
{
    return name.toString() + QLatin1Char(' ') + (value.isEmpty() ? NoComment : value);
}

// The fields of a header that a correction may change, by name.
QList<std::pair<QString, QString>> correctableFields(const PersonalHeader& header)
{
    return {{QStringLiteral("所属"), header.affiliation},
            {QStringLiteral("職種"), header.jobType},
            {QStringLiteral("登録年月日"), header.registrationDate},
            {QStringLiteral("過去の被曝"),
             header.pastExposureFlag == 0 ? QStringLiteral("なし") : plainForm(header.pastDose)}};
}

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

} // namespace

QString monthValues(const MonthlyRecord& record)
{
    return QStringList{field(u"実効", plainForm(record.effective)), field(u"水晶体", plainForm(record.lens)),
                       field(u"皮膚", plainForm(record.skin)), field(u"内部", plainForm(record.internal)),
                       field(u"備考", record.comment)}
        .join(Separator);
}

QString headerValues(const PersonalHeader& header)
{
    QStringList fields{field(u"登録番号", plainForm(header.registrationNumber)),
                       field(u"性別", header.sexCode == 0 ? QStringLiteral("男") : QStringLiteral("女")),
                       field(u"生年月日", plainForm(header.dateOfBirth))};
    for (const auto& [name, value] : correctableFields(header))
        fields << field(name, value);
    return fields.join(Separator);
}

QString otherDoseValues(const OtherFacilityDose& dose)
{
    return QStringList{field(u"施設", dose.facility),
                       field(u"期間", QStringLiteral("%1～%2").arg(dose.from).arg(dose.to)),
                       field(u"実効", plainForm(dose.effective)),
                       field(u"水晶体", plainForm(dose.lens)),
                       field(u"皮膚", plainForm(dose.skin)),
                       field(u"内部", plainForm(dose.internal)),
                       field(u"備考", dose.note)}
        .join(Separator);
}

QString declarationValues(const Declaration& declaration)
{
    const QString until = declaration.to == 0 ? QString() : QString::number(declaration.to);
    return QStringList{field(u"種別", declarationKindText(declaration.kind)),
                       field(u"期間", QStringLiteral("%1～%2").arg(declaration.from).arg(until)),
                       field(u"備考", declaration.note)}
        .join(Separator);
}

QString facilityValues(const Facility& facility)
{
    return QStringList{field(u"事業所名", facility.name), field(u"責任者の役職", facility.responsibleTitle),
                       field(u"責任者の氏名", facility.responsibleName)}
        .join(Separator);
}

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
            was << field(oldFields[at].first, oldFields[at].second);
            is << field(newFields[at].first, newFields[at].second);
        }
    if (!was.isEmpty())
        changes.append({ChangeKind::HeaderCorrection, name, 0, was.join(Separator), is.join(Separator)});
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

} // namespace velmora
