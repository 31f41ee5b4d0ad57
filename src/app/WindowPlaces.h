#pragma once

#include <QObject>
#include <QSettings>

namespace velmora {

// Each window of the program opens where it was when it was last hidden, kept in the settings under its
// object name, moved in as far as it needs to stand wholly on the screen; a place on no screen (a screen
// removed since) is left to the window system. Watches the whole application, so that no window needs code of its own.
class WindowPlaces : public QObject {
public:
    explicit WindowPlaces(QSettings& settings);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QSettings& settings;
};

} // namespace velmora
