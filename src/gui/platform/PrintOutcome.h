#pragma once

#include "gui/platform/Dialogs.h"
#include "gui/platform/Printer.h"

namespace velmora {

// Tells the user what became of the documents printed since the last call: nothing when they all went
// to the printer, a notice where they were saved instead, a warning with the exclamation icon when
// something failed.
void tellPrintOutcome(Printer& printer, Dialogs& dialogs);

} // namespace velmora
