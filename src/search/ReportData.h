#pragma once

#include "store/DataDir.h"
#include "store/SharedState.h"

// Gathers what the registrant data table and the monthly exposure list show, from every registrant's
// personal file. A file that cannot be read leaves its entry empty and is named in `unreadableFiles`,
// so that the report is still drawn for everyone else.
namespace velmora {

// RegistrantSummary: the nine header lines of each registrant's file.
QList<std::optional<PersonalHeader>> gatherRegistrantSummary(const DataDir& dir, const QStringList& names,
                                                             QStringList& unreadableFiles);

// MonthRow: header fields 1 and 3 and the first record of the month in file order; -1 doses and "―"
// where the file has no record of the month.
QList<MonthRowEntry> gatherMonthRows(const DataDir& dir, const QStringList& names, double key,
                                     QStringList& unreadableFiles);

// The message that names the files a report could not read.
QString unreadableFilesMessage(const QStringList& files);

} // namespace velmora
