#include "core/rules/LeavingRecord.h"

#include "core/files/Csv.h"
#include "core/files/DoseAdditions.h"
#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"

#include <QMap>

namespace velmora {
namespace {

QString doseCell(double dose)
{
    return ExactDose::of(dose).text();
}

// This facility's months from `from` to `to` as entries: the larger of each dose of a month held twice, a
// negative dose (which no dosimeter reports) as 0, a month numbered outside 1–12 left out.
QList<OtherFacilityDose> monthsHere(const PersonalFile& person, const QString& facility, MonthKey from, MonthKey to)
{
    QMap<MonthKey, std::array<ExactDose, 4>> months;
    for (const MonthlyRecord& record : person.records) {
        if (record.key < from || record.key > to || record.key % 100 < 1 || record.key % 100 > 12)
            continue;
        auto& month = months[record.key]; // from 0, so that a negative dose counts as 0
        const double doses[] = {record.effective, record.lens, record.skin, record.internal};
        for (size_t at = 0; at < 4; ++at)
            month[at] = std::max(month[at], ExactDose::of(doses[at]));
    }
    QList<OtherFacilityDose> entries;
    for (auto month = months.cbegin(); month != months.cend(); ++month) {
        const auto& d = month.value();
        entries.append({person.header.name, facility, month.key(), month.key(), d[0].toDouble(), d[1].toDouble(),
                        d[2].toDouble(), d[3].toDouble(), NoComment});
    }
    return entries;
}

} // namespace

Result<LeavingRecord> leavingRecordOf(const DataDir& dir, const QString& name)
{
    const auto facility = ReadFacility(dir);
    if (!facility)
        return facility.error();
    if (facility->name.isEmpty())
        return failure(FailureKind::FacilityUnnamed);
    const auto additions = ReadDoseAdditions(dir);
    if (!additions)
        return additions.error();
    const auto person = ReadPersonalFile(dir, name);
    if (!person)
        return person.error();
    LeavingRecord record;
    record.header = person->header;
    record.header.name = name;
    // The leaving month: the last month with a dose on the record, here or elsewhere, so that nothing
    // received before the leaving day is left behind.
    const DoseAdditions& own = additions->value(name);
    for (const MonthlyRecord& month : person->records)
        if (month.key % 100 >= 1 && month.key % 100 <= 12)
            record.lastMonth = std::max(record.lastMonth, month.key);
    for (const OtherFacilityDose& dose : own.otherDoses)
        record.lastMonth = std::max(record.lastMonth, dose.to);
    if (record.lastMonth == 0)
        return failureWithText(FailureKind::NothingToHandOver, name);
    const int lastYear = fiscalYearOf(record.lastMonth);
    const int firstYear = blockStart(lastYear);
    for (int year = firstYear; year <= lastYear; ++year)
        record.years.append({year, doseTotals(*person, year, own)});
    const MonthKey from = MonthKey{firstYear} * 100 + 4;
    record.entries = monthsHere(*person, facility->name, from, record.lastMonth);
    for (const OtherFacilityDose& dose : own.otherDoses)
        if (dose.to >= from && fiscalYearOf(dose.to) <= lastYear)
            record.otherDoses << dose;
    record.entries << record.otherDoses;
    return record;
}

QByteArray leavingRecordCsv(const LeavingRecord& record)
{
    QList<QStringList> table{OtherDoseCsvHeadings};
    for (const OtherFacilityDose& d : record.entries)
        table.append({d.name, d.facility, yearMonthText(d.from), yearMonthText(d.to), doseCell(d.effective),
                      doseCell(d.lens), doseCell(d.skin), doseCell(d.internal),
                      d.note == NoComment ? QString() : d.note});
    return csv::excelFile(table);
}

QString leavingRecordFileName(const QString& name)
{
    return QStringLiteral("離職時記録_%1.csv").arg(name);
}

} // namespace velmora
