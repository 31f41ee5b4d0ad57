#pragma once

#include "core/model/Result.h"
#include "gui/platform/Dialogs.h"

#include <QSettings>
#include <QString>
#include <optional>

// Where the data lives. From a terminal it is the current folder, or the one given with --data-dir.
// Started from the desktop menu (--chosen-data-dir), it is a folder the user chose once in the first-start
// window (~/Velmora proposed) and that is remembered; the home folder itself is never the data folder.
namespace velmora {

// The folder chosen for the menu entry: the remembered one, or, the first time, the one the user takes in
// the first-start window, created when missing; nothing, after saying that the program ends, when the
// window was cancelled. A remembered folder that has gone (a network drive not connected) is told, and
// another is chosen only when the user wants to; one found empty (the mount point of a share not mounted)
// is used only when the user agrees, unless it has stayed as empty as the first-start window left it.
// A folder chosen anew is kept under AskBackupFolderKey too, so that the main menu asks for its backup folder.
std::optional<QString> chosenDataFolder(Dialogs& dialogs, QSettings& settings);

// The setting that holds the data folder the first start chose, until the main menu has asked for its backup
// folder.
extern const QString AskBackupFolderKey;

// Whether the folder can hold the data, after saying why not. A folder that does not exist is created
// only when the user agrees (No is the default): an unmounted share would otherwise become a new, empty
// store on the local disk; for the same reason a folder given on the command line that is empty is used
// only when the user agrees (`askWhenEmpty`). A folder that can be read but not written still shows its
// reports.
bool openDataFolder(Dialogs& dialogs, const QString& folder, bool askWhenEmpty = false);

// Why a folder cannot hold `what` (データ, バックアップ): it lies in the program's own folder or, on Windows,
// under Program Files, which an update or the uninstaller may replace or remove and which a user without
// administrator rights cannot write (Windows redirects such writes to a copy of each user's own)
// (InProgramFolder); nothing when it can.
std::optional<Failure> programFolderProblem(const QString& folder, const QString& what);

// Why nothing can be written into the folder, with the reason (a read-only file system, no permission),
// or an empty text when a file can be created there.
QString dataFolderWriteProblem(const QString& folder);

} // namespace velmora
