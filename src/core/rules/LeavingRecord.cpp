#include "core/rules/LeavingRecord.h"

#include "core/files/Csv.h"
#include "core/files/DoseAdditions.h"
#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"
#include "core/files/PositionalForms.h"

#include <QMap>

namespace velmora {
namespace {

QString doseCell(double dose)
{
    return ExactDose::of(dose).text();
}

const char16_t* const DoseWords[] = {u"実効", u"水晶体", u"皮膚", u"内部"};

// This facility's months from `from` to `to` as entries: the larger of each dose of a month held twice, a
// negative dose (which no dosimeter reports) as 0, a month numbered outside 1–12 left out. Each such doubt
// is written in the row's 備考 after 「要確認：」, which the next employer's totals show as 要確認, as this
// facility's own do.
QList<OtherFacilityDose> monthsHere(const PersonalFile& person, const QString& facility, MonthKey from, MonthKey to)
{
    struct Month {
        std::array<ExactDose, 4> doses; // from 0, so that a negative dose counts as 0
        int records = 0;
        QStringList negatives;
    };
    QMap<MonthKey, Month> months;
    for (const MonthlyRecord& record : person.records) {
        if (record.key < from || record.key > to || record.key % 100 < 1 || record.key % 100 > 12)
            continue;
        Month& month = months[record.key];
        ++month.records;
        const double doses[] = {record.effective, record.lens, record.skin, record.internal};
        for (size_t at = 0; at < 4; ++at) {
            month.doses[at] = std::max(month.doses[at], ExactDose::of(doses[at]));
            if (ExactDose::of(doses[at]).isNegative())
                month.negatives << QString::fromUtf16(DoseWords[at]) + QLatin1Char(' ') +
                                       ExactDose::of(doses[at]).text();
        }
    }
    QList<OtherFacilityDose> entries;
    for (auto month = months.cbegin(); month != months.cend(); ++month) {
        const auto& d = month.value().doses;
        QStringList doubts;
        if (month.value().records > 1)
            doubts << QStringLiteral("同じ月の記録が%1件（大きい方を記載）").arg(month.value().records);
        if (!month.value().negatives.isEmpty())
            doubts
                << QStringLiteral("負の値（%1）を0として記載").arg(month.value().negatives.join(QStringLiteral("、")));
        entries.append({person.header.name, facility, month.key(), month.key(), d[0].toDouble(), d[1].toDouble(),
                        d[2].toDouble(), d[3].toDouble(),
                        doubts.isEmpty() ? NoComment : SenderDoubtMark + doubts.join(QStringLiteral("、"))});
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
    QList<QStringList> table{LeavingRecordCsvHeadings};
    const QString born = dateWithSlashes(record.header.dateOfBirth);
    const QString sex = record.header.sexCode == 0 ? QStringLiteral("男") : QStringLiteral("女");
    for (const OtherFacilityDose& d : record.entries)
        table.append({d.name, born, sex, d.facility, yearMonthText(d.from), yearMonthText(d.to), doseCell(d.effective),
                      doseCell(d.lens), doseCell(d.skin), doseCell(d.internal),
                      d.note == NoComment ? QString() : d.note});
    return csv::excelFile(table);
}

QString leavingRecordFileName(const QString& name)
{
    return QStringLiteral("離職時記録_%1.csv").arg(name);
}

} // namespace velmora
