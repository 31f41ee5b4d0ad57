#include "gui/reports/CsvSave.h"

#include "core/files/FileWriter.h"
#include "core/files/ListFiles.h"
#include "core/texts/Messages.h"

#include <QDir>
#include <QFileInfo>

namespace velmora {

void saveCsvAsked(Dialogs& dialogs, const QDate& today, const QString& proposed, const QByteArray& csv)
{
    const QFileInfo offered(proposed);
    const QString dated = offered.dir().filePath(
        QStringLiteral("%1_%2.csv").arg(offered.completeBaseName(), today.toString(u"yyyyMMdd")));
    const QString path = dialogs.chooseCsvToSave(QStringLiteral("CSVファイルの保存先"), dated);
    if (path.isEmpty())
        return;
    const QString name = QFileInfo(path).fileName();
    const Status saved = isStoreFile(DataDir(offered.absolutePath()), path)
                             ? Status(failure(FailureKind::AlreadyExists, name))
                             : replaceFile(path, name, csv);
    if (!saved) {
        dialogs.warn(messageOf(saved.error()));
        return;
    }
    dialogs.inform(QStringLiteral("ファイル「%1」に保存しました。\n%2").arg(name, QDir::toNativeSeparators(path)));
}

} // namespace velmora
