#include "Form4.h"

#include "platform/Controls.h"
#include "platform/Fonts.h"
#include "platform/Twips.h"

#include <QCloseEvent>

namespace velmora {

Form4::Form4(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("個人被曝線量　データ検索・表示"));
    setClientTwips(this, 14370, 9195);
    setFont(systemFont(GothicFont, 9));

    List1 = makeList(this, QStringLiteral("List1"), 240, 600, 2775, 7485);
    List1->setFont(systemFont(GothicFont, 11.25));
    Picture1 = new PictureBox(QStringLiteral("Picture1"), this);
    placeTwips(Picture1, 3240, 600, 10935, 7815);
    Text1 = makeTextBox(this, QStringLiteral("Text1"), 480, 8160, 1335, 375);
    Command3 = makeButton(this, QStringLiteral("Command3"), QStringLiteral("表示"), 480, 8640, 2175, 495);
    Command4 = makeButton(this, QStringLiteral("Command4"), QStringLiteral("印刷"), 8880, 8640, 1575, 495);
    Text2 = makeTextBox(this, QStringLiteral("Text2"), 10560, 120, 1215, 375);
    Text3 = makeTextBox(this, QStringLiteral("Text3"), 12240, 120, 495, 375);
    for (QWidget* control : std::initializer_list<QWidget*>{Text1, Command3, Command4, Text2, Text3})
        control->setFont(systemFont(ProportionalGothicFont, 11.25));
}

void Form4::clearPicture()
{
    Picture1->clear();
    Picture1->setForeColor(QColor(234, 234, 234));
    Picture1->setFontSize(36);
    Picture1->text(600, 700, QStringLiteral("個人被曝線量記録"));
    Picture1->setForeColor(Qt::black);
}

void Form4::clearForOpening()
{
    List1->clear();
    for (QLineEdit* box : {Text1, Text2, Text3})
        box->clear();
    clearPicture();
    Command3->setEnabled(false);
    Command4->setEnabled(false);
}

void Form4::showRegistrants(const QStringList& names)
{
    List1->addItems(names);
}

void Form4::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit returnedToMenu();
}

} // namespace velmora
