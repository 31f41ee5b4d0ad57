#pragma once

#include "core/rules/LeavingRecord.h"
#include "gui/platform/Printer.h"

#include <QDate>

// The leaving record on paper, for the worker: one A4 page with every fiscal year of the block up to the
// leaving month by quarter, the block's totals, the doses received elsewhere and a pregnancy's totals.
namespace velmora {

void drawLeavingRecord(Surface& page, const LeavingRecord& record, const QString& facility, const QDate& printed);

void PrintLeavingRecord(Printer& printer, const LeavingRecord& record, const QString& facility, const QDate& printed);

} // namespace velmora
