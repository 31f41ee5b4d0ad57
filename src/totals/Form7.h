#pragma once

#include "DoseTotals.h"
#include "platform/Clock.h"
#include "platform/CommandButton.h"
#include "platform/Dialogs.h"
#include "platform/Printer.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTableWidget>
#include <QWidget>

namespace velmora {

// The window "線量集計・限度確認": every registrant's quarter, fiscal-year and five-year totals for a
// fiscal year with the verdict against the legal limits, the months of the person chosen, and the
// print and CSV of the table. It only reads the store.
class Form7 : public QWidget {
    Q_OBJECT
public:
    Form7(const DataDir& dir, Dialogs& messageBoxes, Printer& systemPrinter, const Clock& systemClock);

    // Sets the current fiscal year and gathers its totals, as the main menu does before showing it.
    void openForCurrentYear();

    QLineEdit* Text1;        // the fiscal year
    CommandButton* Command1; // "集計"
    QCheckBox* Check1;       // "注意・超過のみ"
    QTableWidget* Table1;    // one row per registrant
    QTableWidget* Table2;    // the months, quarters and block years of the person chosen
    CommandButton* Command2; // "印刷"
    CommandButton* Command3; // "CSV保存"
    CommandButton* Command4; // back to the main menu

    static inline const QStringList Headings = {
        QStringLiteral("登録番号"),    QStringLiteral("氏名"),       QStringLiteral("性別"),
        QStringLiteral("実効 Q1"),     QStringLiteral("実効 Q2"),    QStringLiteral("実効 Q3"),
        QStringLiteral("実効 Q4"),     QStringLiteral("実効 年度"),  QStringLiteral("実効 5年"),
        QStringLiteral("水晶体 年度"), QStringLiteral("水晶体 5年"), QStringLiteral("皮膚 年度"),
        QStringLiteral("判定"),        QStringLiteral("理由")};

signals:
    void returnedToMenu();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Command1Click();
    void Check1Toggled();
    void Table1SelectionChanged();
    void Command2Click();
    void Command3Click();
    void Command4Click();

    std::optional<int> typedFiscalYear();
    void fillTable();
    void showPerson(const TotalsRow& row);

    DataDir dataDir;
    Dialogs& dialogs;
    Printer& printer;
    const Clock& clock;
    int fiscalYear = 0;
    QList<TotalsRow> rows; // as gathered, in list order
};

// The cells of a registrant's row, as the window's grid and the printed page show them.
QStringList totalsCells(const TotalsRow& row);

// Prints the table, 30 rows to a page with the headings on each, each page a print job of its own.
void PrintDoseTotals(Printer& printer, const QList<TotalsRow>& rows, int fiscalYear);

} // namespace velmora
