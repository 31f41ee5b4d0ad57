#include "gui/dialogs/DataFolderWindow.h"
#include "gui/entry/ImportLayoutWindow.h"
#include "gui/entry/ServiceReviewWindow.h"
#include "gui/widgets/Twips.h"
#include "support/Stores.h"
#include "support/WindowTest.h"

#include <QApplication>
#include <QScreen>

using namespace velmora;
using namespace velmora::test;

namespace {

// The program's smallest screen, 1366 × 768, is the test platform's screen (tests/data/screen-1366x768.json).
class WindowsFit : public WindowTest {
protected:
    // Every window fits the screen below its title bar, every button inside it; shown where it would stand
    // past the screen's corner, it is moved in.
    void expectFits(QWidget& window)
    {
        window.move(1200, 700);
        showAndActivate(&window);
        QApplication::processEvents();
        EXPECT_TRUE(window.screen()->availableGeometry().contains(window.frameGeometry()))
            << window.objectName().toStdString();
        const QSize room = window.screen()->availableSize() - QSize(0, 30);
        ASSERT_EQ(window.screen()->size(), QSize(1366, 768));
        EXPECT_LE(window.width(), room.width()) << window.objectName().toStdString();
        EXPECT_LE(window.height(), room.height()) << window.objectName().toStdString();
        const QRect inView(QPoint(), window.size().boundedTo(room));
        for (const QPushButton* button : window.findChildren<QPushButton*>()) {
            const QRect place(button->mapTo(&window, QPoint()), button->size());
            EXPECT_TRUE(!button->isVisibleTo(&window) || inView.contains(place))
                << window.objectName().toStdString() << " " << button->text().toStdString();
            // Its caption whole inside it, with the frame's margin on either side.
            QString caption = button->text();
            caption.remove(QLatin1Char('&'));
            EXPECT_TRUE(!button->isVisibleTo(&window) ||
                        button->fontMetrics().horizontalAdvance(caption) + 6 <= button->width())
                << window.objectName().toStdString() << " " << caption.toStdString();
        }
        window.hide();
    }
};

TEST_F(WindowsFit, EveryWindowShowsItsButtonsOnA1366By768Screen)
{
    makeStore(app.dataDir, {QStringLiteral("山田")});
    expectFits(app.form1());
    click(app.form1().Command1);
    expectFits(app.form2());
    expectFits(app.form3());
    expectFits(app.form6());
    dialogs.answer(true);
    click(app.form2().Command2);
    click(app.form1().Command2);
    expectFits(app.form4());
    click(app.form1().Command4);
    TotalsWindow& totals = app.totalsWindow();
    expectFits(totals);
    totals.FrozenTable->selectRow(0);
    click(totals.DistributionButton);
    expectFits(totals.distributionWindow);
    click(totals.PersonChartButton);
    expectFits(totals.personChartWindow);
    click(totals.HistoryButton);
    expectFits(app.historyWindow());
    click(totals.AdditionsButton);
    expectFits(app.otherFacilityWindow());
    app.otherFacilityWindow().close();
    click(totals.ExaminationsButton);
    expectFits(app.examinationWindow());
    DataFolderWindow folder(temp.path());
    expectFits(folder);
    // A wide service file: twenty columns of long headings below a title.
    QStringList headings;
    for (int c = 0; c < 20; ++c)
        headings << QStringLiteral("測定値（部位・線量当量）%1").arg(c);
    ImportLayoutWindow layout(QStringLiteral("個人線量報告書_2025年4月分.csv"),
                              {{QStringLiteral("個人線量報告書")}, headings},
                              proposedLayout({}, QStringLiteral("報告")), dialogs);
    expectFits(layout);
    ServiceReviewWindow review(ServiceImport{}, QStringLiteral("2025年4月"));
    expectFits(review);
}

} // namespace
