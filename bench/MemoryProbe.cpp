// velmora-memory-probe DIR: opens the search window on DIR, draws the monthly list of its last month and
// prints the peak resident set size in kilobytes, for comparing a large store with an empty one.
#include "SilentDialogs.h"
#include "app/Application.h"
#include "core/files/ListFiles.h"
#include "gui/platform/Fonts.h"
#include "gui/platform/SystemPrinter.h"

#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

using namespace velmora;

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    installJapaneseFonts();
    if (argc != 2)
        return 2;
    SilentDialogs dialogs;
    SystemClock clock;
    SystemPrinter printer(argv[1], clock, [] { return QPrinterInfo(); });
    QTemporaryDir settingsFolder; // never the user's settings
    QSettings settings(settingsFolder.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    Application velmora(argv[1], dialogs, clock, printer, settings);
    velmora.start();
    velmora.form1().Command2->click();
    const auto months = LoadEnteredMonths(velmora.dataDir);
    const MonthKey last = months && !months->isEmpty() ? months->last() : 200504;
    velmora.form4().Text2->setText(QString::number(last / 100));
    velmora.form4().Text3->setText(QString::number(last % 100));
    velmora.form4().Command8->click();
    QCoreApplication::processEvents();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%ld\n", usage.ru_maxrss);
    return velmora.form4().isVisible() ? 0 : 1;
}
