#include "WindowTest.h"

#include <QInputMethodEvent>

namespace velmora::test {

void WindowTest::type(QLineEdit* field, const QString& text)
{
    field->setFocus();
    field->clear();
    // QTest::keyClicks cannot type Japanese; an input method commit can, as a Japanese user types.
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(field, &commit);
}

QStringList WindowTest::takeMessages()
{
    QStringList texts;
    for (const auto& shown : dialogs.shown)
        texts.append(shown.text);
    dialogs.shown.clear();
    return texts;
}

} // namespace velmora::test
