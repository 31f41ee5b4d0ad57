#pragma once

#include "core/files/DataDir.h"
#include "core/session/SharedState.h"
#include "gui/platform/Clock.h"
#include "gui/platform/Dialogs.h"
#include "gui/widgets/CommandButton.h"

#include <QLineEdit>
#include <QListWidget>
#include <QWidget>

namespace velmora {

// The correction window "入力済みデータの訂正": corrects or deletes the stored months of one person and
// six of the person's registration items, on a copy that "全訂正終了" writes back whole.
class Form6 : public QWidget {
    Q_OBJECT
public:
    Form6(SharedState& state, const DataDir& dataDir, Dialogs& dialogs, const Clock& clock);

    // Reads the person's file and fills the window; false (after a message naming the file) when it
    // cannot be read, and the window then stays closed.
    bool openFor(const ShownPerson& person);

    QLineEdit* Text1;        // registration number
    QLineEdit* Text7;        // registration date
    QLineEdit* Text2;        // name
    QLineEdit* Text4;        // sex: 男 or 女
    QLineEdit* Text5;        // date of birth, "1965年04月12日" or "1965/04/12"
    QLineEdit* Text10;       // affiliation
    QLineEdit* Text3;        // job type
    QLineEdit* Text14;       // past effective dose or "なし"
    QLineEdit* Text6;        // the chosen month
    QLineEdit* Text8;        // external effective dose
    QLineEdit* Text9;        // lens of the eye
    QLineEdit* Text11;       // skin
    QLineEdit* Text12;       // internal effective dose
    QLineEdit* Text13;       // comment
    QListWidget* List1;      // the months of the records, in record order
    CommandButton* Command4; // "訂正"
    CommandButton* Command3; // "削除"
    CommandButton* Command2; // "全訂正終了"
    CommandButton* Command1; // "Cancel"

signals:
    // The file was rewritten: the entry window shows the corrected registration items.
    void corrected(const PersonalHeader& header);
    // The window was left; the entry window shows itself again.
    void returnedToEntry();

private:
    void buildControls();
    void List1Click();
    void Command4Click();
    void Command3Click();
    void Command2Click();

    void fillMonthList();
    void emptyDoseFields();
    void chooseNothing();
    // No month is acted on any more; the month shown in Text6 stays.
    void releaseChosenMonth();
    // Whether the window may close: asks first when corrections would be dropped.
    bool mayDropChanges();
    // Whether corrections are held that are not written: months corrected or deleted, or values typed for
    // the month chosen and not yet taken by "訂正".
    bool holdsChanges() const;
    bool typedNotCorrected() const;
    // Takes the values shown into the chosen month; false (after a message) when one cannot be stored.
    bool correctChosenMonth();
    void leave();

    SharedState& state;
    DataDir dataDir;
    Dialogs& dialogs;
    const Clock& clock;
    QString openedName;
    QString shownSex;              // as the entry window showed them
    QString shownBirthDay;         // the person whose file was read and is written
    qsizetype chosenPosition = -1; // chosenPosition, from 0; -1 while no month is chosen
    bool changed = false;
};

} // namespace velmora
