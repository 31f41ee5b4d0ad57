// Any typed text (as UTF-16) read by LeadingNumber: no crash, and a finite result survives being written
// as a number line and read again.
#include "core/files/NumberForms.h"

#include <cmath>
#include <cstdlib>

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString typed = QString::fromUtf16(reinterpret_cast<const char16_t*>(data), static_cast<qsizetype>(size / 2));
    const double value = LeadingNumber(typed);
    if (std::isfinite(value) && readNumberLine(printForm(value)) != value)
        std::abort();
    return 0;
}
