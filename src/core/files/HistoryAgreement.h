#pragma once

#include "core/files/ChangeHistory.h"

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

// Every difference between the store and the history replayed in order (leaving out the records a 未実施
// answers): a person not on the list the history leaves them on, a personal file missing, each month whose
// values differ, that is missing or that stands though deleted, and, for a person whose registration the
// history holds, each month it never recorded. A person or month the history never mentions (a store from
// before the history) is not compared.
QList<Failure> historyDifferences(const DataDir& dir, const QList<ChangeRecord>& records);

} // namespace velmora
