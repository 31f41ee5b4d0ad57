#pragma once

#include <QString>

// What the CUPS scheduler says about a print queue, so that a job is never lost without a word.
namespace velmora {

// Why the queue cannot take a job now ("プリンター「X」が停止している"), or an empty text when it can.
QString queueRefusal(const QString& printerName);

// The highest id among this user's jobs on the queue, 0 when there is none: a job sent since a
// reading has a higher id.
int lastJobId(const QString& printerName);

} // namespace velmora
