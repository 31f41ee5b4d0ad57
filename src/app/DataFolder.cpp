#include "app/DataFolder.h"

#include "core/texts/Messages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryFile>

namespace velmora {
namespace {

const QString DataFolderKey = QStringLiteral("dataFolder");
// Set while the remembered folder is as empty as the first-start window made or took it: not asked about.
const QString StartedEmptyKey = QStringLiteral("dataFolderStartedEmpty");

// The program's own folder (known once the application object is made), or on Windows the Program Files
// folder, that holds `folder`; empty when none.
QString programFolderHolding(const QString& folder)
{
    QStringList programs;
    if (QCoreApplication::instance()) // the commands without windows run without one
        programs << QCoreApplication::applicationDirPath();
#ifdef Q_OS_WIN
    for (const char* variable : {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432"})
        if (const QString path = qEnvironmentVariable(variable); !path.isEmpty())
            programs << QDir::fromNativeSeparators(path);
#endif
    const QString chosen = QDir::cleanPath(QDir(folder).absolutePath());
    for (const QString& program : programs) {
        const QString root = QDir::cleanPath(QDir(program).absolutePath());
        if (chosen.compare(root, Qt::CaseInsensitive) == 0 ||
            chosen.startsWith(root + QLatin1Char('/'), Qt::CaseInsensitive))
            return root;
    }
    return {};
}

bool isEmptyFolder(const QString& folder)
{
    return QDir(folder).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

// An empty folder where a store was expected is most often the mount point of a share not mounted.
bool mayUseEmptyFolder(Dialogs& dialogs, const QString& folder)
{
    return dialogs.confirmRisky(QStringLiteral("フォルダ「%1」は空です。ネットワークドライブが接続されているか確認"
                                               "して下さい。新しいデータフォルダとして使いますか？")
                                    .arg(QDir::toNativeSeparators(folder)));
}

} // namespace

const QString AskBackupFolderKey = QStringLiteral("askBackupFolderFor");

std::optional<QString> chosenDataFolder(Dialogs& dialogs, QSettings& settings)
{
    const QString remembered = settings.value(DataFolderKey).toString();
    if (!remembered.isEmpty() && QDir(remembered).exists()) {
        if (!isEmptyFolder(remembered))
            settings.remove(StartedEmptyKey);
        else if (!settings.value(StartedEmptyKey).toBool() && !mayUseEmptyFolder(dialogs, remembered))
            return std::nullopt;
        else
            settings.setValue(StartedEmptyKey, true);
        settings.sync();
        return remembered;
    }
    // Gone, most often a network drive not connected: a new folder in its place would be an empty store.
    if (!remembered.isEmpty() &&
        !dialogs.confirmRisky(QStringLiteral("前回のデータフォルダ「%1」が見つかりません。ネットワークドライブが"
                                             "接続されているか確認して下さい。\n\n別のフォルダを選びますか？"
                                             "（「いいえ」で終了します）")
                                  .arg(QDir::toNativeSeparators(remembered))))
        return std::nullopt;
    const QString suggested = QDir::home().filePath(QStringLiteral("Velmora"));
    for (;;) {
        const QString chosen = dialogs.chooseDataFolder(suggested);
        if (chosen.isEmpty()) {
            dialogs.inform(QStringLiteral("データを保存するフォルダが選ばれなかったため、終了します。"));
            return std::nullopt;
        }
        if (const auto problem = programFolderProblem(chosen, QStringLiteral("データ"))) {
            dialogs.warn(messageOf(*problem) +
                         QStringLiteral("「%1」などを選んで下さい。").arg(QDir::toNativeSeparators(suggested)));
            continue;
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
        settings.setValue(StartedEmptyKey, isEmptyFolder(chosen));
        settings.setValue(AskBackupFolderKey, chosen);
        settings.sync();
        return chosen;
    }
}

std::optional<Failure> programFolderProblem(const QString& folder, const QString& what)
{
    const QString programs = programFolderHolding(folder);
    if (programs.isEmpty())
        return std::nullopt;
    Failure inside = failure(FailureKind::InProgramFolder, programs);
    inside.text = what;
    return inside;
}

bool openDataFolder(Dialogs& dialogs, const QString& folder, bool askWhenEmpty)
{
    const QString shown = QDir::toNativeSeparators(folder);
    if (const auto problem = programFolderProblem(folder, QStringLiteral("データ"))) {
        dialogs.warn(messageOf(*problem) + QStringLiteral("--data-dir に別のフォルダを指定して下さい。"));
        return false;
    }
    if (QFileInfo(folder).isDir() && askWhenEmpty && isEmptyFolder(folder) && !mayUseEmptyFolder(dialogs, folder))
        return false;
    if (!QFileInfo(folder).isDir()) {
        if (QFileInfo::exists(folder)) {
            dialogs.warn(QStringLiteral("「%1」はフォルダではないため、データフォルダにできません。").arg(shown));
            return false;
        }
        if (!dialogs.confirmRisky(
                QStringLiteral("フォルダ「%1」はありません。新しいデータフォルダとして作成しますか？").arg(shown)))
            return false;
        if (!QDir().mkpath(folder)) {
            dialogs.warn(QStringLiteral("データフォルダ「%1」を作成できません。").arg(shown));
            return false;
        }
    }
    if (!QFileInfo(folder).isReadable() || !QFileInfo(folder).isExecutable()) {
        dialogs.warn(QStringLiteral("データフォルダ「%1」を読み込めません。").arg(shown));
        return false;
    }
    return true;
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
