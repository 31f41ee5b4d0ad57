#include "core/files/StoreCheck.h"

#include "core/files/ChangeHistory.h"
#include "core/files/DoseAdditions.h"
#include "core/files/FacilitySettings.h"
#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"

namespace velmora {

StoreCheck VerifyStore(const DataDir& dir)
{
    StoreCheck check;
    const auto note = [&check](const auto& read) {
        if (!read)
            check.faults.append(read.error());
    };
    const auto persons = ReadAllPersonNames(dir);
    note(persons);
    note(LoadEnteredMonths(dir));
    note(ReadNextRegistrationNumber(dir));
    note(LoadJobTypes(dir));
    for (const QString& name : persons ? *persons : QStringList()) {
        const auto file = ReadPersonalFile(dir, name);
        note(file);
        check.personalFiles += file ? 1 : 0;
    }
    note(ReadOtherFacilityDoses(dir));
    note(ReadDeclarations(dir));
    note(ReadFacility(dir));
    const auto history = ReadChangeHistory(dir);
    note(history);
    if (!history)
        return check;
    for (const DamagedStretch& stretch : history->damage)
        check.faults.append(damagedHistoryAt(stretch));
    if (const auto broken = firstBrokenRecord(history->records))
        check.faults.append(brokenChainAt(history->records[*broken - 1], *broken));
    check.historyRecords = history->records.size();
    return check;
}

} // namespace velmora
