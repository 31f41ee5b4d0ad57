#pragma once

#include "core/files/DataDir.h"
#include "gui/platform/Clock.h"
#include "gui/platform/Dialogs.h"

#include <QSettings>

namespace velmora {

// The backups the program makes by itself: at the end of a data entry that changed the store, a new
// generation in the backup folder chosen once for this data folder and kept in the settings; and what the
// main menu says about them.
class BackupSchedule {
public:
    BackupSchedule(const DataDir& dir, QSettings& settings, Dialogs& dialogs, const Clock& clock);

    // Data entry begins, with the entry lock held: how long the change history is now.
    void entryBegins();
    // Data entry ends, the lock still held: a generation when the change history grew since it began. A
    // failure is told and remembered for the main menu.
    void entryEnded();
    // Asks for the backup folder and keeps it; one inside the data folder is refused.
    void chooseFolder();
    // Once, for the data folder the first start chose without a backup folder: whether to choose one now
    // (「いいえ」 leaves it for later, as the main menu's line then says).
    void askFolderAtFirstStart();
    // A generation now, with the entry lock held (「今すぐ作成」); asks for the folder when none is kept.
    void backUpNow();

    // The main menu's line, and whether it asks for attention: no backup folder, the last backup failed, or
    // none for seven days.
    struct Standing {
        QString text;
        bool attention = false;
    };
    Standing standing() const;

private:
    qint64 historySize() const;
    // A generation in the folder kept; a failure is told and remembered.
    void makeBackup(const QString& folder);
    QString key(const char* name) const;

    DataDir dataDir;
    QSettings& settings;
    Dialogs& dialogs;
    const Clock& clock;
    qint64 historyAtStart = -1;
};

// The backup folder chosen in the main menu for a data folder, or an empty text.
QString backupFolderOf(const QSettings& settings, const DataDir& dir);

} // namespace velmora
