#pragma once

#include <QDate>
#include <QString>

class QDialog;

namespace velmora {

// The modal message boxes of the system. Questions stop an action only on an explicit Cancel or No.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // OK button, no icon.
    virtual void inform(const QString& text) = 0;
    // OK button with the exclamation icon: input errors and failures.
    virtual void warn(const QString& text) = 0;
    // OK and Cancel buttons; false only when Cancel was pressed.
    virtual bool confirmOkCancel(const QString& text) = 0;
    // Yes and No buttons; false only when No was pressed.
    virtual bool confirmYesNo(const QString& text) = 0;
    // Yes and No buttons with the exclamation icon and No as the default, for a step that is hard to
    // undo; true only when Yes was pressed.
    virtual bool confirmRisky(const QString& text) = 0;
    // OK and Cancel buttons with the exclamation icon and Cancel as the default, for a step the text gives
    // reasons to doubt (values in doubt, a limit exceeded); true only when OK was pressed.
    virtual bool confirmDoubtful(const QString& text) = 0;
    // The window of the first start from the menu: what the data folder is, `suggested` proposed, or
    // another folder chosen in a folder dialog; the folder chosen, or an empty text on Cancel.
    virtual QString chooseDataFolder(const QString& suggested) = 0;
    // A dialog titled `title` that picks a CSV file to read, opening in `folder`; an empty text on Cancel.
    virtual QString chooseCsvToOpen(const QString& title, const QString& folder) = 0;
    // A folder chosen in the system's folder window opened at `start`; an empty text when cancelled.
    virtual QString chooseFolder(const QString& title, const QString& start) = 0;
    // A dialog titled `title` that picks where to write a CSV file, suggesting `path` (a bare file name in the
    // user's documents; asking before it replaces a file); an empty text on Cancel.
    virtual QString chooseCsvToSave(const QString& title, const QString& path) = 0;
    // A day chosen with OK in a small window that says `text`, `proposed` given; a null date on Cancel.
    virtual QDate chooseDay(const QString& text, const QDate& proposed) = 0;
    // A window of the program's own that asks before a step goes on (the layout of a service's file), shown
    // modal; true when it was accepted.
    virtual bool showModal(QDialog& window) = 0;
};

} // namespace velmora
