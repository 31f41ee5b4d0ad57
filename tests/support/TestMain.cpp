#include "gui/platform/Fonts.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Runs the tests inside a QApplication on the offscreen platform unless another one is asked for, with the
// user's cache in a folder of their own (the notes of histories found whole), also for the programs they
// start.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
    QApplication application(argc, argv);
    velmora::installJapaneseFonts();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
