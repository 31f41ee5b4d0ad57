// velmora-generate-store DIR [REGISTRANTS [MONTHS]]   a large store (default 1000 registrants × 500 months)
// velmora-generate-store --demo DIR                    a small store to look at: 30 registrants, 3 fiscal years,
//                                                      and health examinations of 2025
// velmora-generate-store --history DIR [REGISTRANTS [MONTHS]]   with the change history of it all
#include "StoreGenerator.h"
#include "core/files/Examinations.h"
#include "core/files/ListFiles.h"
#include "core/texts/Messages.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

using namespace velmora;

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    const char* const usage =
        "usage: velmora-generate-store [--demo | --history] DIR [REGISTRANTS (up to 1000) [MONTHS]]\n"
        "  DIR (empty or missing) receives a store of REGISTRANTS persons (default 1000) with\n"
        "  MONTHS monthly records each (default 500); --demo makes 30 persons over 3 fiscal years;\n"
        "  --history records every registration and month in the change history as well.\n";
    if (arguments.contains(QLatin1String("--help")) || arguments.contains(QLatin1String("-h"))) {
        std::fputs(usage, stdout);
        return 0;
    }
    StoreSize size;
    const bool history = !arguments.isEmpty() && arguments.first() == QLatin1String("--history");
    if (history)
        arguments.removeFirst();
    const bool demo = !arguments.isEmpty() && arguments.first() == QLatin1String("--demo");
    if (demo) {
        arguments.removeFirst();
        size = {30, 36, 202304};
    } else {
        size.registrants = arguments.value(1, "1000").toInt();
        size.months = arguments.value(2, "500").toInt();
    }
    size.history = history;
    // An option it does not know is never taken for a folder name.
    if (arguments.isEmpty() || arguments.first().startsWith(QLatin1Char('-')) || size.registrants < 0 ||
        size.registrants > 1000 || size.months < 0) {
        std::fputs(usage, stderr);
        return 2;
    }
    if (QDir(arguments.first()).exists() && !QDir(arguments.first()).isEmpty()) {
        std::fprintf(stderr, "%s is not empty\n", qPrintable(arguments.first()));
        return 2;
    }
    QDir().mkpath(arguments.first());
    const auto generated = generateStore(DataDir(arguments.first()), size);
    if (!generated) {
        std::fprintf(stderr, "%s\n", messageOf(generated.error()).toUtf8().constData());
        return 1;
    }
    // The demo's health examinations: two periodic ones in 2025 for all but the last four, some with findings,
    // so that the schedule shows the overdue and the never examined.
    if (demo) {
        const DataDir dir(arguments.first());
        QList<Examination> examinations;
        const QStringList names = LoadRegistrantList(dir)->names;
        for (qsizetype at = 0; at + 4 < names.size(); ++at)
            for (const int half : {0, 6}) {
                Examination examination{names[at], 20250015 + (1 + at % 6 + half) * 100, ExaminationKind::Periodic};
                if (at % 7 == 0)
                    examination.items[1] = ItemResult::Findings;
                examinations.append(examination);
            }
        if (const Status written = WriteExaminations(dir, examinations); !written) {
            std::fprintf(stderr, "%s\n", messageOf(written.error()).toUtf8().constData());
            return 1;
        }
    }
    std::printf("%d registrants with %d months each in %s\n", size.registrants, size.months,
                qPrintable(arguments.first()));
    return 0;
}
