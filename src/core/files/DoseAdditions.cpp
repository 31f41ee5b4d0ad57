#include "core/files/DoseAdditions.h"

#include "core/files/NumberForms.h"
#include "core/files/PositionalForms.h"
#include "core/model/Calendar.h"

#include <QDate>
#include <QFileInfo>
#include <QRegularExpression>

namespace velmora {
namespace {

constexpr int OtherDoseLines = 9;   // 氏名 施設名 開始年月 終了年月 実効 水晶体 皮膚 内部 備考
constexpr int DeclarationLines = 5; // 氏名 種別 開始日 終了日 備考

bool hasLineBreak(const QString& text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

} // namespace

QString declarationKindText(DeclarationKind kind)
{
    switch (kind) {
    case DeclarationKind::Pregnancy:
        return QStringLiteral("妊娠");
    case DeclarationKind::CannotConceive:
        return QStringLiteral("妊娠不能と診断");
    case DeclarationKind::NoPregnancyPlan:
        return QStringLiteral("妊娠の意思なし（書面）");
    case DeclarationKind::DesignatedDoctor:
        return QStringLiteral("経過措置対象医師");
    }
    return {};
}

namespace {
const QString DeclarationRowMark = QStringLiteral("申告：");
}

QString declarationRowNote(const Declaration& declaration)
{
    return DeclarationRowMark + declarationKindText(declaration.kind) +
           QStringLiteral("（%1～%2）")
               .arg(dateWithSlashes(double(declaration.from)),
                    declaration.to == 0 ? QString() : dateWithSlashes(double(declaration.to)));
}

std::optional<Declaration> declarationOfRowNote(const QString& name, const QString& facility, const QString& note)
{
    static const QRegularExpression form(QStringLiteral("^申告：(.+)（([0-9/]+)～([0-9/]*)）$"));
    const auto match = form.match(note);
    if (!match.hasMatch())
        return std::nullopt;
    for (const DeclarationKind kind : {DeclarationKind::Pregnancy, DeclarationKind::CannotConceive,
                                       DeclarationKind::NoPregnancyPlan, DeclarationKind::DesignatedDoctor}) {
        if (match.captured(1) != declarationKindText(kind))
            continue;
        const auto from = typedDay(match.captured(2));
        const auto to = match.captured(3).isEmpty() ? std::optional<qint64>(0) : typedDay(match.captured(3));
        if (!from || !to)
            return std::nullopt;
        return Declaration{name, kind, *from, *to, QStringLiteral("%1の離職時記録から").arg(facility)};
    }
    return std::nullopt;
}

std::optional<FieldProblem> storedOtherDoseProblem(const OtherFacilityDose& dose)
{
    if (dose.name.isEmpty())
        return FieldProblem{0, EntryFault::NoName};
    if (dose.facility.trimmed().isEmpty())
        return FieldProblem{1, EntryFault::NoFacility};
    if (hasLineBreak(dose.facility) || hasLineBreak(dose.note))
        return FieldProblem{1, EntryFault::LineBreakInFacilityOrNote};
    if (!isRecordMonth(dose.from))
        return FieldProblem{2, EntryFault::MonthOutsideRecords};
    if (!isRecordMonth(dose.to))
        return FieldProblem{3, EntryFault::MonthOutsideRecords};
    if (dose.to < dose.from)
        return FieldProblem{3, EntryFault::PeriodOutOfOrder};
    const double doses[] = {dose.effective, dose.lens, dose.skin, dose.internal};
    for (int at = 0; at < 4; ++at)
        if (!isStorable(doses[at]) || doses[at] < 0)
            return FieldProblem{4 + at, EntryFault::NegativeDose};
    return std::nullopt;
}

std::optional<EntryFault> otherDoseProblem(const OtherFacilityDose& dose)
{
    if (const auto problem = storedOtherDoseProblem(dose))
        return problem->fault;
    if (fiscalYearOf(dose.from) != fiscalYearOf(dose.to))
        return EntryFault::PeriodAcrossYears;
    return std::nullopt;
}

std::optional<FieldProblem> storedDeclarationProblem(const Declaration& declaration)
{
    if (declaration.name.isEmpty())
        return FieldProblem{0, EntryFault::NoName};
    if (hasLineBreak(declaration.note))
        return FieldProblem{4, EntryFault::LineBreakInNote};
    if (!isCalendarDate(declaration.from))
        return FieldProblem{2, EntryFault::FirstDayNotADay};
    if (declaration.to != 0 && (!isCalendarDate(declaration.to) || declaration.to < declaration.from))
        return FieldProblem{3, EntryFault::LastDayNotADay};
    return std::nullopt;
}

std::optional<EntryFault> declarationProblem(const Declaration& declaration)
{
    const auto problem = storedDeclarationProblem(declaration);
    return problem ? std::optional(problem->fault) : std::nullopt;
}

Result<QList<OtherFacilityDose>> parseOtherFacilityDoses(QByteArrayView content)
{
    const auto records = recordsOf(content, OtherFacilityDosesFile, OtherDoseLines);
    if (!records)
        return records.error();
    QList<OtherFacilityDose> doses;
    for (qsizetype at = 0; at < records->size(); ++at) {
        const QStringList& r = records->at(at);
        NumberFields f{r};
        const OtherFacilityDose dose{r[0],        r[1],        f.whole(2),  f.whole(3), f.number(4),
                                     f.number(5), f.number(6), f.number(7), r[8]};
        if (const auto stored = storedOtherDoseProblem(dose); f.problem.fault == EntryFault::None && stored)
            f.problem = *stored;
        if (f.problem.fault != EntryFault::None)
            return damagedField(OtherFacilityDosesFile, at, OtherDoseLines, f.problem);
        doses.append(dose);
    }
    return doses;
}

Result<QList<Declaration>> parseDeclarations(QByteArrayView content)
{
    const auto records = recordsOf(content, DeclarationsFile, DeclarationLines);
    if (!records)
        return records.error();
    QList<Declaration> declarations;
    for (qsizetype at = 0; at < records->size(); ++at) {
        const QStringList& r = records->at(at);
        NumberFields f{r};
        const qint64 kind = f.whole(1);
        if (f.problem.fault == EntryFault::None && (kind < 1 || kind > 4))
            f.problem = FieldProblem{1, EntryFault::UnknownKind};
        const Declaration declaration{r[0], static_cast<DeclarationKind>(kind), f.whole(2), f.whole(3), r[4]};
        if (const auto stored = storedDeclarationProblem(declaration); f.problem.fault == EntryFault::None && stored)
            f.problem = *stored;
        if (f.problem.fault != EntryFault::None)
            return damagedField(DeclarationsFile, at, DeclarationLines, f.problem);
        declarations.append(declaration);
    }
    return declarations;
}

Result<QList<OtherFacilityDose>> ReadOtherFacilityDoses(const DataDir& dir)
{
    const auto content = readListBytes(dir, OtherFacilityDosesFile, LargestAdditionsFile);
    if (!content)
        return content.error();
    return parseOtherFacilityDoses(*content);
}

Result<QList<Declaration>> ReadDeclarations(const DataDir& dir)
{
    const auto content = readListBytes(dir, DeclarationsFile, LargestAdditionsFile);
    if (!content)
        return content.error();
    return parseDeclarations(*content);
}

Result<QHash<QString, DoseAdditions>> ReadDoseAdditions(const DataDir& dir)
{
    const auto doses = ReadOtherFacilityDoses(dir);
    if (!doses)
        return doses.error();
    const auto declarations = ReadDeclarations(dir);
    if (!declarations)
        return declarations.error();
    QHash<QString, DoseAdditions> byName;
    for (const OtherFacilityDose& dose : *doses)
        byName[dose.name].otherDoses.append(dose);
    for (const Declaration& declaration : *declarations)
        byName[declaration.name].declarations.append(declaration);
    return byName;
}

Status WriteOtherFacilityDoses(const DataDir& dir, const QList<OtherFacilityDose>& doses)
{
    QList<QStringList> records;
    for (const OtherFacilityDose& d : doses)
        records.append({d.name, d.facility, printForm(static_cast<double>(d.from)),
                        printForm(static_cast<double>(d.to)), printForm(d.effective), printForm(d.lens),
                        printForm(d.skin), printForm(d.internal), noteLine(d.note)});
    return writeRecords(dir, OtherFacilityDosesFile, records, MostOtherDoses, LargestAdditionsFile);
}

Status WriteDeclarations(const DataDir& dir, const QList<Declaration>& declarations)
{
    QList<QStringList> records;
    for (const Declaration& d : declarations)
        records.append({d.name, printForm(static_cast<int>(d.kind)), printForm(static_cast<double>(d.from)),
                        printForm(static_cast<double>(d.to)), noteLine(d.note)});
    return writeRecords(dir, DeclarationsFile, records, MostDeclarations, LargestAdditionsFile);
}

} // namespace velmora
