#include "store/ListFiles.h"
#include "store/PersonalFile.h"
#include "support/Stores.h"
#include "support/WindowTest.h"

#include <QCheckBox>
#include <QTableWidget>

using namespace velmora;
using namespace velmora::test;

namespace {

class DoseTotalsWindow : public WindowTest {
protected:
    void SetUp() override
    {
        makeStore(app.dataDir, {QStringLiteral("山田"), QStringLiteral("鈴木"), QStringLiteral("佐藤")});
        ASSERT_TRUE(AppendMonthlyRecord(app.dataDir, QStringLiteral("山田"), {202604, 4.5, 0, 0, 0, NoComment}));
        ASSERT_TRUE(AppendMonthlyRecord(app.dataDir, QStringLiteral("鈴木"), {202605, 60, 0, 0, 0, NoComment}));
    }
    QString cell(int row, int column) const { return form.Table1->item(row, column)->text(); }

    Form7& form = app.form7;
};

TEST_F(DoseTotalsWindow, OpensFromTheMenuForTheCurrentYearWithFlaggedRowsColouredSortedPrintedAndSaved)
{
    click(app.form1.Command4);
    ASSERT_TRUE(form.isVisible());
    EXPECT_EQ(form.Text1->text(), "2026"); // December 2026 belongs to the fiscal year 2026
    ASSERT_EQ(form.Table1->rowCount(), 3);
    EXPECT_EQ(cell(0, 1), QStringLiteral("山田"));
    EXPECT_EQ(cell(0, 12), QStringLiteral("注意"));
    EXPECT_EQ(form.Table1->item(0, 1)->background().color(), QColor(255, 224, 160));
    EXPECT_EQ(cell(1, 12), QStringLiteral("超過"));
    EXPECT_EQ(form.Table1->item(1, 7)->background().color(), QColor(255, 190, 190));
    EXPECT_EQ(cell(2, 12), QString());

    form.Table1->sortItems(7, Qt::DescendingOrder); // 実効 年度, by number
    EXPECT_EQ(cell(0, 1), QStringLiteral("鈴木"));
    form.Table1->selectRow(0);
    EXPECT_EQ(form.Table2->rowCount(), 18); // 12 months, 4 quarters, the year, and the block's running total
    EXPECT_EQ(form.Table2->item(1, 0)->text(), "60");
    form.Check1->click();
    EXPECT_EQ(form.Table1->rowCount(), 2);

    click(form.Command3);
    EXPECT_TRUE(QFileInfo::exists(path(QStringLiteral("線量集計_2026年度.csv"))));
    dialogs.answer(true);
    click(form.Command2);
    EXPECT_EQ(QDir(path(QStringLiteral("印刷"))).entryList(QDir::Files),
              QStringList{QStringLiteral("線量集計_20261207-101500_p1.pdf")});
    takeMessages();
    click(form.Command4);
    EXPECT_TRUE(app.form1.isVisible());
    EXPECT_EQ(snapshot(path(DoseDataFolder)).size(), 3); // nothing written into the store
}

} // namespace
