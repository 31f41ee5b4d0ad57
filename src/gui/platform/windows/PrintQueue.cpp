#include "gui/platform/PrintQueue.h"

#include <algorithm>
#include <vector>
#include <windows.h>
#include <winspool.h>

namespace velmora {
namespace {

// An open printer of the Windows spooler, closed when it goes out of scope.
class SpooledPrinter {
public:
    explicit SpooledPrinter(const QString& name)
    {
        std::wstring wide = name.toStdWString();
        if (!::OpenPrinterW(wide.data(), &handle, nullptr))
            handle = nullptr;
    }
    ~SpooledPrinter()
    {
        if (handle)
            ::ClosePrinter(handle);
    }
    SpooledPrinter(const SpooledPrinter&) = delete;
    SpooledPrinter& operator=(const SpooledPrinter&) = delete;
    HANDLE get() const { return handle; }

private:
    HANDLE handle = nullptr;
};

} // namespace

QString queueRefusal(const QString& printerName)
{
    SpooledPrinter printer(printerName);
    if (!printer.get())
        return QStringLiteral("プリンター「%1」が見つからない").arg(printerName);
    DWORD needed = 0;
    ::GetPrinterW(printer.get(), 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    if (needed == 0 || !::GetPrinterW(printer.get(), 2, buffer.data(), needed, &needed))
        return {}; // nothing known: the job's arrival is checked after it
    const auto* information = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    if (information->Status & (PRINTER_STATUS_PAUSED | PRINTER_STATUS_PENDING_DELETION))
        return QStringLiteral("プリンター「%1」が停止している").arg(printerName);
    if (information->Status & (PRINTER_STATUS_ERROR | PRINTER_STATUS_OFFLINE | PRINTER_STATUS_NOT_AVAILABLE))
        return QStringLiteral("プリンター「%1」が印刷を受け付けていない").arg(printerName);
    return {};
}

int lastJobId(const QString& printerName)
{
    SpooledPrinter printer(printerName);
    if (!printer.get())
        return 0;
    DWORD needed = 0, count = 0;
    ::EnumJobsW(printer.get(), 0, 0xFFFF, 1, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed);
    if (needed == 0 || !::EnumJobsW(printer.get(), 0, 0xFFFF, 1, buffer.data(), needed, &needed, &count))
        return 0;
    const auto* jobs = reinterpret_cast<const JOB_INFO_1W*>(buffer.data());
    int last = 0;
    for (DWORD i = 0; i < count; ++i)
        last = std::max(last, static_cast<int>(jobs[i].JobId));
    return last;
}

} // namespace velmora
