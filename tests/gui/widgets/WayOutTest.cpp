#include "gui/widgets/WayOut.h"
#include "core/files/PersonalFile.h"
#include "support/Stores.h"
#include "support/WindowTest.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

const QString Yamada = QStringLiteral("山田");
const QString ExitQuestion = QStringLiteral("データ入力を終了・キャンセルしますか？");
const QString DropCorrections = QStringLiteral("訂正したデータがあります。訂正をキャンセルしますか？");

enum class Way { CloseButton, Escape, SessionEnd };

// A window brought into a state, left one way: the question asked (none when nothing would be lost), and
// after いいえ the window stays with its work.
struct WayOutRow {
    const char* name;
    Way way;
    std::function<QWidget*(Application&)> prepare;
    QString question;
};

QWidget* entryWindow(Application& app)
{
    return &app.form2();
}

QWidget* entryWithATypedValue(Application& app)
{
    QTest::keyClicks(app.form2().Text8, QStringLiteral("1"));
    return &app.form2();
}

QWidget* correctionWindow(Application& app)
{
    const QPoint yamada = app.form2().List1->visualItemRect(app.form2().List1->item(0)).center();
    QTest::mouseClick(app.form2().List1->viewport(), Qt::LeftButton, {}, yamada);
    QTest::mouseDClick(app.form2().List1->viewport(), Qt::LeftButton, {}, yamada);
    QTest::mouseClick(app.form2().Command8, Qt::LeftButton);
    return &app.form6();
}

QWidget* correctionWithAValueNotCorrected(Application& app)
{
    Form6& form = static_cast<Form6&>(*correctionWindow(app));
    form.List1->setCurrentRow(0);
    form.Text8->setText(QStringLiteral("7.77"));
    return &form;
}

QWidget* correctionWithAMonthCorrected(Application& app)
{
    Form6& form = static_cast<Form6&>(*correctionWithAValueNotCorrected(app));
    QTest::mouseClick(form.Command4, Qt::LeftButton);
    return &form;
}

QWidget* registrationWithANameTyped(Application& app)
{
    QTest::mouseClick(app.form2().Command1, Qt::LeftButton);
    app.form3().Text2->setText(QStringLiteral("田中"));
    return &app.form3();
}

const WayOutRow Rows[] = {
    {"entry, nothing typed, close button", Way::CloseButton, entryWindow, {}},
    {"entry, nothing typed, end of session", Way::SessionEnd, entryWindow, {}},
    {"entry, a value typed, close button", Way::CloseButton, entryWithATypedValue, ExitQuestion},
    {"entry, a value typed, Esc", Way::Escape, entryWithATypedValue, ExitQuestion},
    {"entry, a value typed, end of session", Way::SessionEnd, entryWithATypedValue, ExitQuestion},
    {"correction, nothing changed, close button", Way::CloseButton, correctionWindow, {}},
    {"correction, a month corrected, Esc", Way::Escape, correctionWithAMonthCorrected, DropCorrections},
    {"correction, a value not corrected, close button", Way::CloseButton, correctionWithAValueNotCorrected,
     DropCorrections},
    {"correction, a value not corrected, end of session", Way::SessionEnd, correctionWithAValueNotCorrected,
     DropCorrections},
    {"registration, a name typed, Esc", Way::Escape, registrationWithANameTyped, {}},
};

class WaysOut : public WindowTest, public testing::WithParamInterface<WayOutRow> {
protected:
    void SetUp() override
    {
        makeStore(app.dataDir, {Yamada});
        ASSERT_TRUE(AppendMonthlyRecord(app.dataDir, Yamada, {200504, 1}));
        click(app.form1().Command1);
    }
    // Leaves the window the row's way; whether it (or the session) let go.
    bool leave(QWidget* window, Way way)
    {
        switch (way) {
        case Way::CloseButton:
            window->close();
            return !window->isVisible();
        case Way::Escape:
            window->activateWindow(); // Esc reaches the window that has the keyboard
            EXPECT_TRUE(QTest::qWaitForWindowActive(window));
            QTest::keyClick(window, Qt::Key_Escape);
            return !window->isVisible();
        case Way::SessionEnd:
            return WayOut::mayEndSession();
        }
        return false;
    }
};

TEST_P(WaysOut, AskOnlyWhenWorkWouldBeLostAndStayOnNo)
{
    const WayOutRow& row = GetParam();
    QWidget* window = row.prepare(app);
    ASSERT_TRUE(window->isVisible());
    if (row.question.isEmpty()) {
        EXPECT_TRUE(leave(window, row.way));
        EXPECT_TRUE(takeMessages().isEmpty());
        return;
    }
    dialogs.answer(false);
    EXPECT_FALSE(leave(window, row.way));
    EXPECT_TRUE(window->isVisible());
    dialogs.answer(true);
    EXPECT_TRUE(leave(window, row.way));
    EXPECT_EQ(dialogs.shown.last().kind, ScriptedDialogs::Kind::Risky); // いいえ the default
    EXPECT_EQ(takeMessages(), QStringList(2, row.question));
}

INSTANTIATE_TEST_SUITE_P(Rows, WaysOut, testing::ValuesIn(Rows), [](const auto& row) {
    QString name = QString::fromLatin1(row.param.name);
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z]+")), QStringLiteral("_"));
    return name.toStdString();
});

} // namespace
