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
    for (;;) {
        const QString chosen = dialogs.chooseDataFolder(suggested);
        if (chosen.isEmpty()) {
            dialogs.inform(QStringLiteral("データを保存するフォルダが選ばれなかったため、終了します。"));
            return std::nullopt;
        }
        // The program's files would mix with the user's own.
        if (QDir(chosen) == QDir::home()) {
            dialogs.warn(QStringLiteral("ホームフォルダそのものはデータのフォルダにできません（データのファイルが"
                                        "ホームフォルダの他のファイルと混ざるため）。「%1」などを選んで下さい。")
                             .arg(QDir::toNativeSeparators(suggested)));
            continue;
        }
        if (!QDir().mkpath(chosen)) {
            dialogs.warn(
                QStringLiteral("データフォルダ「%1」を作成できません。").arg(QDir::toNativeSeparators(chosen)));
            continue;
        }
        settings.setValue(DataFolderKey, chosen);
        settings.sync();
        return chosen;
    }
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
