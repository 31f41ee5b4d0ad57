#include "core/files/TextFile.h"

#include "core/files/Cp932.h"
#include "core/files/NumberForms.h"
#include "core/files/SystemFiles.h"

#include <QFile>
#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace velmora {

LineReader::LineReader(QByteArrayView content, bool lineFeedsAllowed) : bytes(content), plainLineEnds(lineFeedsAllowed)
{
}

std::optional<QByteArrayView> LineReader::next()
{
    ++lines;
    const char* start = bytes.data() + position;
    const qsizetype rest = bytes.size() - position;
    const auto* lineFeed = static_cast<const char*>(std::memchr(start, '\n', rest));
    if (!lineFeed) { // the last line, without a line end
        position = bytes.size();
        if (std::memchr(start, '\r', rest))
            return std::nullopt;
        return QByteArrayView(start, rest);
    }
    const bool crlf = lineFeed > start && lineFeed[-1] == '\r';
    const qsizetype length = lineFeed - start - (crlf ? 1 : 0);
    if ((!crlf && !plainLineEnds) || std::memchr(start, '\r', length))
        return std::nullopt; // a bare LF, or a bare CR inside the line
    position += lineFeed - start + 1;
    return QByteArrayView(start, length);
}

namespace {

// The first CR or LF from `at`, or `size`: eight bytes at a time, as the lines passed over are most of a
// file. A byte of a word is CR or LF where the word XOR that byte repeated has a zero byte; the lowest
// flag of the zero-byte test is exact (little-endian words: the lowest is the first byte).
qsizetype lineEndFrom(const char* data, qsizetype at, qsizetype size)
{
    constexpr std::uint64_t Ones = 0x0101010101010101;
    constexpr std::uint64_t Highs = 0x8080808080808080;
    const auto zeroBytes = [](std::uint64_t word) { return (word - Ones) & ~word & Highs; };
    for (; at + 8 <= size; at += 8) {
        std::uint64_t word;
        std::memcpy(&word, data + at, 8);
        if (const std::uint64_t found = zeroBytes(word ^ (Ones * '\n')) | zeroBytes(word ^ (Ones * '\r')))
            return at + std::countr_zero(found) / 8;
    }
    while (at < size && data[at] != '\n' && data[at] != '\r')
        ++at;
    return at;
}

} // namespace

bool LineReader::skipLines(int count)
{
    const char* data = bytes.data();
    const qsizetype size = bytes.size();
    qsizetype at = position;
    for (int line = 0; line < count; ++line) {
        ++lines;
        if (at >= size) {
            position = at;
            return false;
        }
        const qsizetype stop = lineEndFrom(data, at, size);
        if (stop == size) { // the last line, without a line end
            at = size;
        } else if (data[stop] == '\r' && stop + 1 < size && data[stop + 1] == '\n') {
            at = stop + 2;
        } else if (data[stop] == '\n' && plainLineEnds) {
            at = stop + 1;
        } else {
            position = at;
            return false; // a bare CR or LF
        }
    }
    position = at;
    return true;
}

bool looksLikeUtf8(QByteArrayView bytes)
{
    // Japanese in UTF-8 takes three bytes a character, led by 0xE0 to 0xEF. Code page 932 text is almost
    // never valid UTF-8 throughout, and usually fails at its first two-byte character, so the check
    // stops at the first sequence that is not UTF-8.
    bool threeByteSequence = false;
    for (qsizetype i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const int length = lead < 0x80                   ? 1
                           : lead >= 0xC2 && lead < 0xE0 ? 2
                           : lead >= 0xE0 && lead < 0xF0 ? 3
                           : lead >= 0xF0 && lead < 0xF5 ? 4
                                                         : 0;
        if (length == 0 || i + length > bytes.size())
            return false;
        for (int k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80)
                return false;
        threeByteSequence = threeByteSequence || length == 3;
        i += length;
    }
    return threeByteSequence;
}

namespace {

// What a read that did not read tells the operator.
Failure readFailure(system::ReadOutcome outcome, const QString& shownName)
{
    switch (outcome) {
    case system::ReadOutcome::NotRegular:
        return failure(FailureKind::NotRegularFile, shownName);
    case system::ReadOutcome::TooLarge:
        return failure(FailureKind::TooLarge, shownName);
    case system::ReadOutcome::Read:
    case system::ReadOutcome::Missing:
    case system::ReadOutcome::Failed:
        break;
    }
    Failure failed = failure(FailureKind::CannotRead, shownName);
    failed.systemError = errno;
    return failed;
}

} // namespace

Result<QByteArray> readFileBytes(const QString& path, const QString& shownName, qint64 largest, qint64 limit)
{
    QByteArray content;
    const system::ReadOutcome outcome = system::readRegularFile(path, largest, limit, content);
    if (outcome != system::ReadOutcome::Read)
        return readFailure(outcome, shownName);
    return content;
}

constexpr qint64 Block = qint64(4) << 20;

Status readBytesInBlocks(const QString& path, const QString& shownName, qint64 largest,
                         const std::function<void(const QByteArray&)>& take)
{
    if (const auto outcome = system::readRegularFileInBlocks(path, largest, Block, take);
        outcome != system::ReadOutcome::Read)
        return readFailure(outcome, shownName);
    return {};
}

Status readFileInBlocks(const QString& path, const QString& shownName, qint64 largest,
                        const std::function<void(const QByteArray&)>& take)
{
    bool first = true;
    bool utf8 = false;
    const system::ReadOutcome outcome =
        system::readRegularFileInBlocks(path, largest, Block, [&](const QByteArray& block) {
            // A file in UTF-8 shows it in its first block's whole lines, as in the whole file.
            utf8 = utf8 || (first && looksLikeUtf8(QByteArrayView(block).first(
                                         block.size() < Block ? block.size() : block.lastIndexOf('\n') + 1)));
            first = false;
            if (!utf8)
                take(block);
        });
    if (outcome != system::ReadOutcome::Read)
        return readFailure(outcome, shownName);
    if (utf8)
        return failure(FailureKind::Utf8Text, shownName);
    return {};
}

Result<QByteArray> readWholeFile(const QString& path, const QString& shownName, qint64 largest, qint64 limit)
{
    auto content = readFileBytes(path, shownName, largest, limit);
    if (content && looksLikeUtf8(*content))
        return failure(FailureKind::Utf8Text, shownName);
    return content;
}

Result<QStringList> decodeTextLines(QByteArrayView content, const QString& fileName, bool plainLineEnds)
{
    QStringList lines;
    LineReader reader(content, plainLineEnds);
    while (!reader.atEnd()) {
        const auto line = reader.next();
        const auto text = line ? cp932::decode(*line) : std::nullopt;
        if (!text)
            return failure(FailureKind::Damaged, fileName, reader.lineNumber());
        lines.append(*text);
    }
    return lines;
}

std::optional<qint64> wholeNumberLine(const QString& line)
{
    const auto value = readNumberLine(line);
    if (!value || *value != std::floor(*value) || std::fabs(*value) > 1e15)
        return std::nullopt;
    return static_cast<qint64>(*value);
}

std::optional<Failure> storableTextProblem(const QString& text, qsizetype longest)
{
    // A line break inside a value would split it into two lines and shift every line after it.
    if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')))
        return failure(FailureKind::LineBreakInText);
    if (longest >= 0 && text.size() > longest)
        return failureWithText(FailureKind::TextTooLong, QString::number(longest));
    if (!cp932::encode(text))
        return failureWithText(FailureKind::Unencodable, text);
    return std::nullopt;
}

std::optional<Failure> storableTextsProblem(std::initializer_list<QString> texts, qsizetype longest)
{
    for (const QString& text : texts)
        if (auto problem = storableTextProblem(text, longest))
            return problem;
    return std::nullopt;
}

Result<QByteArray> encodeLines(const QStringList& lines)
{
    QByteArray content;
    for (const QString& line : lines) {
        if (const auto problem = storableTextProblem(line))
            return *problem;
        content += *cp932::encode(line);
        content += LineEnd;
    }
    return content;
}

} // namespace velmora
