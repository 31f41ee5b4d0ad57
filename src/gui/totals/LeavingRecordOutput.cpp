#include "gui/totals/LeavingRecordOutput.h"

#include "core/files/FileWriter.h"
#include "core/model/Calendar.h"
#include "core/rules/LeavingRecord.h"
#include "core/texts/Messages.h"
#include "gui/platform/PrintOutcome.h"
#include "gui/platform/WaitCursor.h"
#include "gui/reports/LeavingRecordReport.h"

#include <QApplication>
#include <QDir>

namespace velmora {

void giveLeavingRecord(const DataDir& dir, const QString& name, Dialogs& dialogs, Printer& printer, const Clock& clock)
{
    // What the record needs is checked before anything is typed for it.
    if (const auto facility = ReadFacility(dir); !facility || facility->name.isEmpty()) {
        dialogs.warn(messageOf(!facility ? facility.error() : failure(FailureKind::FacilityUnnamed)));
        return;
    }
    const auto proposed = proposedLeavingDay(dir, name);
    if (!proposed) {
        dialogs.warn(messageOf(proposed.error()));
        return;
    }
    // The last day of the last month with a dose is proposed; a person without one leaves today.
    const QDate day = dialogs.chooseDay(
        QStringLiteral(
            "%1さんの離職日を入力して下さい。\nこの日を含む5年の期間の初めからの線量（これより後の記録も含む）"
            "と、この日に継続中の妊娠の申告などを渡します。")
            .arg(name),
        *proposed ? dayOf(**proposed) : clock.now().date());
    if (!day.isValid())
        return;
    const auto record = leavingRecordOf(dir, name, dayNumber(day));
    if (!record) {
        dialogs.warn(messageOf(record.error()));
        return;
    }
    // The CSV goes to the next employer, not into the store: proposed by its name alone, in the user's documents.
    const QString path =
        dialogs.chooseCsvToSave(QStringLiteral("離職時の線量記録（CSV）の保存先"), leavingRecordFileName(name));
    if (path.isEmpty())
        return;
    if (!dialogs.confirmYesNo(
            QStringLiteral("%1さんの離職時の線量記録を印刷し、CSVファイル「%2」に保存します。プリンターＯＫ？")
                .arg(name, QFileInfo(path).fileName())))
        return;
    if (const auto saved = replaceFile(path, QFileInfo(path).fileName(), leavingRecordCsv(*record)); !saved) {
        dialogs.warn(messageOf(saved.error()));
        return;
    }
    dialogs.inform(QStringLiteral("ファイル「%1」に保存しました。\n%2")
                       .arg(QFileInfo(path).fileName(), QDir::toNativeSeparators(path)));
    const auto facility = ReadFacility(dir);
    {
        const WaitCursor wait;
        PrintLeavingRecord(printer, *record, facility ? facilityLine(*facility) : QString(), clock.now().date());
    }
    tellPrintOutcome(printer, dialogs);
}

} // namespace velmora
