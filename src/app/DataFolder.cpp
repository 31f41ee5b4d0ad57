#include "DataFolder.h"

#include <QDir>
#include <QTemporaryFile>

namespace velmora {
namespace {

const QString DataFolderKey = QStringLiteral("dataFolder");

} // namespace

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
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".velmora-probe-XXXXXX")));
    if (!probe.open())
        return QStringLiteral("データフォルダ「%1」に書き込めません。").arg(folder);
    return {};
}

} // namespace velmora
