#include "core/changes/OtherDoseImport.h"

#include "core/changes/RecordedWrites.h"
#include "core/files/Cp932.h"
#include "core/files/Csv.h"
#include "core/files/FacilitySettings.h"
#include "core/files/ListFiles.h"
#include "core/files/NumberForms.h"
#include "core/files/PersonalFile.h"
#include "core/files/PositionalForms.h"
#include "core/files/WriterLock.h"
#include "core/rules/EntryRules.h"
#include "core/texts/Messages.h"

#include <QFileInfo>
#include <QSet>

namespace velmora {
namespace {

// The columns of the list of doses elsewhere, then those a leaving record writes besides or instead.
enum Column {
    Name,
    FacilityName,
    From,
    To,
    Effective,
    Lens,
    Skin,
    Internal,
    Note,
    Born,
    Sex,
    EffectiveInMSv,
    LensInMSv,
    SkinInMSv,
    InternalInMSv
};

QStringList knownHeadings()
{
    QStringList known = OtherDoseCsvHeadings;
    for (const Column column : {Born, Sex, Effective, Lens, Skin, Internal})
        known << LeavingRecordCsvHeadings[column == Born ? 1 : column == Sex ? 2 : column - Effective + 6];
    return known;
}

} // namespace

namespace {

// Why a dose cell of the import is not taken.
QString doseCellProblem(const QString& text)
{
    return QStringLiteral("「%1」").arg(text) + doseDoubtText(csv::readDose(text).doubt);
}

} // namespace

Result<OtherDoseImport> ReadOtherDoseImport(const QString& path, const OtherDoseImportTarget& target)
{
    OtherDoseImport import;
    import.file = QFileInfo(path).fileName();
    const auto rows = csv::readFile(path);
    if (!rows)
        return rows.error();
    const auto columns = csv::findColumns(rows->isEmpty() ? QStringList() : rows->first().cells, knownHeadings(),
                                          {{Name},
                                           {FacilityName},
                                           {From},
                                           {Effective, EffectiveInMSv},
                                           {Lens, LensInMSv},
                                           {Skin, SkinInMSv},
                                           {Internal, InternalInMSv}},
                                          import.file);
    if (!columns)
        return columns.error();
    // The persons, what is stored and what the file gave before, looked up in constant time: a file of
    // 200,000 rows reviews in a moment.
    const QSet<QString> listed(target.persons.begin(), target.persons.end());
    QSet<OtherFacilityDose> known(target.stored.begin(), target.stored.end());
    // A declaration is known by its person, kind and dates: the note a leaving record gives it is new.
    const auto declarationKey = [](const Declaration& d) {
        return QStringLiteral("%1\n%2\n%3\n%4").arg(d.name).arg(static_cast<int>(d.kind)).arg(d.from).arg(d.to);
    };
    QSet<QString> declared;
    for (const Declaration& d : target.declarations)
        declared.insert(declarationKey(d));
    for (qsizetype r = 1; r < rows->size(); ++r) {
        const csv::Row& row = (*rows)[r];
        const auto cell = [&](Column column) {
            // A dose under a leaving record's heading with its unit, where the file has that one.
            if (column >= Effective && column <= Internal && (*columns)[column] < 0)
                column = static_cast<Column>(column - Effective + EffectiveInMSv);
            return (*columns)[column] < 0 ? QString() : row.cells.value((*columns)[column]).trimmed();
        };
        if (std::all_of(row.cells.begin(), row.cells.end(), [](const QString& c) { return c.trimmed().isEmpty(); }))
            continue;
        const QString name = cp932::canonical(cell(Name));
        const QString label =
            QStringLiteral("%1行目").arg(row.line) + (name.isEmpty() ? QString() : QStringLiteral("（%1）").arg(name));
        if (const auto shape = csv::rowShapeProblem(row.cells, rows->first().cells.size())) {
            import.unusable << label + QStringLiteral("：") + messageOf(*shape);
            continue;
        }
        if (!listed.contains(name)) {
            import.unknownPersons << label;
            continue;
        }
        // A birth date in the file that is not the registrant's: most likely another person of the same name.
        std::optional<QString> problem;
        if (const QString born = cell(Born); !born.isEmpty() && target.birthDateOf) {
            const auto given = typedDay(born);
            const auto registered = target.birthDateOf(name);
            if (registered && (!given || double(*given) != *registered)) {
                Failure differs = failureWithText(FailureKind::BirthDateDiffers, born);
                differs.names = {dateWithSlashes(*registered)};
                problem = messageOf(differs);
            }
        }
        if (const auto declaration = declarationOfRowNote(name, cell(FacilityName), cell(Note))) {
            if (const auto fault = declarationProblem(*declaration); !problem && fault)
                problem = entryFaultText(*fault);
            if (problem)
                import.unusable << label + QStringLiteral("：") + *problem;
            else if (declared.contains(declarationKey(*declaration)))
                import.storedAlready << label;
            else {
                declared.insert(declarationKey(*declaration));
                import.declarations << *declaration;
                import.declarationRows << label + QStringLiteral("：") + cell(Note);
            }
            continue;
        }
        const auto from = typedYearMonth(cell(From));
        const auto to = cell(To).isEmpty() ? from : typedYearMonth(cell(To));
        OtherFacilityDose dose{name,
                               cell(FacilityName),
                               from.value_or(0),
                               to.value_or(0),
                               0,
                               0,
                               0,
                               0,
                               cell(Note).isEmpty() ? NoComment : cell(Note)};
        const std::pair<Column, double*> doses[] = {
            {Effective, &dose.effective}, {Lens, &dose.lens}, {Skin, &dose.skin}, {Internal, &dose.internal}};
        for (const auto& [column, value] : doses) {
            const csv::DoseReading typed = csv::readDose(cell(column));
            if (typed.doubt != csv::DoseReading::None && !problem)
                problem = doseCellProblem(cell(column));
            *value = typed.value;
        }
        if (const auto fault = storedOtherDoseProblem(dose); !problem && fault)
            problem = entryFaultText(fault->fault);
        if (const auto unstorable = storableTextsProblem({dose.facility, dose.note}); !problem && unstorable)
            problem = messageOf(*unstorable);
        if (problem) {
            import.unusable << label + QStringLiteral("：") + *problem;
            continue;
        }
        if (!target.ownFacility.isEmpty() && dose.facility == target.ownFacility) {
            import.ownFacility << label;
            continue;
        }
        if (known.contains(dose)) {
            import.storedAlready << label;
            continue;
        }
        if (fiscalYearOf(dose.from) != fiscalYearOf(dose.to))
            import.acrossYears << label;
        if (dose.note.startsWith(SenderDoubtMark))
            import.senderDoubts << label + QStringLiteral("：") + dose.note;
        known.insert(dose);
        import.entries << dose;
    }
    return import;
}

std::function<std::optional<double>(const QString&)> birthDatesIn(const DataDir& dir)
{
    auto known = std::make_shared<QHash<QString, std::optional<double>>>();
    return [dir, known](const QString& name) {
        if (!known->contains(name)) {
            const auto header = ReadPersonalHeader(dir, name, 4);
            known->insert(name, header ? std::optional(header->dateOfBirth) : std::nullopt);
        }
        return known->value(name);
    };
}

QString otherDoseImportReport(const OtherDoseImport& import)
{
    const QString named = otherDoseRowsNamed(import);
    return otherDoseImportText(import.file, import.entries.size(), import.declarations.size()) +
           (named.isEmpty() ? QString() : QStringLiteral("\n\n") + named);
}

QString otherDoseRowsNamed(const OtherDoseImport& import)
{
    return reviewParagraphs({
        {ReviewRows::UnknownPersons, &import.unknownPersons},
        {ReviewRows::Unusable, &import.unusable},
        {ReviewRows::StoredAlready, &import.storedAlready},
        {ReviewRows::OwnFacility, &import.ownFacility},
        {ReviewRows::AcrossYears, &import.acrossYears},
        {ReviewRows::SenderDoubts, &import.senderDoubts},
        {ReviewRows::DeclarationRows, &import.declarationRows},
    });
}

Result<OtherDoseImport> ImportOtherDoses(const DataDir& dir, const QString& path, const std::function<bool()>& goOn)
{
    WriterLock lock(dir);
    if (const auto locked = lock.tryLock(); !locked)
        return locked.error();
    const auto persons = ReadAllPersonNames(dir);
    if (!persons)
        return persons.error();
    const auto stored = ReadOtherFacilityDoses(dir);
    if (!stored)
        return stored.error();
    const auto declarations = ReadDeclarations(dir);
    if (!declarations)
        return declarations.error();
    const auto facility = ReadFacility(dir);
    if (!facility)
        return facility.error();
    auto import = ReadOtherDoseImport(path, {*persons, *stored, *declarations, facility->name, birthDatesIn(dir)});
    if (!import)
        return import.error();
    if (!import->unknownPersons.isEmpty() || !import->unusable.isEmpty())
        return failureWithText(FailureKind::ImportDoubts, otherDoseImportReport(*import));
    if (import->entries.isEmpty() && import->declarations.isEmpty())
        return import;
    if (goOn && !goOn())
        return failure(FailureKind::Interrupted);
    if (!import->entries.isEmpty())
        if (const auto written = SaveOtherFacilityDoses(dir, *stored, *stored + import->entries); !written)
            return written.error();
    if (!import->declarations.isEmpty())
        if (const auto written = SaveDeclarations(dir, *declarations, *declarations + import->declarations); !written)
            return written.error();
    return import;
}

} // namespace velmora
