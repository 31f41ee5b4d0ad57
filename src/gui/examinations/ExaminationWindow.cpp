#include "gui/examinations/ExaminationWindow.h"

#include "core/changes/RecordedWrites.h"
#include "core/files/FacilitySettings.h"
#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"
#include "core/files/PositionalForms.h"
#include "core/model/Calendar.h"
#include "core/rules/ExaminationRules.h"
#include "core/texts/Messages.h"
#include "gui/platform/Fonts.h"
#include "gui/reports/ExaminationPages.h"
#include "gui/widgets/Controls.h"
#include "gui/widgets/WayOut.h"

#include <QBoxLayout>
#include <QFormLayout>
#include <QGroupBox>

namespace velmora {
namespace {

const QString ResultTexts[] = {QStringLiteral("省略"), QStringLiteral("所見なし"), QStringLiteral("所見あり")};

QString dayText(qint64 day)
{
    return dateWithSlashes(static_cast<double>(day));
}

QString facilityOf(const DataDir& dir)
{
    const auto facility = ReadFacility(dir);
    return facility ? facilityLine(*facility) : QString();
}

} // namespace

ExaminationWindow::ExaminationWindow(SharedState& sharedState, const DataDir& dir, Dialogs& messageBoxes,
                                     Printer& systemPrinter, const Clock& systemClock)
    : state(sharedState), dataDir(dir), dialogs(messageBoxes), printer(systemPrinter), clock(systemClock),
      sheetWindow(QStringLiteral("DoctorSheetWindow"), messageBoxes, systemPrinter, systemClock),
      reportWindow(QStringLiteral("ExaminationReportWindow"), messageBoxes, systemPrinter, systemClock)
{
    setObjectName(QStringLiteral("ExaminationWindow"));
    setWindowTitle(QStringLiteral("健康診断"));
    setWindowModality(Qt::ApplicationModal);
    setFont(systemFont(ProportionalGothicFont, 11.25));
    // The pages open over this window, which keeps everything else from input: they must take input themselves.
    sheetWindow.setWindowModality(Qt::ApplicationModal);
    reportWindow.setWindowModality(Qt::ApplicationModal);

    ShowOnlyNote = new QLabel(this);
    ShowOnlyNote->setObjectName(QStringLiteral("ShowOnlyNote"));
    ShowOnlyNote->setStyleSheet(QStringLiteral("color: #a00000"));
    ScheduleTable = makeRowTable(this, QStringLiteral("ScheduleTable"),
                                 {QStringLiteral("氏名"), QStringLiteral("前回"), QStringLiteral("種別"),
                                  QStringLiteral("次回期限"), QStringLiteral("状態")});
    ScheduleTable->setColumnWidth(0, 200);
    for (int column = 1; column <= 3; ++column)
        ScheduleTable->setColumnWidth(column, 110);

    auto* personGroup = new QGroupBox(QStringLiteral("選んだ人の健康診断（結果の数値は記録しません）"), this);
    QStringList headings{QStringLiteral("実施日"), QStringLiteral("種別")};
    for (int item = 0; item < ExaminationItems; ++item)
        headings << QStringLiteral("%1 %2").arg(item + 1).arg(examinationItemText(item));
    headings << QStringLiteral("医師の指示");
    ExamTable = makeRowTable(personGroup, QStringLiteral("ExamTable"), headings);
    DayBox = makeField(personGroup, QStringLiteral("DayBox"), 120);
    DayBox->setToolTip(QStringLiteral("例：2026/06/15"));
    KindBox = new QComboBox(personGroup);
    KindBox->setObjectName(QStringLiteral("KindBox"));
    for (const ExaminationKind kind :
         {ExaminationKind::Periodic, ExaminationKind::Hiring, ExaminationKind::Reassignment})
        KindBox->addItem(examinationKindText(kind), static_cast<int>(kind));
    auto* items = new QHBoxLayout;
    for (int item = 0; item < ExaminationItems; ++item) {
        auto* box = new QComboBox(personGroup);
        box->setObjectName(QStringLiteral("Item%1Box").arg(item + 1));
        // The exposure history is always taken: it has no 省略.
        for (int result = item == 0 ? 1 : 0; result < 3; ++result)
            box->addItem(ResultTexts[result], result);
        ItemBoxes[static_cast<size_t>(item)] = box;
        items->addWidget(new QLabel(QStringLiteral("%1 %2").arg(item + 1).arg(examinationItemText(item)), personGroup));
        items->addWidget(box);
    }
    items->addStretch();
    InstructedBox = new QCheckBox(QStringLiteral("医師の指示あり"), personGroup);
    InstructedBox->setObjectName(QStringLiteral("InstructedBox"));
    AddButton = new CommandButton(QStringLiteral("AddButton"), QStringLiteral("追加"), personGroup);
    ChangeButton = new CommandButton(QStringLiteral("ChangeButton"), QStringLiteral("訂正"), personGroup);
    DeleteButton = new CommandButton(QStringLiteral("DeleteButton"), QStringLiteral("削除"), personGroup);
    SheetButton = new CommandButton(QStringLiteral("SheetButton"), QStringLiteral("医師に示す線量"), personGroup);
    auto* dayLine = new QHBoxLayout;
    dayLine->addWidget(DayBox);
    dayLine->addWidget(new QLabel(QStringLiteral("種別"), personGroup));
    dayLine->addWidget(KindBox);
    dayLine->addWidget(InstructedBox);
    dayLine->addStretch();
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("実施日"), dayLine);
    fields->addRow(QStringLiteral("項目"), items);
    auto* personButtons = new QHBoxLayout;
    for (CommandButton* button : {AddButton, ChangeButton, DeleteButton})
        personButtons->addWidget(button);
    personButtons->addStretch();
    personButtons->addWidget(SheetButton);
    auto* personLayout = new QVBoxLayout(personGroup);
    personLayout->addWidget(ExamTable, 1);
    personLayout->addLayout(fields);
    personLayout->addLayout(personButtons);

    auto* papers = new QGroupBox(QStringLiteral("印刷"), this);
    DueMonthBox = makeField(papers, QStringLiteral("DueMonthBox"), 100);
    DueMonthBox->setToolTip(QStringLiteral("この月の末日までに期限となる人（期限切れ・記録なしを含む）"));
    DueSheetsButton =
        new CommandButton(QStringLiteral("DueSheetsButton"), QStringLiteral("期限の人の線量を印刷"), papers);
    ReportYearBox = makeField(papers, QStringLiteral("ReportYearBox"), 70);
    ReportHalfBox = new QComboBox(papers);
    ReportHalfBox->setObjectName(QStringLiteral("ReportHalfBox"));
    ReportHalfBox->addItem(QStringLiteral("1月～6月"), 1);
    ReportHalfBox->addItem(QStringLiteral("7月～12月"), 2);
    ReportButton = new CommandButton(QStringLiteral("ReportButton"), QStringLiteral("報告書の人数"), papers);
    auto* paperLine = new QHBoxLayout(papers);
    paperLine->addWidget(new QLabel(QStringLiteral("年月"), papers));
    paperLine->addWidget(DueMonthBox);
    paperLine->addWidget(DueSheetsButton);
    paperLine->addSpacing(30);
    paperLine->addWidget(new QLabel(QStringLiteral("結果報告（様式第2号）"), papers));
    paperLine->addWidget(ReportYearBox);
    paperLine->addWidget(new QLabel(QStringLiteral("年"), papers));
    paperLine->addWidget(ReportHalfBox);
    paperLine->addWidget(ReportButton);
    paperLine->addStretch();

    CloseButton = new CommandButton(QStringLiteral("CloseButton"), QStringLiteral("閉じる"), this);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(ShowOnlyNote, 1);
    bottom->addWidget(CloseButton);
    auto* window = new QVBoxLayout(this);
    window->addWidget(ScheduleTable, 3);
    window->addWidget(personGroup, 3);
    window->addWidget(papers);
    window->addLayout(bottom);
    resize(960, 700);
    // Tab follows the lines as they read: the day's line, then the items, then the buttons.
    QList<QWidget*> chain{ScheduleTable, ExamTable, DayBox, KindBox, InstructedBox};
    for (QComboBox* box : ItemBoxes)
        chain << box;
    chain << AddButton << ChangeButton << DeleteButton << SheetButton;
    for (qsizetype at = 1; at < chain.size(); ++at)
        setTabOrder(chain[at - 1], chain[at]);

    connect(ScheduleTable, &QTableWidget::itemSelectionChanged, this, [this] { showPerson(Fields::Latest); });
    connect(ExamTable, &QTableWidget::itemSelectionChanged, this, &ExaminationWindow::fillChosen);
    connect(AddButton, &QPushButton::clicked, this, &ExaminationWindow::addTyped);
    connect(ChangeButton, &QPushButton::clicked, this, &ExaminationWindow::replaceChosen);
    connect(DeleteButton, &QPushButton::clicked, this, &ExaminationWindow::deleteChosen);
    connect(SheetButton, &QPushButton::clicked, this, &ExaminationWindow::showSheet);
    connect(DueSheetsButton, &QPushButton::clicked, this, &ExaminationWindow::printDueSheets);
    connect(ReportButton, &QPushButton::clicked, this, &ExaminationWindow::showReport);
    connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
    QList<QWidget*> typed{DayBox, KindBox, InstructedBox};
    for (QComboBox* box : ItemBoxes)
        typed << box;
    work = TypedWork(typed);
    new WayOut(
        this, [this] { return isVisible() && editable && work.held(); },
        [this] { return dialogs.confirmRisky(QStringLiteral("入力した健康診断は保存されていません。閉じますか？")); },
        [this] { leave(); });
}

QDate ExaminationWindow::today() const
{
    return clock.now().date();
}

bool ExaminationWindow::open(bool mayChange)
{
    editable = mayChange;
    for (QWidget* control : std::initializer_list<QWidget*>{AddButton, ChangeButton, DeleteButton})
        control->setEnabled(editable);
    ShowOnlyNote->setText(editable ? QString()
                                   : QStringLiteral("ほかのPCがデータ入力中か、データフォルダに書き込めないため、"
                                                    "表示のみです"));
    const auto listed = LoadRegistrantList(dataDir);
    if (!listed) {
        dialogs.warn(messageOf(listed.error()));
        return false;
    }
    if (listed->names.isEmpty()) {
        dialogs.warn(QStringLiteral("データは１件もありません"));
        return false;
    }
    registrants = listed->names;
    const auto stored = ReadExaminations(dataDir);
    if (!stored)
        dialogs.warn(messageOf(stored.error()));
    examinations = stored ? *stored : QList<Examination>();
    const QDate now = today();
    DueMonthBox->setText(yearMonthText(monthOf(now)));
    ReportYearBox->setText(QString::number(now.year()));
    ReportHalfBox->setCurrentIndex(now.month() <= 6 ? 0 : 1);
    showSchedule(Fields::Latest);
    ScheduleTable->selectRow(0);
    return true;
}

QString ExaminationWindow::person() const
{
    const int row = ScheduleTable->currentRow();
    return row < 0 ? QString() : ScheduleTable->item(row, 0)->text();
}

void ExaminationWindow::showSchedule(Fields fields)
{
    const QString chosen = person();
    const auto schedule = examinationSchedule(registrants, examinations, today());
    const QSignalBlocker quiet(ScheduleTable);
    ScheduleTable->setRowCount(static_cast<int>(schedule.size()));
    for (int row = 0; row < schedule.size(); ++row) {
        const ExaminationStanding& s = schedule[row];
        const QString standing = !s.last     ? QStringLiteral("記録なし")
                                 : s.overdue ? QStringLiteral("期限切れ")
                                             : QString();
        fillRow(ScheduleTable, row,
                {s.name, s.last ? dayText(s.last->day) : QString(),
                 s.last ? examinationKindText(s.last->kind) : QString(),
                 s.due() ? s.due()->toString(QStringLiteral("yyyy/MM/dd")) : QString(), standing},
                -1, -1);
        if (s.overdue)
            ScheduleTable->item(row, 4)->setForeground(QColor(0xc0, 0, 0));
        if (s.name == chosen)
            ScheduleTable->selectRow(row);
    }
    showPerson(fields);
}

void ExaminationWindow::showPerson(Fields fields)
{
    shown = examinationsOf(person(), examinations);
    const QSignalBlocker quiet(ExamTable);
    ExamTable->setRowCount(static_cast<int>(shown.size()));
    for (int row = 0; row < shown.size(); ++row) {
        const Examination& e = shown[row];
        QStringList cells{dayText(e.day), examinationKindText(e.kind)};
        for (const ItemResult result : e.items)
            cells << ResultTexts[static_cast<int>(result)];
        cells << (e.instructed ? QStringLiteral("あり") : QStringLiteral("なし"));
        fillRow(ExamTable, row, cells, -1, -1);
    }
    if (fields == Fields::Kept)
        return;
    if (shown.isEmpty() || fields == Fields::Cleared) {
        clearFields();
    } else {
        ExamTable->selectRow(0);
        fillChosen();
    }
}

void ExaminationWindow::clearFields()
{
    const QSignalBlocker quiet(ExamTable);
    ExamTable->clearSelection();
    ExamTable->setCurrentCell(-1, -1);
    DayBox->clear();
    KindBox->setCurrentIndex(KindBox->findData(static_cast<int>(ExaminationKind::Periodic)));
    for (QComboBox* box : ItemBoxes)
        box->setCurrentIndex(box->findData(static_cast<int>(ItemResult::NoFindings)));
    InstructedBox->setChecked(false);
    work.shown();
}

void ExaminationWindow::fillChosen()
{
    const int row = ExamTable->currentRow();
    if (row < 0 || row >= shown.size())
        return;
    const Examination& e = shown[row];
    DayBox->setText(dayText(e.day));
    KindBox->setCurrentIndex(KindBox->findData(static_cast<int>(e.kind)));
    for (int item = 0; item < ExaminationItems; ++item)
        ItemBoxes[static_cast<size_t>(item)]->setCurrentIndex(
            ItemBoxes[static_cast<size_t>(item)]->findData(static_cast<int>(e.items[static_cast<size_t>(item)])));
    InstructedBox->setChecked(e.instructed);
    work.shown();
}

std::optional<Examination> ExaminationWindow::typedExamination(const QList<Examination>& others)
{
    if (person().isEmpty()) {
        dialogs.warn(QStringLiteral("一覧で人を選んで下さい"));
        return std::nullopt;
    }
    const auto day = typedDay(DayBox->text());
    if (!day) {
        dialogs.warn(entryFaultText(EntryFault::ExamDayNotADay));
        DayBox->setFocus();
        return std::nullopt;
    }
    Examination examination{person(), *day, static_cast<ExaminationKind>(KindBox->currentData().toInt())};
    for (int item = 0; item < ExaminationItems; ++item)
        examination.items[static_cast<size_t>(item)] =
            static_cast<ItemResult>(ItemBoxes[static_cast<size_t>(item)]->currentData().toInt());
    examination.instructed = InstructedBox->isChecked();
    const auto header = ReadPersonalHeader(dataDir, person(), 9);
    if (!header) {
        dialogs.warn(messageOf(header.error()));
        return std::nullopt;
    }
    if (const auto fault =
            examinationProblem(examination, others, today(), dayOf(static_cast<qint64>(header->dateOfBirth)))) {
        dialogs.warn(entryFaultText(*fault));
        return std::nullopt;
    }
    return examination;
}

bool ExaminationWindow::change(const std::function<void(QList<Examination>&)>& edit)
{
    const auto changed = [&] {
        if (const auto held = state.confirmEntryLock(); !held) {
            dialogs.warn(messageOf(held.error()));
            return false;
        }
        const Status written = ChangeList(dataDir, examinations, edit);
        if (!written)
            dialogs.warn(messageOf(written.error()));
        return isWritten(written);
    }();
    // Once stored the form is empty again; what was typed stays when nothing was stored, to be tried again.
    showSchedule(changed ? Fields::Cleared : Fields::Kept);
    return changed;
}

void ExaminationWindow::addTyped()
{
    if (const auto typed = typedExamination(examinations))
        change([&](QList<Examination>& list) { list.append(*typed); });
}

void ExaminationWindow::replaceChosen()
{
    const int row = ExamTable->currentRow();
    if (row < 0) {
        dialogs.warn(QStringLiteral("訂正する行を選んで下さい"));
        return;
    }
    const Examination old = shown[row];
    QList<Examination> others = examinations;
    others.removeOne(old);
    if (const auto typed = typedExamination(others))
        change([&](QList<Examination>& list) { list[list.indexOf(old)] = *typed; });
}

void ExaminationWindow::deleteChosen()
{
    const int row = ExamTable->currentRow();
    if (row < 0) {
        dialogs.warn(QStringLiteral("削除する行を選んで下さい"));
        return;
    }
    const Examination old = shown[row];
    if (dialogs.confirmRisky(QStringLiteral("%1の%2の健康診断（%3）を削除しますか？")
                                 .arg(old.name, dayText(old.day), examinationKindText(old.kind))))
        change([&](QList<Examination>& list) { list.removeAt(list.indexOf(old)); });
}

void ExaminationWindow::showSheet()
{
    if (person().isEmpty())
        return;
    const auto additions = ReadDoseAdditions(dataDir);
    if (!additions) {
        dialogs.warn(messageOf(additions.error()));
        return;
    }
    const auto sheet = doctorSheet(dataDir, person(), examinations, additions->value(person()), today());
    if (!sheet) {
        dialogs.warn(messageOf(sheet.error()));
        return;
    }
    sheetWindow.showPage(QStringLiteral("医師に示す線量　%1").arg(person()), QStringLiteral("健康診断_医師に示す線量"),
                         [sheet = *sheet, facility = facilityOf(dataDir)](Surface& surface, const ReportStyle& style,
                                                                          const QDate& printed) {
                             drawDoctorSheet(surface, style, sheet, printed, facility);
                         });
}

void ExaminationWindow::printDueSheets()
{
    const auto month = typedYearMonth(DueMonthBox->text());
    if (!month) {
        dialogs.warn(QStringLiteral("年月は「2026/07」のように入力して下さい"));
        DueMonthBox->setFocus();
        return;
    }
    const QDate monthEnd =
        QDate(static_cast<int>(*month / 100), static_cast<int>(*month % 100), 1).addMonths(1).addDays(-1);
    const auto additions = ReadDoseAdditions(dataDir);
    if (!additions) {
        dialogs.warn(messageOf(additions.error()));
        return;
    }
    QList<DoctorSheet> sheets;
    for (const ExaminationStanding& s : examinationSchedule(registrants, examinations, today())) {
        if (s.last && *s.due() > monthEnd)
            continue;
        const auto sheet = doctorSheet(dataDir, s.name, examinations, additions->value(s.name), today());
        if (!sheet) {
            dialogs.warn(messageOf(sheet.error()));
            return;
        }
        sheets << *sheet;
    }
    if (sheets.isEmpty()) {
        dialogs.inform(QStringLiteral("%1までに期限となる人はいません").arg(monthName(*month)));
        return;
    }
    if (!dialogs.confirmYesNo(QStringLiteral("%1までに期限となる%2名の「医師に示す線量」を印刷します。プリンターＯＫ？")
                                  .arg(monthName(*month))
                                  .arg(sheets.size())))
        return;
    PrintDoctorSheets(printer, sheets, today(), facilityOf(dataDir));
    if (const PrintReport report = printer.takeReport(); !report.message.isEmpty())
        report.failed ? dialogs.warn(report.message) : dialogs.inform(report.message);
}

void ExaminationWindow::showReport()
{
    const auto period = halfYearOf(ReportYearBox->text().trimmed() + QLatin1Char('-') +
                                   QString::number(ReportHalfBox->currentData().toInt()));
    if (!period) {
        dialogs.warn(QStringLiteral("年は西暦4桁で入力して下さい"));
        ReportYearBox->setFocus();
        return;
    }
    const auto report = examinationReport(dataDir, *period);
    if (!report) {
        dialogs.warn(messageOf(report.error()));
        return;
    }
    const QString name = QStringLiteral("健康診断結果報告_%1年%2")
                             .arg(period->year)
                             .arg(period->half == 1 ? QStringLiteral("1-6月") : QStringLiteral("7-12月"));
    reportWindow.showPage(
        QStringLiteral("電離放射線健康診断結果報告の人数"), name,
        [report = *report, facility = facilityOf(dataDir)](Surface& surface, const ReportStyle& style,
                                                           const QDate& printed) {
            drawExaminationReport(surface, style, report, printed, facility);
        },
        QDir(dataDir.root()).filePath(name + QStringLiteral(".csv")), examinationReportCsv(*report));
}

void ExaminationWindow::leave()
{
    sheetWindow.hide();
    reportWindow.hide();
    hide();
    emit closed();
}

} // namespace velmora
