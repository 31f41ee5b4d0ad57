#include "core/changes/ServiceImport.h"

#include "core/files/Cp932.h"
#include "core/files/Csv.h"
#include "core/files/ListFiles.h"
#include "core/model/Calendar.h"
#include "core/rules/BadgeDoses.h"
#include "core/texts/Messages.h"

#include <QHash>
#include <QRegularExpression>

namespace velmora {
namespace {

constexpr LayoutColumn ServiceDoses[] = {LayoutColumn::Effective, LayoutColumn::Lens, LayoutColumn::Skin,
                                         LayoutColumn::Internal};
constexpr int FirstSite = static_cast<int>(LayoutColumn::TrunkHp10);

// The month a cell names: "202504", "2025/4", "2025-04-01", "2025年4月"; nothing for anything else.
std::optional<MonthKey> monthOfCell(const QString& cell)
{
    static const QRegularExpression digits(QStringLiteral("\\d+"));
    QStringList groups;
    for (const auto& match : digits.globalMatch(cell.normalized(QString::NormalizationForm_KC)))
        groups << match.captured();
    MonthKey key = 0;
    if (groups.size() == 1 && groups[0].size() == 6)
        key = groups[0].toInt();
    else if (groups.size() >= 2 && groups[0].size() == 4 && groups[1].size() <= 2)
        key = groups[0].toInt() * 100 + groups[1].toInt();
    return isRecordMonth(key) ? std::optional(key) : std::nullopt;
}

// The decimal places a dose cell is given to: "0.10" has 2, "1" none.
int placesOf(const QString& cell, double value)
{
    const QString text = cell.normalized(QString::NormalizationForm_KC).trimmed();
    if (text.contains(QLatin1Char('e'), Qt::CaseInsensitive)) {
        const QString exact = ExactDose::of(value).text();
        const qsizetype point = exact.indexOf(QLatin1Char('.'));
        return point < 0 ? 0 : static_cast<int>(exact.size() - point - 1);
    }
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    return point < 0 ? 0 : static_cast<int>(text.size() - point - 1);
}

// One row read through the layout; a cell that cannot be read fails naming the row and column.
struct RowReader {
    QString cell(LayoutColumn column) const
    {
        const int at = layout.column(column);
        return at > 0 ? row.cells.value(at - 1).trimmed() : QString();
    }
    bool has(LayoutColumn column) const { return layout.column(column) > 0; }

    // 「列C（実効線量）「abc」は数ではありません」
    Failure fault(LayoutColumn column, const QString& what) const
    {
        const int at = layout.column(column);
        Failure failed = failure(FailureKind::ImportCell, file, row.line);
        failed.text = QStringLiteral("%1列（%2）%3").arg(csv::columnLetter(at), layoutColumnText(column), what);
        return failed;
    }

    // The cell's reading, a mark (or blank) as 0 counted in `marks`; nothing where the layout has no column.
    Result<std::optional<Reading>> reading(LayoutColumn column, qsizetype& marks, bool* marked = nullptr) const
    {
        if (!has(column))
            return std::optional<Reading>();
        const QString text = cell(column);
        const QString plain = text.normalized(QString::NormalizationForm_KC);
        const bool mark =
            text.isEmpty() || csv::isBelowDetection(text) ||
            std::any_of(layout.marks.begin(), layout.marks.end(), [&](const QString& m) {
                return plain.compare(m.normalized(QString::NormalizationForm_KC), Qt::CaseInsensitive) == 0;
            });
        if (mark) {
            ++marks;
            if (marked)
                *marked = !text.isEmpty();
            return std::optional(Reading{});
        }
        const csv::DoseReading dose = csv::readDose(text);
        if (dose.doubt == csv::DoseReading::NotANumber)
            return fault(column, QStringLiteral("「%1」は線量の数でも検出限界未満の記号でもありません").arg(text));
        if (dose.doubt != csv::DoseReading::None)
            return fault(column, QStringLiteral("「%1」").arg(text) + doseDoubtText(dose.doubt));
        return std::optional(Reading{ExactDose::of(dose.value), placesOf(text, dose.value)});
    }

    const csv::Row& row;
    const ImportLayout& layout;
    const QString& file;
};

// The wearing a row shows where the layout has the site's columns: a cell holding anything (a reading or a mark)
// is a badge worn that month, an empty one none; a site the layout has no column of keeps what is recorded.
int wearingShown(const RowReader& row, int recorded)
{
    int wearing = recorded;
    const auto shows = [&](int flag, std::initializer_list<LayoutColumn> columns) {
        bool read = false;
        bool filled = false;
        for (const LayoutColumn column : columns) {
            read = read || row.has(column);
            filled = filled || !row.cell(column).isEmpty();
        }
        if (read)
            wearing = filled ? wearing | flag : wearing & ~flag;
    };
    shows(NeckBadge, {LayoutColumn::NeckHp10, LayoutColumn::NeckHp007});
    shows(Ring, {LayoutColumn::RingHp007});
    shows(EyeDosimeter, {LayoutColumn::EyeHp3});
    return wearing;
}

// Whether the site of a layout's column is worn.
bool worn(LayoutColumn column, int wearing)
{
    switch (column) {
    case LayoutColumn::NeckHp10:
    case LayoutColumn::NeckHp007:
        return wearing & NeckBadge;
    case LayoutColumn::EyeHp3:
        return wearing & EyeDosimeter;
    case LayoutColumn::RingHp007:
        return wearing & Ring;
    default:
        return true;
    }
}

// Whether a service's dose and the one computed differ by more than one unit of the service's last digit.
bool differs(const Reading& service, const Reading& computed)
{
    ExactDose unit = ExactDose::whole(1);
    for (int place = 0; place < service.places; ++place)
        unit = unit.dividedBy(10);
    const ExactDose low = service.dose < computed.dose ? service.dose : computed.dose;
    const ExactDose high = service.dose < computed.dose ? computed.dose : service.dose;
    return low + unit < high;
}

bool allBlank(const QStringList& cells)
{
    return std::all_of(cells.begin(), cells.end(), [](const QString& c) { return c.trimmed().isEmpty(); });
}

// The first heading of a file's heading row that is not the layout's, named by its column; nothing when
// they are the layout's.
std::optional<Failure> headingProblem(const QStringList& found, const QString& file, const ImportLayout& layout)
{
    if (found == layout.headings)
        return std::nullopt;
    qsizetype at = 0;
    while (at < layout.headings.size() && at < found.size() && found[at] == layout.headings[at])
        ++at;
    Failure failed = failure(FailureKind::ImportCell, file, layout.headingRow);
    const QString column = csv::columnLetter(static_cast<int>(at + 1));
    failed.text = at < layout.headings.size()
                      ? QStringLiteral("%1列の見出しが取込レイアウト「%2」の「%3」ではありません")
                            .arg(column, layout.name, layout.headings[at])
                      : QStringLiteral("%1列に取込レイアウト「%2」にない見出し「%3」があります")
                            .arg(column, layout.name, found.value(at));
    return failed;
}

} // namespace

bool ServiceImport::hasDoubts() const
{
    return month.hasDoubts() || !otherName.isEmpty() || !marksInInternal.isEmpty() || !differing.isEmpty();
}

Result<ServiceImport> ReadServiceImport(const DataDir& dir, const RegistrantList& registrants, QByteArrayView bytes,
                                        const QString& file, const ImportLayout& layout, MonthKey key,
                                        const QList<Dosimeter>& dosimeters)
{
    ServiceImport import;
    import.month.file = file;
    import.dosimeters = dosimeters;
    const auto removedNames = ReadRemovedNames(dir);
    if (!removedNames)
        return removedNames.error();
    QHash<QString, qsizetype> byNumber; // the dosimeter list's entry of each service number
    QHash<QString, qsizetype> byName;
    for (qsizetype i = 0; i < import.dosimeters.size(); ++i) {
        if (!import.dosimeters[i].serviceNumber.isEmpty())
            byNumber.insert(import.dosimeters[i].serviceNumber, i);
        byName.insert(import.dosimeters[i].name, i);
    }
    const bool sites =
        std::any_of(layout.columns.begin() + FirstSite, layout.columns.end(), [](int c) { return c > 0; });

    const auto count = static_cast<size_t>(registrants.count());
    import.month.values.resize(count);
    import.computed.resize(count);
    QList<int> rowOf(registrants.count(), 0);
    // Each row taken as it is read, so that a file is refused at its first fault without its rows held.
    const auto take = [&](const csv::Row& read) -> Status {
        const RowReader row{read, layout, file};
        if (allBlank(row.row.cells))
            return {};
        if (const auto shape = csv::rowShapeProblem(row.row.cells, layout.headings.size())) {
            // A row cut short, or a value where no heading stands: named by the column it ends at or holds it.
            Failure ragged = failure(FailureKind::ImportCell, file, row.row.line);
            ragged.text = shape->kind == FailureKind::RowCutShort
                              ? QStringLiteral("%1列で終わっています（見出しは%2列まで）")
                                    .arg(csv::columnLetter(shape->line),
                                         csv::columnLetter(static_cast<int>(layout.headings.size())))
                              : QStringLiteral("%1列に見出しのない値「%2」があります")
                                    .arg(csv::columnLetter(shape->line), shape->text);
            return ragged;
        }
        if (row.has(LayoutColumn::Month)) {
            const auto month = monthOfCell(row.cell(LayoutColumn::Month));
            if (!month)
                return row.fault(LayoutColumn::Month,
                                 QStringLiteral("「%1」は年月ではありません").arg(row.cell(LayoutColumn::Month)));
            if (*month != key) {
                ++import.otherMonths;
                return {};
            }
        }

        // The person: by the service's number when it is known, otherwise by name.
        const QString name = cp932::canonical(row.cell(LayoutColumn::Name));
        const QString number = row.cell(LayoutColumn::ServiceNumber);
        const qsizetype known = number.isEmpty() ? -1 : byNumber.value(number, -1);
        const QString person = known >= 0 ? import.dosimeters[known].name : name;
        QStringList who;
        if (!number.isEmpty())
            who << QStringLiteral("番号 ") + number;
        if (!name.isEmpty())
            who << name;
        const QString label = QStringLiteral("%1行目（%2）").arg(row.row.line).arg(who.join(QStringLiteral("　")));
        if (known >= 0 && !name.isEmpty() && name != person)
            import.otherName << label + QStringLiteral("：番号 %1 は %2 です").arg(number, person);
        const qsizetype position = person.isEmpty() ? -1 : registrants.names.indexOf(person);
        if (position < 0) {
            (removedNames->contains(person) ? import.month.removed : import.month.unmatched) << label;
            return {};
        }
        if (rowOf[position] > 0)
            return row.fault(name.isEmpty() ? LayoutColumn::ServiceNumber : LayoutColumn::Name,
                             QStringLiteral("%1さんは%2行目にもあります").arg(person).arg(rowOf[position]));
        rowOf[position] = row.row.line;

        // The person's dosimeter: the number read beside the name, the wearing the row shows; what changes is
        // listed and recorded once the import is accepted.
        qsizetype entry = byName.value(person, -1);
        const bool recorded = entry >= 0;
        if (!recorded) {
            import.dosimeters.append({person, {}, OneBadge});
            entry = import.dosimeters.size() - 1;
            byName.insert(person, entry);
        }
        Dosimeter& dosimeter = import.dosimeters[entry];
        const Dosimeter was = dosimeter;
        if (!number.isEmpty()) {
            dosimeter.serviceNumber = number;
            byNumber.insert(number, entry);
        }
        dosimeter.wearing = wearingShown(row, dosimeter.wearing);
        QStringList learned;
        if (!recorded)
            learned << QStringLiteral("番号 %1、%2")
                           .arg(number.isEmpty() ? NoComment : number, wearingText(dosimeter.wearing));
        if (recorded && dosimeter.serviceNumber != was.serviceNumber)
            learned << QStringLiteral("番号 %1（これまで %2）")
                           .arg(number, was.serviceNumber.isEmpty() ? NoComment : was.serviceNumber);
        if (recorded && dosimeter.wearing != was.wearing)
            learned << QStringLiteral("装着 %1（これまで %2）")
                           .arg(wearingText(dosimeter.wearing), wearingText(was.wearing));
        if (!learned.isEmpty())
            import.newNumbers << person + QStringLiteral("：") + learned.join(QStringLiteral("、"));
        const int wearing = dosimeter.wearing;
        if (sites && wearing != OneBadge)
            import.wearings << person + QStringLiteral("：") + wearingText(wearing);

        // The readings of the sites worn (the empty cells of a badge not worn are no marks), the service's doses.
        SiteReadings readings;
        for (int s = 0; s < Sites; ++s) {
            const auto column = static_cast<LayoutColumn>(FirstSite + s);
            if (!worn(column, wearing))
                continue; // a site not worn
            const auto reading = row.reading(column, import.marks);
            if (!reading)
                return reading.error();
            readings[static_cast<size_t>(s)] = *reading;
        }
        std::optional<Reading> service[4];
        for (int q = 0; q < 4; ++q) {
            bool marked = false;
            const auto reading = row.reading(ServiceDoses[q], import.marks, &marked);
            if (!reading)
                return reading.error();
            service[q] = *reading;
            if (ServiceDoses[q] == LayoutColumn::Internal && marked)
                import.marksInInternal << QStringLiteral("%1：「%2」").arg(person, row.cell(LayoutColumn::Internal));
        }
        const ComputedDoses computed = computedDoses(readings, wearing);
        const std::optional<Reading> fromSites[4] = {computed.effective, computed.lens, computed.skin, std::nullopt};
        PendingEntry taken{0, 0, 0, 0, NoComment, true};
        PendingEntry alternative = taken;
        double* fields[4] = {&taken.effective, &taken.lens, &taken.skin, &taken.internal};
        double* alternatives[4] = {&alternative.effective, &alternative.lens, &alternative.skin, &alternative.internal};
        QStringList differences;
        for (int q = 0; q < 4; ++q) {
            const Reading chosen = service[q] ? *service[q] : fromSites[q].value_or(Reading{});
            *fields[q] = chosen.dose.toDouble();
            *alternatives[q] = fromSites[q] ? fromSites[q]->dose.toDouble() : *fields[q];
            if (service[q] && fromSites[q] && differs(*service[q], *fromSites[q]))
                differences << QStringLiteral("%1 %2／計算 %3")
                                   .arg(layoutColumnText(ServiceDoses[q]), service[q]->dose.text(),
                                        fromSites[q]->dose.text());
        }
        import.month.values[static_cast<size_t>(position)] = taken;
        import.rows.append(
            {person, wearing, readings, computed, {service[0], service[1], service[2]}, !differences.isEmpty()});
        if (!differences.isEmpty()) {
            import.differing << person + QStringLiteral("：") + differences.join(QStringLiteral("、"));
            import.computed[static_cast<size_t>(position)] = alternative;
        }
        return {};
    };
    std::optional<Failure> refused;
    qsizetype at = 0;
    const Status read = csv::forEachRow(bytes, file, [&](const csv::Row& row) {
        const qsizetype index = at++;
        if (index == layout.headingRow - 1)
            refused = headingProblem(layoutHeadings(row.cells), file, layout);
        else if (index >= layout.headingRow)
            if (const Status taken = take(row); !taken)
                refused = taken.error();
        return !refused;
    });
    if (!read)
        return read.error();
    if (!refused && at < layout.headingRow)
        refused = headingProblem({}, file, layout);
    if (refused)
        return *refused;
    for (qsizetype i = 0; i < registrants.count(); ++i)
        if (!import.month.values[static_cast<size_t>(i)])
            import.month.withoutValues << registrants.names[i];
    return import;
}

QString serviceImportReport(const ServiceImport& import, qsizetype registrants, MonthKey key)
{
    const QString extra = reviewParagraphs({
        {ReviewRows::NumberOtherName, &import.otherName},
        {ReviewRows::MarksInInternal, &import.marksInInternal},
        {ReviewRows::ServiceDiffers, &import.differing},
        {ReviewRows::Wearings, &import.wearings},
        {ReviewRows::NewNumbers, &import.newNumbers},
    });
    return monthImportReport(import.month, registrants, key) + QStringLiteral("\n\n") +
           serviceImportText(import.marks, import.otherMonths) +
           (extra.isEmpty() ? QString() : QStringLiteral("\n\n") + extra);
}

void takeComputed(ServiceImport& import)
{
    for (size_t position = 0; position < import.computed.size(); ++position)
        if (import.computed[position])
            import.month.values[position] = import.computed[position];
}

Result<ImportLayout> FindImportLayout(const DataDir& dir, const QString& name)
{
    const auto layouts = ReadImportLayouts(dir);
    if (!layouts)
        return layouts.error();
    QStringList names;
    for (const ImportLayout& layout : *layouts) {
        if (layout.name == name)
            return layout;
        names << layout.name;
    }
    Failure unknown = failureWithText(FailureKind::UnknownLayout, name);
    unknown.names = names;
    return unknown;
}

} // namespace velmora
