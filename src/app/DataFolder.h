#pragma once

#include "platform/Dialogs.h"

#include <QSettings>
#include <QString>
#include <optional>

// Where the data lives. From a terminal it is the current folder, or the one given with --data-dir.
// Started from the desktop menu (--chosen-data-dir), it is a folder the user chose once with a folder
// dialog and that is remembered; Velmora never picks a folder in the home folder by itself.
namespace velmora {

// The folder chosen for the menu entry: the remembered one, or, the first time (or when it is gone),
// the one the user picks in a folder dialog that opens at ~/Velmora or the home folder; nothing when
// the dialog was cancelled.
std::optional<QString> chosenDataFolder(Dialogs& dialogs, QSettings& settings);

// Creates the folder when it is missing; why it cannot hold the data (it cannot be created or read), or
// an empty text when it can. A folder that can be read but not written still shows its reports.
QString dataFolderProblem(const QString& folder);

// Why nothing can be written into the folder, with the reason (a read-only file system, no permission),
// or an empty text when a file can be created there.
QString dataFolderWriteProblem(const QString& folder);

} // namespace velmora
