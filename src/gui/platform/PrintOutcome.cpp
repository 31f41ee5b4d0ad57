#include "gui/platform/PrintOutcome.h"

namespace velmora {

void tellPrintOutcome(Printer& printer, Dialogs& dialogs)
{
    const PrintReport outcome = printer.takeReport();
    if (outcome.message.isEmpty())
        return;
    if (outcome.failed)
        dialogs.warn(outcome.message);
    else
        dialogs.inform(outcome.message);
}

} // namespace velmora
