#pragma once

#include "gui/platform/Dialogs.h"

#include <QDialog>
#include <QList>
#include <QStringList>
#include <functional>
#include <ostream>

namespace velmora::test {

// Message boxes without a person: records every box shown and answers questions from a queue.
// A question without a queued answer fails the test.
class ScriptedDialogs : public Dialogs {
public:
    enum class Kind { Inform, Warn, OkCancel, YesNo, Risky, Doubtful, Folder, File, Day, Window };
    struct Shown {
        Kind kind;
        QString text;
        bool operator==(const Shown&) const = default;
        // How a failed comparison shows a message: its kind and its text.
        friend void PrintTo(const Shown& shown, std::ostream* out)
        {
            *out << int(shown.kind) << " " << shown.text.toStdString();
        }
    };

    void inform(const QString& text) override;
    void warn(const QString& text) override;
    bool confirmOkCancel(const QString& text) override;
    bool confirmYesNo(const QString& text) override;
    bool confirmRisky(const QString& text) override;
    bool confirmDoubtful(const QString& text) override;
    QString chooseDataFolder(const QString& suggested) override;
    QString chooseCsvToOpen(const QString& title, const QString& folder) override;
    QString chooseFolder(const QString& title, const QString& start) override;
    QString chooseCsvToSave(const QString& title, const QString& path) override;
    QDate chooseDay(const QString& text, const QDate& proposed) override;
    bool showModal(QDialog& window) override;

    // The next question is answered with OK / Yes (true) or Cancel / No (false).
    void answer(bool accept) { answers.append(accept); }
    // The next data folder window or folder dialog is answered with `folder` (an empty text: Cancel).
    void answerFolder(const QString& folder) { folders.append(folder); }
    // The next file dialog is answered with `path` (an empty text: Cancel).
    void answerFile(const QString& path) { files.append(path); }
    // The next day window is answered with `day` (a null date: Cancel).
    void answerDay(const QDate& day) { days.append(day); }
    QDate dayProposed; // the day the last day window proposed
    // The next window of the program's own is handled by `handle`, which answers whether it was accepted.
    void answerWindow(std::function<bool(QDialog&)> handle) { windows.append(std::move(handle)); }
    // Where the last folder or file dialog opened.
    QString dialogStart;

    QList<Shown> shown;

private:
    bool nextAnswer(Kind kind, const QString& text);
    QList<bool> answers;
    QString nextPath(Kind kind, const QString& title, const QString& start, QStringList& queue);
    QStringList folders;
    QStringList files;
    QList<QDate> days;
    QList<std::function<bool(QDialog&)>> windows;
};

} // namespace velmora::test
