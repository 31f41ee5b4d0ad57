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
};

// Records `changes` in the history, then makes them with `make`, which sets how many of them, in order, it
// made (all of them when it succeeds). The records of the changes it did not make are cut back, so that
// the history holds the changes made: a kill between the two leaves the record of a change not made, never
// a change without its record. Nothing is made when the history cannot be written.
Status RecordChanges(const DataDir& dir, const QList<Change>& changes,
                     const std::function<Status(qsizetype& made)>& make);
// The same for changes made by one write: all of them are made when it left its file written.
Status RecordWrite(const DataDir& dir, const QList<Change>& changes, const std::function<Status()>& write);

// Every record in file order; Damaged at the line of a record whose form is wrong (the file ending inside
// a record, a time, a kind or a month that is none). No file is an empty history.
Result<QList<ChangeRecord>> ReadChangeHistory(const DataDir& dir);

// The first record (counted from 1) that is not intact, or nothing when the chain is whole.
std::optional<qsizetype> firstBrokenRecord(const QList<ChangeRecord>& records);

// The failure of a chain that breaks at a record (counted from 1): HistoryBroken at its first line.
inline Failure brokenChainAt(qsizetype record)
{
    Failure broken =
        failure(FailureKind::HistoryBroken, ChangeHistoryFile, static_cast<int>((record - 1) * HistoryRecordLines + 1));
    broken.text = QString::number(record);
    return broken;
}

} // namespace velmora
