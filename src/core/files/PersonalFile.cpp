#include "core/files/PersonalFile.h"

#include "core/files/Cp932.h"
#include "core/files/FileWriter.h"
#include "core/files/NumberForms.h"
#include "core/files/TextFile.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QThread>
#include <algorithm>
#include <cmath>

namespace velmora {
namespace {

constexpr int HeaderLines = 9;
constexpr int RecordLines = 6;

// Reads the values of one file line by line, remembering the first line that could not be read.
class FieldReader {
public:
    explicit FieldReader(QByteArrayView bytes) : lines(bytes) {}

    bool atEnd() const { return lines.atEnd(); }
    bool ok() const { return failedLine == 0; }
    int lineNumber() const { return lines.lineNumber(); }
    int failedAt() const { return failedLine; }

    double number()
    {
        const auto line = next();
        const auto value = line ? readNumberLine(*line) : std::nullopt;
        if (!value)
            fail(lines.lineNumber());
        return value.value_or(0);
    }

    qint64 wholeNumber()
    {
        const double value = number();
        if (value != std::floor(value) || std::fabs(value) > 1e15)
            fail(lines.lineNumber());
        return ok() ? static_cast<qint64>(value) : 0;
    }

    // Passes over lines that are not needed, checking only their line ends.
    void skip(int count)
    {
        if (ok() && !lines.skipLines(count))
            fail(lines.lineNumber());
    }

    QString text()
    {
        const auto line = next();
        const auto value = line ? cp932::decode(*line) : std::nullopt;
        if (!value)
            fail(lines.lineNumber());
        return value.value_or(QString());
    }

private:
    std::optional<QByteArrayView> next()
    {
        if (!ok())
            return std::nullopt;
        if (lines.atEnd()) {
            fail(lines.lineNumber() + 1); // the file ends where this line should stand
            return std::nullopt;
        }
        return lines.next();
    }
    void fail(int lineNumber)
    {
        if (failedLine == 0)
            failedLine = lineNumber;
    }

    LineReader lines;
    int failedLine = 0;
};

void readHeader(FieldReader& fields, PersonalHeader& header, int headerLines)
{
    header.registrationNumber = fields.number();
    header.name = fields.text();
    header.sexCode = fields.number();
    header.dateOfBirth = fields.number();
    header.affiliation = fields.text();
    header.jobType = fields.text();
    if (headerLines < HeaderLines)
        return;
    header.pastExposureFlag = fields.number();
    header.pastDose = fields.number();
    header.registrationDate = fields.text();
}

// The five lines of a record that follow its key.
MonthlyRecord readRecordAfterKey(FieldReader& fields, MonthKey key)
{
    MonthlyRecord record;
    record.key = key;
    record.effective = fields.number();
    record.lens = fields.number();
    record.skin = fields.number();
    record.internal = fields.number();
    record.comment = fields.text();
    return record;
}

MonthlyRecord readRecord(FieldReader& fields)
{
    return readRecordAfterKey(fields, fields.wholeNumber());
}

Result<QByteArray> readFile(const DataDir& dir, const QString& name, qint64 limit = -1)
{
    if (personalFileNameProblem(name))
        return failure(FailureKind::CannotRead, DataDir::shownPersonalFile(name));
    if (const auto problem = doseDataFolderProblem(dir))
        return *problem;
    return readWholeFile(dir.personalFile(name), DataDir::shownPersonalFile(name), LargestPersonalFile, limit);
}

// A personal file may be read while another copy of the program (on another PC sharing the folder)
// appends a month to it. The append is one write and normally lands whole within milliseconds, but a
// reader can see its first part: a last record cut short, or a last line without its line end. Such a
// file is read again after a short wait until the record is whole, so that it is never taken for a
// damaged one; a last record that stays cut short for SettleRounds waits, or in a file not written
// lately, is damaged after all, and a last line without its line end that stays so (a file edited by
// hand) is taken as it is. An appending PC held up for a moment (a busy server) is waited for, too.
constexpr int SettleWaitMs = 50;
constexpr int SettleRounds = 40;

// Whether a failure at `failedLine` lies where an append still under way would put it: at the line being
// written or past the end of the file. Lines already ended are whole, as the writer wrote them.
bool inUnfinishedLastRecord(QByteArrayView content, int failedLine)
{
    const qsizetype endedLines = content.count('\n');
    return endedLines >= HeaderLines && failedLine > endedLines; // a file is created with its whole header
}

// Whether a file was written within the last minute: only such a file can be in the middle of an append.
// The time is the file server's, which stamped the file, whatever this PC's clock says; on a folder this
// copy cannot write (so cannot ask the server's time), its own clock.
bool writtenLately(const QString& path)
{
    const QFileInfo file(path);
    const QDateTime written = file.lastModified();
    const QDateTime now = folderClock(file.path()).value_or(QDateTime::currentDateTime());
    return written.isValid() && std::abs(written.secsTo(now)) < 60;
}

// Reads a personal file and parses it, again while its last record is being appended.
template <class Parse>
auto readSettled(const DataDir& dir, const QString& name, Parse parse) -> decltype(parse(QByteArrayView()))
{
    for (int round = 0;; ++round) {
        const auto content = readFile(dir, name);
        if (!content)
            return content.error();
        auto parsed = parse(*content);
        const bool unfinished = parsed ? !content->isEmpty() && !content->endsWith('\n')
                                       : parsed.error().kind == FailureKind::Damaged &&
                                             inUnfinishedLastRecord(*content, parsed.error().line);
        if (!unfinished || round == SettleRounds || !writtenLately(dir.personalFile(name)))
            return parsed;
        QThread::msleep(SettleWaitMs);
    }
}

// What a walk through the records does with the record of a key.
enum class Visit { Skip, Read, ReadAndStop };

// Reads the header of the registrant's file, then the key of every record: `choose` says per key whether
// the record is read (and handed to `take`) or passed over with only its line ends checked, which is much
// faster than reading every record.
template <class Choose, class Take>
Status walkRecords(const DataDir& dir, const QString& name, PersonalHeader& header, Choose choose, Take take)
{
    // Records are handed on only from the read that is taken, never from one that is read again.
    auto chosen = readSettled(dir, name, [&](QByteArrayView content) -> Result<QList<MonthlyRecord>> {
        FieldReader fields(content);
        readHeader(fields, header, HeaderLines);
        QList<MonthlyRecord> records;
        while (fields.ok() && !fields.atEnd()) {
            const MonthKey key = fields.wholeNumber();
            const Visit visit = fields.ok() ? choose(key) : Visit::Skip;
            if (visit == Visit::Skip) {
                fields.skip(RecordLines - 1);
                continue;
            }
            records.append(readRecordAfterKey(fields, key));
            if (visit == Visit::ReadAndStop)
                break;
        }
        if (!fields.ok())
            return failure(FailureKind::Damaged, DataDir::shownPersonalFile(name), fields.failedAt());
        return records;
    });
    if (!chosen)
        return chosen.error();
    for (MonthlyRecord& record : *chosen)
        take(std::move(record));
    return {};
}

// The header nearly always stands within the first bytes of a file; the records after it need not be read.
constexpr qint64 HeaderBytes = 4096;

} // namespace

Result<QByteArray> encodeHeader(const PersonalHeader& header)
{
    return encodeLines({printForm(header.registrationNumber), header.name, printForm(header.sexCode),
                        printForm(header.dateOfBirth), header.affiliation, header.jobType,
                        printForm(header.pastExposureFlag), printForm(header.pastDose), header.registrationDate});
}

Result<QByteArray> encodeRecord(const MonthlyRecord& record)
{
    return encodeLines({printForm(static_cast<double>(record.key)), printForm(record.effective), printForm(record.lens),
                        printForm(record.skin), printForm(record.internal), record.comment});
}

Status CreatePersonalFile(const DataDir& dir, const PersonalHeader& header)
{
    if (const auto problem = personalFileNameProblem(header.name))
        return *problem;
    if (const auto problem = doseDataFolderProblem(dir))
        return *problem;
    const auto content = encodeHeader(header);
    if (!content)
        return content.error();
    return createFile(dir.personalFile(header.name), DataDir::shownPersonalFile(header.name), *content);
}

Status AppendMonthlyRecord(const DataDir& dir, const QString& name, const MonthlyRecord& record)
{
    const QString shown = DataDir::shownPersonalFile(name);
    if (personalFileNameProblem(name))
        return failure(FailureKind::CannotWrite, shown);
    if (const auto problem = doseDataFolderProblem(dir))
        return *problem;
    const auto content = encodeRecord(record);
    if (!content)
        return content.error();
    return appendToFile(dir.personalFile(name), shown, *content);
}

Result<PersonalHeader> ReadPersonalHeader(const DataDir& dir, const QString& name, int headerLines)
{
    const QString shown = DataDir::shownPersonalFile(name);
    // Parses the header from the start of the file; from a part of it only when the header ends before
    // the part does, so that a line cut by the limit is never taken.
    const auto parse = [&](QByteArrayView content, bool part) -> Result<PersonalHeader> {
        FieldReader fields(content);
        PersonalHeader header;
        readHeader(fields, header, headerLines);
        if (!fields.ok() || (part && fields.atEnd()))
            return failure(FailureKind::Damaged, shown, fields.failedAt());
        return header;
    };
    const auto start = readFile(dir, name, HeaderBytes);
    if (!start)
        return start.error();
    if (start->size() < HeaderBytes)
        return parse(*start, false);
    if (auto header = parse(*start, true))
        return header;
    const auto whole = readFile(dir, name);
    if (!whole)
        return whole.error();
    return parse(*whole, false);
}

Result<PersonalFile> ReadPersonalFile(const DataDir& dir, const QString& name)
{
    return readSettled(dir, name, [&](QByteArrayView content) {
        auto file = parsePersonalFile(content, DataDir::shownPersonalFile(name));
        if (file)
            file->fingerprint = fingerprintOf(content);
        return file;
    });
}

Result<PersonalFile> parsePersonalFile(QByteArrayView content, const QString& shownName)
{
    FieldReader fields(content);
    PersonalFile file;
    readHeader(fields, file.header, HeaderLines);
    file.records.reserve(content.size() / 40);
    while (fields.ok() && !fields.atEnd())
        file.records.append(readRecord(fields));
    if (!fields.ok())
        return failure(FailureKind::Damaged, shownName, fields.failedAt());
    return file;
}

Result<PersonalFile> ReadPersonalRecordsBetween(const DataDir& dir, const QString& name, MonthKey from, MonthKey to)
{
    PersonalFile file;
    const auto walked = walkRecords(
        dir, name, file.header, [&](MonthKey key) { return key >= from && key <= to ? Visit::Read : Visit::Skip; },
        [&](MonthlyRecord record) { file.records.append(std::move(record)); });
    if (!walked)
        return walked.error();
    return file;
}

Result<HeaderAndMonth> FindMonthlyRecord(const DataDir& dir, const QString& name, std::optional<MonthKey> key)
{
    HeaderAndMonth found;
    const auto walked = walkRecords(
        dir, name, found.header,
        [&](MonthKey recordKey) { return recordKey == key ? Visit::ReadAndStop : Visit::Skip; },
        [&](MonthlyRecord record) { found.record = std::move(record); });
    if (!walked)
        return walked.error();
    return found;
}

Result<bool> HoldsMonth(const DataDir& dir, const QString& name, MonthKey key)
{
    const auto content = readFile(dir, name);
    if (!content)
        return content.error();
    FieldReader fields(*content);
    PersonalHeader header;
    readHeader(fields, header, HeaderLines);
    bool holds = false;
    while (fields.ok() && !fields.atEnd()) {
        holds = fields.wholeNumber() == key || holds;
        fields.skip(RecordLines - 1);
    }
    if (!fields.ok())
        return failure(FailureKind::Damaged, DataDir::shownPersonalFile(name), fields.failedAt());
    // A record appended after a last line without its line end would run into that line.
    if (!content->isEmpty() && !content->endsWith(LineEnd))
        return failure(FailureKind::Damaged, DataDir::shownPersonalFile(name), fields.lineNumber());
    return holds;
}

Status RewritePersonalFile(const DataDir& dir, const QString& name, const PersonalHeader& header,
                           const QList<MonthlyRecord>& records, const QByteArray& readAs)
{
    const QString shown = DataDir::shownPersonalFile(name);
    if (personalFileNameProblem(name))
        return failure(FailureKind::CannotWrite, shown);
    if (const auto problem = doseDataFolderProblem(dir))
        return *problem;
    auto content = encodeHeader(header);
    for (const MonthlyRecord& record : records) {
        if (!content)
            break;
        const auto bytes = encodeRecord(record);
        if (!bytes)
            return bytes.error();
        content->append(*bytes);
    }
    if (!content)
        return content.error();
    if (!readAs.isEmpty()) {
        // Another PC may have saved a month or a correction since the file was read; those are kept.
        const auto current = readFile(dir, name);
        if (!current)
            return current.error();
        if (fingerprintOf(*current) != readAs)
            return failure(FailureKind::ChangedMeanwhile, shown);
    }
    return replaceFile(dir.personalFile(name), shown, *content);
}

Status ReplaceMonthlyRecord(const DataDir& dir, const QString& name, const MonthlyRecord& record)
{
    const auto file = ReadPersonalFile(dir, name);
    if (!file)
        return file.error();
    QList<MonthlyRecord> records = file->records;
    const auto month = std::find_if(records.begin(), records.end(),
                                    [&](const MonthlyRecord& stored) { return stored.key == record.key; });
    if (month == records.end())
        records.append(record);
    else
        *month = record;
    return RewritePersonalFile(dir, name, file->header, records, file->fingerprint);
}

QByteArray fingerprintOf(QByteArrayView content)
{
    return QCryptographicHash::hash(content, QCryptographicHash::Sha256);
}

bool personalFileExists(const DataDir& dir, const QString& name)
{
    if (personalFileNameProblem(name))
        return false;
    // Anything at the name takes it, also a file that cannot be read or a link that leads nowhere.
    const QFileInfo file(dir.personalFile(name));
    return file.exists() || file.isSymLink();
}

} // namespace velmora
