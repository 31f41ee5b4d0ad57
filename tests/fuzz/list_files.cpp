// Any bytes given to the readers of "登録者名.txt", "既入力.txt", "他施設線量.txt", "申告.txt", "健康診断.txt",
// "線量計.txt" and "取込レイアウト.txt": no crash, an accepted registrant list never holds more than its capacity,
// never more months or entries are read than the bytes have lines, and every entry accepted is one the totals
// can take (a period across a fiscal year, which the windows refuse, is read and counted as a doubt), every
// examination one the window could have entered but for its day, every layout one that reads doses from
// columns of its headings.
#include "core/files/DoseAdditions.h"
#include "core/files/Dosimeters.h"
#include "core/files/Examinations.h"
#include "core/files/ImportLayouts.h"
#include "core/files/ListFiles.h"

#include <cstdlib>

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (const auto list = parseRegistrantList(bytes); list && list->count() > RegistrantList::Capacity)
        std::abort();
    if (const auto months = parseEnteredMonths(bytes); months && months->size() > bytes.count('\n') + 1)
        std::abort();
    if (const auto doses = parseOtherFacilityDoses(bytes); doses) {
        if (doses->size() * 9 > bytes.count('\n'))
            std::abort();
        for (const OtherFacilityDose& dose : *doses)
            if (storedOtherDoseProblem(dose))
                std::abort();
    }
    if (const auto declarations = parseDeclarations(bytes); declarations)
        for (const Declaration& declaration : *declarations)
            if (storedDeclarationProblem(declaration))
                std::abort();
    if (const auto examinations = parseExaminations(bytes); examinations)
        for (const Examination& examination : *examinations)
            if (storedExaminationProblem(examination))
                std::abort();
    if (const auto dosimeters = parseDosimeters(bytes); dosimeters)
        for (const Dosimeter& dosimeter : *dosimeters)
            if (storedDosimeterProblem(dosimeter))
                std::abort();
    if (const auto layouts = parseImportLayouts(bytes); layouts)
        for (const ImportLayout& layout : *layouts)
            if (layout.headingRow < 1 || layoutProblem(layout))
                std::abort();
    return 0;
}
