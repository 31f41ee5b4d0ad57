#pragma once

#include "core/files/DataDir.h"
#include "core/model/Records.h"
#include "core/model/Result.h"

// The personal dose files: a header of nine lines and six lines per saved month.
namespace velmora {

// Writes the nine header lines as a new file for header.name; fails when anything of that name exists.
Status CreatePersonalFile(const DataDir& dir, const PersonalHeader& header);

// Adds the six lines of one month at the end of the registrant's file, in one write. A missing file is
// an error: an append would create a file without a header.
Status AppendMonthlyRecord(const DataDir& dir, const QString& name, const MonthlyRecord& record);

// The first headerLines (6 or 9) header lines; the fields beyond them keep their defaults.
Result<PersonalHeader> ReadPersonalHeader(const DataDir& dir, const QString& name, int headerLines);

// The header and every complete record, also past 500. A file that ends inside the header or inside a
// record, or that has an unreadable line, is refused with a message naming it.
Result<PersonalFile> ReadPersonalFile(const DataDir& dir, const QString& name);
// The same from a file's bytes; messages name the file as `shownName`.
Result<PersonalFile> parsePersonalFile(QByteArrayView content, const QString& shownName);

// The header and the records whose keys lie from `from` to `to`, in file order; the other records are
// passed over with their line ends checked, which is much faster than reading every record.
Result<PersonalFile> ReadPersonalRecordsBetween(const DataDir& dir, const QString& name, MonthKey from, MonthKey to);

// The header and the first record of the month `key` in file order, or no record when the file has
// none (or no key is given: the whole file is still checked); the records after it are not read.
struct HeaderAndMonth {
    PersonalHeader header;
    std::optional<MonthlyRecord> record;
};
Result<HeaderAndMonth> FindMonthlyRecord(const DataDir& dir, const QString& name, std::optional<MonthKey> key);

// Whether the registrant's file holds a record of the month `key`, after making sure the file ends where
// a record ends: the header whole, every key a number, every record six lines and the last line ended
// by CR LF. The other lines of
// the records are only counted, which makes this much faster than reading the whole file.
Result<bool> HoldsMonth(const DataDir& dir, const QString& name, MonthKey key);

// Replaces the whole file of the registrant `name` with the header and the records in their order; the
// file holds either its old or its new content whatever happens. Given the fingerprint of the file as it
// was read (`readAs`), a file changed since (by another PC) is left as it is: ChangedMeanwhile.
Status RewritePersonalFile(const DataDir& dir, const QString& name, const PersonalHeader& header,
                           const QList<MonthlyRecord>& records, const QByteArray& readAs = {});

// Puts `record` in place of the first record of its month in the registrant's file (at the end when there
// is none), through RewritePersonalFile.
Status ReplaceMonthlyRecord(const DataDir& dir, const QString& name, const MonthlyRecord& record);

// What tells two contents of a personal file apart: a hash of its bytes.
QByteArray fingerprintOf(QByteArrayView content);

// Whether anything stands at the name of the registrant's file, readable or not: the name is taken.
bool personalFileExists(const DataDir& dir, const QString& name);

// The bytes of the header and of a record as they stand in the file; a message when a text cannot be stored.
Result<QByteArray> encodeHeader(const PersonalHeader& header);
Result<QByteArray> encodeRecord(const MonthlyRecord& record);

} // namespace velmora
