#include "ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace velmora::test {

void ScriptedDialogs::inform(const QString& text)
{
    shown.append({Kind::Inform, text});
}

void ScriptedDialogs::warn(const QString& text)
{
    shown.append({Kind::Warn, text});
}

bool ScriptedDialogs::confirmOkCancel(const QString& text)
{
    return nextAnswer(Kind::OkCancel, text);
}

bool ScriptedDialogs::confirmYesNo(const QString& text)
{
    return nextAnswer(Kind::YesNo, text);
}

bool ScriptedDialogs::confirmRisky(const QString& text)
{
    return nextAnswer(Kind::Risky, text);
}

bool ScriptedDialogs::confirmDoubtful(const QString& text)
{
    return nextAnswer(Kind::Doubtful, text);
}

QString ScriptedDialogs::chooseDataFolder(const QString& suggested)
{
    return nextPath(Kind::Folder, QStringLiteral("データフォルダ"), suggested, folders);
}

QString ScriptedDialogs::chooseCsvToOpen(const QString& title, const QString& folder)
{
    return nextPath(Kind::File, title, folder, files);
}

QString ScriptedDialogs::chooseFolder(const QString& title, const QString& start)
{
    return nextPath(Kind::Folder, title, start, folders);
}

QString ScriptedDialogs::chooseCsvToSave(const QString& title, const QString& path)
{
    return nextPath(Kind::File, title, path, files);
}

QDate ScriptedDialogs::chooseDay(const QString& text, const QDate& proposed)
{
    shown.append({Kind::Day, text});
    dayProposed = proposed;
    if (days.isEmpty()) {
        ADD_FAILURE() << "unexpected day window: " << text.toStdString();
        return {};
    }
    return days.takeFirst();
}

bool ScriptedDialogs::showModal(QDialog& window)
{
    shown.append({Kind::Window, window.windowTitle()});
    if (windows.isEmpty()) {
        ADD_FAILURE() << "unexpected window: " << window.windowTitle().toStdString();
        return false;
    }
    return windows.takeFirst()(window);
}

QString ScriptedDialogs::nextPath(Kind kind, const QString& title, const QString& start, QStringList& queue)
{
    shown.append({kind, title});
    dialogStart = start;
    if (queue.isEmpty()) {
        ADD_FAILURE() << "unexpected file or folder dialog: " << title.toStdString();
        return {};
    }
    return queue.takeFirst();
}

bool ScriptedDialogs::nextAnswer(Kind kind, const QString& text)
{
    shown.append({kind, text});
    if (answers.isEmpty()) {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return false;
    }
    return answers.takeFirst();
}

} // namespace velmora::test
