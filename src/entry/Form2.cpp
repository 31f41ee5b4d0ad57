#include "Form2.h"

#include "platform/Controls.h"
#include "platform/Twips.h"

#include <QCloseEvent>

namespace velmora {

Form2::Form2(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("データ入力／訂正"));
    setClientTwips(this, 7620, 10935);

    List1 = makeList(this, QStringLiteral("List1"), 240, 480, 2775, 9060);
    Text7 = makeTextBox(this, QStringLiteral("Text7"), 4440, 1080, 1215, 375);
    Text6 = makeTextBox(this, QStringLiteral("Text6"), 6120, 1080, 495, 375);
    Text1 = makeTextBox(this, QStringLiteral("Text1"), 4920, 2040, 2295, 375);
    Text2 = makeTextBox(this, QStringLiteral("Text2"), 4920, 2520, 2295, 375);
    Text4 = makeTextBox(this, QStringLiteral("Text4"), 4920, 2880, 2295, 375);
    Text5 = makeTextBox(this, QStringLiteral("Text5"), 4920, 3240, 2295, 375);
    Text3 = makeTextBox(this, QStringLiteral("Text3"), 4920, 3720, 2295, 375);
    Text10 = makeTextBox(this, QStringLiteral("Text10"), 4920, 4080, 2295, 375);
    Text8 = makeTextBox(this, QStringLiteral("Text8"), 5040, 5400, 1455, 360);
    Text9 = makeTextBox(this, QStringLiteral("Text9"), 5040, 5760, 1455, 360);
    Text11 = makeTextBox(this, QStringLiteral("Text11"), 5040, 6120, 1455, 360);
    Text12 = makeTextBox(this, QStringLiteral("Text12"), 5040, 6960, 1455, 360);
    Text13 = makeTextBox(this, QStringLiteral("Text13"), 5040, 7680, 2175, 360);
    for (QLineEdit* shown : {Text1, Text2, Text4, Text5, Text3, Text10})
        setBackground(shown, LightCyan);
}

void Form2::clearForOpening()
{
    List1->clear();
    for (QLineEdit* field : {Text1, Text2, Text3, Text4, Text5, Text8, Text9, Text10, Text11, Text12, Text13})
        field->clear();
    for (QLineEdit* field : {Text6, Text7}) {
        field->setEnabled(true);
        field->clear();
    }
}

void Form2::showRegistrants(const QStringList& names)
{
    List1->addItems(names);
    List1->setFocus();
}

void Form2::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit returnedToMenu();
}

} // namespace velmora
