#include "core/files/Dosimeters.h"

#include "core/files/NumberForms.h"
#include "core/model/Records.h"

namespace velmora {
namespace {

// 氏名 測定番号 装着
constexpr int DosimeterLines = 3;

} // namespace

QString wearingText(int wearing)
{
    QString text = wearing & NeckBadge ? QStringLiteral("2個（防護衣）") : QStringLiteral("1個");
    if (wearing & Ring)
        text += QStringLiteral("・指");
    if (wearing & EyeDosimeter)
        text += QStringLiteral("・眼");
    return text;
}

std::optional<FieldProblem> storedDosimeterProblem(const Dosimeter& dosimeter)
{
    if (dosimeter.name.isEmpty())
        return FieldProblem{0, EntryFault::NoName};
    if (dosimeter.serviceNumber.contains(QLatin1Char('\n')) || dosimeter.serviceNumber.contains(QLatin1Char('\r')))
        return FieldProblem{1, EntryFault::LineBreakInNote};
    if (dosimeter.wearing < 0 || dosimeter.wearing > AllWearing)
        return FieldProblem{2, EntryFault::UnknownWearing};
    return std::nullopt;
}

Result<QList<Dosimeter>> ReadDosimeters(const DataDir& dir)
{
    const auto content = readListBytes(dir, DosimetersFile, LargestDosimetersFile);
    if (!content)
        return content.error();
    return parseDosimeters(*content);
}

Result<QList<Dosimeter>> parseDosimeters(QByteArrayView content)
{
    const auto records = recordsOf(content, DosimetersFile, DosimeterLines);
    if (!records)
        return records.error();
    QList<Dosimeter> dosimeters;
    for (qsizetype at = 0; at < records->size(); ++at) {
        const QStringList& r = records->at(at);
        NumberFields f{r};
        const Dosimeter dosimeter{r[0], r[1] == NoComment ? QString() : r[1], static_cast<int>(f.whole(2))};
        if (const auto stored = storedDosimeterProblem(dosimeter); f.problem.fault == EntryFault::None && stored)
            f.problem = *stored;
        if (f.problem.fault != EntryFault::None)
            return damagedField(DosimetersFile, at, DosimeterLines, f.problem);
        dosimeters.append(dosimeter);
    }
    return dosimeters;
}

Status WriteDosimeters(const DataDir& dir, const QList<Dosimeter>& dosimeters)
{
    QList<QStringList> records;
    for (const Dosimeter& d : dosimeters)
        records.append({d.name, noteLine(d.serviceNumber), printForm(d.wearing)});
    return writeRecords(dir, DosimetersFile, records, MostDosimeters, LargestDosimetersFile);
}

} // namespace velmora
