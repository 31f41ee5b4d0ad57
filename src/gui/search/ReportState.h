#pragma once

#include "core/rules/ReportData.h"

// What the search window shows and can page or print: its own state, kept between clicks.
namespace velmora {

// ReportMode: which report "↓" and "印刷" act on (0 to 3 as the system numbers them).
enum class ReportMode { None = 0, PersonalRecord = 1, RegistrantTable = 2, MonthlyList = 3 };

struct ReportState {
    ReportMode mode = ReportMode::None;
    qsizetype nextRow = 1; // NextRow: 1-based list position of the next row of the table or the list
    // RegistrantSummary: the header of each registrant's file, nothing where it could not be read.
    QList<std::optional<PersonalHeader>> registrantSummary;
    QList<MonthRowEntry> monthRows; // MonthRow
    // The names, and for the monthly list the year and month texts, that RegistrantSummary or MonthRow
    // were gathered for: paging and printing pair each row with its own person, whatever was loaded since.
    QStringList names;
    QString year;
    QString month;
};

} // namespace velmora
