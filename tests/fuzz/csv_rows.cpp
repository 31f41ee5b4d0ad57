// Any bytes given to the reader of a month's CSV file: no crash, and an accepted file never gives more
// rows than it has line ends, each row starting on a line no later than the one after.
#include "core/files/Csv.h"

#include <cstdlib>

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto rows = csv::readRows(bytes, QStringLiteral("fuzz.csv"));
    if (!rows)
        return 0;
    const qsizetype lineEnds = bytes.count('\n') + bytes.count('\r');
    if (rows->size() > lineEnds + 1)
        std::abort();
    int previous = 0;
    for (const csv::Row& row : *rows) {
        if (row.line <= previous || row.line > lineEnds + 1)
            std::abort();
        previous = row.line;
    }
    return 0;
}
