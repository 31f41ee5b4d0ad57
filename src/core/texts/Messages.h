#pragma once

#include "core/files/Csv.h"
#include "core/model/Result.h"

#include <QString>
#include <QStringList>

// The Japanese texts the user reads about what went wrong, made in this one place.
namespace velmora {

// The message every window gives for a typed value it cannot take.
inline const QString InvalidInputMessage = QStringLiteral("正しく入力して下さい");

// What the user is told about a failure: the file and line it concerns, the persons or files it names.
QString messageOf(const Failure& failure);

// The message that names the personal files a report could not read.
QString unreadableFilesMessage(const QStringList& files);

// What an entry of doses elsewhere or of declarations cannot hold, in the words of the windows' messages.
QString entryFaultText(EntryFault fault);

// Why a dose cannot be stored, after the field or cell that holds it: "は負の値です", "は10000 mSvを超えています",
// "は桁が多すぎます（…）", "は線量ではありません". The imports and the windows that take doses say the same.
QString doseDoubtText(csv::DoseReading::Doubt doubt);

// The names with doses received elsewhere or declarations that are neither registrants nor removed persons.
QString unknownPersonsMessage(const QStringList& names);

// Names or files for a message, one per line: the first `shown` (ten), then "ほか5件" (with the counter
// `unit`).
QString listForMessage(const QStringList& items, const QString& unit, qsizetype shown = 10);

// A backup made of a store that holds fewer personal files or a shorter change history than `generation`,
// which is kept.
QString storeShrankMessage(const QString& generation, qsizetype personsThen, qsizetype personsNow, bool historyShorter);

// The change history's head as a signed page states it: its record count and last hash.
QString historyHeadText(qsizetype records, const QByteArray& lastHash);

// A damaged change history kept under `name`, the history begun anew.
QString setAsideMessage(const QString& name);

} // namespace velmora
