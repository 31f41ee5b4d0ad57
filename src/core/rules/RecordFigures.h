#pragma once

#include "core/model/Records.h"

#include <array>
#include <optional>

// What the personal exposure record computes, apart from how it is drawn: the months of a fiscal year,
// the record shown for each, the fiscal-year total, the cumulative doses and the "Ｍ" counts.
namespace velmora {

struct Doses {
    double effective = 0;
    double lens = 0;
    double skin = 0;
    double internal = 0;
};

Doses dosesOf(const MonthlyRecord& record);

struct RecordFigures {
    // The months April to March as keys: year × 100 + 4 … + 12, then + 101 … + 103.
    std::array<double, 12> keys{};
    // The first record of each month in file order; nothing where the file has none.
    std::array<const MonthlyRecord*, 12> months{};
    // The sum of the months shown, added exactly; nothing when no month of the year has a record.
    std::optional<Doses> yearTotal;
    // Every record summed exactly; external zeros are counted as "Ｍ" in `marks` instead of added.
    Doses cumulative;
    std::array<int, 3> marks{}; // effective, lens, skin
};

// The figures of `person`'s record for the fiscal year starting in April of `fiscalYear`. The records
// pointed to belong to `person`.
RecordFigures personalRecordFigures(const PersonalFile& person, double fiscalYear);

// Whether the month keys of a typed fiscal year stay whole numbers that can be compared exactly.
bool isShowableFiscalYear(const QString& fiscalYearText);

} // namespace velmora
