#pragma once

#include "core/files/ChangeHistory.h"
#include "gui/platform/Printer.h"

#include <QDate>

// The printed change history: the records the window shows, with what they were chosen by and whether the
// chain of the whole history holds, on every page.
namespace velmora {

struct HistoryPrintout {
    QList<ChangeRecord> records;
    QString chosen;   // "氏名：山田　年月：すべて"
    QString chain;    // the window's line on the chain
    QString facility; // the facility's line, when set
    QDate printed;
};

void PrintChangeHistory(Printer& printer, const HistoryPrintout& printout);

// A record's texts as the window and the print show them: 日時, 操作, 氏名, 年月, 変更前, 変更後, PC／ユーザー.
QStringList historyCells(const ChangeRecord& record);
const QStringList& historyHeadings();

} // namespace velmora
