#pragma once

#include "core/rules/StoreTotals.h"
#include "gui/platform/Clock.h"
#include "gui/platform/Dialogs.h"
#include "gui/platform/Printer.h"
#include "gui/reports/PageWindow.h"
#include "gui/totals/TotalsModel.h"
#include "gui/widgets/CommandButton.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTableWidget>
#include <QWidget>

namespace velmora {

// The window "線量集計・限度確認": every person's quarter, fiscal-year and five-year totals for a fiscal
// year with the verdict against the legal limits, the months of the person chosen, and the print and CSV
// of the table. It only reads the store; the doses at other facilities and declarations are changed in their
// own window, which the main menu opens with the entry lock.
class TotalsWindow : public QWidget {
    Q_OBJECT
public:
    TotalsWindow(const DataDir& dir, Dialogs& messageBoxes, Printer& systemPrinter, const Clock& systemClock);

    // Sets the current fiscal year and gathers its totals, as the main menu does before showing it.
    void openForCurrentYear();
    // Gathers the totals of the year typed: "集計", and again after the doses at other facilities or
    // declarations changed.
    void gather();

    // The rows in the order and selection the tables show.
    QList<TotalsRow> shownRows() const;

    QLineEdit* FiscalYearBox;
    CommandButton* GatherButton;       // "集計"
    QCheckBox* FlaggedOnlyBox;         // "注意・超過のみ表示"
    QTableView* FrozenTable;           // 登録番号 and 氏名, which stay while the rest scrolls
    QTableView* TotalsTable;           // the other columns
    QLabel* PersonTitle;               // whose months PersonMonths shows
    QTableWidget* PersonMonths;        // the months, quarters and block years of the person chosen
    CommandButton* PrintButton;        // "印刷"
    CommandButton* SaveCsvButton;      // "CSV保存"
    CommandButton* DistributionButton; // "線量分布": the year's dose bands, with charts
    CommandButton* GroupsButton;       // "職種・所属別": the effective-dose bands of each group
    CommandButton* PersonChartButton;  // "個人グラフ": the chosen person's months and block, as charts
    CommandButton* NoticeButton;       // "線量通知": the chosen person's dose notice, printed
    CommandButton* AllNoticesButton;   // "全員の線量通知": everyone's, a page each in one document
    CommandButton* AdditionsButton; // "他施設・申告": the chosen person's doses at other facilities and declarations
    CommandButton* LeavingRecordButton; // "離職時記録": the chosen person's record for leaving, printed and as CSV
    CommandButton* ExaminationsButton;  // "健康診断": the health examinations, their schedule and report
    CommandButton* HistoryButton;       // "変更履歴": every change of the store, who made it and when
    CommandButton* ArchiveButton;       // "年度の保存版": the closed year's reports as PDF/A, CSVs, manifest
    PageWindow distributionWindow;
    PageWindow personChartWindow;
    CommandButton* BackButton; // "戻る", to the main menu

signals:
    void returnedToMenu();
    // "他施設・申告" was clicked, with the chosen person's name (empty when nobody is chosen).
    void additionsWanted(const QString& name);
    // "変更履歴" was clicked: the application opens the change history.
    void historyWanted();
    // "健康診断" was clicked: the application opens the examinations with the entry lock, as 他施設・申告.
    void examinationsWanted();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void connectControls();
    void showFlaggedOnly();
    void sortByColumn(int column);
    void showChosenRow(const QModelIndex& current);
    void printTotals();
    void saveCsv();
    // The year's distribution in its window: the bands with their charts, or the bands of each group.
    void showDistribution(bool byGroup);
    void showPersonCharts();
    void printNotices(const QList<TotalsRow>& rows);
    void archiveYear();
    void backToMenu();
    // The facility's line for a printed page; empty, after the message, when its file cannot be read.
    QString facilityText();

    QTableView* makeTable(const QString& name);
    // Fits the columns to what is shown; no person is chosen.
    void fitColumns();
    void showPerson(const TotalsRow& row);

    DataDir dataDir;
    Dialogs& dialogs;
    Printer& printer;
    const Clock& clock;
    TotalsModel model;
    QSortFilterProxyModel sorted;
};

} // namespace velmora
