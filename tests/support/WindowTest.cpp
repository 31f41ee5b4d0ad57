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

void WindowTest::doubleClick(QListWidget* list, const QString& name)
{
    const auto items = list->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1) << name.toStdString();
    const QPoint middle = list->visualItemRect(items[0]).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, middle);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, middle);
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
