#include "DataFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
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
    if (!QFileInfo(folder).isReadable() || !QFileInfo(folder).isExecutable())
        return QStringLiteral("データフォルダ「%1」を読み込めません。").arg(folder);
    return {};
}

QString dataFolderWriteProblem(const QString& folder)
{
    // A file actually made tells the truth where permissions alone would not (a file server, say).
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".velmora-probe-XXXXXX")));
    if (probe.open())
        return {};
    const QStorageInfo storage(folder);
    const QString reason = storage.isReadOnly() ? QStringLiteral("読み取り専用のファイルシステムです")
                           : storage.bytesAvailable() == 0 ? QStringLiteral("ディスクに空きがありません")
                                                           : QStringLiteral("書き込む権限がありません");
    return QStringLiteral("データフォルダ「%1」に書き込めません（%2）。").arg(QDir::toNativeSeparators(folder), reason);
}

} // namespace velmora
