#pragma once

#include "core/files/DataDir.h"
#include "gui/platform/Clock.h"
#include "gui/platform/Dialogs.h"
#include "gui/platform/Printer.h"

namespace velmora {

// Gives a person's leaving record: asks for the leaving day and where to save its CSV (the user's documents
// proposed), then saves it and prints the page for the worker, telling where each went; or says why it cannot,
// before anything is asked when the facility is not named.
void giveLeavingRecord(const DataDir& dir, const QString& name, Dialogs& dialogs, Printer& printer, const Clock& clock);

} // namespace velmora
