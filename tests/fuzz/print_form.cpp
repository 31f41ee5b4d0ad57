// Every finite double: its print form reads back to the same value, and its report and exponent forms
// are made without a crash.
#include "core/files/NumberForms.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    double value;
    if (size < sizeof value)
        return 0;
    std::memcpy(&value, data, sizeof value);
    if (!std::isfinite(value))
        return 0;
    if (readNumberLine(printForm(value)) != value)
        std::abort();
    reportForm(value);
    exponentForm(value);
    return 0;
}
