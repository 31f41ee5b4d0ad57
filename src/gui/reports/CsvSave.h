#pragma once

#include "gui/platform/Dialogs.h"

#include <QByteArray>
#include <QDate>
#include <QString>

namespace velmora {

// Saves a CSV a window made where the operator chooses: `proposed` is offered with the day's date added to
// its name ("線量集計_2025年度_20261209.csv"); the file is written whole and where it went is told in the
// system's separators. A file of the data folder's store is never replaced; Cancel writes nothing.
void saveCsvAsked(Dialogs& dialogs, const QDate& today, const QString& proposed, const QByteArray& csv);

} // namespace velmora
