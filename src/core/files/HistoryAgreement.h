#pragma once

#include "core/files/ChangeHistory.h"

#include <QSet>
#include <memory>

// The store held against its change history: which records the files show, and every difference between
// the files and what the history says was done.
namespace velmora {

// Whether the files show the change a record says was made: the month with the values recorded (or gone,
// for a deletion), the person on the list the record moved them to, the entry elsewhere, the declaration or
// the facility as recorded. A record of no change of the files (未実施, 履歴の継続) is shown by itself.
bool filesShow(const DataDir& dir, const ChangeRecord& record);

// The record that answers a record of a change never made: 未実施, for the same person and month, naming the
// record's kind and time, so that the record stays and is read as not made.
Change notMadeAnswer(const ChangeRecord& record);

struct StoreReplay;

// The store as its history leaves it, replayed a record at a time as the history is read (so that thirty
// years of records are never held at once), then held against the files.
class HistoryReplay {
public:
    HistoryReplay();
    ~HistoryReplay();
    HistoryReplay(const HistoryReplay&) = delete;
    HistoryReplay& operator=(const HistoryReplay&) = delete;

    // The next record of the history, in order.
    void take(const ChangeRecord& record);

    // Every difference between the store and the history replayed (leaving out the records a 未実施
    // answers, whose persons are read again): a person not on the list the history leaves them on, a personal
    // file missing, a header field not as last recorded, each month whose values differ, that is missing or
    // that stands though deleted, and, for a person whose registration the history holds, each month it never
    // recorded; each person's entries of the lists and the facility not as the history leaves them; a listed
    // person it never names who holds a month it saved. A person or month the history never mentions (a
    // store from before the history) is not compared.
    QList<Failure> differences(const DataDir& dir);

private:
    Status replayAnswered(const DataDir& dir);

    std::unique_ptr<StoreReplay> store;
    QSet<QString> answeredPersons;
};

} // namespace velmora
