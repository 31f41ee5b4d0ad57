#pragma once

#include <QPushButton>

namespace velmora {

// A command button of the windows: Enter on the focused button presses it, as Space does,
// because the Enter chains of the windows end on buttons.
class CommandButton : public QPushButton {
    Q_OBJECT
public:
    CommandButton(const QString& objectName, const QString& caption, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace velmora
