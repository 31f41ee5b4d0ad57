#include "DataFolder.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryFile>

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
    parser.addOption(dataDir);
    parser.addOption(chosen);
    parser.process(parsing); // ends the program for --help, --version and unknown options
    return {parser.value(dataDir), parser.isSet(chosen)};
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

QString dataFolderProblem(const QString& folder)
{
    if (!QDir().mkpath(folder))
        return QStringLiteral("データフォルダ「%1」を作成できません。").arg(folder);
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".velmora-writing-XXXXXXXX")));
    if (!probe.open())
        return QStringLiteral("データフォルダ「%1」に書き込めません。").arg(folder);
    return {};
}

} // namespace velmora
