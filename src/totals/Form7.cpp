#include "Form7.h"

#include "TotalsCsv.h"
#include "platform/Controls.h"
#include "platform/Fonts.h"
#include "platform/PrintOutcome.h"
#include "platform/Twips.h"
#include "store/FileWriter.h"
#include "store/ListFiles.h"
#include "store/Messages.h"
#include "store/NumberForms.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>

namespace velmora {
namespace {

const QColor ExceededColor(255, 190, 190);
const QColor WarningColor(255, 224, 160);
constexpr int RowsPerPage = 30;

// A cell that sorts by its number rather than by its text.
class NumberItem : public QTableWidgetItem {
public:
    NumberItem(const QString& text, double value) : QTableWidgetItem(text) { setData(Qt::UserRole, value); }
    bool operator<(const QTableWidgetItem& other) const override
    {
        return data(Qt::UserRole).toDouble() < other.data(Qt::UserRole).toDouble();
    }
};

QString verdictText(const TotalsRow& row)
{
    return row.totals ? verdictText(row.totals->verdict) : QStringLiteral("読込不可");
}

bool flagged(const TotalsRow& row)
{
    return !row.totals || row.totals->verdict != Verdict::Within;
}

} // namespace

QStringList totalsCells(const TotalsRow& row)
{
    QStringList cells{row.totals ? plainForm(row.registrationNumber) : QString(), row.name,
                      row.totals ? (row.sexCode == 0 ? QStringLiteral("男") : QStringLiteral("女")) : QString()};
    if (!row.totals) {
        for (int column = 3; column < Form7::Headings.size() - 2; ++column)
            cells << QString();
        return cells << verdictText(row) << row.unreadable;
    }
    const DoseTotals& t = *row.totals;
    const auto block = [](const std::optional<double>& total) { return total ? totalsForm(*total) : QString(); };
    for (double quarter : t.effectiveQuarters)
        cells << totalsForm(quarter);
    cells << totalsForm(t.effectiveYear) << block(t.effectiveBlock) << totalsForm(t.lensYear) << block(t.lensBlock)
          << totalsForm(t.skinYear);
    return cells << verdictText(row) << t.reasons.join(QStringLiteral("／"));
}

Form7::Form7(const DataDir& dir, Dialogs& messageBoxes, Printer& systemPrinter, const Clock& systemClock)
    : dataDir(dir), dialogs(messageBoxes), printer(systemPrinter), clock(systemClock)
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("線量集計・限度確認"));
    setClientTwips(this, 15000, 9600);
    setFont(systemFont(ProportionalGothicFont, 11.25));

    makeLabel(this, QStringLiteral("Label1"), QStringLiteral("年度"), 240, 180, 495, 330);
    Text1 = makeTextBox(this, QStringLiteral("Text1"), 720, 120, 1095, 375);
    Command1 = makeButton(this, QStringLiteral("Command1"), QStringLiteral("集計"), 1920, 120, 1335, 375);
    Check1 = new QCheckBox(QStringLiteral("注意・超過のみ表示"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    placeTwips(Check1, 3480, 150, 3000, 330);
    Table1 = new QTableWidget(0, static_cast<int>(Headings.size()), this);
    Table1->setObjectName(QStringLiteral("Table1"));
    Table1->setHorizontalHeaderLabels(Headings);
    Table1->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table1->setSelectionMode(QAbstractItemView::SingleSelection);
    Table1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table1->verticalHeader()->hide();
    // List order until the user sorts by a column; a refill keeps the column chosen.
    Table1->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    Table1->setFont(systemFont(GothicFont, 9));
    Table1->verticalHeader()->setDefaultSectionSize(20);
    placeTwips(Table1, 240, 600, 10200, 7800);
    Table2 = new QTableWidget(0, 3, this);
    Table2->setObjectName(QStringLiteral("Table2"));
    Table2->setHorizontalHeaderLabels({QStringLiteral("実効"), QStringLiteral("水晶体"), QStringLiteral("皮膚")});
    Table2->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table2->setFont(systemFont(GothicFont, 9));
    Table2->verticalHeader()->setDefaultSectionSize(20);
    placeTwips(Table2, 10560, 600, 4200, 7800);
    Command2 = makeButton(this, QStringLiteral("Command2"), QStringLiteral("印刷"), 240, 8640, 1575, 495);
    Command3 = makeButton(this, QStringLiteral("Command3"), QStringLiteral("CSV保存"), 1920, 8640, 1575, 495);
    Command4 = makeButton(this, QStringLiteral("Command4"), QStringLiteral("戻る"), 13200, 8640, 1575, 495);

    moveOnEnter(Text1, Command1, true);
    connect(Text1, &QLineEdit::returnPressed, this, &Form7::Command1Click);
    connect(Command1, &QPushButton::clicked, this, &Form7::Command1Click);
    connect(Check1, &QCheckBox::toggled, this, &Form7::Check1Toggled);
    connect(Table1, &QTableWidget::itemSelectionChanged, this, &Form7::Table1SelectionChanged);
    connect(Command2, &QPushButton::clicked, this, &Form7::Command2Click);
    connect(Command3, &QPushButton::clicked, this, &Form7::Command3Click);
    connect(Command4, &QPushButton::clicked, this, &Form7::Command4Click);
}

void Form7::openForCurrentYear()
{
    Text1->setText(QString::number(fiscalYearOf(clock.now().date().year() * 100 + clock.now().date().month())));
    Command1Click();
}

std::optional<int> Form7::typedFiscalYear()
{
    bool whole = false;
    const int year = Text1->text().trimmed().toInt(&whole);
    if (!whole || year < 1 || year > 9999) {
        dialogs.warn(QStringLiteral("表示年度を入力して下さい"));
        Text1->setFocus();
        return std::nullopt;
    }
    return year;
}

void Form7::Command1Click()
{
    const auto year = typedFiscalYear();
    if (!year)
        return;
    const auto registrants = LoadRegistrantList(dataDir);
    if (!registrants) {
        dialogs.warn(messageOf(registrants.error()));
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    fiscalYear = *year;
    rows = gatherDoseTotals(dataDir, registrants->names, fiscalYear);
    fillTable();
    QApplication::restoreOverrideCursor();
    QStringList unreadable;
    for (const TotalsRow& row : rows)
        if (!row.totals)
            unreadable << DataDir::shownPersonalFile(row.name);
    if (!unreadable.isEmpty())
        dialogs.warn(unreadableFilesMessage(unreadable));
}

void Form7::fillTable()
{
    const QSignalBlocker quiet(Table1);
    Table1->setSortingEnabled(false);
    Table1->setRowCount(0);
    Table2->setRowCount(0);
    for (const TotalsRow& row : rows) {
        if (Check1->isChecked() && !flagged(row))
            continue;
        const int at = Table1->rowCount();
        Table1->insertRow(at);
        const QStringList cells = totalsCells(row);
        for (int column = 0; column < cells.size(); ++column) {
            bool number = false;
            const double value = cells[column].toDouble(&number);
            auto* item = number ? new NumberItem(cells[column], value) : new QTableWidgetItem(cells[column]);
            if (number)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (row.totals && row.totals->verdict != Verdict::Within)
                item->setBackground(row.totals->verdict == Verdict::Exceeded ? ExceededColor : WarningColor);
            item->setData(Qt::UserRole + 1, static_cast<int>(&row - rows.constData()));
            Table1->setItem(at, column, item);
        }
    }
    Table1->resizeColumnsToContents();
    Table1->setSortingEnabled(true);
}

void Form7::Check1Toggled()
{
    fillTable();
}

void Form7::Table1SelectionChanged()
{
    const QList<QTableWidgetItem*> chosen = Table1->selectedItems();
    if (!chosen.isEmpty())
        showPerson(rows[chosen.first()->data(Qt::UserRole + 1).toInt()]);
}

void Form7::showPerson(const TotalsRow& row)
{
    Table2->setRowCount(0);
    if (!row.totals)
        return;
    const DoseTotals& t = *row.totals;
    QStringList labels;
    QList<std::array<double, 3>> values;
    for (int slot = 0; slot < 12; ++slot) {
        labels << QStringLiteral("%1年%2月")
                      .arg(slot < 9 ? fiscalYear : fiscalYear + 1)
                      .arg(slot < 9 ? slot + 4 : slot - 8);
        values.append({t.effectiveMonths[slot], t.lensMonths[slot], t.skinMonths[slot]});
    }
    for (int quarter = 0; quarter < 4; ++quarter) {
        labels << QStringLiteral("Q%1").arg(quarter + 1);
        values.append({t.effectiveQuarters[quarter], t.lensQuarters[quarter], t.skinQuarters[quarter]});
    }
    labels << QStringLiteral("年度");
    values.append({t.effectiveYear, t.lensYear, t.skinYear});
    for (const DoseTotals::BlockYear& year : t.blockYears) {
        labels << QStringLiteral("%1年度 累積").arg(year.fiscalYear);
        values.append({year.runningTotal, 0, 0});
    }
    Table2->setRowCount(static_cast<int>(labels.size()));
    Table2->setVerticalHeaderLabels(labels);
    for (int at = 0; at < labels.size(); ++at)
        for (int column = 0; column < 3; ++column) {
            const bool blockRow = at >= 17;
            auto* item = new QTableWidgetItem(blockRow && column > 0 ? QString() : totalsForm(values[at][column]));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            Table2->setItem(at, column, item);
        }
}

void Form7::Command2Click()
{
    if (rows.isEmpty() || !dialogs.confirmYesNo(QStringLiteral("プリンターＯＫ？")))
        return;
    PrintDoseTotals(printer, rows, fiscalYear);
    tellPrintOutcome(printer, dialogs);
}

void Form7::Command3Click()
{
    if (rows.isEmpty())
        return;
    const QString name = QStringLiteral("線量集計_%1年度.csv").arg(fiscalYear);
    const QString path = QDir(dataDir.root()).filePath(name);
    if (const auto saved = replaceFile(path, name, totalsCsv(rows, fiscalYear)); !saved) {
        dialogs.warn(messageOf(saved.error()));
        return;
    }
    dialogs.inform(QStringLiteral("ファイル「%1」に保存しました。\n%2").arg(name, path));
}

void Form7::Command4Click()
{
    hide();
    emit returnedToMenu();
}

void Form7::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit returnedToMenu();
}

void PrintDoseTotals(Printer& printer, const QList<TotalsRow>& rows, int fiscalYear)
{
    // Columns in millimetres from the left edge of an A4 landscape page.
    static const double Left[] = {12, 26, 56, 64, 78, 92, 106, 120, 136, 152, 170, 188, 204, 214};
    qsizetype next = 0;
    do {
        Surface& page = printer.beginDocument(QStringLiteral("線量集計"));
        page.setForeColor(Qt::black);
        page.setLineWidth(1);
        page.setFontSize(14);
        page.text(12, 8, QStringLiteral("線量集計・限度確認（%1年度）").arg(fiscalYear));
        page.setFontSize(7);
        for (int column = 0; column < Form7::Headings.size(); ++column)
            page.text(Left[column], 22, Form7::Headings[column]);
        page.line(12, 27, 285, 27, Qt::black);
        for (int line = 0; line < RowsPerPage && next < rows.size(); ++line, ++next) {
            const QStringList cells = totalsCells(rows[next]);
            for (int column = 0; column < cells.size(); ++column)
                page.text(Left[column], 29 + 5.8 * line, cells[column]);
        }
        printer.endDocument();
    } while (next < rows.size());
}

} // namespace velmora
