// velmora-startup-floor: the least a window like the main menu needs, as a floor for Velmora's start-up:
// a Qt application with the same font substitutions and Japanese Qt translations, a window of the main
// menu's size with its title label and four command buttons, shown.
#include "gui/platform/Fonts.h"
#include "gui/widgets/CommandButton.h"

#include <QApplication>
#include <QLabel>
#include <QLibraryInfo>
#include <QTranslator>

using namespace velmora;

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    installJapaneseFonts();
    QTranslator translator;
    if (translator.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&translator);
    QWidget window;
    window.setWindowTitle(QStringLiteral("個人被曝線量管理"));
    window.resize(611, 434);
    auto* title = new QLabel(QStringLiteral("個人被曝線量管理"), &window);
    title->setFont(systemFont(GothicFont, 24));
    title->setGeometry(172, 56, 256, 33);
    const QString captions[] = {QStringLiteral("データ入力／訂正"), QStringLiteral("データ検索／表示"),
                                QStringLiteral("EXIT"), QStringLiteral("線量集計／限度確認")};
    for (int at = 0; at < 4; ++at) {
        auto* button = new CommandButton(QStringLiteral("Command%1").arg(at + 1), captions[at], &window);
        button->setFont(systemFont(ProportionalGothicFont, 11.25));
        button->setGeometry(32, 176 + 40 * at, 185, 33);
    }
    window.show();
    return QApplication::exec();
}
