#include "core/files/ChangeHistory.h"

#include "core/files/Cp932.h"
#include "core/files/FileWriter.h"
#include "core/files/SystemFiles.h"
#include "core/files/TextFile.h"

#include <QCryptographicHash>
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
};

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

Failure damagedAt(int line, EntryFault fault)
{
    Failure damaged = failure(FailureKind::Damaged, ChangeHistoryFile, line);
    damaged.entryFault = fault;
    return damaged;
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
    const qsizetype start = content->size() + (content->isEmpty() || content->endsWith('\n') ? 0
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
    QByteArray previous = lastLineOf(*content).toByteArray();
    QByteArray records;
    QList<qsizetype> endOf; // where each change's record ends, from `start`
    for (const Change& change : changes) {
        const auto lines = encodeLines(who + QStringList{changeKindText(change.kind), orNone(change.person),
                                                         change.month ? QString::number(change.month) : None,
                                                         orNone(change.before), orNone(change.after)});
        if (!lines)
            return lines.error();
        previous = hashAfter(previous, *lines);
        records += *lines + previous + "\r\n";
        endOf.append(records.size());
    }
    if (start + records.size() > LargestHistoryFile) {
        Failure full = failure(FailureKind::ListFull, ChangeHistoryFile);
        full.text = QString::number(LargestHistoryFile >> 20);
        return full;
    }
    const Status appended =
        first ? createFile(path, ChangeHistoryFile, records) : appendToFile(path, ChangeHistoryFile, records);
    if (!isWritten(appended))
        return appended;

    const Status outcome = make(made);
    // The records of the changes not made go; a history that held only them goes with them.
    if (made == 0 && first)
        system::removeFile(path);
    else if (made < changes.size())
        system::cutBackTo(path, made > 0 ? start + endOf[made - 1] : content->size());
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

Result<QList<ChangeRecord>> ReadChangeHistory(const DataDir& dir)
{
    const QString path = dir.listFile(ChangeHistoryFile);
    if (system::kindOf(path) == system::FileKind::Missing)
        return QList<ChangeRecord>();
    const auto content = readWholeFile(path, ChangeHistoryFile, LargestHistoryFile);
    if (!content)
        return content.error();
    QList<ChangeRecord> records;
    QByteArrayView previous;
    LineReader reader(*content);
    while (!reader.atEnd()) {
        const int first = reader.lineNumber() + 1;
        QStringList lines;
        QByteArrayView hashed; // the first eight lines with their line ends
        QByteArrayView hashLine;
        const char* begin = nullptr;
        while (lines.size() < HistoryRecordLines && !reader.atEnd()) {
            const auto line = reader.next();
            const auto text = line ? cp932::decode(*line) : std::nullopt;
            if (!text)
                return damagedAt(reader.lineNumber(), EntryFault::None);
            if (lines.isEmpty())
                begin = line->data();
            if (lines.size() == HistoryRecordLines - 1) {
                hashed = QByteArrayView(begin, line->data());
                hashLine = *line;
            }
            lines.append(*text);
        }
        if (lines.size() < HistoryRecordLines)
            return damagedAt(first, EntryFault::IncompleteRecord);
        ChangeRecord record;
        record.time = QDateTime::fromString(lines[0], HistoryTimeForm);
        if (!record.time.isValid())
            return damagedAt(first, EntryFault::NotATime);
        const auto kind = changeKindOf(lines[3]);
        if (!kind)
            return damagedAt(first + 3, EntryFault::UnknownChangeKind);
        // Any whole number: a correction records the month key its file held, a doubtful one included.
        const auto month = lines[5] == None ? std::optional<qint64>(0) : wholeNumberLine(lines[5]);
        if (!month)
            return damagedAt(first + 5, EntryFault::NotANumber);
        record.pc = fromNone(lines[1]);
        record.user = fromNone(lines[2]);
        record.change = {*kind, fromNone(lines[4]), *month, fromNone(lines[6]), fromNone(lines[7])};
        record.hash = hashLine.toByteArray();
        record.intact = hashAfter(previous, hashed) == record.hash;
        previous = hashLine;
        records.append(record);
    }
    return records;
}

std::optional<qsizetype> firstBrokenRecord(const QList<ChangeRecord>& records)
{
    for (qsizetype at = 0; at < records.size(); ++at)
        if (!records[at].intact)
            return at + 1;
    return std::nullopt;
}

} // namespace velmora
