// Prints the monthly exposure list of 33 registrants through the program's own printer path to the
// system's default printer, as "印刷" does. Exits non-zero when the pages did not go to the printer.
#include "gui/platform/Fonts.h"
#include "gui/platform/SystemPrinter.h"
#include "gui/reports/MonthlyList.h"

#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>

using namespace velmora;

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    installJapaneseFonts();
    QStringList names;
    QList<MonthRowEntry> rows;
    for (int i = 1; i <= 33; ++i) {
        names << QStringLiteral("職員%1").arg(i);
        rows.append({double(i), 0, 0.5, 0, 0, 0.001, QStringLiteral("―"), true});
    }
    QTemporaryDir dataDir;
    SystemClock clock;
    SystemPrinter printer(dataDir.path(), clock);
    qsizetype nextRow = 1;
    PrintMonthlyList(printer, {QStringLiteral("2005"), QStringLiteral("4"), names, rows}, nextRow, {});
    const PrintReport report = printer.takeReport();
    if (!report.message.isEmpty()) {
        std::printf("%s %s\n", report.failed ? "failed:" : "notice:", report.message.toUtf8().constData());
        return 1;
    }
    return nextRow == 34 ? 0 : 1;
}
