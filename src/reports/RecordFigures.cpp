#include "RecordFigures.h"

#include "store/NumberForms.h"

#include <algorithm>
#include <cmath>

namespace velmora {
namespace {

constexpr double LargestKey = 9e13;

} // namespace

void Doses::add(const Doses& other)
{
    effective += other.effective;
    lens += other.lens;
    skin += other.skin;
    internal += other.internal;
}

Doses dosesOf(const MonthlyRecord& record)
{
    return {record.effective, record.lens, record.skin, record.internal};
}

RecordFigures personalRecordFigures(const PersonalFile& person, double fiscalYear)
{
    RecordFigures figures;
    Doses yearTotal;
    for (int slot = 0; slot < 12; ++slot) {
        figures.keys[slot] = fiscalYear * 100 + (slot < 9 ? slot + 4 : slot - 9 + 101);
        const auto record = std::find_if(person.records.begin(), person.records.end(), [&](const MonthlyRecord& r) {
            return static_cast<double>(r.key) == figures.keys[slot];
        });
        if (record == person.records.end())
            continue;
        figures.months[slot] = &*record;
        yearTotal.add(dosesOf(*record));
        figures.yearTotal = yearTotal;
    }
    for (const MonthlyRecord& record : person.records) {
        const double external[] = {record.effective, record.lens, record.skin};
        double* sums[] = {&figures.cumulative.effective, &figures.cumulative.lens, &figures.cumulative.skin};
        for (int column = 0; column < 3; ++column) {
            if (external[column] == 0)
                ++figures.marks[column];
            else
                *sums[column] += external[column];
        }
        figures.cumulative.internal += record.internal;
    }
    return figures;
}

bool isShowableFiscalYear(const QString& fiscalYearText)
{
    const double lastKey = LeadingNumber(fiscalYearText) * 100 + 103;
    return std::isfinite(lastKey) && std::fabs(lastKey) <= LargestKey;
}

} // namespace velmora
