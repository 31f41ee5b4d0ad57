#pragma once

#include "core/changes/MonthImport.h"
#include "core/files/Csv.h"
#include "core/files/DataDir.h"
#include "core/session/SharedState.h"
#include "gui/platform/Dialogs.h"
#include "gui/widgets/CommandButton.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QWidget>
#include <functional>

namespace velmora {

// The windows the entry window opens, as the application wires them: each opens its window (for the
// registration, the person shown, or a person's doses elsewhere) and says whether it did; `anyOpen` says
// whether the registration or correction window is open, while the entry window's work waits behind it.
struct EntryWindowsBeside {
    std::function<bool()> registration;
    std::function<bool(const ShownPerson&)> correction;
    std::function<bool(const QString& name)> additions;
    std::function<bool()> anyOpen;
};

// The monthly dose entry window "データ入力／訂正".
class Form2 : public QWidget {
    Q_OBJECT
public:
    Form2(SharedState& state, const DataDir& dataDir, Dialogs& dialogs, EntryWindowsBeside windows);

    // Empties the list and every field and unlocks the target month, as the main menu does before opening.
    void clearForOpening();
    // Fills List1 with the registrants of the shared list in list order.
    void showRegistrants();
    // Back from the registration window: the list as it now stands.
    void returnFromRegistration();
    // Back from the correction window, which may have corrected the person's registration items.
    void showCorrected(const PersonalHeader& header);

    QListWidget* List1;
    CommandButton* Command6;  // "再表示"
    CommandButton* Command7;  // "Reset"
    QLineEdit* Text7;         // target year
    QLineEdit* Text6;         // target month
    QLineEdit* Text1;         // registration number
    QLineEdit* Text2;         // name
    QLineEdit* Text4;         // sex
    QLineEdit* Text5;         // date of birth
    QLineEdit* Text3;         // job type
    QLineEdit* Text10;        // affiliation
    QLineEdit* Text8;         // external effective dose
    QLineEdit* Text9;         // lens of the eye
    QLineEdit* Text11;        // skin
    QLineEdit* Text12;        // internal effective dose
    QLineEdit* Text13;        // comment
    CommandButton* Command4;  // "確  定"
    CommandButton* Command1;  // "新規登録"
    CommandButton* Command5;  // "登録抹消"
    CommandButton* Command8;  // "データ訂正"
    CommandButton* Command3;  // "全データ保存"
    CommandButton* Command2;  // "EXIT/cancel"
    CommandButton* Command9;  // "CSVテンプレート": the month's CSV template, once the target month is locked
    CommandButton* Command10; // "CSV取込": the month's values from a CSV file, once the target month is locked
    CommandButton* Command11; // "他施設・申告": the shown person's doses at other facilities and declarations

signals:
    // A registrant was removed (登録抹消): the person may be given the leaving record.
    void registrantRemoved(const QString& name);
    // The window was left; the main menu shows itself again.
    void returnedToMenu();

private:
    void buildControls();
    void buildDefaultsNote();
    void connectKeys();
    void List1DoubleClick(QListWidgetItem* item);
    void Command4Click();
    void Command3Click();
    void Command7Click();
    void Command1Click();
    void Command2Click();
    // Whether values are typed or confirmed and not saved.
    bool holdsUnsaved() const;
    // Asks, as "EXIT/cancel" does, whether data entry may end with what is typed and not saved.
    bool confirmExit();
    void Command5Click();
    void Command6Click();
    void Command8Click();
    void Command9Click();
    void Command10Click();
    // A dosimetry service's file read through a layout the operator confirms or makes (see ServiceImport.h).
    void importServiceFile(const QString& path, const QByteArray& bytes, const QList<QStringList>& firstRows,
                           MonthKey key);
    // Imported values taken into the month being entered after the review (`doubtful` defaults it to No),
    // values confirmed by hand replaced only on a second yes; false when the operator declined.
    bool takeImport(const MonthImport& import, const QString& review, bool doubtful, MonthKey key);
    void Command11Click();

    // The target month as a key, when one is given and not saved yet; otherwise nothing, after the message
    // that explains why (a month saved already is also unlocked and emptied, and データ訂正 pointed to).
    std::optional<MonthKey> monthToEnter();
    // Confirms the doses shown for the person shown, as "確  定" does; false after the message that
    // says why not.
    bool confirmShownPerson();
    void unlockTargetMonth();
    void enableCsvButtons();
    // The values confirmed or imported for the person shown, as texts that confirming reads back the same.
    void showConfirmedValues(const PendingEntry& entry);
    // Marks in the list the registrants whose values are confirmed or imported for the month.
    void markConfirmed();
    // How many registrants have values confirmed, typed or imported, and what the others get.
    QString confirmedCounts(MonthKey key) const;
    void emptyPersonFields();
    void emptyDoseFields();
    void saveAll(MonthKey key);
    // The question, after the persons whom the values would bring near or over a limit, if any.
    // Asks `question` after `before` and what the values bring near or over a limit; the answer that takes
    // nothing is the default when `doubtful` or when the values bring anyone over a limit.
    bool confirmWithLimitFindings(const std::vector<PendingEntry>& pending, MonthKey key, const QString& before,
                                  const QString& question, bool doubtful);
    void leaveToMenu();

    SharedState& state;
    DataDir dataDir;
    Dialogs& dialogs;
    EntryWindowsBeside windows;
    bool typedSinceShown = false; // a dose or comment was typed since the person was shown or confirmed
};

} // namespace velmora
