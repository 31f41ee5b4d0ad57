// Any bytes given to the personal-file reader: it never crashes, and whatever it accepts is written back
// by the rewrite's encoders into bytes that read back to the same header and records.
#include "core/files/PersonalFile.h"

#include <cstdlib>

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto file = parsePersonalFile(bytes, QStringLiteral("fuzz.dat"));
    if (!file)
        return 0;
    auto written = encodeHeader(file->header);
    for (const MonthlyRecord& record : file->records)
        if (const auto line = encodeRecord(record); written && line)
            written->append(*line);
    if (!written)
        std::abort(); // everything read can be written again
    const auto again = parsePersonalFile(*written, QStringLiteral("fuzz.dat"));
    if (!again || !(again->header == file->header) || again->records != file->records)
        std::abort();
    return 0;
}
