#pragma once

#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Printer.h"
#include "store/DataDir.h"

namespace velmora {

// Gives a person's leaving record: after the question, saves its CSV in the data folder and prints the
// page for the worker, telling where each went; or says why it cannot.
void giveLeavingRecord(const DataDir& dir, const QString& name, Dialogs& dialogs, Printer& printer, const Clock& clock);

} // namespace velmora
