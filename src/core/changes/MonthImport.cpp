#include "core/changes/MonthImport.h"

#include "core/changes/RecordedWrites.h"
#include "core/changes/SaveAll.h"
#include "core/changes/ServiceImport.h"
#include "core/files/Cp932.h"
#include "core/files/Csv.h"
#include "core/files/FileWriter.h"
#include "core/files/ListFiles.h"
#include "core/files/NumberForms.h"
#include "core/files/PersonalFile.h"
#include "core/files/WriterLock.h"
#include "core/rules/EntryRules.h"
#include "core/rules/MonthPlausibility.h"
#include "core/texts/Messages.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace velmora {
namespace {

enum Column { Number, Name, Effective, Lens, Skin, Internal, Comment, Columns };

// The rows named for a registrant on several rows; the rest are counted.
constexpr qsizetype DoubtsShown = 20;
constexpr Column DoseColumns[] = {Effective, Lens, Skin, Internal};

// The column of each heading in the file, or a failure naming what is missing or found twice.
Result<std::array<qsizetype, Columns>> findColumns(const QStringList& headings, const QString& file)
{
    const auto found =
        csv::findColumns(headings, MonthCsvHeadings, {{Number, Name}, {Effective}, {Lens}, {Skin}, {Internal}}, file);
    if (!found)
        return found.error();
    std::array<qsizetype, Columns> columns;
    std::copy(found->begin(), found->end(), columns.begin());
    return columns;
}

// The registration numbers of the registrants in list order, from their files.
Result<QList<double>> registrationNumbers(const DataDir& dir, const QStringList& names)
{
    QList<double> numbers;
    for (const QString& name : names) {
        const auto header = ReadPersonalHeader(dir, name, 6);
        if (!header)
            return header.error();
        numbers << header->registrationNumber;
    }
    return numbers;
}

// The numbers of the removed persons whose files can still be read.
QList<double> removedNumbers(const DataDir& dir, const QStringList& names)
{
    QList<double> numbers;
    for (const QString& name : names)
        if (const auto header = ReadPersonalHeader(dir, name, 6))
            numbers << header->registrationNumber;
    return numbers;
}

// One row of the file, read through the columns of its headings.
struct RowReader {
    QString cell(Column column) const
    {
        return columns[column] < 0 ? QString() : cells.value(columns[column]).trimmed();
    }
    QString name() const { return cp932::canonical(cell(Name)); }
    bool blank() const
    {
        return std::all_of(cells.begin(), cells.end(), [](const QString& c) { return c.trimmed().isEmpty(); });
    }
    // "5行目（登録番号 12　山田　太郎）": the row as the operator finds it in the spreadsheet.
    QString label() const
    {
        QStringList parts;
        if (!cell(Number).isEmpty())
            parts << QStringLiteral("登録番号 ") + cell(Number);
        if (!name().isEmpty())
            parts << name();
        const QString where = QStringLiteral("%1行目").arg(line);
        return parts.isEmpty() ? where : where + QStringLiteral("（%1）").arg(parts.join(QStringLiteral("　")));
    }

    const QStringList& cells;
    const std::array<qsizetype, Columns>& columns;
    const int line;
};

// The values of a matched row as confirming them would take them, with the doubts of the row noted;
// nothing when the row has no value at all, or values that cannot be saved.
std::optional<PendingEntry> valuesOf(const RowReader& row, MonthImport& import)
{
    const bool noDose = std::all_of(std::begin(DoseColumns), std::end(DoseColumns),
                                    [&](Column dose) { return row.cell(dose).isEmpty(); });
    if (noDose && row.cell(Comment).isEmpty())
        return std::nullopt;
    if (noDose) {
        import.unusable << row.label() + QStringLiteral("：線量がありません");
        return std::nullopt;
    }
    double doses[4];
    bool allNumbers = true;
    for (int i = 0; i < 4; ++i) {
        const QString text = row.cell(DoseColumns[i]);
        const QString cell = QStringLiteral("：%1「%2」").arg(MonthCsvHeadings[DoseColumns[i]], text);
        const csv::DoseReading dose = csv::readDose(text);
        if (dose.doubt == csv::DoseReading::NotANumber) {
            import.notNumbers << row.label() + cell;
            allNumbers = false;
        }
        if (dose.doubt == csv::DoseReading::Negative || dose.doubt == csv::DoseReading::TooLarge ||
            dose.doubt == csv::DoseReading::TooPrecise) {
            import.unusable << row.label() + cell + doseDoubtText(dose.doubt);
            return std::nullopt;
        }
        doses[i] = dose.value;
    }
    // A cell that is no dose never becomes one: the row is left out, its person keeps what it had.
    if (!allNumbers)
        return std::nullopt;
    const QString comment = row.cell(Comment).isEmpty() ? NoComment : row.cell(Comment);
    if (storableTextProblem(comment)) {
        import.unusable << row.label() + QStringLiteral("：備考「%1」は保存できません").arg(comment);
        return std::nullopt;
    }
    return PendingEntry{doses[0], doses[1], doses[2], doses[3], comment, true};
}

// A file as the command line takes it: Velmora's own columns, or a service's through the saved layout called
// `layout` with the dosimeter list it teaches. ImportDoubts, with the review, on any doubt.
Result<std::pair<MonthImport, std::optional<QList<Dosimeter>>>> readForCommand(const DataDir& dir,
                                                                               const RegistrantList& registrants,
                                                                               const QString& path,
                                                                               const QString& layout, MonthKey key)
{
    const auto bytes = csv::fileBytes(path);
    if (!bytes)
        return bytes.error();
    const QString file = QFileInfo(path).fileName();
    if (layout.isEmpty()) {
        const auto rows = csv::readRows(*bytes, file);
        if (!rows)
            return rows.error();
        const auto import = ReadMonthImport(dir, registrants, *rows, file);
        if (!import) {
            // A service's file given without its layout: the saved layout made for its headings is named.
            Failure failed = import.error();
            const auto layouts = ReadImportLayouts(dir);
            if (failed.kind == FailureKind::MissingColumns && layouts) {
                QList<QStringList> firstRows;
                for (const csv::Row& row : rows->first(std::min<qsizetype>(rows->size(), 20)))
                    firstRows << row.cells;
                if (const auto made = layoutFor(*layouts, firstRows))
                    failed.text = made->name;
            }
            return failed;
        }
        if (import->hasDoubts())
            return failureWithText(FailureKind::ImportDoubts, monthImportReport(*import, registrants.count(), key));
        return std::pair(*import, std::optional<QList<Dosimeter>>());
    }
    const auto found = FindImportLayout(dir, layout);
    if (!found)
        return found.error();
    const auto known = ReadDosimeters(dir);
    if (!known)
        return known.error();
    const auto import = ReadServiceImport(dir, registrants, *bytes, file, *found, key, *known);
    if (!import)
        return import.error();
    if (import->hasDoubts())
        return failureWithText(FailureKind::ImportDoubts, serviceImportReport(*import, registrants.count(), key));
    return std::pair(import->month, std::optional(import->dosimeters));
}

} // namespace

bool hasMonthCsvHeadings(const QStringList& headings)
{
    return static_cast<bool>(findColumns(headings, {}));
}

QString monthTemplateName(MonthKey key)
{
    return QStringLiteral("線量入力_%1.csv").arg(key);
}

Status WriteMonthTemplate(const DataDir& dir, const RegistrantList& registrants, const QString& path)
{
    // A template never replaces a file of the store, whatever name the operator gives it.
    if (isStoreFile(dir, path))
        return failure(FailureKind::AlreadyExists, QFileInfo(path).fileName());
    const auto numbers = registrationNumbers(dir, registrants.names);
    if (!numbers)
        return numbers.error();
    QList<QStringList> rows{MonthCsvHeadings};
    for (qsizetype i = 0; i < registrants.count(); ++i)
        rows << QStringList{plainForm((*numbers)[i]), registrants.names[i], {}, {}, {}, {}, {}};
    return replaceFile(path, QFileInfo(path).fileName(), csv::excelFile(rows));
}

qsizetype MonthImport::taken() const
{
    return std::count_if(values.begin(), values.end(), [](const auto& v) { return v.has_value(); });
}

bool MonthImport::hasDoubts() const
{
    return !unmatched.isEmpty() || !removed.isEmpty() || !otherName.isEmpty() || !repeated.isEmpty() ||
           !notNumbers.isEmpty() || !unusable.isEmpty() || !withoutValues.isEmpty();
}

Result<MonthImport> ReadMonthImport(const DataDir& dir, const RegistrantList& registrants, const QList<csv::Row>& rows,
                                    const QString& file)
{
    MonthImport import;
    import.file = file;
    const auto columns = findColumns(rows.isEmpty() ? QStringList() : rows.first().cells, import.file);
    if (!columns)
        return columns.error();

    const auto numbers = registrationNumbers(dir, registrants.names);
    if (!numbers)
        return numbers.error();
    const auto removedNames = ReadRemovedNames(dir);
    if (!removedNames)
        return removedNames.error();
    const QList<double> numbersRemoved = removedNumbers(dir, *removedNames);

    import.values.resize(static_cast<size_t>(registrants.count()));
    QList<QStringList> rowsOf(registrants.count()); // the rows each registrant was matched by
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const RowReader row{rows[r].cells, *columns, rows[r].line};
        if (row.blank())
            continue;
        if (const auto shape = csv::rowShapeProblem(row.cells, rows.first().cells.size())) {
            import.unusable << row.label() + QStringLiteral("：") + messageOf(*shape);
            continue;
        }
        qsizetype position = -1;
        bool removed = false;
        if (!row.cell(Number).isEmpty()) {
            const auto number = leadingNumberOf(row.cell(Number));
            position = number ? numbers->indexOf(*number) : -1;
            removed = number && numbersRemoved.contains(*number);
            if (position >= 0 && !row.name().isEmpty() && row.name() != registrants.names[position])
                import.otherName << row.label() + QStringLiteral("：登録番号 %1 は %2 です")
                                                      .arg(row.cell(Number), registrants.names[position]);
        } else if (!row.name().isEmpty()) {
            position = registrants.names.indexOf(row.name());
            removed = removedNames->contains(row.name());
        }
        if (position < 0) {
            (removed ? import.removed : import.unmatched) << row.label();
            continue;
        }
        rowsOf[position] << QStringLiteral("%1行目").arg(row.line);
        if (auto values = valuesOf(row, import))
            import.values[static_cast<size_t>(position)] = values;
    }
    for (qsizetype i = 0; i < registrants.count(); ++i) {
        if (rowsOf[i].size() > 1) {
            QString shownRows = rowsOf[i].first(std::min(rowsOf[i].size(), DoubtsShown)).join(QStringLiteral("、"));
            if (rowsOf[i].size() > DoubtsShown)
                shownRows += QStringLiteral("、ほか%1行").arg(rowsOf[i].size() - DoubtsShown);
            import.repeated << registrants.names[i] + QStringLiteral("（%1）").arg(shownRows);
        }
        if (!import.values[static_cast<size_t>(i)])
            import.withoutValues << registrants.names[i];
    }
    return import;
}

QString monthImportReport(const MonthImport& import, qsizetype registrants, MonthKey key)
{
    const QString doubts = reviewParagraphs({
        {ReviewRows::Unmatched, &import.unmatched},
        {ReviewRows::Removed, &import.removed},
        {ReviewRows::OtherName, &import.otherName},
        {ReviewRows::Repeated, &import.repeated},
        {ReviewRows::NotNumbers, &import.notNumbers},
        {ReviewRows::Unusable, &import.unusable},
        {ReviewRows::WithoutValues, &import.withoutValues},
    });
    return monthImportText(import.file, key, registrants, import.taken()) +
           (doubts.isEmpty() ? QString() : QStringLiteral("\n\n") + doubts);
}

Result<ImportedMonthSaved> SaveMonthFromCsv(const DataDir& dir, MonthKey key, const QString& path, bool replace,
                                            const std::function<bool()>& goOn, const QString& layout)
{
    WriterLock lock(dir);
    if (const auto locked = lock.tryLock(); !locked)
        return locked.error();
    const auto registrants = LoadRegistrantList(dir);
    if (!registrants)
        return registrants.error();
    const auto entered = LoadEnteredMonths(dir);
    if (!entered)
        return entered.error();
    if (entered->contains(key))
        return failure(FailureKind::MonthEntered);
    const auto read = readForCommand(dir, *registrants, path, layout, key);
    if (!read)
        return read.error();
    const auto& [import, dosimeters] = *read;
    std::vector<PendingEntry> pending;
    for (const auto& values : import.values)
        pending.push_back(*values);
    if (dosimeters) {
        const auto before = ReadDosimeters(dir);
        if (!before)
            return before.error();
        if (*before != *dosimeters)
            if (const auto recorded = SaveDosimeters(dir, *before, *dosimeters); !recorded)
                return recorded.error();
    }
    LimitFindings findings = monthLimitFindings(dir, *registrants, pending, key);
    const auto saved =
        SaveMonthForAll(dir, *registrants, pending, key, replace ? HeldValues::Replace : HeldValues::Refuse,
                        [&goOn](qsizetype) { return !goOn || goOn(); });
    if (!saved)
        return saved.error();
    return ImportedMonthSaved{registrants->count(), *saved, std::move(findings)};
}

} // namespace velmora
