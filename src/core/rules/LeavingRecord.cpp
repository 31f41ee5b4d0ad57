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

// This facility's months from `from` on as entries: the larger of each dose of a month held twice, a
// negative dose (which no dosimeter reports) as 0, a month numbered outside 1–12 not counted and named in the
// row of its fiscal year's March. Each such doubt is written in the row's 備考 after 「要確認：」, which the
// next employer's totals show as 要確認, as this facility's own do.
QList<OtherFacilityDose> monthsHere(const PersonalFile& person, const QString& facility, MonthKey from)
{
    struct Month {
        std::array<ExactDose, 4> doses; // from 0, so that a negative dose counts as 0
        int records = 0;
        QStringList negatives;
        QStringList strays; // records numbered outside 1–12 of this fiscal year, if this is its March
    };
    QMap<MonthKey, Month> months;
    for (const MonthlyRecord& record : person.records) {
        if (fiscalYearOf(record.key) < fiscalYearOf(from))
            continue;
        const double doses[] = {record.effective, record.lens, record.skin, record.internal};
        if (record.key % 100 < 1 || record.key % 100 > 12) {
            QStringList given;
            for (size_t at = 0; at < 4; ++at)
                given << QString::fromUtf16(DoseWords[at]) + QLatin1Char(' ') + ExactDose::of(doses[at]).text();
            months[FiscalYear::of(record.key).lastMonth()].strays
                << QStringLiteral("%1（%2）").arg(monthName(record.key), given.join(QStringLiteral("、")));
            continue;
        }
        Month& month = months[record.key];
        ++month.records;
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
        if (!month.value().strays.isEmpty())
            doubts << QStringLiteral("月が1～12でない記録 %1 は集計外")
                          .arg(month.value().strays.join(QStringLiteral("、")));
        entries.append({person.header.name, facility, month.key(), month.key(), d[0].toDouble(), d[1].toDouble(),
                        d[2].toDouble(), d[3].toDouble(),
                        doubts.isEmpty() ? NoComment : SenderDoubtMark + doubts.join(QStringLiteral("、"))});
    }
    return entries;
}

// The last month with a dose on the record, here or elsewhere; 0 when there is none.
MonthKey lastDoseMonth(const PersonalFile& person, const DoseAdditions& own)
{
    MonthKey last = 0;
    for (const MonthlyRecord& month : person.records)
        if (month.key % 100 >= 1 && month.key % 100 <= 12)
            last = std::max(last, month.key);
    for (const OtherFacilityDose& dose : own.otherDoses)
        last = std::max(last, dose.to);
    return last;
}

qint64 lastDayOf(MonthKey month)
{
    const QDate first(int(month / 100), int(month % 100), 1);
    return qint64(month) * 100 + first.daysInMonth();
}

// What the next employer's limit checks need of the declarations: a pregnancy standing at the leaving day, and
// the designated-doctor status standing in the block up to it.
QList<Declaration> declarationsHandedOn(const DoseAdditions& own, qint64 leavingDay, qint64 blockFirstDay)
{
    QList<Declaration> handed;
    for (const Declaration& d : own.declarations) {
        const bool standing =
            d.kind == DeclarationKind::Pregnancy && d.from <= leavingDay && (d.to == 0 || d.to >= leavingDay);
        const bool designated =
            d.kind == DeclarationKind::DesignatedDoctor && d.from <= leavingDay && (d.to == 0 || d.to >= blockFirstDay);
        if (standing || designated)
            handed << d;
    }
    return handed;
}

// The person's file and their part of the doses elsewhere and declarations.
Result<std::pair<PersonalFile, DoseAdditions>> personWithAdditions(const DataDir& dir, const QString& name)
{
    const auto additions = ReadDoseAdditions(dir);
    if (!additions)
        return additions.error();
    const auto person = ReadPersonalFile(dir, name);
    if (!person)
        return person.error();
    return std::pair{*person, additions->value(name)};
}

} // namespace

Result<std::optional<qint64>> proposedLeavingDay(const DataDir& dir, const QString& name)
{
    const auto read = personWithAdditions(dir, name);
    if (!read)
        return read.error();
    const MonthKey last = lastDoseMonth(read->first, read->second);
    return last == 0 ? std::nullopt : std::optional(lastDayOf(last));
}

Result<LeavingRecord> leavingRecordOf(const DataDir& dir, const QString& name, qint64 leavingDay)
{
    const auto facility = ReadFacility(dir);
    if (!facility)
        return facility.error();
    if (facility->name.isEmpty())
        return failure(FailureKind::FacilityUnnamed);
    const auto read = personWithAdditions(dir, name);
    if (!read)
        return read.error();
    const auto& [person, own] = *read;
    LeavingRecord record;
    record.header = person.header;
    record.header.name = name;
    record.facility = facility->name;
    record.lastMonth = lastDoseMonth(person, own);
    record.leavingDay = leavingDay != 0 ? leavingDay : record.lastMonth != 0 ? lastDayOf(record.lastMonth) : 0;
    if (record.leavingDay == 0)
        return failureWithText(FailureKind::NothingToHandOver, name);
    const FiscalYear block = FiscalYear::of(MonthKey(record.leavingDay / 100)).blockStart();
    const int firstYear = block.year();
    const MonthKey from = block.firstMonth();
    record.entries = monthsHere(person, facility->name, from);
    for (const OtherFacilityDose& dose : own.otherDoses)
        if (dose.to >= from)
            record.otherDoses << dose;
    record.entries << record.otherDoses;
    record.declarations = declarationsHandedOn(own, record.leavingDay, block.firstDay());
    if (record.entries.isEmpty() && record.declarations.isEmpty())
        return failureWithText(FailureKind::NothingToHandOver, name);
    const int lastYear = fiscalYearOf(std::max(MonthKey(record.leavingDay / 100), record.lastMonth));
    for (int year = firstYear; year <= lastYear; ++year)
        record.years.append({year, doseTotals(person, year, own)});
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
    for (const Declaration& d : record.declarations)
        table.append({d.name, born, sex, record.facility, yearMonthText(MonthKey(d.from / 100)),
                      d.to == 0 ? QString() : yearMonthText(MonthKey(d.to / 100)), QString(), QString(), QString(),
                      QString(), declarationRowNote(d)});
    return csv::excelFile(table);
}

QString leavingRecordFileName(const QString& name)
{
    return QStringLiteral("離職時記録_%1.csv").arg(name);
}

} // namespace velmora
