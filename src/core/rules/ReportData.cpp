#include "core/rules/ReportData.h"

#include "core/files/PersonalFile.h"

namespace velmora {

QList<std::optional<PersonalHeader>> gatherRegistrantSummary(const DataDir& dir, const QStringList& names,
                                                             QStringList& unreadableFiles)
{
    QList<std::optional<PersonalHeader>> summary;
    summary.reserve(names.size());
    for (const QString& name : names) {
        auto header = ReadPersonalHeader(dir, name, 9);
        if (!header)
            unreadableFiles.append(DataDir::shownPersonalFile(name));
        summary.append(header ? std::optional(*header) : std::nullopt);
    }
    return summary;
}

QList<MonthRowEntry> gatherMonthRows(const DataDir& dir, const QStringList& names, std::optional<MonthKey> key,
                                     QStringList& unreadableFiles)
{
    QList<MonthRowEntry> rows;
    rows.reserve(names.size());
    for (const QString& name : names) {
        MonthRowEntry row;
        const auto found = FindMonthlyRecord(dir, name, key);
        if (!found) {
            unreadableFiles.append(DataDir::shownPersonalFile(name));
            row.readable = false;
        } else {
            row.registrationNumber = found->header.registrationNumber;
            row.sexCode = found->header.sexCode;
            if (const auto& record = found->record) {
                row.effective = record->effective;
                row.lens = record->lens;
                row.skin = record->skin;
                row.internal = record->internal;
                row.comment = record->comment;
            }
        }
        rows.append(row);
    }
    return rows;
}

} // namespace velmora
