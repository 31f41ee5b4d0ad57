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

QString ScriptedDialogs::chooseFolder(const QString& title, const QString& start)
{
    shown.append({Kind::Folder, title});
    folderDialogStart = start;
    if (folders.isEmpty()) {
        ADD_FAILURE() << "unexpected folder dialog: " << title.toStdString();
        return {};
    }
    return folders.takeFirst();
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
