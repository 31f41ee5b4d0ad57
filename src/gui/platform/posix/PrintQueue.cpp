#include "gui/platform/PrintQueue.h"

#include <algorithm>
#include <cups/cups.h>

namespace velmora {

QString queueRefusal(const QString& printerName)
{
    const QByteArray name = printerName.toUtf8();
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.constData(), nullptr);
    if (!dest)
        return QStringLiteral("プリンター「%1」が見つからない").arg(printerName);
    const auto option = [dest](const char* key) {
        const char* value = cupsGetOption(key, dest->num_options, dest->options);
        return QByteArray(value ? value : "");
    };
    const bool accepting = option("printer-is-accepting-jobs") != "false";
    const bool stopped = option("printer-state").toInt() == IPP_PSTATE_STOPPED;
    cupsFreeDests(1, dest);
    if (!accepting)
        return QStringLiteral("プリンター「%1」が印刷を受け付けていない").arg(printerName);
    if (stopped)
        return QStringLiteral("プリンター「%1」が停止している").arg(printerName);
    return {};
}

int lastJobId(const QString& printerName)
{
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, printerName.toUtf8().constData(), 1, CUPS_WHICHJOBS_ALL);
    int last = 0;
    for (int i = 0; i < count; ++i)
        last = std::max(last, jobs[i].id);
    cupsFreeJobs(count, jobs);
    return last;
}

} // namespace velmora
