#pragma once

#include "core/files/DataDir.h"
#include "core/session/SharedState.h"
#include "gui/platform/Dialogs.h"
#include "gui/platform/Printer.h"
#include "gui/search/ReportState.h"
#include "gui/widgets/CommandButton.h"
#include "gui/widgets/PictureBox.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QWidget>

namespace velmora {

// The search and display window "個人被曝線量　データ検索・表示": chooses a person, draws the reports on
// Picture1, pages through them and prints them.
class Form4 : public QWidget {
    Q_OBJECT
public:
    Form4(SharedState& state, const DataDir& dataDir, Dialogs& dialogs, Printer& printer);

    // Empties the list and the boxes, clears the surface to its idle title, disables "表示" and "印刷"
    // and forgets the report, as the main menu does before opening.
    void clearForOpening();
    // Fills List1 with the registrants of the shared list in list order.
    void showRegistrants();

    QListWidget* List1;
    PictureBox* Picture1;
    CommandButton* Command1; // "登録者リスト"
    CommandButton* Command2; // "抹消者リスト"
    QLineEdit* Text1;        // fiscal year of the personal record
    CommandButton* Command3; // "表示"
    CommandButton* Command4; // "印刷"
    CommandButton* Command5; // leaves the window
    CommandButton* Command6; // "画面クリア"
    CommandButton* Command7; // "登録者データ表"
    CommandButton* Command8; // "月別被曝一覧表"
    QLineEdit* Text2;        // year of the monthly list
    QLineEdit* Text3;        // month of the monthly list
    CommandButton* Command9; // "↓", the next page

    ReportState report;

signals:
    // The window was left; the main menu shows itself again.
    void returnedToMenu();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void connectKeys();
    void Command1Click();
    void Command2Click();
    void List1SelectionChanged();
    void List1Click(QListWidgetItem* item);
    void Command3Click();
    void Command7Click();
    void Command8Click();
    void Command9Click();
    void Command4Click();
    void Command6Click();
    void Command5Click();

    // A clear surface with the title "個人被曝線量記録" in light grey.
    void clearPicture();
    // Lets the surface repaint, then offers "印刷" for the report drawn.
    void offerPrinting();
    void drawTablePage();
    void drawListPage();
    void reportUnreadable(const QStringList& files);
    // Reads the person's whole file as the one the buttons act on; nobody is chosen when it cannot be read.
    void choosePerson(const QString& name);
    void chooseNobody();
    // Whether the fiscal year typed can be shown and printed; tells the user when not.
    bool acceptFiscalYear();

    SharedState& state;
    DataDir dataDir;
    Dialogs& dialogs;
    Printer& printer;
    int listPresses = 0;    // mouse presses on List1 so far
    int chosenAtPress = -1; // listPresses when the person was last chosen
};

} // namespace velmora
