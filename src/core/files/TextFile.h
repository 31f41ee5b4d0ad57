#pragma once

#include "core/model/Result.h"

#include <QByteArray>
#include <QStringList>
#include <functional>

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
    // Passes over `count` lines, checking only their line ends: false at a damaged line, or where the
    // bytes end before a line, with lineNumber() naming it.
    bool skipLines(int count);
    int lineNumber() const { return lines; }

private:
    QByteArrayView bytes;
    qsizetype position = 0;
    int lines = 0;
    bool plainLineEnds;
};

// Whether bytes are UTF-8 text with Japanese in it rather than code page 932.
bool looksLikeUtf8(QByteArrayView bytes);

// The largest files a valid store can hold: a bigger file is damaged and is refused without being read.
constexpr qint64 LargestListFile = qint64(4) << 20;
constexpr qint64 LargestPersonalFile = qint64(64) << 20;

// The bytes of a whole file, whatever their encoding, or why not: it cannot be opened or read, it is not
// a regular file (a link is not followed), or it is larger than `largest`. With a limit, only the first `limit` bytes
// are read.
Result<QByteArray> readFileBytes(const QString& path, const QString& shownName, qint64 largest, qint64 limit = -1);

// The bytes of a whole file, or a message naming it when it cannot be opened or read, is larger than
// `largest` or is UTF-8. With a limit, only the first `limit` bytes are read.
Result<QByteArray> readWholeFile(const QString& path, const QString& shownName, qint64 largest, qint64 limit = -1);

// The bytes of a file, whatever their encoding, given to `take` a few megabytes at a time, so that memory
// stays bounded however large it is (a copy, a hash).
Status readBytesInBlocks(const QString& path, const QString& shownName, qint64 largest,
                         const std::function<void(const QByteArray&)>& take);

// The same file given to `take` a few megabytes at a time, so that memory stays bounded however large it
// is; refused when it looks like UTF-8 (judged from its first block).
Status readFileInBlocks(const QString& path, const QString& shownName, qint64 largest,
                        const std::function<void(const QByteArray&)>& take);

// The lines of a list file's bytes as texts; Damaged (with the line) where a line end is damaged or a
// line is not code page 932.
Result<QStringList> decodeTextLines(QByteArrayView content, const QString& fileName, bool plainLineEnds = false);

// A number line that must hold a whole number, such as a count or a month key.
std::optional<qint64> wholeNumberLine(const QString& line);

// The end of every line of the data files: CR LF, as the files of the system have always had it.
inline constexpr char LineEnd[] = "\r\n";

// Why a text cannot be stored as one line of a data file: a line break (LineBreakInText), a character code
// page 932 lacks (Unencodable), or more than `longest` characters when a bound is given (TextTooLong);
// nothing when it can. Every window and import asks it of what it stores, and encodeLines of every line.
std::optional<Failure> storableTextProblem(const QString& text, qsizetype longest = -1);
// The first of several texts that cannot be stored.
std::optional<Failure> storableTextsProblem(std::initializer_list<QString> texts, qsizetype longest = -1);

// Lines joined into code page 932 bytes, each ending with LineEnd; a message when a text cannot be stored.
Result<QByteArray> encodeLines(const QStringList& lines);

} // namespace velmora
