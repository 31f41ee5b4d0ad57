#include "app/BackupSchedule.h"

#include "app/DataFolder.h"
#include "core/changes/Backups.h"
#include "core/texts/Messages.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>

namespace velmora {
namespace {

constexpr int AttentionAfterDays = 7;
const QString TimeForm = QStringLiteral("yyyy/MM/dd HH:mm");

} // namespace

BackupSchedule::BackupSchedule(const DataDir& dir, QSettings& keptSettings, Dialogs& messageBoxes,
                               const Clock& systemClock)
    : dataDir(dir), settings(keptSettings), dialogs(messageBoxes), clock(systemClock)
{
}

namespace {

// A setting of the backups of one data folder: a backup folder serves one data folder.
QString backupKey(const DataDir& dir, const char* name)
{
    const QByteArray folder =
        QCryptographicHash::hash(QDir(dir.root()).absolutePath().toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return QStringLiteral("backup-%1/%2").arg(QString::fromLatin1(folder), QLatin1String(name));
}

} // namespace

QString backupFolderOf(const QSettings& settings, const DataDir& dir)
{
    return settings.value(backupKey(dir, "folder")).toString();
}

QString BackupSchedule::key(const char* name) const
{
    return backupKey(dataDir, name);
}

qint64 BackupSchedule::historySize() const
{
    const QFileInfo history(dataDir.listFile(ChangeHistoryFile));
    return history.exists() ? history.size() : 0;
}

void BackupSchedule::entryBegins()
{
    historyAtStart = historySize();
}

void BackupSchedule::entryEnded()
{
    const bool changed = historyAtStart >= 0 && historySize() != historyAtStart;
    historyAtStart = -1;
    const QString folder = settings.value(key("folder")).toString();
    if (changed && !folder.isEmpty())
        makeBackup(folder);
}

void BackupSchedule::backUpNow()
{
    if (settings.value(key("folder")).toString().isEmpty())
        chooseFolder();
    if (const QString folder = settings.value(key("folder")).toString(); !folder.isEmpty())
        makeBackup(folder);
}

void BackupSchedule::makeBackup(const QString& folder)
{
    // A missing folder is often a USB stick not plugged in: it is made only when the user says so.
    if (!QFileInfo::exists(folder) &&
        dialogs.confirmRisky(QStringLiteral("バックアップ先のフォルダ「%1」がありません。新しく作成しますか？\n"
                                            "USBメモリやディスク、共有フォルダがつながっていないときは「いいえ」を"
                                            "選び、つないでから「今すぐ作成」を選んで下さい。")
                                 .arg(QDir::toNativeSeparators(folder))))
        QDir().mkpath(folder);
    // Feedback only when the copy takes longer than half a second (a large store).
    // Over the window that started it (the main menu), which it keeps from input meanwhile.
    QProgressDialog progress(QStringLiteral("データのバックアップを作成しています..."), QString(), 0, 1,
                             QApplication::activeWindow());
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(500);
    progress.setCancelButton(nullptr);
    const auto made = MakeBackup(dataDir, folder, clock.now(), [&progress](qsizetype copied, qsizetype all) {
        progress.setMaximum(static_cast<int>(all));
        progress.setValue(static_cast<int>(copied));
    });
    progress.reset();
    if (made && !made->larger && !made->leftAlone) {
        settings.remove(key("lastFailure"));
        return;
    }
    const QString message =
        !made ? QStringLiteral("データのバックアップを作成できませんでした。") + messageOf(made.error())
        : made->larger ? storeShrankMessage(made->larger->name, made->larger->persons, made->made.persons,
                                            made->larger->history > made->made.history)
                       : messageOf(*made->leftAlone);
    settings.setValue(key("lastFailure"), message);
    settings.setValue(key("lastFailureAt"), clock.now());
    dialogs.warn(message);
}

void BackupSchedule::askFolderAtFirstStart()
{
    const QString chosen = settings.value(AskBackupFolderKey).toString();
    if (chosen.isEmpty() || QDir(chosen) != QDir(dataDir.root()))
        return;
    settings.remove(AskBackupFolderKey);
    if (!backupFolderOf(settings, dataDir).isEmpty())
        return;
    if (dialogs.confirmYesNo(QStringLiteral("データのバックアップ先のフォルダも決めて下さい。データフォルダとは別の"
                                            "ディスク、共有フォルダかUSBメモリのフォルダをお勧めします。\n\n"
                                            "いま選びますか？（「いいえ」のときは、メインメニューの「バックアップ先…」"
                                            "から後で選べます）")))
        chooseFolder();
}

void BackupSchedule::chooseFolder()
{
    const QString chosen =
        dialogs.chooseFolder(QStringLiteral("バックアップ先のフォルダ（別のディスク・共有フォルダ・USBメモリ）"),
                             settings.value(key("folder")).toString());
    if (chosen.isEmpty())
        return;
    if (const auto problem = backupFolderProblem(dataDir, chosen)) {
        dialogs.warn(messageOf(*problem));
        return;
    }
    if (const auto problem = programFolderProblem(chosen, QStringLiteral("バックアップ"))) {
        dialogs.warn(messageOf(*problem));
        return;
    }
    settings.setValue(key("folder"), chosen);
}

BackupSchedule::Standing BackupSchedule::standing() const
{
    const QString folder = settings.value(key("folder")).toString();
    if (folder.isEmpty())
        return {QStringLiteral("バックアップ先が設定されていません。"), true};
    const QString where = QDir::toNativeSeparators(folder);
    // The backups of every PC and of scheduled runs, as the folder holds them.
    const auto newest = newestGeneration(folder);
    const QString failed = settings.value(key("lastFailure")).toString();
    if (!failed.isEmpty() && (!newest || settings.value(key("lastFailureAt")).toDateTime() >= newest->time))
        return {failed, true};
    if (!QFileInfo(folder).isDir())
        return {QStringLiteral("バックアップ先「%1」が見つかりません。").arg(where), true};
    if (!newest)
        return {QStringLiteral("バックアップ先：%1（まだ作成されていません。データ入力の後に作成します）").arg(where),
                false};
    const qint64 days = newest->time.daysTo(clock.now());
    const QString made = QStringLiteral("最後のバックアップ：%1（%2）").arg(newest->time.toString(TimeForm), where);
    if (days >= AttentionAfterDays)
        return {made + QStringLiteral("　%1日間バックアップされていません。").arg(days), true};
    return {made, false};
}

} // namespace velmora
