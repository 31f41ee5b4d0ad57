#include "gui/widgets/WayOut.h"
#include "core/files/PersonalFile.h"
#include "support/Stores.h"
#include "support/WindowTest.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

const QString Yamada = QStringLiteral("山田");
const QString ExitQuestion = QStringLiteral("データ入力を終了・キャンセルしますか？");
const QString DropCorrections = QStringLiteral("訂正したデータがあります。訂正をキャンセルしますか？");

enum class Way { CloseButton, Escape, SessionEnd };
enum class State {
    Entry,
    EntryTyped,
    EntryConfirmed,
    Correction,
    CorrectionTyped,
    CorrectionCorrected,
    RegistrationTyped,
    Examination,
    ExaminationTyped,
    OtherFacilityTyped
};

// A window brought into a state, left one way: the question asked (none when nothing would be lost), and
// after いいえ the window stays with its work.
struct WayOutRow {
    const char* name;
    State state;
    Way way;
    QString question;
};

const WayOutRow Rows[] = {
    {"EntryClosed", State::Entry, Way::CloseButton, {}},
    {"EntrySessionEnd", State::Entry, Way::SessionEnd, {}},
    {"EntryTypedClosed", State::EntryTyped, Way::CloseButton, ExitQuestion},
    {"EntryTypedEscape", State::EntryTyped, Way::Escape, ExitQuestion},
    {"EntryTypedSessionEnd", State::EntryTyped, Way::SessionEnd, ExitQuestion},
    {"CorrectionClosed", State::Correction, Way::CloseButton, {}},
    {"CorrectionCorrectedEscape", State::CorrectionCorrected, Way::Escape, DropCorrections},
    {"CorrectionTypedClosed", State::CorrectionTyped, Way::CloseButton, DropCorrections},
    {"CorrectionTypedSessionEnd", State::CorrectionTyped, Way::SessionEnd, DropCorrections},
    {"RegistrationTypedEscape", State::RegistrationTyped, Way::Escape, {}},
    {"EntryConfirmedClosed", State::EntryConfirmed, Way::CloseButton,
     QStringLiteral("確定した1名分の値が保存されていません。") + ExitQuestion},
    {"ExaminationClosed", State::Examination, Way::CloseButton, {}},
    {"ExaminationTypedEscape", State::ExaminationTyped, Way::Escape,
     QStringLiteral("入力した健康診断は保存されていません。閉じますか？")},
    {"ExaminationTypedSessionEnd", State::ExaminationTyped, Way::SessionEnd,
     QStringLiteral("入力した健康診断は保存されていません。閉じますか？")},
    {"OtherFacilityTypedClosed", State::OtherFacilityTyped, Way::CloseButton,
     QStringLiteral("入力した内容は保存されていません。閉じますか？")},
};

class WaysOut : public WindowTest, public testing::WithParamInterface<WayOutRow> {
protected:
    void SetUp() override
    {
        makeStore(app.dataDir, {Yamada});
        ASSERT_TRUE(AppendMonthlyRecord(app.dataDir, Yamada, {200504, 1}));
        click(app.form1().Command1);
    }
    QWidget* prepare(State state)
    {
        switch (state) {
        case State::Entry:
            return &app.form2();
        case State::EntryTyped:
            QTest::keyClicks(app.form2().Text8, QStringLiteral("1"));
            return &app.form2();
        case State::EntryConfirmed:
            for (const auto& [box, text] : {std::pair{app.form2().Text7, "2005"}, std::pair{app.form2().Text6, "5"}}) {
                QTest::keyClicks(box, QString::fromLatin1(text));
                QTest::keyClick(box, Qt::Key_Return);
            }
            doubleClick(app.form2().List1, Yamada);
            app.form2().Text8->setText(QStringLiteral("1"));
            click(app.form2().Command4);
            return &app.form2();
        case State::Examination:
        case State::ExaminationTyped:
            app.examinationWindow().open(true);
            app.examinationWindow().show();
            if (state == State::ExaminationTyped)
                QTest::keyClicks(app.examinationWindow().DayBox, QStringLiteral("2026/11/20"));
            return &app.examinationWindow();
        case State::OtherFacilityTyped:
            app.otherFacilityWindow().openFor(Yamada, true);
            app.otherFacilityWindow().show();
            app.otherFacilityWindow().FacilityBox->setText(QStringLiteral("B病院"));
            return &app.otherFacilityWindow();
        case State::RegistrationTyped:
            click(app.form2().Command1);
            app.form3().Text2->setText(QStringLiteral("田中"));
            return &app.form3();
        case State::Correction:
        case State::CorrectionTyped:
        case State::CorrectionCorrected:
            break;
        }
        doubleClick(app.form2().List1, Yamada);
        click(app.form2().Command8);
        if (state != State::Correction) {
            app.form6().List1->setCurrentRow(0);
            app.form6().Text8->setText(QStringLiteral("7.77"));
        }
        if (state == State::CorrectionCorrected)
            click(app.form6().Command4);
        return &app.form6();
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
    QWidget* window = prepare(row.state);
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

INSTANTIATE_TEST_SUITE_P(Rows, WaysOut, testing::ValuesIn(Rows), [](const auto& row) { return row.param.name; });

} // namespace
