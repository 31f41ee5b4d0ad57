#pragma once

#include "core/files/DataDir.h"
#include "core/model/Records.h"

#include <optional>

// Gathers what the registrant data table and the monthly exposure list show, from every registrant's
// personal file. A file that cannot be read leaves its entry empty and is named in `unreadableFiles`,
// so that the report is still drawn for everyone else.
namespace velmora {

// One registrant's entry of the monthly list: header fields 1 and 3 and the month's record.
// A dose of -1 marks a registrant without a record for the month; `readable` is false when the file
// could not be read, so that the row shows only the name.
struct MonthRowEntry {
    double registrationNumber = 0;
    double sexCode = 0;
    double effective = -1;
    double lens = -1;
    double skin = -1;
    double internal = -1;
    QString comment = NoComment;
    bool readable = true;
};

// RegistrantSummary: the nine header lines of each registrant's file.
QList<std::optional<PersonalHeader>> gatherRegistrantSummary(const DataDir& dir, const QStringList& names,
                                                             QStringList& unreadableFiles);

// MonthRow: header fields 1 and 3 and the first record of the month in file order; -1 doses and "―"
// where the file has no record of the month, and everywhere when the typed month is no key at all.
QList<MonthRowEntry> gatherMonthRows(const DataDir& dir, const QStringList& names, std::optional<MonthKey> key,
                                     QStringList& unreadableFiles);

} // namespace velmora
