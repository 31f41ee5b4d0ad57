#include "app/BackupSchedule.h"

#include "core/changes/Backups.h"
#include "core/texts/Messages.h"
#include "gui/platform/WaitCursor.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

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

QString BackupSchedule::key(const char* name) const
{
    // The settings of each data folder apart: a backup folder serves one data folder.
    const QByteArray folder =
        QCryptographicHash::hash(QDir(dataDir.root()).absolutePath().toUtf8(), QCryptographicHash::Sha256)
            .toHex()
            .left(16);
    return QStringLiteral("backup-%1/%2").arg(QString::fromLatin1(folder), QLatin1String(name));
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
    const auto made = [&] {
        const WaitCursor wait;
        return MakeBackup(dataDir, folder, clock.now());
    }();
    if (made) {
        settings.setValue(key("lastMade"), clock.now());
        settings.remove(key("lastFailure"));
        return;
    }
    const QString message = QStringLiteral("データのバックアップを作成できませんでした。") + messageOf(made.error());
    settings.setValue(key("lastFailure"), message);
    dialogs.warn(message);
}

void BackupSchedule::chooseFolder()
{
    const QString chosen =
        dialogs.chooseFolder(QStringLiteral("バックアップ先のフォルダ（別のディスク・共有フォルダ・USBメモリ）"),
                             settings.value(key("folder")).toString());
    if (chosen.isEmpty())
        return;
    const QString data = QDir(dataDir.root()).absolutePath();
    const QString backups = QDir(chosen).absolutePath();
    if (backups == data || backups.startsWith(data + QLatin1Char('/'))) {
        dialogs.warn(
            QStringLiteral("バックアップはデータフォルダ「%1」の外に作成して下さい。"
                           "データフォルダのディスクが壊れたときのため、別のディスクや共有フォルダを選んで下さい。")
                .arg(QDir::toNativeSeparators(data)));
        return;
    }
    settings.setValue(key("folder"), chosen);
}

BackupSchedule::Standing BackupSchedule::standing() const
{
    const QString folder = settings.value(key("folder")).toString();
    if (folder.isEmpty())
        return {QStringLiteral("バックアップ先が設定されていません。"), true};
    if (const QString failed = settings.value(key("lastFailure")).toString(); !failed.isEmpty())
        return {failed, true};
    const QDateTime last = settings.value(key("lastMade")).toDateTime();
    const QString where = QDir::toNativeSeparators(folder);
    if (!last.isValid())
        return {QStringLiteral("バックアップ先：%1（まだ作成されていません。データ入力の後に作成します）").arg(where),
                false};
    const qint64 days = last.daysTo(clock.now());
    const QString made = QStringLiteral("最後のバックアップ：%1（%2）").arg(last.toString(TimeForm), where);
    if (days >= AttentionAfterDays)
        return {made + QStringLiteral("　%1日間バックアップされていません。").arg(days), true};
    return {made, false};
}

} // namespace velmora
