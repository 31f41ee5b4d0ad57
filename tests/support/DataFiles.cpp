#include "support/DataFiles.h"

#include "core/files/ChangeHistory.h"
#include "core/texts/Messages.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <gtest/gtest.h>

namespace velmora::test {

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        ADD_FAILURE() << "cannot read " << path.toStdString();
    return file.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write " << path.toStdString();
}

QByteArray crlfLines(std::initializer_list<const char*> lines)
{
    QByteArray bytes;
    for (const char* line : lines)
        bytes += QByteArray(line) + "\r\n";
    return bytes;
}

QString fixturePath(const QString& name)
{
    return QDir(QStringLiteral(VELMORA_TEST_DATA)).filePath(name);
}

void expectFirstStartStore(const QString& root)
{
    const QDir dir(root);
    EXPECT_EQ(fileBytes(dir.filePath("登録者名.txt")), QByteArray(" 0 \r\n"));
    EXPECT_EQ(fileBytes(dir.filePath("登録番号.txt")), QByteArray(" 1 \r\n"));
    EXPECT_EQ(fileBytes(dir.filePath("登録抹消.txt")), QByteArray());
    EXPECT_EQ(fileBytes(dir.filePath("既入力.txt")), QByteArray());
    EXPECT_EQ(fileBytes(dir.filePath("職種.txt")), fileBytes(fixturePath("job-types-cp932.txt")));
    EXPECT_TRUE(QFileInfo(dir.filePath("被曝Data")).isDir());
    EXPECT_EQ(dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 6);
}

void copyTree(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = QDir(to).filePath(QDir(from).relativeFilePath(path));
        if (it.fileInfo().isDir())
            QDir().mkpath(target);
        else
            QFile::copy(path, target);
    }
}

QByteArray historyChanges(const DataDir& dir)
{
    const auto read = ReadChangeHistory(dir);
    if (!read)
        return "damaged: " + messageOf(read.error()).toUtf8();
    if (!read->damage.isEmpty())
        return "damaged: " + messageOf(damagedHistoryAt(read->damage.first())).toUtf8();
    QByteArray changes;
    for (const ChangeRecord& record : read->records)
        changes +=
            QStringLiteral("%1|%2|%3|%4|%5%6\n")
                .arg(changeKindText(record.change.kind), record.change.person)
                .arg(record.change.month)
                .arg(record.change.before, record.change.after, record.intact ? QString() : QStringLiteral("|broken"))
                .toUtf8();
    return changes;
}

QMap<QString, QByteArray> snapshot(const QString& root)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = QDir(root).relativeFilePath(path);
        files.insert(relative, it.fileInfo().isDir()           ? QByteArray("<dir>")
                               : relative == ChangeHistoryFile ? historyChanges(DataDir(root))
                                                               : fileBytes(path));
    }
    return files;
}

} // namespace velmora::test

void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

void PrintTo(const QByteArray& bytes, std::ostream* out)
{
    *out << '"' << bytes.toHex(' ').toStdString() << "\" (" << bytes.toStdString() << ')';
}
