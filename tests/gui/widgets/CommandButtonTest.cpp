#include "gui/widgets/CommandButton.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace velmora;

TEST(CommandButton, EnterAndSpacePressTheFocusedButton)
{
    QWidget window;
    CommandButton button(QStringLiteral("Command4"), QStringLiteral("確  定"), &window);
    window.show();
    button.setFocus();
    QSignalSpy clicks(&button, &QPushButton::clicked);
    QTest::keyClick(&button, Qt::Key_Return);
    QTest::keyClick(&button, Qt::Key_Enter);
    QTest::keyClick(&button, Qt::Key_Space);
    EXPECT_EQ(clicks.count(), 3);
    EXPECT_EQ(button.objectName(), QStringLiteral("Command4"));
}
