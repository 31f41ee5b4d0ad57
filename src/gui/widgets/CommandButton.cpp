#include "gui/widgets/CommandButton.h"

#include <QKeyEvent>

namespace velmora {

CommandButton::CommandButton(const QString& objectName, const QString& caption, QWidget* parent)
    : QPushButton(caption, parent)
{
    setObjectName(objectName);
    setAutoDefault(false);
}

void CommandButton::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

} // namespace velmora
