#include "core/rules/RecordFigures.h"

#include "core/files/NumberForms.h"
#include "core/model/ExactDose.h"

#include <algorithm>
#include <cmath>

namespace velmora {
namespace {

constexpr double LargestKey = 9e13;

} // namespace

Doses dosesOf(const MonthlyRecord& record)
{
    return {record.effective, record.lens, record.skin, record.internal};
}

namespace {

// Doses added as their decimal texts, so that the record's totals agree with the dose totals to the last
// digit: 0.1 + 0.2 is 0.3, not the double nearest 0.30000000000000004.
struct ExactDoses {
    ExactDose effective, lens, skin, internal;
    Doses doses() const { return {effective.toDouble(), lens.toDouble(), skin.toDouble(), internal.toDouble()}; }
};

} // namespace

RecordFigures personalRecordFigures(const PersonalFile& person, double fiscalYear)
{
    RecordFigures figures;
    ExactDoses yearTotal;
    for (int slot = 0; slot < 12; ++slot) {
        figures.keys[slot] = fiscalYear * 100 + (slot < 9 ? slot + 4 : slot - 9 + 101);
        const auto record = std::find_if(person.records.begin(), person.records.end(), [&](const MonthlyRecord& r) {
            return static_cast<double>(r.key) == figures.keys[slot];
        });
        if (record == person.records.end())
            continue;
        figures.months[slot] = &*record;
        yearTotal.effective += ExactDose::of(record->effective);
        yearTotal.lens += ExactDose::of(record->lens);
        yearTotal.skin += ExactDose::of(record->skin);
        yearTotal.internal += ExactDose::of(record->internal);
        figures.yearTotal = yearTotal.doses();
    }
    ExactDoses cumulative;
    for (const MonthlyRecord& record : person.records) {
        const double external[] = {record.effective, record.lens, record.skin};
        ExactDose* sums[] = {&cumulative.effective, &cumulative.lens, &cumulative.skin};
        for (int column = 0; column < 3; ++column) {
            if (external[column] == 0)
                ++figures.marks[column];
            else
                *sums[column] += ExactDose::of(external[column]);
        }
        cumulative.internal += ExactDose::of(record.internal);
    }
    figures.cumulative = cumulative.doses();
    return figures;
}

bool isShowableFiscalYear(const QString& fiscalYearText)
{
    const double lastKey = LeadingNumber(fiscalYearText) * 100 + 103;
    return std::isfinite(lastKey) && std::fabs(lastKey) <= LargestKey;
}

} // namespace velmora
