#pragma once

#include <QListWidget>
#include <QLineEdit>
#include <QWidget>

namespace velmora {

// The monthly dose entry window "データ入力／訂正".
class Form2 : public QWidget {
    Q_OBJECT
public:
    explicit Form2(QWidget* parent = nullptr);

    // Empties the list and every field and unlocks the target month, as the main menu does before opening.
    void clearForOpening();
    // Fills List1 with the registrant names in list order.
    void showRegistrants(const QStringList& names);

    QListWidget* List1;
    QLineEdit* Text1; // registration number
    QLineEdit* Text2; // name
    QLineEdit* Text3; // job type
    QLineEdit* Text4; // sex
    QLineEdit* Text5; // date of birth
    QLineEdit* Text6; // target month
    QLineEdit* Text7; // target year
    QLineEdit* Text8; // external effective dose
    QLineEdit* Text9; // lens of the eye
    QLineEdit* Text10; // affiliation
    QLineEdit* Text11; // skin
    QLineEdit* Text12; // internal effective dose
    QLineEdit* Text13; // comment

signals:
    // The window was left; the main menu shows itself again.
    void returnedToMenu();

protected:
    void closeEvent(QCloseEvent* event) override;
};

} // namespace velmora
