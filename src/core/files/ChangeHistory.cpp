#include "core/files/ChangeHistory.h"

#include "core/files/Cp932.h"
#include "core/files/FileWriter.h"
#include "core/files/HistoryAgreement.h"
#include "core/files/Manifest.h"
#include "core/files/Removals.h"
#include "core/files/SystemFiles.h"
#include "core/files/TextFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStandardPaths>
#include <QSysInfo>
#include <algorithm>
#include <cerrno>
#include <deque>

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
    {ChangeKind::Examination, u"健康診断"},
    {ChangeKind::Dosimeter, u"線量計"},
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
    hash.addData(LineEnd);
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
    const auto count = std::count(content.begin(), content.end(), '\n') + 1;
    lines.text.reserve(count);
    lines.sound.reserve(count);
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

const QList<QByteArray>& encodedKinds()
{
    static const QList<QByteArray> kinds = [] {
        QList<QByteArray> encoded;
        for (const auto& [kind, word] : KindWords)
            encoded << *cp932::encode(QString::fromUtf16(word));
        return encoded;
    }();
    return kinds;
}

const QByteArray& encodedNone()
{
    static const QByteArray none = *cp932::encode(None);
    return none;
}

// A record's month line: "―" (0) or any whole number (a correction records the month key its file held,
// a doubtful one included); nothing when it is neither.
std::optional<qint64> monthOfLine(QByteArrayView line)
{
    if (line == encodedNone())
        return 0;
    const bool ascii = std::all_of(line.begin(), line.end(), [](char c) { return c > 0 && c < 0x7F; });
    return ascii ? wholeNumberLine(QString::fromLatin1(line.data(), line.size())) : std::nullopt;
}

// What is wrong with the form of the record whose first line is lines[at], judged from its bytes alone,
// and at which of its lines (from 0); nothing when it is whole.
struct FormFault {
    EntryFault fault = EntryFault::None; // None: a line not ended by CR LF or not code page 932
    int at = 0;
};

std::optional<FormFault> formFaultAt(const Lines& lines, qsizetype at)
{
    if (at + HistoryRecordLines > lines.text.size())
        return FormFault{EntryFault::IncompleteRecord, 0};
    for (int line = 0; line < HistoryRecordLines; ++line)
        if (!lines.sound[at + line] || !hasCp932Form(lines.text[at + line]))
            return FormFault{EntryFault::None, line};
    if (!timeOf(lines.text[at]).isValid())
        return FormFault{EntryFault::NotATime, 0};
    if (!encodedKinds().contains(lines.text[at + 3]))
        return FormFault{EntryFault::UnknownChangeKind, 3};
    if (!monthOfLine(lines.text[at + 5]))
        return FormFault{EntryFault::NotANumber, 5};
    if (!isHashLine(lines.text[at + 8]))
        return FormFault{EntryFault::NotAHash, 8};
    return std::nullopt;
}

// Whether the lines are whole records, each in the form the writer gives it: the quick check before a
// change is recorded on top of them.
bool holdsRecordsOnly(const Lines& lines)
{
    for (qsizetype at = 0; at < lines.text.size(); at += HistoryRecordLines)
        if (formFaultAt(lines, at))
            return false;
    return true;
}

// The record whose first line is lines[at], its form found whole; nothing when a line does not decode
// after all.
std::optional<ChangeRecord> decodeRecordAt(const Lines& lines, qsizetype at, LineDecoder& decode)
{
    QString text[HistoryRecordLines];
    for (int line = 1; line < HistoryRecordLines - 1; ++line) {
        const auto decoded = decode(lines.text[at + line]);
        if (!decoded)
            return std::nullopt;
        text[line] = *decoded;
    }
    ChangeRecord record;
    record.time = timeOf(lines.text[at]);
    record.pc = fromNone(text[1]);
    record.user = fromNone(text[2]);
    record.change = {*changeKindOf(text[3]), fromNone(text[4]), *monthOfLine(lines.text[at + 5]), fromNone(text[6]),
                     fromNone(text[7])};
    record.hash = lines.text[at + 8].toByteArray();
    record.line = static_cast<int>(at + 1);
    return record;
}

// The first eight lines of the record at lines[at] with their line ends: what its hash covers.
QByteArrayView hashedLines(const Lines& lines, qsizetype at)
{
    return QByteArrayView(lines.text[at].data(), lines.text[at + 8].data());
}

// Where the scan of one history file stands between blocks of its lines. After a damaged stretch the chain
// goes on from the stretch's last line, or from the last record that read, so that lines added or altered in
// between are named as damage, not as an alteration of the next record.
struct FileScan {
    QString file;
    bool hashed = true;
    QByteArray previous;   // the line the next record's hash chains on from
    QByteArray lastRecord; // the hash line of the last record that read
    QByteArray lastLine;   // the file's last line that is not blank, as lastLineOf gives it
    qsizetype linesBefore = 0;
    std::optional<DamagedStretch> open; // a damaged stretch the next block may go on with
    QList<DamagedStretch> damage;
    std::function<bool(qint64)> stopAfter; // told each block's size; true stops the scan there
    bool stopped = false;
};

// A record that reads: its lines, where it starts among them, its first line in its file, whether its hash
// holds.
using RecordSeen = std::function<void(const Lines& lines, qsizetype at, int line, bool intact)>;

// Scans lines of a file from the first: every record that reads goes to `seen`, every stretch that does
// not is added to the damage. Before the file's end, it stops where a record could still need lines of the
// next block, and gives how many lines it took.
qsizetype scanLines(const Lines& lines, bool atEnd, FileScan& scan, const RecordSeen& seen)
{
    const qsizetype count = lines.text.size();
    const auto lineNumber = [&](qsizetype at) { return static_cast<int>(scan.linesBefore + at + 1); };
    qsizetype at = 0;
    while (at < count && (atEnd || at + HistoryRecordLines <= count)) {
        if (const auto fault = formFaultAt(lines, at)) {
            if (!scan.open)
                scan.open = DamagedStretch{scan.file, lineNumber(at), 0, lineNumber(at) + fault->at, fault->fault};
            scan.previous = lines.text[at].toByteArray();
            ++at;
            continue;
        }
        if (scan.open) {
            scan.open->lastLine = lineNumber(at) - 1;
            scan.damage.append(*std::exchange(scan.open, std::nullopt));
        }
        const QByteArrayView hash = lines.text[at + 8];
        const bool intact =
            !scan.hashed || hashAfter(scan.previous, hashedLines(lines, at)) == hash ||
            (scan.previous != scan.lastRecord && hashAfter(scan.lastRecord, hashedLines(lines, at)) == hash);
        if (seen)
            seen(lines, at, lineNumber(at), intact);
        scan.previous = scan.lastRecord = hash.toByteArray();
        at += HistoryRecordLines;
    }
    if (atEnd && scan.open) {
        scan.open->lastLine = lineNumber(count - 1);
        scan.damage.append(*std::exchange(scan.open, std::nullopt));
    }
    for (qsizetype line = at - 1; line >= 0; --line)
        if (const QByteArrayView text = lastLineOf(lines.text[line]); !text.isEmpty()) {
            scan.lastLine = text.toByteArray();
            break;
        }
    scan.linesBefore += at;
    return at;
}

// A record that reads, as the block of the file it stands in holds it: `block` keeps the bytes `lines`
// views alive.
using BlockRecordSeen =
    std::function<void(const QByteArray& block, const Lines& lines, qsizetype at, int line, bool intact)>;

// Scans one history file a block at a time, so that memory stays bounded however long the history is.
Status scanHistoryFile(const QString& path, FileScan& scan, const BlockRecordSeen& seen)
{
    QByteArray carried; // the lines of the block before that the scan has not taken yet
    const auto scanBlock = [&](QByteArray block, bool atEnd) {
        const qsizetype whole = atEnd ? block.size() : block.lastIndexOf('\n') + 1;
        QByteArray rest = block.sliced(whole);
        block.truncate(whole);
        const Lines lines = splitLines(block);
        const qsizetype taken =
            scanLines(lines, atEnd, scan,
                      [&](const Lines& in, qsizetype at, int line, bool intact) { seen(block, in, at, line, intact); });
        carried =
            (taken < lines.text.size() ? block.sliced(lines.text[taken].data() - block.constData()) : QByteArray()) +
            rest;
    };
    const Status read = readFileInBlocks(path, scan.file, LargestHistoryFile, [&](const QByteArray& block) {
        if (scan.stopped)
            return;
        scanBlock(carried + block, false);
        scan.stopped = scan.stopAfter && scan.stopAfter(block.size());
    });
    if (!read)
        return read;
    if (!scan.stopped)
        scanBlock(std::exchange(carried, QByteArray()), true);
    return {};
}

// A record chosen by a query, kept as its block holds it until it is decoded.
struct KeptRecord {
    QByteArray block;
    QByteArrayView lines; // its nine lines, in `block`
    QString file;
    int line = 0;
    bool intact = true;
};

// The last bytes of a file, enough to hold its last line.
QByteArray tailOf(const QString& path, qint64 size)
{
    QFile file(path);
    constexpr qint64 Tail = 4096;
    if (!file.open(QIODevice::ReadOnly) || !file.seek(std::max<qint64>(0, size - Tail)))
        return {};
    return file.read(Tail);
}

// What the note of a chain found whole says of the live history: its size, time and last hash line.
QByteArray checkedNote(const QFileInfo& file, QByteArrayView lastHash)
{
    return QByteArray::number(file.size()) + ' ' + QByteArray::number(file.lastModified().toMSecsSinceEpoch()) + ' ' +
           lastHash.toByteArray() + LineEnd;
}

// Whether the live history, as `stamp` found it with `lastLine` at its end, is the one last found whole.
bool checkedBefore(const DataDir& dir, const QFileInfo& stamp, QByteArrayView lastLine)
{
    const QString note = historyCheckedNote(dir);
    return readFileBytes(note, note, 4096) == checkedNote(stamp, lastLine);
}

// Notes the live history as found whole, as `stamp` found it (its size and time when the check began, never
// those of a file changed since) with `lastHash` at its end. A note only, written without flushing: one that
// is lost or torn no longer matches, and the next reader hashes again.
void noteChecked(const DataDir& dir, const QFileInfo& stamp, QByteArrayView lastHash)
{
    QFile note(historyCheckedNote(dir));
    if (QDir().mkpath(QFileInfo(note).path()) && note.open(QIODevice::WriteOnly | QIODevice::Truncate))
        note.write(checkedNote(stamp, lastHash));
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
    const QFileInfo stamp(path);
    const auto content = first ? Result<QByteArray>() : readWholeFile(path, ChangeHistoryFile, LargestHistoryFile);
    if (!content)
        return content.error();
    // A history found whole before stays whole with the records this change chains on to it: the note says
    // so, and the window opens after a change without hashing thirty years again.
    const bool foundWhole =
        first || (stamp.size() == content->size() && checkedBefore(dir, stamp, lastLineOf(*content)));
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
        FileScan scan;
        scan.file = ChangeHistoryFile;
        scanLines(held, true, scan, {});
        if (!scan.damage.isEmpty())
            return damagedHistoryAt(scan.damage.first());
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
        const auto record = decodeRecordAt(held, at, decode);
        if (!record || filesShow(dir, *record))
            break;
        recorded.prepend(notMadeAnswer(*record));
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
        added += *lines + previous + LineEnd;
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
        cutBack = static_cast<bool>(removeOwnFile(path));
    else if (made < changes.size())
        cutBack =
            system::cutBackTo(path, answers + made > 0 ? appendedAt + endOf[answers + made - 1] : content->size());
    if (!cutBack)
        return withNotRestored(outcome ? failure(FailureKind::CannotWrite, ChangeHistoryFile) : outcome.error(),
                               ChangeHistoryFile);
    if (foundWhole && made == changes.size())
        noteChecked(dir, QFileInfo(path), previous);
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

Result<HistoryRead> ReadChangeHistory(const DataDir& dir, const HistoryQuery& query)
{
    QStringList files = setAsideFiles(dir);
    if (system::kindOf(dir.listFile(ChangeHistoryFile)) != system::FileKind::Missing)
        files << ChangeHistoryFile;
    HistoryRead read;
    QByteArray previous;
    QSet<QByteArray> persons;
    QSet<qint64> months;
    const QByteArray person = query.person.isEmpty() ? QByteArray() : cp932::encode(query.person).value_or("\n");
    // The records chosen, as their blocks hold them until they are decoded: only the newest when a number is
    // asked for, so that memory stays bounded.
    std::deque<KeptRecord> kept;
    LineDecoder decode;
    const auto decoded = [&](const KeptRecord& chosen) -> std::optional<ChangeRecord> {
        auto record = decodeRecordAt(splitLines(chosen.lines), 0, decode);
        if (!record) { // in form but not code page 932 after all: named as damage
            read.damage.append(
                {chosen.file, chosen.line, chosen.line + HistoryRecordLines - 1, chosen.line, EntryFault::None});
            return std::nullopt;
        }
        record->file = chosen.file;
        record->line = chosen.line;
        record->intact = chosen.intact;
        return record;
    };
    qint64 all = 0;
    for (const QString& file : files)
        all += QFileInfo(dir.listFile(file)).size();
    qint64 done = 0;
    for (const QString& file : files) {
        // The live history is hashed again only when it changed since its chain was last found whole.
        const bool live = file == ChangeHistoryFile;
        const QString path = dir.listFile(file);
        const QFileInfo stamp(path);
        (void)stamp.size(); // read now, before the scan: what a note of it must hold
        (void)stamp.lastModified();
        const bool trusted = live && query.note == CheckedNote::Trusted &&
                             checkedBefore(dir, stamp, lastLineOf(tailOf(path, stamp.size())));
        read.trusted = read.trusted || trusted;
        FileScan scan;
        scan.file = file;
        scan.hashed = !trusted;
        if (query.stopAfter)
            scan.stopAfter = [&](qint64 block) { return query.stopAfter(done += block, all); };
        scan.previous = scan.lastRecord = previous;
        const qsizetype recordsBefore = read.head.records;
        const Status scanned = scanHistoryFile(
            path, scan, [&](const QByteArray& block, const Lines& lines, qsizetype at, int line, bool intact) {
                ++read.head.records;
                if (!read.broken && !intact)
                    read.broken = brokenChainAt(file, line, read.head.records);
                const QByteArrayView who = lines.text[at + 4];
                const qint64 month = *monthOfLine(lines.text[at + 5]);
                // A name is copied only the first time it is met: thirty years of records name a few hundred.
                if (!persons.contains(QByteArray::fromRawData(who.data(), who.size())))
                    persons.insert(who.toByteArray());
                months.insert(month);
                if ((!person.isEmpty() && who != person) || (query.month != 0 && month != query.month) ||
                    (!query.each && query.newest == 0))
                    return;
                const KeptRecord chosen{block, QByteArrayView(lines.text[at].data(), lines.text[at + 8].end()), file,
                                        line, intact};
                if (query.each) {
                    if (auto record = decoded(chosen))
                        query.each(*record);
                    return;
                }
                kept.push_back(chosen);
                if (query.newest > 0 && qsizetype(kept.size()) > query.newest)
                    kept.pop_front();
            });
        if (!scanned)
            return scanned.error();
        if (scan.stopped) {
            read.stopped = true;
            break;
        }
        if (read.head.records > recordsBefore)
            read.head.lastHash = scan.lastRecord;
        const QFileInfo after(path);
        if (live && query.note != CheckedNote::Ignored && !trusted && scan.damage.isEmpty() && !read.broken &&
            after.size() == stamp.size() && after.lastModified() == stamp.lastModified())
            noteChecked(dir, stamp, scan.lastLine);
        previous = scan.lastLine;
        (live ? read.damage : read.setAsideDamage) += scan.damage;
    }
    for (const QByteArray& who : std::as_const(persons))
        if (who != encodedNone())
            read.persons << decode(who).value_or(QString());
    read.persons.sort();
    for (const qint64 month : months)
        if (month != 0)
            read.months << month;
    std::sort(read.months.begin(), read.months.end(), std::greater<>());
    for (const KeptRecord& chosen : kept)
        if (auto record = decoded(chosen))
            read.records.append(std::move(*record));
    return read;
}

QString historyCheckedNote(const DataDir& dir)
{
    const QString canonical = QFileInfo(dir.root()).canonicalFilePath();
    const QString folder = canonical.isEmpty() ? QDir(dir.root()).absolutePath() : canonical;
    const QByteArray key = QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha256).toHex().left(32);
    // The user's cache folder is asked of the system once, on the first call (the window's own thread, before
    // its check): the check behind the 変更履歴 window then calls no shell function on a thread of its own.
    static const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return cache + QStringLiteral("/velmora/history-checked/") + QString::fromLatin1(key);
}

Failure damagedHistoryAt(const DamagedStretch& stretch)
{
    Failure damaged = failure(FailureKind::HistoryDamaged, stretch.file, stretch.faultLine);
    damaged.entryFault = stretch.fault;
    damaged.text = stretch.firstLine == stretch.lastLine
                       ? QStringLiteral("%1行目").arg(stretch.firstLine)
                       : QStringLiteral("%1～%2行目").arg(stretch.firstLine).arg(stretch.lastLine);
    return damaged;
}

bool isSetAsideHistoryName(const QString& fileName)
{
    // "変更履歴_損傷_YYYYMMDD-HHMMSS[_n].txt", read without a regular expression: the 変更履歴 window checks the
    // history on a thread of its own, and the Windows build cannot free a regular expression's per-thread stack
    // when such a thread ends (the program crashes or hangs).
    static const QString prefix = QStringLiteral("変更履歴_損傷_");
    static const QString suffix = QStringLiteral(".txt");
    if (!fileName.startsWith(prefix) || !fileName.endsWith(suffix))
        return false;
    const QStringView stamp =
        QStringView(fileName).sliced(prefix.size(), fileName.size() - prefix.size() - suffix.size());
    const auto digits = [](QStringView text) {
        return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    };
    if (stamp.size() < 15 || stamp[8] != u'-' || !digits(stamp.first(8)) || !digits(stamp.sliced(9, 6)))
        return false;
    const QStringView count = stamp.sliced(15);
    return count.isEmpty() || (count.size() <= 7 && count[0] == u'_' && digits(count.sliced(1)));
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
    const auto setAside = readWholeFile(dir.listFile(ChangeHistoryFile), ChangeHistoryFile, LargestHistoryFile);
    if (!setAside)
        return setAside.error();
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
    // The file's hash is recorded, so that the checks can hold it as it was set aside in place of the history
    // that the backups hold.
    const Change continued{ChangeKind::Continued,
                           {},
                           0,
                           QStringLiteral("%1（読めない行：%2、SHA-256：%3）")
                               .arg(name, lines.join(QStringLiteral("、")), QString::fromLatin1(sha256Of(*setAside))),
                           {}};
    const Status recorded = RecordWrite(dir, {continued}, [] { return Status(); });
    if (!isWritten(recorded))
        return recorded.error();
    return name;
}

} // namespace velmora
