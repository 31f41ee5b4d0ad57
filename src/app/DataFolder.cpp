#include "DataFolder.h"

#include "store/Messages.h"
#include "totals/TotalsCsv.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryFile>
#include <cstdio>
#include <cstdlib>

namespace velmora {
namespace {

const QString DataFolderKey = QStringLiteral("dataFolder");

} // namespace

StartOptions readCommandLine(int& argc, char** argv)
{
    const QCoreApplication parsing(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("個人被曝線量管理: personal radiation dose records"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption dataDir(QStringLiteral("data-dir"),
                                     QStringLiteral("Keeps the data in <folder> (created when missing)."),
                                     QStringLiteral("folder"));
    const QCommandLineOption chosen(QStringLiteral("chosen-data-dir"),
                                    QStringLiteral("Keeps the data in the folder chosen before; asks for one the "
                                                   "first time. The menu entry starts Velmora so."));
    const QCommandLineOption doseTotals(QStringLiteral("dose-totals"),
                                        QStringLiteral("Writes the dose totals and the limit check of every "
                                                       "registrant for <fiscal-year> as CSV, without windows."),
                                        QStringLiteral("fiscal-year"));
    const QCommandLineOption output(QStringLiteral("output"),
                                    QStringLiteral("Writes the CSV of --dose-totals into <file> instead of "
                                                   "standard output."),
                                    QStringLiteral("file"));
    parser.addOptions({dataDir, chosen, doseTotals, output});
    parser.process(parsing); // ends the program for --help, --version and unknown options
    StartOptions options{parser.value(dataDir), parser.isSet(chosen), std::nullopt, parser.value(output)};
    if (parser.isSet(doseTotals)) {
        bool whole = false;
        options.doseTotalsYear = parser.value(doseTotals).toInt(&whole);
        if (!whole) {
            std::fprintf(stderr, "velmora: --dose-totals needs a fiscal year such as 2025\n");
            std::exit(1);
        }
    }
    return options;
}

std::optional<QString> chosenDataFolder(Dialogs& dialogs, QSettings& settings)
{
    const QString remembered = settings.value(DataFolderKey).toString();
    if (!remembered.isEmpty() && QDir(remembered).exists())
        return remembered;
    const QString suggested = QDir::home().filePath(QStringLiteral("Velmora"));
    const QString chosen = dialogs.chooseFolder(QStringLiteral("データを保存するフォルダを選んで下さい"),
                                                QDir(suggested).exists() ? suggested : QDir::homePath());
    if (chosen.isEmpty())
        return std::nullopt;
    settings.setValue(DataFolderKey, chosen);
    settings.sync();
    return chosen;
}

int writeDoseTotals(const StartOptions& options)
{
    const DataDir dir(options.dataDir.isEmpty() ? QDir::currentPath() : options.dataDir);
    QStringList unreadable;
    if (const auto written = exportDoseTotals(dir, *options.doseTotalsYear, options.output, unreadable); !written) {
        std::fprintf(stderr, "velmora: %s\n", qPrintable(messageOf(written.error())));
        return 1;
    }
    if (!unreadable.isEmpty())
        std::fprintf(stderr, "velmora: %s\n", qPrintable(unreadableFilesMessage(unreadable)));
    return 0;
}

QString dataFolderProblem(const QString& folder)
{
    if (!QDir().mkpath(folder))
        return QStringLiteral("データフォルダ「%1」を作成できません。").arg(folder);
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".velmora-probe-XXXXXX")));
    if (!probe.open())
        return QStringLiteral("データフォルダ「%1」に書き込めません。").arg(folder);
    return {};
}

} // namespace velmora
