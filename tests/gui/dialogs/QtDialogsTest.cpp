#include "gui/dialogs/QtDialogs.h"
#include "gui/dialogs/DataFolderWindow.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace velmora;

namespace {

struct SeenBox {
    QString title;
    QString text;
    QStringList buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString defaultButton;
};

class QtDialogsTest : public testing::Test {
protected:
    // Runs a box, pressing `press` on it, and returns what it showed.
    template <class Show> SeenBox run(const QString& press, Show show)
    {
        auto seen = std::make_shared<SeenBox>();
        QTimer::singleShot(0, [seen, press] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(widget);
                if (!box || !box->isVisible())
                    continue;
                *seen = {box->windowTitle(),
                         box->text(),
                         {},
                         box->icon(),
                         box->defaultButton() ? box->defaultButton()->text() : QString()};
                QAbstractButton* chosen = nullptr;
                for (QAbstractButton* button : box->buttons()) {
                    seen->buttons.append(button->text());
                    if (button->text() == press)
                        chosen = button;
                }
                if (chosen)
                    chosen->click();
            }
        });
        show();
        return *seen;
    }
    QtDialogs dialogs;
};

TEST_F(QtDialogsTest, QuestionsStopOnlyOnCancelOrNo)
{
    bool answer = true;
    SeenBox seen = run(QStringLiteral("キャンセル"),
                       [&] { answer = dialogs.confirmOkCancel("データ入力に間違いはありませんか？"); });
    EXPECT_FALSE(answer);
    EXPECT_EQ(seen.title, ApplicationTitle);
    EXPECT_EQ(seen.text, QStringLiteral("データ入力に間違いはありませんか？"));
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    seen.buttons.sort();
    EXPECT_EQ(seen.buttons, (QStringList{"OK", "キャンセル"}));

    run(QStringLiteral("OK"), [&] { answer = dialogs.confirmOkCancel("?"); });
    EXPECT_TRUE(answer);
    seen = run(QStringLiteral("いいえ"), [&] { answer = dialogs.confirmYesNo("終了しますか？"); });
    EXPECT_FALSE(answer);
    seen.buttons.sort();
    EXPECT_EQ(seen.buttons, (QStringList{"いいえ", "はい"}));
    run(QStringLiteral("はい"), [&] { answer = dialogs.confirmYesNo("終了しますか？"); });
    EXPECT_TRUE(answer);
}

// A step that is hard to undo, or taken despite doubts, is what Enter does not do.
TEST_F(QtDialogsTest, QuestionsThatCanLoseWorkDefaultToTheHarmlessAnswer)
{
    bool answer = true;
    EXPECT_EQ(run(QStringLiteral("いいえ"), [&] { answer = dialogs.confirmRisky("?"); }).defaultButton,
              QStringLiteral("いいえ"));
    const SeenBox doubtful = run(QStringLiteral("キャンセル"), [&] { answer = dialogs.confirmDoubtful("?"); });
    EXPECT_EQ(doubtful.defaultButton, QStringLiteral("キャンセル"));
    EXPECT_EQ(doubtful.icon, QMessageBox::Warning);
    EXPECT_FALSE(answer);
    run(QStringLiteral("OK"), [&] { answer = dialogs.confirmDoubtful("?"); });
    EXPECT_TRUE(answer);
}

TEST_F(QtDialogsTest, WarningsCarryTheExclamationIcon)
{
    EXPECT_EQ(run(QStringLiteral("OK"), [&] { dialogs.warn("対象年月を指定して下さい"); }).icon, QMessageBox::Warning);
    const SeenBox seen = run(QStringLiteral("OK"), [&] { dialogs.inform("全データを保存しました。"); });
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, QStringList{"OK"});
}

// An import's report of a few hundred lines fits the screen with its buttons, its text scrolling.
TEST_F(QtDialogsTest, ALongTextScrollsInsideABoxThatFitsTheScreen)
{
    QStringList lines;
    for (int line = 1; line <= 300; ++line)
        lines << QStringLiteral("%1行目（登録番号 %1　山田　太郎）：実効線量「0,06」").arg(line);
    auto fits = std::make_shared<bool>(false);
    QTimer::singleShot(0, [fits] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) {
                const QRect screen = box->screen()->availableGeometry();
                *fits = box->findChild<QScrollArea*>(QStringLiteral("LongText")) &&
                        box->frameGeometry().height() <= screen.height() &&
                        box->frameGeometry().width() <= screen.width();
            }
    });
    const SeenBox seen = run(QStringLiteral("OK"), [&] { dialogs.warn(lines.join(QLatin1Char('\n'))); });
    EXPECT_TRUE(*fits);
    EXPECT_EQ(seen.text, lines.join(QLatin1Char('\n')));
}

// A folder chooser with nothing to start from, and a save dialog given a bare file name, open in the user's
// documents, not the working folder (the program's folder under Program Files when started from the Start menu).
TEST_F(QtDialogsTest, AChooserWithoutAFolderOpensInTheDocuments)
{
    QTemporaryDir working;
    const QString before = QDir::currentPath();
    QDir::setCurrent(working.path());
    for (const bool save : {false, true}) {
        QString opened;
        QTimer::singleShot(0, [&opened] {
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (auto* chooser = qobject_cast<QFileDialog*>(widget); chooser && chooser->isVisible()) {
                    opened = chooser->directory().absolutePath();
                    chooser->reject();
                }
        });
        EXPECT_TRUE((save ? dialogs.chooseCsvToSave(QStringLiteral("保存先"), QStringLiteral("離職時記録_山田.csv"))
                          : dialogs.chooseFolder(QStringLiteral("バックアップ先"), {}))
                        .isEmpty());
        EXPECT_TRUE(opened.startsWith(QDir::homePath())) << opened.toStdString();
        EXPECT_NE(opened, QDir(working.path()).absolutePath());
    }
    QDir::setCurrent(before);
}

TEST_F(QtDialogsTest, TheFirstStartWindowProposesAFolderAndCanBeCancelled)
{
    const QString suggested = QStringLiteral("/home/yamada/Velmora");
    for (const auto& [press, chosen] : {std::pair{"UseSuggestedButton", suggested}, {"CancelButton", QString()}}) {
        QString proposed;
        QTimer::singleShot(0, [&proposed, press = QString::fromLatin1(press)] {
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (auto* window = qobject_cast<DataFolderWindow*>(widget); window && window->isVisible()) {
                    proposed = window->findChild<QLabel*>(QStringLiteral("SuggestedFolder"))->text();
                    window->findChild<QPushButton*>(press)->click();
                }
        });
        EXPECT_EQ(dialogs.chooseDataFolder(suggested), chosen) << press;
        EXPECT_EQ(proposed, QDir::toNativeSeparators(suggested));
    }
}

} // namespace
