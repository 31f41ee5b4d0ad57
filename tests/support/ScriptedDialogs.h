#pragma once

#include "platform/Dialogs.h"

#include <QList>
#include <QStringList>

namespace velmora::test {

// Message boxes without a person: records every box shown and answers questions from a queue.
// A question without a queued answer fails the test.
class ScriptedDialogs : public Dialogs {
public:
    enum class Kind { Inform, Warn, OkCancel, YesNo };
    struct Shown {
        Kind kind;
        QString text;
        bool operator==(const Shown&) const = default;
    };

    void inform(const QString& text) override;
    void warn(const QString& text) override;
    bool confirmOkCancel(const QString& text) override;
    bool confirmYesNo(const QString& text) override;

    // The next question is answered with OK / Yes (true) or Cancel / No (false).
    void answer(bool accept) { answers.append(accept); }

    QList<Shown> shown;

private:
    bool nextAnswer(Kind kind, const QString& text);
    QList<bool> answers;
};

} // namespace velmora::test
