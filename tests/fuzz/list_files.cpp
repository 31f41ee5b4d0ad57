// Any bytes given to the readers of "登録者名.txt" and "既入力.txt": no crash, an accepted registrant
// list never holds more than its capacity, and never more months are read than the bytes have lines.
#include "store/ListFiles.h"

#include <cstdlib>

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (const auto list = parseRegistrantList(bytes); list && list->count() > RegistrantList::Capacity)
        std::abort();
    if (const auto months = parseEnteredMonths(bytes); months && months->size() > bytes.count('\n') + 1)
        std::abort();
    return 0;
}
