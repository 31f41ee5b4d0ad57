#include "core/files/ChangeHistory.h"

#include "core/files/Cp932.h"
#include "core/files/FileWriter.h"
#include "core/files/HistoryAgreement.h"
#include "core/files/SystemFiles.h"
#include "core/files/TextFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QHash>
#include <QRegularExpression>
#include <QSysInfo>
#include <cerrno>

namespace velmora {
namespace {

const QString None = QStringLiteral("―");

constexpr std::pair<ChangeKind, const char16_t*> KindWords[] = {
    {ChangeKind::Registration, u"登録"},
    {ChangeKind::Removal, u"抹消"},
    {ChangeKind::Restore, u"復帰"},
    {ChangeKind::MonthSaved, u"入力"},
    {ChangeKind::Correction, u"訂正"},
    {ChangeKind::Deletion, u"削除"},
    {ChangeKind::HeaderCorrection, u"登録内容の訂正"},
    {ChangeKind::OtherDose, u"他施設線量"},
    {ChangeKind::Declaration, u"申告"},
    {ChangeKind::Facility, u"事業所"},
    {ChangeKind::NotMade, u"未実施"},
    {ChangeKind::Continued, u"履歴の継続"},
};

const QString SetAsidePrefix = QStringLiteral("変更履歴_損傷_");

QString orNone(const QString& text)
{
    return text.isEmpty() ? None : text;
}

QString fromNone(const QString& line)
{
    return line == None ? QString() : line;
}

// A PC or user name as the file can hold it: a character code page 932 has not becomes 〓, as in print.
QString storable(const QString& name)
{
    QString kept;
    for (const QChar c : name)
        kept += cp932::encode(QStringView(&c, 1)) ? c : QChar(u'〓');
    return kept.isEmpty() ? None : kept;
}

QByteArray hashAfter(QByteArrayView previousLastLine, QByteArrayView ownLines)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(previousLastLine);
    hash.addData("\r\n");
    hash.addData(ownLines);
    return hash.result().toHex();
}

QByteArrayView lastLineOf(QByteArrayView content)
{
    while (content.endsWith('\n') || content.endsWith('\r'))
        content.chop(1);
    const qsizetype start = content.lastIndexOf('\n');
    return start < 0 ? content : content.sliced(start + 1);
}

// The lines of a history's bytes, each with whether it ends as the writer ends lines (CR LF; the last line
// may lack its line end).
struct Lines {
    QList<QByteArrayView> text;
    QList<bool> sound;
};

Lines splitLines(QByteArrayView content)
{
    Lines lines;
    qsizetype start = 0;
    while (start < content.size()) {
        const qsizetype end = content.indexOf('\n', start);
        const qsizetype stop = end < 0 ? content.size() : end;
        QByteArrayView line = content.sliced(start, stop - start);
        const bool ended = line.endsWith('\r');
        if (ended)
            line.chop(1);
        lines.text.append(line);
        lines.sound.append((ended || end < 0) && !line.contains('\r'));
        start = stop + 1;
    }
    return lines;
}

bool isHashLine(QByteArrayView line)
{
    return line.size() == 64 && std::all_of(line.begin(), line.end(),
                                            [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

// A record's time as written ("yyyy/MM/dd HH:mm:ss"), without a time zone: shown as the file holds it,
// and read without asking the system for its zone at every record.
QDateTime timeOf(QByteArrayView line)
{
    if (line.size() != 19)
        return {};
    int parts[6] = {};
    int part = 0;
    for (qsizetype at = 0; at < line.size(); ++at) {
        const char c = line[at];
        const bool separator = at == 4 || at == 7 || at == 10 || at == 13 || at == 16;
        if (separator) {
            if (c != (at < 10 ? '/' : at == 10 ? ' ' : ':'))
                return {};
            ++part;
        } else if (c < '0' || c > '9') {
            return {};
        } else {
            parts[part] = parts[part] * 10 + (c - '0');
        }
    }
    const QDate date(parts[0], parts[1], parts[2]);
    const QTime time(parts[3], parts[4], parts[5]);
    return date.isValid() && time.isValid() ? QDateTime(date, time, Qt::UTC) : QDateTime();
}

// Decodes the lines of a history, each distinct line once: names, PCs, users and the common values repeat
// through thirty years of records.
class LineDecoder {
public:
    std::optional<QString> operator()(QByteArrayView line)
    {
        const auto known = decoded.constFind(line.toByteArray());
        if (known != decoded.cend())
            return *known;
        const auto text = cp932::decode(line);
        if (!text)
            return std::nullopt;
        if (decoded.size() >= Remembered)
            decoded.clear();
        decoded.insert(line.toByteArray(), *text);
        return text;
    }

private:
    static constexpr qsizetype Remembered = 65536;
    QHash<QByteArray, QString> decoded;
};

// The record whose first line is lines[at], or what is wrong with it and at which of its lines (from 0).
struct Parsed {
    std::optional<ChangeRecord> record;
    QByteArrayView hashed; // the first eight lines with their line ends
    EntryFault fault = EntryFault::None;
    int faultAt = 0;
};

Parsed parseRecordAt(const Lines& lines, qsizetype at, LineDecoder& decode)
{
    Parsed parsed;
    if (at + HistoryRecordLines > lines.text.size()) {
        parsed.fault = EntryFault::IncompleteRecord;
        return parsed;
    }
    QString text[HistoryRecordLines];
    for (int line = 0; line < HistoryRecordLines; ++line) {
        const auto decoded = lines.sound[at + line] ? decode(lines.text[at + line]) : std::nullopt;
        if (!decoded) {
            parsed.faultAt = line;
            return parsed;
        }
        text[line] = *decoded;
    }
    ChangeRecord record;
    record.time = timeOf(lines.text[at]);
    const auto kind = changeKindOf(text[3]);
    // Any whole number: a correction records the month key its file held, a doubtful one included.
    const auto month = text[5] == None ? std::optional<qint64>(0) : wholeNumberLine(text[5]);
    const std::pair<bool, std::pair<EntryFault, int>> checks[] = {
        {record.time.isValid(), {EntryFault::NotATime, 0}},
        {kind.has_value(), {EntryFault::UnknownChangeKind, 3}},
        {month.has_value(), {EntryFault::NotANumber, 5}},
        {isHashLine(lines.text[at + 8]), {EntryFault::NotAHash, 8}},
    };
    for (const auto& [holds, fault] : checks)
        if (!holds) {
            std::tie(parsed.fault, parsed.faultAt) = fault;
            return parsed;
        }
    record.pc = fromNone(text[1]);
    record.user = fromNone(text[2]);
    record.change = {*kind, fromNone(text[4]), *month, fromNone(text[6]), fromNone(text[7])};
    record.hash = lines.text[at + 8].toByteArray();
    parsed.hashed = QByteArrayView(lines.text[at].data(), lines.text[at + 8].data());
    parsed.record = std::move(record);
    return parsed;
}

// Whether bytes are code page 932 in form: single bytes, or a lead byte and a trail byte in their ranges.
bool hasCp932Form(QByteArrayView line)
{
    for (qsizetype at = 0; at < line.size(); ++at) {
        const auto byte = static_cast<unsigned char>(line[at]);
        if (byte < 0x80 || (byte >= 0xA1 && byte <= 0xDF))
            continue;
        const bool lead = (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
        const auto trail = at + 1 < line.size() ? static_cast<unsigned char>(line[at + 1]) : 0;
        if (!lead || trail < 0x40 || trail == 0x7F || trail > 0xFC)
            return false;
        ++at;
    }
    return true;
}

// Whether the lines are whole records, each in the form the writer gives it, judged from the bytes alone:
// the quick check before a change is recorded on top of them.
bool holdsRecordsOnly(const Lines& lines)
{
    static const QList<QByteArray> kinds = [] {
        QList<QByteArray> encoded;
        for (const auto& [kind, word] : KindWords)
            encoded << *cp932::encode(QString::fromUtf16(word));
        return encoded;
    }();
    static const QByteArray none = *cp932::encode(None);
    if (lines.text.size() % HistoryRecordLines != 0 || lines.sound.contains(false))
        return false;
    for (qsizetype at = 0; at < lines.text.size(); at += HistoryRecordLines) {
        const QByteArrayView month = lines.text[at + 5];
        const bool form =
            timeOf(lines.text[at]).isValid() && kinds.contains(lines.text[at + 3]) &&
            (month == none || (!month.isEmpty() &&
                               std::all_of(month.begin(), month.end(), [](char c) { return c >= '0' && c <= '9'; }))) &&
            isHashLine(lines.text[at + 8]);
        if (!form)
            return false;
        for (const int line : {1, 2, 4, 6, 7})
            if (!hasCp932Form(lines.text[at + line]))
                return false;
    }
    return true;
}

// The records of one history file chained on from `previous` (the last line of the file before it), read
// past any damage: after a damaged stretch the chain goes on from the last record that read, so that lines
// added or altered in between are named as damage, not as an alteration of the next record.
void readHistoryFile(QByteArrayView content, const QString& file, QByteArray previous, QList<ChangeRecord>& records,
                     QList<DamagedStretch>& damage)
{
    const Lines lines = splitLines(content);
    LineDecoder decode;
    QByteArray lastRecord = previous;
    for (qsizetype at = 0; at < lines.text.size();) {
        Parsed parsed = parseRecordAt(lines, at, decode);
        if (parsed.record) {
            ChangeRecord& record = *parsed.record;
            record.intact = hashAfter(previous, parsed.hashed) == record.hash ||
                            (previous != lastRecord && hashAfter(lastRecord, parsed.hashed) == record.hash);
            previous = lastRecord = record.hash;
            record.file = file;
            record.line = static_cast<int>(at + 1);
            records.append(std::move(record));
            at += HistoryRecordLines;
            continue;
        }
        const qsizetype start = at;
        for (++at; at < lines.text.size() && !parseRecordAt(lines, at, decode).record;)
            ++at;
        damage.append({file, static_cast<int>(start + 1), static_cast<int>(at),
                       static_cast<int>(start + 1 + parsed.faultAt), parsed.fault});
        previous = lines.text[at - 1].toByteArray();
    }
}

// The histories set aside, oldest first.
QStringList setAsideFiles(const DataDir& dir)
{
    QStringList names = QDir(dir.root()).entryList(QDir::Files, QDir::Name);
    names.removeIf([](const QString& name) { return !isSetAsideHistoryName(name); });
    return names;
}

// The line a new live history chains on from: the last line of the newest history set aside.
Result<QByteArray> chainStart(const DataDir& dir)
{
    const QStringList aside = setAsideFiles(dir);
    if (aside.isEmpty())
        return QByteArray();
    const auto content = readWholeFile(dir.listFile(aside.last()), aside.last(), LargestHistoryFile);
    if (!content)
        return content.error();
    return lastLineOf(*content).toByteArray();
}

} // namespace

QString changeKindText(ChangeKind kind)
{
    for (const auto& [known, word] : KindWords)
        if (known == kind)
            return QString::fromUtf16(word);
    return {};
}

std::optional<ChangeKind> changeKindOf(const QString& text)
{
    for (const auto& [kind, word] : KindWords)
        if (text == QString::fromUtf16(word))
            return kind;
    return std::nullopt;
}

Status RecordChanges(const DataDir& dir, const QList<Change>& changes,
                     const std::function<Status(qsizetype& made)>& make)
{
    qsizetype made = 0;
    if (changes.isEmpty())
        return make(made);
    const QString path = dir.listFile(ChangeHistoryFile);
    const bool first = system::kindOf(path) == system::FileKind::Missing;
    const auto content = first ? Result<QByteArray>() : readWholeFile(path, ChangeHistoryFile, LargestHistoryFile);
    if (!content)
        return content.error();
    // The writer ends a last line left without its line end before it appends.
    const qsizetype appendedAt = content->size() + (content->isEmpty() || content->endsWith('\n') ? 0
                                                    : content->endsWith('\r')                     ? 1
                                                                                                  : 2);

    // The time is the file server's, as the lock's is; a folder that cannot take the probe cannot take the
    // change either.
    const auto now = folderClock(dir.root());
    if (!now) {
        Failure failed = failure(FailureKind::CannotWrite, ChangeHistoryFile);
        failed.systemError = errno;
        return failed;
    }
    const QStringList who{now->toString(HistoryTimeForm), storable(QSysInfo::machineHostName()),
                          storable(system::userName())};
    // Nothing is recorded on top of lines that do not read: they are mended or set aside first. The form of
    // every record is checked byte by byte; only a history found damaged is read in full, to name it.
    const Lines held = splitLines(*content);
    if (!holdsRecordsOnly(held)) {
        QList<ChangeRecord> records;
        QList<DamagedStretch> damage;
        readHistoryFile(*content, ChangeHistoryFile, {}, records, damage);
        if (!damage.isEmpty())
            return damagedHistoryAt(damage.first());
    }
    const auto start = first ? chainStart(dir) : Result<QByteArray>(lastLineOf(*content).toByteArray());
    if (!start)
        return start.error();
    QByteArray previous = *start;
    // Changes recorded and never made (a kill between a record and its change) are answered first, so that
    // the history says what the files hold; their records stay. They are the last records, read back from
    // the end until the files show one.
    QList<Change> recorded;
    LineDecoder decode;
    for (qsizetype at = held.text.size() - HistoryRecordLines; at >= 0; at -= HistoryRecordLines) {
        const Parsed parsed = parseRecordAt(held, at, decode);
        if (!parsed.record || filesShow(dir, *parsed.record))
            break;
        recorded.prepend(notMadeAnswer(*parsed.record));
    }
    const qsizetype answers = recorded.size();
    recorded += changes;
    QByteArray added;
    QList<qsizetype> endOf; // where each record ends, from `appendedAt`
    for (const Change& change : recorded) {
        const auto lines = encodeLines(who + QStringList{changeKindText(change.kind), orNone(change.person),
                                                         change.month ? QString::number(change.month) : None,
                                                         orNone(change.before), orNone(change.after)});
        if (!lines)
            return lines.error();
        previous = hashAfter(previous, *lines);
        added += *lines + previous + "\r\n";
        endOf.append(added.size());
    }
    if (appendedAt + added.size() > LargestHistoryFile) {
        Failure full = failure(FailureKind::ListFull, ChangeHistoryFile);
        full.text = QString::number(LargestHistoryFile >> 20);
        return full;
    }
    const Status appended =
        first ? createFile(path, ChangeHistoryFile, added) : appendToFile(path, ChangeHistoryFile, added);
    if (!isWritten(appended))
        return appended;

    const Status outcome = make(made);
    // The records of the changes not made go; a history that held only them goes with them.
    bool cutBack = true;
    if (made == 0 && first)
        cutBack = system::removeFile(path);
    else if (made < changes.size())
        cutBack =
            system::cutBackTo(path, answers + made > 0 ? appendedAt + endOf[answers + made - 1] : content->size());
    if (!cutBack)
        return withNotRestored(outcome ? failure(FailureKind::CannotWrite, ChangeHistoryFile) : outcome.error(),
                               ChangeHistoryFile);
    // A history the disk did not confirm is told as the change's own would be.
    return !outcome || appended ? outcome : appended;
}

Status RecordWrite(const DataDir& dir, const QList<Change>& changes, const std::function<Status()>& write)
{
    return RecordChanges(dir, changes, [&](qsizetype& made) {
        const Status outcome = write();
        made = isWritten(outcome) ? changes.size() : 0;
        return outcome;
    });
}

Result<HistoryRead> ReadChangeHistory(const DataDir& dir)
{
    HistoryRead read;
    QByteArray previous;
    for (const QString& aside : setAsideFiles(dir)) {
        const auto content = readWholeFile(dir.listFile(aside), aside, LargestHistoryFile);
        if (!content)
            return content.error();
        readHistoryFile(*content, aside, previous, read.records, read.setAsideDamage);
        previous = lastLineOf(*content).toByteArray();
    }
    read.setAsideRecords = read.records.size();
    const QString path = dir.listFile(ChangeHistoryFile);
    if (system::kindOf(path) == system::FileKind::Missing)
        return read;
    const auto content = readWholeFile(path, ChangeHistoryFile, LargestHistoryFile);
    if (!content)
        return content.error();
    readHistoryFile(*content, ChangeHistoryFile, previous, read.records, read.damage);
    return read;
}

Failure damagedHistoryAt(const DamagedStretch& stretch)
{
    Failure damaged = failure(FailureKind::HistoryDamaged, stretch.file, stretch.faultLine);
    damaged.entryFault = stretch.fault;
    damaged.text = QStringLiteral("%1～%2").arg(stretch.firstLine).arg(stretch.lastLine);
    return damaged;
}

bool isSetAsideHistoryName(const QString& fileName)
{
    static const QRegularExpression form(QStringLiteral("^変更履歴_損傷_\\d{8}-\\d{6}(_\\d{1,6})?\\.txt$"));
    return form.match(fileName).hasMatch();
}

Result<QString> SetAsideDamagedHistory(const DataDir& dir, const QDateTime& now)
{
    const auto read = ReadChangeHistory(dir);
    if (!read)
        return read.error();
    if (read->damage.isEmpty())
        return failure(FailureKind::HistoryReadsWhole, ChangeHistoryFile);
    const QString stamp = SetAsidePrefix + now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = stamp + QStringLiteral(".txt");
    for (int sequence = 2; system::kindOf(dir.listFile(name)) != system::FileKind::Missing; ++sequence)
        name = stamp + QStringLiteral("_%1.txt").arg(sequence);
    QStringList lines;
    for (const DamagedStretch& stretch : read->damage)
        lines << (stretch.firstLine == stretch.lastLine
                      ? QStringLiteral("%1行目").arg(stretch.firstLine)
                      : QStringLiteral("%1～%2行目").arg(stretch.firstLine).arg(stretch.lastLine));
    if (system::renameWithoutReplacing(dir.listFile(ChangeHistoryFile), dir.listFile(name)) ==
        system::RenameOutcome::Failed) {
        Failure failed = failure(FailureKind::CannotWrite, name);
        failed.systemError = errno;
        return failed;
    }
    // A kill here leaves the file set aside and no live history: the next change chains on from it all the same.
    const Change continued{ChangeKind::Continued,
                           {},
                           0,
                           QStringLiteral("%1（読めない行：%2）").arg(name, lines.join(QStringLiteral("、"))),
                           {}};
    const Status recorded = RecordWrite(dir, {continued}, [] { return Status(); });
    if (!isWritten(recorded))
        return recorded.error();
    return name;
}

HistoryHead historyHead(const QList<ChangeRecord>& records)
{
    return {records.size(), records.isEmpty() ? QByteArray() : records.last().hash};
}

std::optional<qsizetype> firstBrokenRecord(const QList<ChangeRecord>& records)
{
    for (qsizetype at = 0; at < records.size(); ++at)
        if (!records[at].intact)
            return at + 1;
    return std::nullopt;
}

} // namespace velmora
