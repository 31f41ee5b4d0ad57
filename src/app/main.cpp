#include "app/Application.h"
#include "platform/Clock.h"
#include "platform/Fonts.h"
#include "platform/QtDialogs.h"
#include "platform/SystemPrinter.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(velmora::ApplicationTitle);
    velmora::installFontSubstitutions();
    // Qt's own texts (the edit menu of the text boxes) in Japanese, where the translation is installed.
    QTranslator translator;
    if (translator.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&translator);

    velmora::QtDialogs dialogs;
    velmora::SystemClock clock;
    // Printed reports go to the system's default printer, or into PDF files when there is none.
    velmora::SystemPrinter printer(QDir::currentPath(), clock);
    // The data lives in the working directory the program was started in.
    velmora::Application velmora(QDir::currentPath(), dialogs, clock, printer);
    velmora.start();
    return QApplication::exec();
}
