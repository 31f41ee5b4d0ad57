#pragma once

#include "Result.h"

#include <QByteArray>
#include <QStringList>

// Whole-file reading and writing of the data files: code page 932 text, one value per line, CR LF.
namespace velmora {

// The lines of a file's bytes. Lines end CR LF; the last line may lack its line end. A bare CR or LF
// marks a damaged file, except where plainLineEnds allows LF alone (a file edited by hand).
class LineReader {
public:
    explicit LineReader(QByteArrayView bytes, bool plainLineEnds = false);
    bool atEnd() const { return position >= bytes.size(); }
    // The next line without its line end; nothing when its line end is damaged.
    std::optional<QByteArrayView> next();
    int lineNumber() const { return lines; }

private:
    QByteArrayView bytes;
    qsizetype position = 0;
    int lines = 0;
    bool plainLineEnds;
};

// Whether bytes are UTF-8 text with Japanese in it rather than code page 932.
bool looksLikeUtf8(QByteArrayView bytes);

// The bytes of a whole file, or a message naming it when it cannot be opened or read, or is UTF-8.
// With a limit, only the first `limit` bytes are read.
Result<QByteArray> readWholeFile(const QString& path, const QString& shownName, qint64 limit = -1);

// Lines joined into code page 932 bytes, each ending CR LF; a message when a text cannot be stored.
Result<QByteArray> encodeLines(const QStringList& lines);

// Replaces a file with new content through a temporary file and a rename, so that the file holds
// either its old or its new content whatever happens.
Status replaceFile(const QString& path, const QString& shownName, const QByteArray& content);

// Adds content at the end of an existing file in one write and flushes it; a missing file is an error.
Status appendToFile(const QString& path, const QString& shownName, const QByteArray& content);

// Makes everything written to the file system of a directory durable (the personal files before the
// month is recorded as saved), so that a power loss cannot keep the record of a month without its data.
Status flushToDisk(const QString& directory);

// Creates a file with the given content unless it exists already.
Status createIfMissing(const QString& path, const QString& shownName, const QByteArray& content);

// The messages of the store, each naming the file concerned.
QString cannotReadMessage(const QString& shownName);
QString damagedMessage(const QString& shownName, int lineNumber);
QString cannotWriteMessage(const QString& shownName);

} // namespace velmora
