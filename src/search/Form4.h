#pragma once

#include "platform/CommandButton.h"
#include "platform/PictureBox.h"

#include <QLineEdit>
#include <QListWidget>
#include <QWidget>

namespace velmora {

// The search and display window "個人被曝線量　データ検索・表示".
class Form4 : public QWidget {
    Q_OBJECT
public:
    explicit Form4(QWidget* parent = nullptr);

    // Empties the list and the boxes, clears the surface to its idle title and disables "表示" and "印刷",
    // as the main menu does before opening.
    void clearForOpening();
    // Fills List1 with the registrant names in list order.
    void showRegistrants(const QStringList& names);

    QListWidget* List1;
    PictureBox* Picture1;
    QLineEdit* Text1; // fiscal year of the personal record
    CommandButton* Command3; // "表示"
    CommandButton* Command4; // "印刷"
    QLineEdit* Text2; // year of the monthly list
    QLineEdit* Text3; // month of the monthly list

signals:
    // The window was left; the main menu shows itself again.
    void returnedToMenu();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // A clear surface with the title "個人被曝線量記録" in light grey.
    void clearPicture();
};

} // namespace velmora
