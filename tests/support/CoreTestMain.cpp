#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Runs the core's tests inside a QCoreApplication, with the user's cache in a folder of their own (the notes
// of histories found whole), also for the programs they start.
int main(int argc, char** argv)
{
    const QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
    QCoreApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
