#include "core/rules/StoreTotals.h"

#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"
#include "core/texts/Messages.h"

#include <QSet>
#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace velmora {
namespace {

std::optional<TotalsRow> rowOf(const DataDir& dir, const QString& name, bool removed, int fiscalYear,
                               const DoseAdditions& additions, std::optional<MonthKey> currentMonth)
{
    TotalsRow row;
    row.name = name;
    row.removed = removed;
    // Only the months of the fiscal year's five-year block are read, and those of a pregnancy before it.
    const MonthKey from = firstMonthNeeded(fiscalYear, additions);
    const MonthKey to = FiscalYear(fiscalYear).lastMonth();
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
    row.totals = doseTotals(*person, fiscalYear, additions, currentMonth);
    return row;
}

} // namespace

QList<TotalsRow> gatherDoseTotals(const DataDir& dir, const QStringList& registrants, const QStringList& removed,
                                  int fiscalYear, const QHash<QString, DoseAdditions>& additions,
                                  std::optional<MonthKey> currentMonth)
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
            found[static_cast<size_t>(at)] = rowOf(dir, persons[at].first, persons[at].second, fiscalYear,
                                                   additions.value(persons[at].first), currentMonth);
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

Result<QList<TotalsRow>> gatherStoreTotals(const DataDir& dir, int fiscalYear, MonthKey currentMonth,
                                           QStringList* unknownPersons)
{
    const auto registrants = LoadRegistrantList(dir);
    if (!registrants)
        return registrants.error();
    const auto removed = ReadRemovedNames(dir);
    if (!removed)
        return removed.error();
    const auto additions = ReadDoseAdditions(dir);
    if (!additions)
        return additions.error();
    if (unknownPersons) {
        const QSet<QString> known(registrants->names.begin(), registrants->names.end());
        for (const QString& name : additions->keys())
            if (!known.contains(name) && !removed->contains(name))
                unknownPersons->append(name);
        unknownPersons->sort();
    }
    return gatherDoseTotals(dir, registrants->names, *removed, fiscalYear, *additions, currentMonth);
}

} // namespace velmora
