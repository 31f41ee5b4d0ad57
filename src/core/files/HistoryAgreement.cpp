#include "core/files/HistoryAgreement.h"

#include "core/files/ChangeWords.h"
#include "core/files/DoseAdditions.h"
#include "core/files/Dosimeters.h"
#include "core/files/Examinations.h"
#include "core/files/FacilitySettings.h"
#include "core/files/ListFiles.h"
#include "core/files/NumberForms.h"
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

} // namespace

// The person's and month's state the history leaves, replayed.
struct PersonReplay {
    bool registered = false;            // the history holds the person's registration
    std::optional<bool> registrant;     // on the registrant list (true) or the removed list (false)
    std::map<MonthKey, QString> months; // the values last recorded; empty for a month deleted
    QStringList headers;                // the registration's values, then each correction's, in order
};

// What the history leaves of the whole store: each person; each list's entries by person, as their values
// are worded (for the persons it names in that list); the facility last recorded; the months it saved.
struct StoreReplay {
    std::map<QString, PersonReplay> persons;
    std::map<ChangeKind, std::map<QString, QStringList>> lists;
    std::optional<QString> facility;
    QSet<MonthKey> monthsSaved;
};

namespace {

// Whether a record's header values hold the field as `field` words it (a name, a blank, the value), as one of
// the values the record joins.
bool holdsField(const QString& values, const QString& field)
{
    return values == field || values.startsWith(field + ChangeWordSeparator) ||
           values.endsWith(ChangeWordSeparator + field) ||
           values.contains(ChangeWordSeparator + field + ChangeWordSeparator);
}

bool namesField(const QString& values, const QString& name)
{
    return values.startsWith(name + QLatin1Char(' ')) || values.contains(ChangeWordSeparator + name + QLatin1Char(' '));
}

// The first field of a header that is not as the last record naming it says, by name with its value now.
std::optional<QString> headerDifference(const PersonalHeader& header, const QStringList& recorded)
{
    for (const auto& field : correctableFields(header)) {
        const auto last = std::find_if(recorded.rbegin(), recorded.rend(),
                                       [&](const QString& values) { return namesField(values, field.first); });
        if (last != recorded.rend() && !holdsField(*last, changeField(field.first, field.second)))
            return changeField(field.first, field.second);
    }
    return std::nullopt;
}

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

// The change a record says was made, applied to the store the history leaves.
void apply(StoreReplay& store, const Change& change)
{
    auto& persons = store.persons;
    switch (change.kind) {
    case ChangeKind::Registration:
        persons[change.person].registered = true;
        persons[change.person].registrant = true;
        persons[change.person].headers = {change.after};
        break;
    case ChangeKind::HeaderCorrection:
        persons[change.person].headers << change.after;
        break;
    case ChangeKind::OtherDose:
    case ChangeKind::Declaration:
    case ChangeKind::Examination:
    case ChangeKind::Dosimeter: {
        QStringList& entries = store.lists[change.kind][change.person];
        if (!change.before.isEmpty())
            entries.removeOne(change.before);
        if (!change.after.isEmpty())
            entries << change.after;
        break;
    }
    case ChangeKind::Facility:
        store.facility = change.after;
        break;
    case ChangeKind::Removal:
        persons[change.person].registrant = false;
        break;
    case ChangeKind::Restore:
        persons[change.person].registrant = true;
        break;
    case ChangeKind::MonthSaved:
        store.monthsSaved.insert(change.month);
        persons[change.person].months[change.month] = change.after;
        break;
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

// Everything the history left of one person (of the facility, for nobody), to be replayed again.
void forget(StoreReplay& store, const QString& person)
{
    store.persons.erase(person);
    for (auto& [kind, entries] : store.lists)
        entries.erase(person);
    if (person.isEmpty())
        store.facility.reset();
}

// The entries of a list file as the history words them, by person.
template <typename Entry>
std::map<QString, QStringList> entriesByPerson(const Result<QList<Entry>>& entries, QString (*values)(const Entry&))
{
    std::map<QString, QStringList> byPerson;
    for (const Entry& entry : entries ? *entries : QList<Entry>())
        byPerson[entry.name] << values(entry);
    return byPerson;
}

// Each person the history names in a list whose entries there are not those it leaves them.
QList<Failure> listDifferences(const DataDir& dir, const StoreReplay& store)
{
    const std::pair<ChangeKind, std::pair<QString, std::map<QString, QStringList>>> lists[] = {
        {ChangeKind::OtherDose,
         {OtherFacilityDosesFile, entriesByPerson(ReadOtherFacilityDoses(dir), otherDoseValues)}},
        {ChangeKind::Declaration, {DeclarationsFile, entriesByPerson(ReadDeclarations(dir), declarationValues)}},
        {ChangeKind::Examination, {ExaminationsFile, entriesByPerson(ReadExaminations(dir), examinationValues)}},
        {ChangeKind::Dosimeter, {DosimetersFile, entriesByPerson(ReadDosimeters(dir), dosimeterValues)}},
    };
    QList<Failure> differences;
    for (const auto& [kind, file] : lists) {
        const auto recorded = store.lists.find(kind);
        if (recorded == store.lists.end())
            continue;
        for (auto [person, values] : recorded->second) {
            QStringList held = file.second.count(person) ? file.second.at(person) : QStringList();
            values.sort();
            held.sort();
            if (held != values)
                differences << difference(Difference::EntriesDiffer, file.first, 0, person,
                                          held.join(QStringLiteral(" ／ ")));
        }
    }
    if (store.facility) {
        const auto facility = ReadFacility(dir);
        if (facility && facilityValues(*facility) != *store.facility)
            differences << difference(Difference::EntriesDiffer, FacilityFile, 0, {}, facilityValues(*facility));
    }
    return differences;
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

HistoryReplay::HistoryReplay() : store(std::make_unique<StoreReplay>()) {}

HistoryReplay::~HistoryReplay() = default;

void HistoryReplay::take(const ChangeRecord& record)
{
    if (record.change.kind == ChangeKind::NotMade)
        answeredPersons.insert(record.change.person);
    apply(*store, record.change);
}

Status HistoryReplay::replayAnswered(const DataDir& dir)
{
    // A 未実施 is rare: the persons it names are replayed again from their own records alone, leaving out the
    // records it answers, so that the whole history never has to be held.
    for (const QString& person : std::as_const(answeredPersons)) {
        QList<ChangeRecord> own;
        HistoryQuery query;
        query.person = person;
        query.each = [&](const ChangeRecord& record) {
            if (record.change.person == person)
                own << record;
        };
        if (const auto read = ReadChangeHistory(dir, query); !read)
            return read.error();
        forget(*store, person);
        const QList<bool> answered = answeredNotMade(own);
        for (qsizetype at = 0; at < own.size(); ++at)
            if (!answered[at])
                apply(*store, own[at].change);
    }
    answeredPersons.clear();
    return {};
}

QList<Failure> HistoryReplay::differences(const DataDir& dir)
{
    QList<Failure> differences;
    const auto registrants = LoadRegistrantList(dir);
    const auto removed = ReadRemovedNames(dir);
    if (!registrants || !removed || !replayAnswered(dir))
        return differences; // named as files that do not read
    const StoreReplay& replayed = *store;
    differences += listDifferences(dir, replayed);
    // A listed person the history never names, whose file holds a month the history saved for everyone then:
    // a person added by hand.
    for (const QString& name : registrants->names + *removed) {
        if (replayed.persons.count(name))
            continue;
        const auto file = ReadPersonalFile(dir, name);
        if (file && std::any_of(file->records.begin(), file->records.end(),
                                [&](const MonthlyRecord& record) { return replayed.monthsSaved.contains(record.key); }))
            differences << difference(Difference::PersonUnrecorded, DataDir::shownPersonalFile(name));
    }
    for (const auto& [name, person] : replayed.persons) {
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
        if (const auto differs = headerDifference(file->header, person.headers))
            differences << difference(Difference::HeaderDiffers, shown, 0, {}, *differs);
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
