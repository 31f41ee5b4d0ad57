#include "core/files/StoreCheck.h"

#include "core/files/ChangeHistory.h"
#include "core/files/DoseAdditions.h"
#include "core/files/FacilitySettings.h"
#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"

namespace velmora {

Result<StoreCheck> VerifyStore(const DataDir& dir)
{
    const auto persons = ReadAllPersonNames(dir);
    if (!persons)
        return persons.error();
    if (const auto entered = LoadEnteredMonths(dir); !entered)
        return entered.error();
    if (const auto number = ReadNextRegistrationNumber(dir); !number)
        return number.error();
    if (const auto jobTypes = LoadJobTypes(dir); !jobTypes)
        return jobTypes.error();
    StoreCheck check;
    for (const QString& name : *persons) {
        if (const auto file = ReadPersonalFile(dir, name); !file)
            return file.error();
        ++check.personalFiles;
    }
    if (const auto doses = ReadOtherFacilityDoses(dir); !doses)
        return doses.error();
    if (const auto declarations = ReadDeclarations(dir); !declarations)
        return declarations.error();
    if (const auto facility = ReadFacility(dir); !facility)
        return facility.error();
    const auto history = ReadChangeHistory(dir);
    if (!history)
        return history.error();
    if (const auto broken = firstBrokenRecord(*history))
        return brokenChainAt(*broken);
    check.historyRecords = history->size();
    return check;
}

} // namespace velmora
