#pragma once

#include "core/files/DataDir.h"
#include "gui/platform/Clock.h"
#include "gui/platform/Dialogs.h"
#include "gui/platform/Printer.h"

namespace velmora {

// Gives a person's leaving record: after the question, saves its CSV in the data folder and prints the
// page for the worker, telling where each went; or says why it cannot.
void giveLeavingRecord(const DataDir& dir, const QString& name, Dialogs& dialogs, Printer& printer, const Clock& clock);

} // namespace velmora
