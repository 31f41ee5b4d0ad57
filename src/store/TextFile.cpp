#include "TextFile.h"

#include "Cp932.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

namespace velmora {

LineReader::LineReader(QByteArrayView bytes, bool plainLineEnds) : bytes(bytes), plainLineEnds(plainLineEnds) {}

std::optional<QByteArrayView> LineReader::next()
{
    ++lines;
    const qsizetype start = position;
    qsizetype end = start;
    while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
        ++end;
    const QByteArrayView line = bytes.sliced(start, end - start);
    if (end == bytes.size()) {
        position = end;
        return line;
    }
    if (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') {
        position = end + 2;
        return line;
    }
    if (bytes[end] == '\n' && plainLineEnds) {
        position = end + 1;
        return line;
    }
    return std::nullopt;
}

QString cannotReadMessage(const QString& shownName)
{
    return QStringLiteral("ファイル「%1」を読み込めません").arg(shownName);
}

QString damagedMessage(const QString& shownName, int lineNumber)
{
    return QStringLiteral("ファイル「%1」の内容が正しくありません（%2行目）").arg(shownName).arg(lineNumber);
}

QString cannotWriteMessage(const QString& shownName)
{
    return QStringLiteral("ファイル「%1」に書き込めません").arg(shownName);
}

bool looksLikeUtf8(QByteArrayView bytes)
{
    // Japanese in UTF-8 takes three bytes a character, led by 0xE0 to 0xEF; code page 932 text is
    // almost never valid UTF-8 throughout.
    if (!std::any_of(bytes.begin(), bytes.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xF0) == 0xE0; }))
        return false;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    return !utf8.hasError();
}

Result<QByteArray> readWholeFile(const QString& path, const QString& shownName)
{
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly))
        return failure(cannotReadMessage(shownName));
    QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return failure(cannotReadMessage(shownName));
    if (looksLikeUtf8(content))
        return failure(QStringLiteral("ファイル「%1」の文字コードがShift_JIS（CP932）ではありません（UTF-8のようです）").arg(shownName));
    return content;
}

Result<QByteArray> encodeLines(const QStringList& lines)
{
    QByteArray content;
    for (const QString& line : lines) {
        // A line break inside a value would split it into two lines and shift every line after it.
        if (line.contains(QLatin1Char('\r')) || line.contains(QLatin1Char('\n')))
            return failure(QStringLiteral("改行を含む文字列は保存できません"));
        const auto bytes = cp932::encode(line);
        if (!bytes)
            return failure(cp932::unencodableMessage(line));
        content += *bytes;
        content += "\r\n";
    }
    return content;
}

Status replaceFile(const QString& path, const QString& shownName, const QByteArray& content)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
        return failure(cannotWriteMessage(shownName));
    return {};
}

Status appendToFile(const QString& path, const QString& shownName, const QByteArray& content)
{
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::ExistingOnly))
        return failure(cannotWriteMessage(shownName));
    // One write of the whole content: a record is never split between two system calls.
    if (file.write(content) != content.size() || !file.flush())
        return failure(cannotWriteMessage(shownName));
    file.close();
    if (file.error() != QFileDevice::NoError)
        return failure(cannotWriteMessage(shownName));
    return {};
}

Status flushToDisk(const QString& directory)
{
    const int descriptor = ::open(QFile::encodeName(directory).constData(), O_RDONLY | O_DIRECTORY);
    const bool flushed = descriptor >= 0 && ::syncfs(descriptor) == 0;
    if (descriptor >= 0)
        ::close(descriptor);
    if (!flushed)
        return failure(QStringLiteral("データをディスクに書き込めません"));
    return {};
}

Status createIfMissing(const QString& path, const QString& shownName, const QByteArray& content)
{
    if (QFileInfo::exists(path))
        return {};
    return replaceFile(path, shownName, content);
}

} // namespace velmora
