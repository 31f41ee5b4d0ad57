#pragma once

#include "core/files/DataDir.h"
#include "core/session/SharedState.h"
#include "gui/platform/Clock.h"
#include "gui/platform/Dialogs.h"
#include "gui/widgets/CommandButton.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QWidget>
#include <functional>

namespace velmora {

// The registration window "新規登録": registers a new person or restores a removed one.
class Form3 : public QWidget {
    Q_OBJECT
public:
    Form3(SharedState& state, const DataDir& dataDir, Dialogs& dialogs, const Clock& clock);

    // Offers the next registration number and empties every field; false (after a message) when the
    // number or the job types cannot be read.
    bool openForRegistration();

    QLineEdit* Text1; // registration number
    QLineEdit* Text2; // name
    QGroupBox* Frame1;
    QRadioButton* Option1; // "男性"
    QRadioButton* Option2; // "女性"
    QLineEdit* Text5;      // year of birth
    QLineEdit* Text6;      // month of birth
    QLineEdit* Text7;      // day of birth
    QLineEdit* Text4;      // affiliation
    QGroupBox* Frame2;
    QComboBox* Combo1; // job type
    QGroupBox* Frame3;
    QRadioButton* Option8;   // "なし"
    QRadioButton* Option9;   // "あり  →"
    QLineEdit* Text3;        // past effective dose
    CommandButton* Command1; // "登 録"
    CommandButton* Command2; // "Cancel"

signals:
    // The window was left; the entry window shows itself again with the registrant list as it now stands.
    void returnedToEntry();

private:
    void buildControls();
    void connectKeys();
    void Command1Click();
    void resetFields();
    bool allFieldsFilled() const;
    // The reason the typed values cannot be stored, or an empty text.
    QString birthDateProblem() const; // why the typed date of birth is no day one was born on
    QString problemWithTypedValues() const;
    PersonalHeader typedHeader() const;
    // Asks the question and, on Yes, makes the change that lists the person (a restore, or a file on
    // neither list) and tells `done`; whether the question was answered Yes.
    bool offerListing(const QString& question, const std::function<Status()>& change, const QString& done);
    void registerPerson(const PersonalHeader& header);
    void leave();

    SharedState& state;
    DataDir dataDir;
    Dialogs& dialogs;
    const Clock& clock;
};

} // namespace velmora
