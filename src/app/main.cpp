#include "app/Application.h"
#include "app/Commands.h"
#include "app/DataFolder.h"
#include "app/Termination.h"
#include "gui/dialogs/QtDialogs.h"
#include "gui/platform/Clock.h"
#include "gui/platform/Fonts.h"
#include "gui/platform/SystemPrinter.h"
#include "gui/widgets/WayOut.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QSessionManager>
#include <QSysInfo>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationName(velmora::ApplicationTitle);
    QCoreApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));
    const velmora::StartOptions options = velmora::readCommandLine(argc, argv);
    if (const auto status = velmora::runCommand(argc, argv, options))
        return *status;

    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral(VELMORA_APP_ID));
    // The window icon from the program's own copies of the theme's icon: no look-up of the icon theme, and
    // only the sizes a title bar or task bar shows (each size goes to the window system at every start).
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addFile(QStringLiteral(":/icons/%1x%1/" VELMORA_APP_ID ".png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);
    velmora::installJapaneseFonts();
    // Qt's own texts (the edit menu of the text boxes) in Japanese, where the translation is installed.
    QTranslator translator;
    if (translator.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&translator);

    velmora::QtDialogs dialogs;
    QSettings settings(QStringLiteral("Velmora"), QStringLiteral("Velmora"));
    QString dataRoot = options.dataDir;
    if (dataRoot.isEmpty() && options.chosenDataDir) {
        const auto chosen = velmora::chosenDataFolder(dialogs, settings);
        if (!chosen)
            return 0;
        dataRoot = *chosen;
    }
    if (dataRoot.isEmpty())
        dataRoot = QDir::currentPath();
    // A folder given on the command line and found empty is asked about; the remembered one was already.
    if (!velmora::openDataFolder(dialogs, dataRoot, !options.dataDir.isEmpty()))
        return 1;
    dataRoot = QDir(dataRoot).absolutePath();

    velmora::SystemClock clock;
    // Printed reports go to the system's default printer, or into PDF files when there is none.
    velmora::SystemPrinter printer(dataRoot, clock);
    velmora::Application velmora(dataRoot, dialogs, clock, printer, settings);
    // A logout or shutdown asks about data entry in progress where the session lets it ask; however the run
    // ends, the entry lock is given up.
    QObject::connect(&application, &QGuiApplication::commitDataRequest, [&velmora](QSessionManager& session) {
        if (session.allowsInteraction()) {
            const bool mayEnd = velmora::WayOut::mayEndSession();
            session.release();
            if (!mayEnd)
                session.cancel();
        }
    });
    const velmora::Termination termination(*velmora.state.entryLock);
    velmora.start();
    return QApplication::exec();
}
