#pragma once

#include "core/files/DataDir.h"
#include "core/model/Result.h"

#include <QStringList>

// The list files of the store that hold records of a fixed number of lines (doses elsewhere, declarations,
// examinations): a count line, then that many records; read whole, written whole through the store's writer.
namespace velmora {

// The records of a list file's bytes: `fields` lines each. Damaged at the count line when the lines do
// not make up the count; empty lines may follow.
Result<QList<QStringList>> recordsOf(QByteArrayView content, const QString& fileName, int fields);

// The bytes of a list file, at most `largest`; a missing file is empty.
Result<QByteArray> readListBytes(const DataDir& dir, const QString& fileName, qint64 largest);

// Replaces a list file with `records`; ListFull, with nothing written, beyond `most` records or `largest`
// bytes, so that every list written is read back.
Status writeRecords(const DataDir& dir, const QString& fileName, const QList<QStringList>& records, qsizetype most,
                    qint64 largest);

// What a stored record cannot hold: the field at fault (0 the first line of the record) and why.
struct FieldProblem {
    int field;
    EntryFault fault;
};

// A record's field at fault, named by its line in the file.
Failure damagedField(const QString& fileName, qsizetype record, int fields, FieldProblem problem);

// The number lines of one record; the first that is not a number is kept, so that the record is refused
// naming its line.
struct NumberFields {
    qint64 whole(int field);
    double number(int field);

    const QStringList& lines;
    FieldProblem problem = {0, EntryFault::None}; // the first field at fault, when there is one
};

// A note line as stored: "―" for none.
QString noteLine(const QString& note);

} // namespace velmora
