#include "gui/search/Form4.h"

#include "core/files/FacilitySettings.h"
#include "core/files/ListFiles.h"
#include "core/files/NumberForms.h"
#include "core/files/PersonalFile.h"
#include "core/rules/ReportData.h"
#include "core/texts/Messages.h"
#include "gui/platform/Fonts.h"
#include "gui/platform/PrintOutcome.h"
#include "gui/platform/WaitCursor.h"
#include "gui/reports/MonthlyList.h"
#include "gui/reports/PersonalRecord.h"
#include "gui/reports/RegistrantTable.h"
#include "gui/widgets/Controls.h"
#include "gui/widgets/Twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>

namespace velmora {
namespace {

const QString NoFiscalYearMessage = QStringLiteral("表示年度を入力して下さい");
const QString NoMonthMessage = QStringLiteral("年月を指定して下さい");
const QString PrinterQuestion = QStringLiteral("プリンターＯＫ？");

// The picture of the leave button: an open door with an arrow going out.
QIcon byeIcon()
{
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(90, 60, 30), 1.5));
    painter.setBrush(QColor(205, 160, 100));
    painter.drawRect(QRectF(3.5, 2.5, 11, 19));
    painter.setBrush(QColor(60, 40, 20));
    painter.drawEllipse(QPointF(12, 12), 1.2, 1.2);
    QPainterPath arrow;
    arrow.moveTo(13, 12);
    arrow.lineTo(21, 12);
    painter.setPen(QPen(QColor(200, 30, 30), 2.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(arrow);
    painter.drawLine(QPointF(18, 8.5), QPointF(21.5, 12));
    painter.drawLine(QPointF(18, 15.5), QPointF(21.5, 12));
    return QIcon(pixmap);
}

} // namespace

Form4::Form4(SharedState& sharedState, const DataDir& dir, Dialogs& messageBoxes, Printer& systemPrinter)
    : state(sharedState), dataDir(dir), dialogs(messageBoxes), printer(systemPrinter)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("個人被曝線量　データ検索・表示"));
    setClientTwips(this, 14370, 9195);
    setFont(systemFont(GothicFont, 9));
    buildControls();
    connectKeys();

    connect(Command1, &QPushButton::clicked, this, &Form4::Command1Click);
    connect(Command2, &QPushButton::clicked, this, &Form4::Command2Click);
    connect(List1, &QListWidget::itemSelectionChanged, this, &Form4::List1SelectionChanged);
    connect(List1, &QListWidget::itemClicked, this, &Form4::List1Click);
    List1->viewport()->installEventFilter(this);
    connect(Command3, &QPushButton::clicked, this, &Form4::Command3Click);
    connect(Command4, &QPushButton::clicked, this, &Form4::Command4Click);
    connect(Command5, &QPushButton::clicked, this, &Form4::Command5Click);
    connect(Command6, &QPushButton::clicked, this, &Form4::Command6Click);
    connect(Command7, &QPushButton::clicked, this, &Form4::Command7Click);
    connect(Command8, &QPushButton::clicked, this, &Form4::Command8Click);
    connect(Command9, &QPushButton::clicked, this, &Form4::Command9Click);
}

void Form4::buildControls()
{
    const QFont captionFont = systemFont(ProportionalGothicFont, 11.25);
    List1 = makeList(this, QStringLiteral("List1"), 240, 600, 2775, 7485);
    List1->setFont(systemFont(GothicFont, 11.25));
    Picture1 = new PictureBox(QStringLiteral("Picture1"), this);
    placeTwips(Picture1, 3240, 600, 10935, 7815);
    Picture1->setFocusPolicy(Qt::StrongFocus);
    Command1 = makeButton(this, QStringLiteral("Command1"), QStringLiteral("登録者リスト"), 240, 120, 1335, 375);
    Command2 = makeButton(this, QStringLiteral("Command2"), QStringLiteral("抹消者リスト"), 1680, 120, 1335, 375);
    for (QWidget* small : {Command1, Command2})
        small->setFont(systemFont(ProportionalGothicFont, 9));
    Text1 = makeTextBox(this, QStringLiteral("Text1"), 480, 8160, 1335, 375);
    QLabel* label1 = makeLabel(this, QStringLiteral("Label1"), QStringLiteral("年度"), 1800, 8160, 855, 375);
    Command3 = makeButton(this, QStringLiteral("Command3"), QStringLiteral("表示"), 480, 8640, 2175, 495);
    Command4 = makeButton(this, QStringLiteral("Command4"), QStringLiteral("印刷"), 8880, 8640, 1575, 495);
    Command5 = makeButton(this, QStringLiteral("Command5"), QString(), 13560, 8640, 495, 495);
    Command5->setIcon(byeIcon());
    Command5->setIconSize(QSize(24, 24));
    Command5->setToolTip(QStringLiteral(" bye "));
    Command6 = makeButton(this, QStringLiteral("Command6"), QStringLiteral("画面クリア"), 6960, 8640, 1575, 495);
    Command7 = makeButton(this, QStringLiteral("Command7"), QStringLiteral("登録者データ表"), 4440, 120, 2415, 375);
    Command8 = makeButton(this, QStringLiteral("Command8"), QStringLiteral("月別被曝一覧表"), 8040, 120, 2415, 375);
    for (QWidget* wide : {Command7, Command8})
        wide->setFont(systemFont(ProportionalGothicFont, 9.75));
    Text2 = makeTextBox(this, QStringLiteral("Text2"), 10560, 120, 1215, 375);
    QLabel* label2 = makeLabel(this, QStringLiteral("Label2"), QStringLiteral("年"), 11760, 120, 435, 375);
    Text3 = makeTextBox(this, QStringLiteral("Text3"), 12240, 120, 495, 375);
    QLabel* label3 = makeLabel(this, QStringLiteral("Label3"), QStringLiteral("月"), 12720, 120, 435, 375);
    Command9 = makeButton(this, QStringLiteral("Command9"), QStringLiteral("↓"), 7200, 120, 495, 375);
    Command9->setToolTip(QStringLiteral(" 続きを表示 "));
    for (QWidget* control :
         std::initializer_list<QWidget*>{Text1, label1, Command3, Command4, Command6, Text2, label2, Text3, label3})
        control->setFont(captionFont);
    for (QLabel* label : {label1, label2, label3})
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    QWidget* order[] = {List1,    Picture1, Command1, Command2, Text1, Command3, Command4,
                        Command5, Command6, Command7, Command8, Text2, Text3,    Command9};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void Form4::connectKeys()
{
    // Enter in a filled box moves on; "表示" takes no focus while it is disabled (no person chosen).
    moveOnEnter(Text1, Command3, true);
    moveOnEnter(Text2, Text3, true);
    moveOnEnter(Text3, Command8, true);
}

void Form4::clearPicture()
{
    Picture1->clear();
    Picture1->setForeColor(QColor(234, 234, 234));
    Picture1->setFontSize(36);
    Picture1->text(600, 700, QStringLiteral("個人被曝線量記録"));
    Picture1->setForeColor(Qt::black);
}

void Form4::clearForOpening()
{
    List1->clear();
    for (QLineEdit* box : {Text1, Text2, Text3})
        box->clear();
    clearPicture();
    Command3->setEnabled(false);
    Command4->setEnabled(false);
    report.mode = ReportMode::None;
}

void Form4::showRegistrants()
{
    const QSignalBlocker quiet(List1); // filling the list chooses nobody
    List1->clear();
    List1->addItems(state.registrants.names);
}

void Form4::Command1Click()
{
    // A missing list is an empty one; a damaged one leaves the list as it was.
    if (!registrantNamesExist(dataDir)) {
        state.registrants = RegistrantList{};
        showRegistrants();
        return;
    }
    const auto registrants = LoadRegistrantList(dataDir);
    if (!registrants) {
        dialogs.warn(messageOf(registrants.error()));
        return;
    }
    state.registrants = *registrants;
    showRegistrants();
}

void Form4::Command2Click()
{
    const auto removed = ReadRemovedNames(dataDir);
    if (!removed) {
        dialogs.warn(messageOf(removed.error()));
        return;
    }
    const QSignalBlocker quiet(List1);
    List1->clear();
    List1->addItems(*removed);
}

bool Form4::eventFilter(QObject* watched, QEvent* event)
{
    // Presses on the list are counted, so that a click can tell whether its own press chose the name.
    if (watched == List1->viewport() && event->type() == QEvent::MouseButtonPress)
        ++listPresses;
    return QWidget::eventFilter(watched, event);
}

void Form4::List1SelectionChanged()
{
    const QList<QListWidgetItem*> chosen = List1->selectedItems();
    if (!chosen.isEmpty())
        choosePerson(chosen.first()->text());
}

void Form4::List1Click(QListWidgetItem* item)
{
    // A click on the name already highlighted chooses it again; a click on another name chose it at its press.
    if (chosenAtPress != listPresses)
        choosePerson(item->text());
}

void Form4::choosePerson(const QString& name)
{
    chosenAtPress = listPresses;
    auto person = ReadPersonalFile(dataDir, name);
    if (!person) {
        dialogs.warn(messageOf(person.error()));
        chooseNobody();
        return;
    }
    report.mode = ReportMode::PersonalRecord;
    state.current = std::move(*person);
    Command3->setEnabled(true);
    Text1->setFocus();
}

void Form4::chooseNobody()
{
    const QSignalBlocker quiet(List1);
    List1->clearSelection();
    state.current = {};
    Command3->setEnabled(false);
    // A record on the surface belongs to nobody chosen now: it is not printed for someone else.
    if (report.mode == ReportMode::PersonalRecord) {
        report.mode = ReportMode::None;
        Command4->setEnabled(false);
    }
}

bool Form4::acceptFiscalYear()
{
    if (!Text1->text().isEmpty() && isShowableFiscalYear(Text1->text()))
        return true;
    dialogs.warn(NoFiscalYearMessage);
    Text1->setFocus();
    return false;
}

void Form4::Command3Click()
{
    if (!acceptFiscalYear())
        return;
    report.mode = ReportMode::PersonalRecord;
    ShowPersonalRecord(*Picture1, state.current, Text1->text());
    offerPrinting();
}

void Form4::Command7Click()
{
    QStringList unreadable;
    {
        const WaitCursor wait;
        report.names = state.registrants.names;
        report.registrantSummary = gatherRegistrantSummary(dataDir, report.names, unreadable);
    }
    report.mode = ReportMode::RegistrantTable;
    report.nextRow = 1;
    drawTablePage();
    offerPrinting();
    reportUnreadable(unreadable);
}

void Form4::Command8Click()
{
    if (Text2->text().isEmpty() || Text3->text().isEmpty()) {
        dialogs.inform(NoMonthMessage);
        Text2->setFocus();
        return;
    }
    // A year and month that make no whole key (2005.5) match no record: every row shows "―".
    const std::optional<MonthKey> key = typedMonthKey(Text2->text(), Text3->text());
    QStringList unreadable;
    {
        const WaitCursor wait;
        report.names = state.registrants.names;
        report.year = Text2->text();
        report.month = Text3->text();
        report.monthRows = gatherMonthRows(dataDir, report.names, key, unreadable);
    }
    report.mode = ReportMode::MonthlyList;
    report.nextRow = 1;
    drawListPage();
    offerPrinting();
    reportUnreadable(unreadable);
}

void Form4::Command9Click()
{
    if (report.mode == ReportMode::RegistrantTable)
        drawTablePage();
    else if (report.mode == ReportMode::MonthlyList)
        drawListPage();
}

void Form4::drawTablePage()
{
    ShowRegistrantTable(*Picture1, {report.names, report.registrantSummary}, report.nextRow);
}

void Form4::drawListPage()
{
    ShowMonthlyList(*Picture1, {report.year, report.month, report.names, report.monthRows}, report.nextRow);
}

void Form4::offerPrinting()
{
    QCoreApplication::processEvents();
    Command4->setEnabled(true);
}

void Form4::reportUnreadable(const QStringList& files)
{
    if (!files.isEmpty())
        dialogs.warn(unreadableFilesMessage(files));
}

void Form4::Command4Click()
{
    if (report.mode == ReportMode::PersonalRecord && !acceptFiscalYear())
        return;
    if (!dialogs.confirmYesNo(PrinterQuestion))
        return;
    {
        const WaitCursor wait;
        // The facility at the foot of every page; a facility file that does not read leaves it off.
        const auto facility = ReadFacility(dataDir);
        const QString footer = facility ? facilityLine(*facility) : QString();
        switch (report.mode) {
        case ReportMode::PersonalRecord:
            PrintPersonalRecord(printer, state.current, Text1->text(), footer);
            break;
        case ReportMode::RegistrantTable:
            report.nextRow = 1;
            PrintRegistrantTable(printer, {report.names, report.registrantSummary}, report.nextRow, footer);
            break;
        case ReportMode::MonthlyList:
            report.nextRow = 1;
            PrintMonthlyList(printer, {report.year, report.month, report.names, report.monthRows}, report.nextRow,
                             footer);
            break;
        case ReportMode::None:
            return;
        }
    }
    tellPrintOutcome(printer, dialogs);
}

void Form4::Command6Click()
{
    clearPicture();
    Command4->setEnabled(false);
}

void Form4::Command5Click()
{
    hide();
    emit returnedToMenu();
}

void Form4::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit returnedToMenu();
}

} // namespace velmora
