#pragma once

#include "core/model/Records.h"
#include "gui/platform/Printer.h"
#include "gui/reports/ReportPen.h"

#include <optional>

// The registrant data table "  個人被曝記録登録者データ": every registrant's registration data, 32 rows to a page.
namespace velmora {

struct RegistrantTableInput {
    const QStringList& names;                            // RegistrantList
    const QList<std::optional<PersonalHeader>>& summary; // RegistrantSummary, one entry per name
};

// The heading of the last column: the screen and the paper word it differently.
inline const QString ScreenPastExposureHeading = QStringLiteral("過去被曝歴[mSv]");
inline const QString PaperPastExposureHeading = QStringLiteral("過去の被曝歴 [mSv]");

// Draws one page from nextRow and advances nextRow past the rows drawn.
void drawRegistrantTablePage(Surface& surface, const ReportStyle& style, const QString& pastExposureHeading,
                             const RegistrantTableInput& input, qsizetype& nextRow);

// One screen page on the picture box.
void ShowRegistrantTable(Surface& picture, const RegistrantTableInput& input, qsizetype& nextRow);

// Every page from nextRow on, each page a print job of its own (one page without rows for no registrant).
void PrintRegistrantTable(Printer& printer, const RegistrantTableInput& input, qsizetype& nextRow,
                          const QString& facility);

} // namespace velmora
