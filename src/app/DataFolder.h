#pragma once

#include "platform/Dialogs.h"

#include <QSettings>
#include <QString>
#include <optional>

// Where the data lives. From a terminal it is the current folder, or the one given with --data-dir.
// Started from the desktop menu (--chosen-data-dir), it is a folder the user chose once with a folder
// dialog and that is remembered; Velmora never picks a folder in the home folder by itself.
namespace velmora {

// Where the command line asks the data to be kept, and whether it asks for the dose totals of a
// fiscal year as CSV instead of the windows (into `output`, or onto standard output).
struct StartOptions {
    QString dataDir;
    bool chosenDataDir = false;
    std::optional<int> doseTotalsYear;
    QString output;
};

// Reads the command line with a QCoreApplication of its own, before any window system is needed, so
// that --help and --version answer without a display. They and an unknown option end the program.
StartOptions readCommandLine(int& argc, char** argv);

// The folder chosen for the menu entry: the remembered one, or, the first time (or when it is gone),
// the one the user picks in a folder dialog that opens at ~/Velmora or the home folder; nothing when
// the dialog was cancelled.
std::optional<QString> chosenDataFolder(Dialogs& dialogs, QSettings& settings);

// The dose totals asked for on the command line: the CSV written, the files that could not be read
// named on standard error; 1 with a message on standard error when the registrant list cannot be read.
int writeDoseTotals(const StartOptions& options);

// Creates the folder when it is missing; why it cannot hold the data (it cannot be created or
// written), or an empty text when it can.
QString dataFolderProblem(const QString& folder);

} // namespace velmora
