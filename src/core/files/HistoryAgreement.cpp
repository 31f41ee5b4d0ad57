#include "core/files/HistoryAgreement.h"

#include "core/files/ChangeWords.h"
#include "core/files/DoseAdditions.h"
#include "core/files/Dosimeters.h"
#include "core/files/Examinations.h"
#include "core/files/FacilitySettings.h"
#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"

#include <QFileInfo>
#include <map>

namespace velmora {
namespace {

// What a 未実施 record names of the record it answers: its kind and time.
QString recordName(const ChangeRecord& record)
{
    return changeKindText(record.change.kind) + QLatin1Char(' ') + record.time.toString(HistoryTimeForm);
}

template <typename Entry>
bool listShows(const Result<QList<Entry>>& entries, const Change& change, QString (*values)(const Entry&))
{
    if (!entries)
        return false;
    const auto holds = [&](const QString& text) {
        return std::any_of(entries->begin(), entries->end(),
                           [&](const Entry& entry) { return entry.name == change.person && values(entry) == text; });
    };
    return change.after.isEmpty() ? !holds(change.before) : holds(change.after);
}

bool listed(const DataDir& dir, const QString& name, bool asRegistrant)
{
    const auto registrants = LoadRegistrantList(dir);
    const auto removed = ReadRemovedNames(dir);
    return registrants && removed && registrants->names.contains(name) == asRegistrant &&
           removed->contains(name) != asRegistrant;
}

// Whether the fields a header correction recorded stand in the header now: the same fields of today's header,
// worded and joined as the record joins them (a value may hold 「、」 itself).
bool headerShows(const DataDir& dir, const Change& change)
{
    const auto header = ReadPersonalHeader(dir, change.person, 9);
    if (!header)
        return false;
    QStringList now;
    for (const auto& [name, value] : correctableFields(*header))
        if (change.after.startsWith(name + QLatin1Char(' ')) ||
            change.after.contains(ChangeWordSeparator + name + QLatin1Char(' ')))
            now << changeField(name, value);
    return now.join(ChangeWordSeparator) == change.after;
}

// The person's and month's state the history leaves, replayed.
struct PersonReplay {
    bool registered = false;            // the history holds the person's registration
    std::optional<bool> registrant;     // on the registrant list (true) or the removed list (false)
    std::map<MonthKey, QString> months; // the values last recorded; empty for a month deleted
};

Failure difference(Difference kind, const QString& file, MonthKey month = 0, const QString& recorded = {},
                   const QString& found = {})
{
    Failure different = failure(FailureKind::HistoryDisagrees, file, static_cast<int>(month));
    different.difference = kind;
    different.text = recorded;
    if (!found.isEmpty())
        different.names = {found};
    return different;
}

// The records a 未実施 answers, by their place.
QList<bool> answeredNotMade(const QList<ChangeRecord>& records)
{
    QList<bool> answered(records.size(), false);
    for (qsizetype at = 0; at < records.size(); ++at) {
        const Change& answer = records[at].change;
        if (answer.kind != ChangeKind::NotMade)
            continue;
        for (qsizetype before = at - 1; before >= 0; --before)
            if (!answered[before] && records[before].change.person == answer.person &&
                records[before].change.month == answer.month && recordName(records[before]) == answer.before) {
                answered[before] = true;
                break;
            }
    }
    return answered;
}

std::map<QString, PersonReplay> replay(const QList<ChangeRecord>& records)
{
    const QList<bool> answered = answeredNotMade(records);
    std::map<QString, PersonReplay> persons;
    for (qsizetype at = 0; at < records.size(); ++at) {
        const Change& change = records[at].change;
        if (answered[at])
            continue;
        switch (change.kind) {
        case ChangeKind::Registration:
            persons[change.person].registered = true;
            persons[change.person].registrant = true;
            break;
        case ChangeKind::Removal:
            persons[change.person].registrant = false;
            break;
        case ChangeKind::Restore:
            persons[change.person].registrant = true;
            break;
        case ChangeKind::MonthSaved:
        case ChangeKind::Correction:
            persons[change.person].months[change.month] = change.after;
            break;
        case ChangeKind::Deletion:
            persons[change.person].months[change.month] = QString();
            break;
        default:
            break;
        }
    }
    return persons;
}

} // namespace

bool filesShow(const DataDir& dir, const ChangeRecord& record)
{
    const Change& change = record.change;
    switch (change.kind) {
    case ChangeKind::Registration:
    case ChangeKind::Restore:
        return listed(dir, change.person, true) && ReadPersonalHeader(dir, change.person, 9);
    case ChangeKind::Removal:
        return listed(dir, change.person, false);
    case ChangeKind::MonthSaved:
    case ChangeKind::Correction:
    case ChangeKind::Deletion: {
        const auto found = FindMonthlyRecord(dir, change.person, change.month);
        if (!found)
            return false;
        return change.kind == ChangeKind::Deletion ? !found->record
                                                   : found->record && monthValues(*found->record) == change.after;
    }
    case ChangeKind::HeaderCorrection:
        return headerShows(dir, change);
    case ChangeKind::OtherDose:
        return listShows(ReadOtherFacilityDoses(dir), change, otherDoseValues);
    case ChangeKind::Declaration:
        return listShows(ReadDeclarations(dir), change, declarationValues);
    case ChangeKind::Examination:
        return listShows(ReadExaminations(dir), change, examinationValues);
    case ChangeKind::Dosimeter:
        return listShows(ReadDosimeters(dir), change, dosimeterValues);
    case ChangeKind::Facility: {
        const auto facility = ReadFacility(dir);
        return facility && facilityValues(*facility) == change.after;
    }
    case ChangeKind::NotMade:
    case ChangeKind::Continued:
        return true;
    }
    return true;
}

Change notMadeAnswer(const ChangeRecord& record)
{
    return {ChangeKind::NotMade, record.change.person, record.change.month, recordName(record), {}};
}

QList<Failure> historyDifferences(const DataDir& dir, const QList<ChangeRecord>& records)
{
    QList<Failure> differences;
    const auto registrants = LoadRegistrantList(dir);
    const auto removed = ReadRemovedNames(dir);
    if (!registrants || !removed)
        return differences; // named as files that do not read
    for (const auto& [name, person] : replay(records)) {
        if (person.registrant && *person.registrant && !registrants->names.contains(name))
            differences << difference(Difference::NotRegistrant, RegistrantNamesFile, 0, name);
        if (person.registrant && !*person.registrant && !removed->contains(name))
            differences << difference(Difference::NotRemoved, RemovedNamesFile, 0, name);
        const QString shown = DataDir::shownPersonalFile(name);
        const auto file = ReadPersonalFile(dir, name);
        if (!file) {
            if (!QFileInfo::exists(dir.personalFile(name)))
                differences << difference(Difference::FileMissing, shown);
            continue; // a file that does not read is named as such
        }
        std::map<MonthKey, QString> held;
        for (const MonthlyRecord& record : file->records)
            held[record.key] = monthValues(record);
        for (const auto& [month, recorded] : person.months) {
            const auto stands = held.find(month);
            if (recorded.isEmpty() && stands != held.end())
                differences << difference(Difference::MonthStandsDeleted, shown, month, {}, stands->second);
            else if (!recorded.isEmpty() && stands == held.end())
                differences << difference(Difference::MonthMissing, shown, month, recorded);
            else if (!recorded.isEmpty() && stands->second != recorded)
                differences << difference(Difference::MonthDiffers, shown, month, recorded, stands->second);
        }
        if (person.registered)
            for (const auto& [month, values] : held)
                if (!person.months.contains(month))
                    differences << difference(Difference::MonthUnrecorded, shown, month, {}, values);
    }
    return differences;
}

} // namespace velmora
