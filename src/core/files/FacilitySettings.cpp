#include "core/files/FacilitySettings.h"

#include "core/files/Cp932.h"
#include "core/files/FileWriter.h"
#include "core/files/TextFile.h"
#include "core/model/Records.h"

#include <QFileInfo>

namespace velmora {
namespace {

QString lineOf(const QString& text)
{
    return text.trimmed().isEmpty() ? NoComment : text.trimmed();
}

QString textOf(const QString& line)
{
    return line == NoComment ? QString() : line;
}

} // namespace

std::optional<Failure> facilityProblem(const Facility& facility)
{
    return storableTextsProblem({facility.name, facility.responsibleTitle, facility.responsibleName},
                                LongestFacilityText);
}

Result<Facility> ReadFacility(const DataDir& dir)
{
    const QString path = dir.listFile(FacilityFile);
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return Facility();
    const auto bytes = readWholeFile(path, FacilityFile, LargestListFile);
    if (!bytes)
        return bytes.error();
    const auto lines = decodeTextLines(*bytes, FacilityFile);
    if (!lines)
        return lines.error();
    if (lines->size() != 3)
        return failure(FailureKind::Damaged, FacilityFile, static_cast<int>(std::min<qsizetype>(lines->size(), 3) + 1));
    const Facility facility{textOf(lines->at(0)), textOf(lines->at(1)), textOf(lines->at(2))};
    if (facilityProblem(facility))
        return failure(FailureKind::Damaged, FacilityFile, 1);
    return facility;
}

Status WriteFacility(const DataDir& dir, const Facility& facility)
{
    const auto content =
        encodeLines({lineOf(facility.name), lineOf(facility.responsibleTitle), lineOf(facility.responsibleName)});
    if (!content)
        return content.error();
    return replaceFile(dir.listFile(FacilityFile), FacilityFile, *content);
}

QString facilityLine(const Facility& facility)
{
    QStringList parts;
    if (!facility.name.isEmpty())
        parts << QStringLiteral("事業所：") + facility.name;
    QStringList responsible;
    for (const QString& part : {facility.responsibleTitle, facility.responsibleName})
        if (!part.isEmpty())
            responsible << part;
    if (!responsible.isEmpty())
        parts << QStringLiteral("責任者：") + responsible.join(QLatin1Char(' '));
    return parts.join(QStringLiteral("　"));
}

} // namespace velmora
