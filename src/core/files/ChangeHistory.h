#pragma once

#include "core/files/DataDir.h"
#include "core/model/Records.h"
#include "core/model/Result.h"

#include <QByteArray>
#include <QDateTime>
#include <functional>

// Every change the program makes to the store, in 変更履歴.txt: one record of nine lines per change, only
// ever appended to. Each record ends with a SHA-256 over the record before's last line and its own eight
// lines, so that a record changed, removed, inserted or moved by hand breaks the chain at that record.
namespace velmora {

constexpr qint64 LargestHistoryFile = qint64(512) << 20;
constexpr int HistoryRecordLines = 9;
inline const QString HistoryTimeForm =
    QStringLiteral("yyyy/MM/dd HH:mm:ss"); // as a record and its readers show it // 日時 PC ユーザー 操作 氏名 年月
                                           // 変更前 変更後 SHA-256

enum class ChangeKind {
    Registration,     // 登録: a new person, or a person's file listed again
    Removal,          // 抹消
    Restore,          // 復帰
    MonthSaved,       // 入力: a month saved for a person (save-all, the month import)
    Correction,       // 訂正: a saved month's values changed
    Deletion,         // 削除: a saved month removed from the person's file
    HeaderCorrection, // 登録内容の訂正: registration date, affiliation, job type, past dose
    OtherDose,        // 他施設線量: an entry of doses received elsewhere added, changed or removed
    Declaration,      // 申告
    Facility,         // 事業所
    Examination,      // 健康診断: an examination entered, corrected or deleted
    Dosimeter,        // 線量計: a person's number at the dosimetry service or wearing recorded or changed
    NotMade,          // 未実施: a change recorded before it was made that the files show was never made
    Continued,        // 履歴の継続: the history began anew after a damaged one was set aside
};

// The word a record holds for a kind, and back.
QString changeKindText(ChangeKind kind);
std::optional<ChangeKind> changeKindOf(const QString& text);

// What was done: to whom ("" for the facility), in which month (0 when none), the values before and after
// as one line each ("" when there were none).
struct Change {
    ChangeKind kind = ChangeKind::Registration;
    QString person;
    MonthKey month = 0;
    QString before;
    QString after;
    bool operator==(const Change&) const = default;
};

// A record as the file holds it: when (the file server's clock), on which PC, by which user, the change
// and the record's SHA-256 in hexadecimal.
struct ChangeRecord {
    QDateTime time;
    QString pc;
    QString user;
    Change change;
    QByteArray hash;
    bool intact = true; // the hash is the one the record's lines and the record before give
    QString file;       // 変更履歴.txt, or the history set aside that holds it
    int line = 0;       // its first line there
};

// Records `changes` in the history, then makes them with `make`, which sets how many of them, in order, it
// made (all of them when it succeeds). The records of the changes it did not make are cut back, so that
// the history holds the changes made: a kill between the two leaves the record of a change not made, never
// a change without its record. Nothing is made when the history cannot be written.
Status RecordChanges(const DataDir& dir, const QList<Change>& changes,
                     const std::function<Status(qsizetype& made)>& make);
// The same for changes made by one write: all of them are made when it left its file written.
Status RecordWrite(const DataDir& dir, const QList<Change>& changes, const std::function<Status()>& write);

// Lines of a history file that hold no record: a record cut short, lines added or altered so that they no
// longer read, a byte code page 932 has not. From the first line of the stretch to the line before the next
// record that reads.
struct DamagedStretch {
    QString file;
    int firstLine = 0;
    int lastLine = 0;
    int faultLine = 0;                   // the line found wrong
    EntryFault fault = EntryFault::None; // what is wrong there (None: not code page 932 text ended by CR LF)
};

// The history as it stands at its end: how many records it holds and the last one's hash, which pins every
// record before it. Stated on the printed totals and in an archive's manifest.
struct HistoryHead {
    qsizetype records = 0;
    QByteArray lastHash;
};

// How a reading uses the note of the live history last found whole (historyCheckedNote): Ignored, hashing
// every record and writing nothing (--verify, --history, the changes); Trusted, taking a live history
// unchanged since the note (its size, time and last hash) for whole without hashing it again, and noting it
// when it hashed it and found it whole (the window's first look, which never calls it whole for that);
// Renewed, hashing every record and noting the history when found whole (the window's check behind it).
enum class CheckedNote { Ignored, Trusted, Renewed };

// Which records to read: one person's ("" for all), one month's (0 for all), at most the newest `newest`
// of them (-1 for all). The files are read a block at a time, so that only the records asked for stay in
// memory. Every record is still checked, its chain and form, without being decoded, unless the note is
// trusted.
struct HistoryQuery {
    QString person;
    MonthKey month = 0;
    qsizetype newest = -1;
    CheckedNote note = CheckedNote::Ignored;
    // When given, each record chosen goes to it as it is read, in order, and none is kept: a history of any
    // length is read in bounded memory (`newest` is then not used).
    std::function<void(const ChangeRecord&)> each;
    // When given, told the bytes read of all after each block; when it answers true, the reading stops
    // there (a check cancelled), notes nothing, and what it read so far is given.
    std::function<bool(qint64 read, qint64 all)> stopAfter;
};

// Where the note of a data folder's live history last found whole is kept: in the user's cache, a file
// for each data folder, never in the store (it is this PC's own: another PC's change makes it not match,
// and it is made again). A change recorded on a history the note holds for whole notes it again with the
// records it hashed itself.
QString historyCheckedNote(const DataDir& dir);

// What the history holds: the records chosen that read, in order (those of histories set aside first), and
// of all records: how many read, the first whose hash does not hold, the persons and months they name, and
// the stretches that do not read, of the live file (changes wait until it reads whole) and of files set
// aside (kept as they were found).
struct HistoryRead {
    QList<ChangeRecord> records;
    HistoryHead head;
    std::optional<Failure> broken; // HistoryBroken at the first record altered
    QStringList persons;           // sorted
    QList<MonthKey> months;        // newest first
    QList<DamagedStretch> damage;
    QList<DamagedStretch> setAsideDamage;
    bool trusted = false; // the live history was taken for whole from the note, not hashed
    bool stopped = false; // stopAfter answered true: the records after that block were not read
};

// The history read past any damage; a failure only when a file cannot be read at all. No file is an
// empty history.
Result<HistoryRead> ReadChangeHistory(const DataDir& dir, const HistoryQuery& query = {});

// The failure of a chain that breaks at a record (`number`, counted from 1): HistoryBroken at its first line.
inline Failure brokenChainAt(const QString& file, int line, qsizetype number)
{
    Failure broken = failure(FailureKind::HistoryBroken, file, line);
    broken.text = QString::number(number);
    return broken;
}

// The failure of a damaged stretch of the live history: HistoryDamaged at its line found wrong.
Failure damagedHistoryAt(const DamagedStretch& stretch);

// Whether a file name is that of a history set aside ("変更履歴_損傷_20261209-101500.txt"): part of the
// store, kept for good.
bool isSetAsideHistoryName(const QString& fileName);

// Sets the damaged live history aside under a name of `now` and begins the history anew with a record that
// names the file set aside and its damaged lines, chained to that file's last line, so that every record
// that reads stays in the chain. HistoryReadsWhole when the live history reads whole. The name given.
Result<QString> SetAsideDamagedHistory(const DataDir& dir, const QDateTime& now);

} // namespace velmora
