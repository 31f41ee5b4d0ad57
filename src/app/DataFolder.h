#pragma once

#include "platform/Dialogs.h"

#include <QSettings>
#include <QString>
#include <optional>

// Where the data lives. From a terminal it is the current folder, or the one given with --data-dir.
// Started from the desktop menu (--chosen-data-dir), it is a folder the user chose once in the first-start
// window (~/Velmora proposed) and that is remembered; the home folder itself is never the data folder.
namespace velmora {

// The folder chosen for the menu entry: the remembered one, or, the first time (or when it is gone), the
// one the user takes in the first-start window, created when missing; nothing, after saying that the
// program ends, when the window was cancelled.
std::optional<QString> chosenDataFolder(Dialogs& dialogs, QSettings& settings);

// Creates the folder when it is missing; why it cannot hold the data (it cannot be created or read), or
// an empty text when it can. A folder that can be read but not written still shows its reports.
QString dataFolderProblem(const QString& folder);

// Why nothing can be written into the folder, with the reason (a read-only file system, no permission),
// or an empty text when a file can be created there.
QString dataFolderWriteProblem(const QString& folder);

} // namespace velmora
