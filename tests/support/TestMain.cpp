#include "gui/platform/Fonts.h"

#include <QApplication>
#include <gtest/gtest.h>

// Runs the tests inside a QApplication on the offscreen platform unless another one is asked for.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    velmora::installFontSubstitutions();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
