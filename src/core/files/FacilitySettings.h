#pragma once

#include "core/files/DataDir.h"
#include "core/model/Result.h"

// The facility that keeps the records, named on every printed page: the name of the workplace (事業所名)
// and the title and name of the person responsible. Three lines of the file 事業所.txt, "―" for a line
// left empty; set in the totals window, read when a page is printed.
namespace velmora {

inline const QString FacilityFile = QStringLiteral("事業所.txt");

struct Facility {
    QString name;
    QString responsibleTitle;
    QString responsibleName;
    bool operator==(const Facility&) const = default;
};

// The longest text of a line, so that it fits a page's heading.
constexpr qsizetype LongestFacilityText = 40;

// Why the facility cannot be stored, for the window's message; nothing when it can.
std::optional<Failure> facilityProblem(const Facility& facility);

// The facility of the data folder; an empty one while the file is missing.
Result<Facility> ReadFacility(const DataDir& dir);
Status WriteFacility(const DataDir& dir, const Facility& facility);

// "事業所：A病院　放射線管理責任者：山田 太郎" for a page's heading; empty when nothing is set.
QString facilityLine(const Facility& facility);

} // namespace velmora
