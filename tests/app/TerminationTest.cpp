#include "app/Termination.h"
#include "gui/dialogs/QtDialogs.h"

#include <QApplication>
#include <QCloseEvent>
#include <QTimer>
#include <QWidget>
#include <csignal>
#include <gtest/gtest.h>

using namespace velmora;

namespace {

// A window that warns as it closes, as the totals window does when it gathers again and fails.
class WarnsWhenClosed : public QWidget {
public:
    explicit WarnsWhenClosed(Dialogs& warning) : dialogs(warning) {}

protected:
    void closeEvent(QCloseEvent* event) override
    {
        dialogs.warn(QStringLiteral("ファイル「申告.txt」を読み込めません"));
        event->accept();
    }

private:
    Dialogs& dialogs;
};

// SIGTERM ends the program although closing a window would open a message box that waits for an answer:
// nothing holds the program until a second signal.
TEST(Termination, ARequestToEndIsNotHeldByAMessageBox)
{
    quitOnSystemRequests();
    QtDialogs dialogs;
    WarnsWhenClosed window(dialogs);
    window.show();
    QTimer::singleShot(300, [] { std::raise(SIGTERM); });
    bool held = false; // until the test ends it, rather than hanging
    QTimer::singleShot(10000, [&held] {
        held = true;
        QCoreApplication::exit(1);
    });
    QApplication::exec();
    EXPECT_FALSE(held);
}

} // namespace
