#include "gui/totals/TotalsWindow.h"

#include "core/changes/Exports.h"
#include "core/files/ChangeHistory.h"
#include "core/files/FacilitySettings.h"
#include "core/model/Calendar.h"
#include "core/rules/TotalsColumns.h"
#include "core/texts/Messages.h"
#include "gui/archive/YearArchive.h"
#include "gui/platform/Fonts.h"
#include "gui/platform/PrintOutcome.h"
#include "gui/platform/WaitCursor.h"
#include "gui/reports/CsvSave.h"
#include "gui/reports/DistributionReport.h"
#include "gui/reports/DoseNotice.h"
#include "gui/reports/PersonCharts.h"
#include "gui/reports/TotalsReport.h"
#include "gui/totals/LeavingRecordOutput.h"
#include "gui/widgets/Controls.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QScrollBar>

namespace velmora {
namespace {

constexpr int FrozenColumns = 2; // 登録番号 and 氏名, with 判定 shown beside them
constexpr int ReasonsWidth = 360;
constexpr int RowHeight = 20;
const QString NoPersonChosen = QStringLiteral("行を選ぶと、その人の各月の線量を表示します");
constexpr int PersonColumnWidth = 54;  // "123.456" in the table font, with its margins
constexpr int PersonLabelsWidth = 116; // "妊娠 2025年10月"

} // namespace

TotalsWindow::TotalsWindow(const DataDir& dir, Dialogs& messageBoxes, Printer& systemPrinter, const Clock& systemClock)
    : distributionWindow(QStringLiteral("DistributionWindow"), messageBoxes, systemPrinter, systemClock),
      personChartWindow(QStringLiteral("PersonChartWindow"), messageBoxes, systemPrinter, systemClock), dataDir(dir),
      dialogs(messageBoxes), printer(systemPrinter), clock(systemClock)
{
    setObjectName(QStringLiteral("TotalsWindow"));
    setWindowTitle(QStringLiteral("線量集計・限度確認"));
    setFont(systemFont(ProportionalGothicFont, 11.25));

    auto* yearLabel = new QLabel(QStringLiteral("年度"), this);
    FiscalYearBox = new QLineEdit(this);
    FiscalYearBox->setObjectName(QStringLiteral("FiscalYearBox"));
    FiscalYearBox->setFixedWidth(80);
    GatherButton = new CommandButton(QStringLiteral("GatherButton"), QStringLiteral("集計"), this);
    FlaggedOnlyBox = new QCheckBox(QStringLiteral("注意・超過のみ表示"), this);
    FlaggedOnlyBox->setObjectName(QStringLiteral("FlaggedOnlyBox"));
    FlaggedOnlyBox->setToolTip(QStringLiteral("超過・要確認・注意・読込不可の行だけを表示します"));
    auto* top = new QHBoxLayout;
    top->addWidget(yearLabel);
    top->addWidget(FiscalYearBox);
    top->addWidget(GatherButton);
    top->addSpacing(20);
    top->addWidget(FlaggedOnlyBox);
    top->addStretch();

    sorted.setSourceModel(&model);
    sorted.setSortRole(TotalsModel::SortRole);
    FrozenTable = makeTable(QStringLiteral("FrozenTable"));
    TotalsTable = makeTable(QStringLiteral("TotalsTable"));
    // One selection for both tables, and one vertical position: the frozen columns scroll with the rows.
    TotalsTable->setSelectionModel(FrozenTable->selectionModel());
    FrozenTable->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    TotalsTable->horizontalHeader()->setStretchLastSection(true);
    for (QTableView* table : {FrozenTable, TotalsTable})
        table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn); // the rows of both stay level
    // 判定 stays in view beside the names, and 理由 leads the scrolled columns, however many columns a year
    // with internal doses, doses elsewhere and pregnancies shows (the print and the CSV keep their order).
    const auto verdict = static_cast<int>(shownColumns().indexOf(TotalsColumn::Verdict));
    const auto reasons = static_cast<int>(shownColumns().indexOf(TotalsColumn::Reasons));
    for (int column = 0; column < model.columnCount(); ++column) {
        FrozenTable->setColumnHidden(column, column >= FrozenColumns && column != verdict);
        TotalsTable->setColumnHidden(column, column < FrozenColumns || column == verdict);
    }
    FrozenTable->horizontalHeader()->moveSection(FrozenTable->horizontalHeader()->visualIndex(verdict), FrozenColumns);
    TotalsTable->horizontalHeader()->moveSection(TotalsTable->horizontalHeader()->visualIndex(reasons), FrozenColumns);
    connect(TotalsTable->verticalScrollBar(), &QScrollBar::valueChanged, FrozenTable->verticalScrollBar(),
            &QScrollBar::setValue);
    connect(FrozenTable->verticalScrollBar(), &QScrollBar::valueChanged, TotalsTable->verticalScrollBar(),
            &QScrollBar::setValue);

    PersonTitle = new QLabel(this);
    PersonTitle->setObjectName(QStringLiteral("PersonTitle"));
    PersonMonths = new QTableWidget(0, 4, this);
    PersonMonths->setObjectName(QStringLiteral("PersonMonths"));
    PersonMonths->setHorizontalHeaderLabels(
        {QStringLiteral("実効"), QStringLiteral("水晶体"), QStringLiteral("皮膚"), QStringLiteral("内部")});
    PersonMonths->setEditTriggers(QAbstractItemView::NoEditTriggers);
    PersonMonths->setFont(systemFont(GothicFont, 9));
    PersonMonths->verticalHeader()->setDefaultSectionSize(RowHeight);
    PersonMonths->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    PersonMonths->setTabKeyNavigation(false);
    PersonMonths->horizontalHeader()->setFont(PersonMonths->font());
    PersonMonths->horizontalHeader()->setDefaultSectionSize(PersonColumnWidth);
    PersonMonths->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    PersonMonths->verticalHeader()->setFixedWidth(PersonLabelsWidth);
    const int personWidth = PersonLabelsWidth + 4 * PersonColumnWidth + 2 * PersonMonths->frameWidth() +
                            PersonMonths->verticalScrollBar()->sizeHint().width();
    PersonMonths->setFixedWidth(personWidth);
    PersonTitle->setWordWrap(true);
    PersonTitle->setFixedWidth(personWidth);
    auto* person = new QVBoxLayout;
    person->addWidget(PersonTitle);
    person->addWidget(PersonMonths);

    auto* middle = new QHBoxLayout;
    middle->setSpacing(0);
    middle->addWidget(FrozenTable);
    middle->addWidget(TotalsTable, 1);
    middle->addSpacing(8);
    middle->addLayout(person);

    PrintButton = new CommandButton(QStringLiteral("PrintButton"), QStringLiteral("印刷"), this);
    SaveCsvButton = new CommandButton(QStringLiteral("SaveCsvButton"), QStringLiteral("CSV保存"), this);
    DistributionButton = new CommandButton(QStringLiteral("DistributionButton"), QStringLiteral("線量分布"), this);
    GroupsButton = new CommandButton(QStringLiteral("GroupsButton"), QStringLiteral("職種・所属別"), this);
    PersonChartButton = new CommandButton(QStringLiteral("PersonChartButton"), QStringLiteral("個人グラフ"), this);
    PersonChartButton->setEnabled(false);
    NoticeButton = new CommandButton(QStringLiteral("NoticeButton"), QStringLiteral("線量通知"), this);
    NoticeButton->setEnabled(false);
    AllNoticesButton = new CommandButton(QStringLiteral("AllNoticesButton"), QStringLiteral("全員の線量通知"), this);
    AdditionsButton = new CommandButton(QStringLiteral("AdditionsButton"), QStringLiteral("他施設・申告"), this);
    LeavingRecordButton = new CommandButton(QStringLiteral("LeavingRecordButton"), QStringLiteral("離職時記録"), this);
    LeavingRecordButton->setToolTip(
        QStringLiteral("選んだ人の5年の期間の線量を、本人に渡す書類と次の事業所が取り込むCSVにします"));
    LeavingRecordButton->setEnabled(false);
    ExaminationsButton = new CommandButton(QStringLiteral("ExaminationsButton"), QStringLiteral("健康診断"), this);
    ExaminationsButton->setToolTip(
        QStringLiteral("6か月ごとの健康診断の記録と期限、医師に示す線量、労働基準監督署への結果報告の人数"));
    HistoryButton = new CommandButton(QStringLiteral("HistoryButton"), QStringLiteral("変更履歴"), this);
    HistoryButton->setToolTip(
        QStringLiteral("データの登録・入力・訂正・削除の記録を、日時・PC・ユーザーと変更前後の値で表示します"));
    ArchiveButton = new CommandButton(QStringLiteral("ArchiveButton"), QStringLiteral("年度の保存版"), this);
    ArchiveButton->setToolTip(
        QStringLiteral("終わった年度の帳票をPDF/A、集計をCSVにして、30年保存用のフォルダに書き出します"));
    BackButton = new CommandButton(QStringLiteral("BackButton"), QStringLiteral("戻る"), this);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(PrintButton);
    bottom->addWidget(SaveCsvButton);
    bottom->addWidget(DistributionButton);
    bottom->addWidget(GroupsButton);
    bottom->addWidget(PersonChartButton);
    bottom->addWidget(NoticeButton);
    bottom->addWidget(AllNoticesButton);
    bottom->addWidget(AdditionsButton);
    bottom->addWidget(LeavingRecordButton);
    bottom->addWidget(ExaminationsButton);
    bottom->addWidget(HistoryButton);
    bottom->addWidget(ArchiveButton);
    bottom->addStretch();
    bottom->addWidget(BackButton);

    auto* window = new QVBoxLayout(this);
    window->addLayout(top);
    window->addLayout(middle, 1);
    window->addLayout(bottom);
    // Every column in view on a 1366 × 768 screen, below its title bar and above a task bar.
    const QSize screen = QGuiApplication::primaryScreen()->availableSize();
    resize(std::min(1340, screen.width()), std::min(680, screen.height() - 40));
    connectControls();
}

void TotalsWindow::connectControls()
{
    connect(FiscalYearBox, &QLineEdit::returnPressed, this, &TotalsWindow::gather);
    connect(GatherButton, &QPushButton::clicked, this, &TotalsWindow::gather);
    connect(FlaggedOnlyBox, &QCheckBox::toggled, this, &TotalsWindow::showFlaggedOnly);
    for (QTableView* table : {FrozenTable, TotalsTable})
        connect(table->horizontalHeader(), &QHeaderView::sectionClicked, this, &TotalsWindow::sortByColumn);
    connect(FrozenTable->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &TotalsWindow::showChosenRow);
    connect(PrintButton, &QPushButton::clicked, this, &TotalsWindow::printTotals);
    connect(SaveCsvButton, &QPushButton::clicked, this, &TotalsWindow::saveCsv);
    connect(DistributionButton, &QPushButton::clicked, this, [this] { showDistribution(false); });
    connect(GroupsButton, &QPushButton::clicked, this, [this] { showDistribution(true); });
    connect(PersonChartButton, &QPushButton::clicked, this, &TotalsWindow::showPersonCharts);
    connect(NoticeButton, &QPushButton::clicked, this, [this] {
        if (const QModelIndex current = FrozenTable->currentIndex(); current.isValid())
            printNotices({model.rowAt(sorted.mapToSource(current).row())});
    });
    connect(AllNoticesButton, &QPushButton::clicked, this, [this] { printNotices(shownRows()); });
    connect(AdditionsButton, &QPushButton::clicked, this, [this] {
        const QModelIndex current = FrozenTable->currentIndex();
        emit additionsWanted(current.isValid() ? model.rowAt(sorted.mapToSource(current).row()).name : QString());
    });
    connect(LeavingRecordButton, &QPushButton::clicked, this, [this] {
        if (const QModelIndex current = FrozenTable->currentIndex(); current.isValid())
            giveLeavingRecord(dataDir, model.rowAt(sorted.mapToSource(current).row()).name, dialogs, printer, clock);
    });
    connect(HistoryButton, &QPushButton::clicked, this, &TotalsWindow::historyWanted);
    connect(ExaminationsButton, &QPushButton::clicked, this, &TotalsWindow::examinationsWanted);
    connect(ArchiveButton, &QPushButton::clicked, this, &TotalsWindow::archiveYear);
    connect(BackButton, &QPushButton::clicked, this, &TotalsWindow::backToMenu);
}

QTableView* TotalsWindow::makeTable(const QString& name)
{
    auto* table = new QTableView(this);
    table->setObjectName(name);
    table->setModel(&sorted);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setFont(systemFont(GothicFont, 9));
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(RowHeight);
    table->horizontalHeader()->setSortIndicatorShown(true);
    table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    table->horizontalHeader()->setSectionsClickable(true);
    table->setWordWrap(false);
    table->setTabKeyNavigation(false); // Tab goes on to the buttons, as in the other windows
    table->horizontalHeader()->setFont(table->font());
    return table;
}

void TotalsWindow::openForCurrentYear()
{
    const QDate today = clock.now().date();
    FiscalYearBox->setText(QString::number(fiscalYearOf(monthOf(today))));
    gather();
    moveFocusTo(FiscalYearBox); // another year is typed over the current one
}

void TotalsWindow::gather()
{
    const auto year = totalsYearOf(FiscalYearBox->text());
    if (!year) {
        dialogs.warn(QStringLiteral("表示年度を入力して下さい"));
        FiscalYearBox->setFocus();
        return;
    }
    QStringList unknownPersons;
    auto gathered = [&] {
        const WaitCursor wait;
        return gatherStoreTotals(dataDir, *year, monthOf(clock.now().date()), &unknownPersons);
    }();
    if (!gathered) {
        dialogs.warn(messageOf(gathered.error()));
        return;
    }
    model.setRows(*std::move(gathered), *year);
    fitColumns();
    QStringList unreadable;
    for (const TotalsRow& row : model.allRows())
        if (!row.totals)
            unreadable << DataDir::shownPersonalFile(row.name);
    if (!unreadable.isEmpty())
        dialogs.warn(unreadableFilesMessage(unreadable));
    if (!unknownPersons.isEmpty())
        dialogs.warn(unknownPersonsMessage(unknownPersons));
}

void TotalsWindow::fitColumns()
{
    PersonTitle->setText(NoPersonChosen);
    PersonMonths->setRowCount(0);
    for (CommandButton* button : {PersonChartButton, NoticeButton, LeavingRecordButton})
        button->setEnabled(false);
    // The columns of internal doses, doses elsewhere, designated doctors and pregnancies only in a year that
    // has some: most years of most hospitals have none, and the reasons then stay in view.
    for (const TotalsColumn column :
         {TotalsColumn::InternalYear, TotalsColumn::OtherEffectiveYear, TotalsColumn::OtherLensYear,
          TotalsColumn::LensSinceTransition, TotalsColumn::PregnancyExternal, TotalsColumn::PregnancyInternal}) {
        const bool some = std::any_of(model.allRows().begin(), model.allRows().end(), [column](const TotalsRow& row) {
            const auto dose = doseCell(row, column);
            return dose && (!dose->isZero() || column != TotalsColumn::InternalYear);
        });
        TotalsTable->setColumnHidden(static_cast<int>(shownColumns().indexOf(column)), !some);
    }
    for (QTableView* table : {FrozenTable, TotalsTable})
        table->resizeColumnsToContents();
    // Long reasons are cut at the window's edge; the whole text is in the tooltip, the print and the CSV.
    const auto reasons = static_cast<int>(shownColumns().indexOf(TotalsColumn::Reasons));
    TotalsTable->setColumnWidth(reasons, std::min(ReasonsWidth, TotalsTable->columnWidth(reasons)));
    int frozenWidth = 2 * FrozenTable->frameWidth();
    for (int column = 0; column < model.columnCount(); ++column)
        if (!FrozenTable->isColumnHidden(column))
            frozenWidth += FrozenTable->columnWidth(column);
    FrozenTable->setFixedWidth(frozenWidth);
    // Headings of one height, so that the rows of both tables stand level.
    const int headings = std::max(FrozenTable->horizontalHeader()->sizeHint().height(),
                                  TotalsTable->horizontalHeader()->sizeHint().height());
    for (QTableView* table : {FrozenTable, TotalsTable})
        table->horizontalHeader()->setFixedHeight(headings);
}

void TotalsWindow::showFlaggedOnly()
{
    model.setFlaggedOnly(FlaggedOnlyBox->isChecked());
    fitColumns();
}

void TotalsWindow::sortByColumn(int column)
{
    const Qt::SortOrder order = sorted.sortColumn() == column && sorted.sortOrder() == Qt::AscendingOrder
                                    ? Qt::DescendingOrder
                                    : Qt::AscendingOrder;
    sorted.sort(column, order);
    for (QTableView* table : {FrozenTable, TotalsTable}) {
        const QSignalBlocker quiet(table->horizontalHeader());
        table->horizontalHeader()->setSortIndicator(column, order);
    }
}

QList<TotalsRow> TotalsWindow::shownRows() const
{
    QList<TotalsRow> shown;
    for (int at = 0; at < sorted.rowCount(); ++at)
        shown << model.rowAt(sorted.mapToSource(sorted.index(at, 0)).row());
    return shown;
}

void TotalsWindow::showChosenRow(const QModelIndex& current)
{
    for (CommandButton* button : {PersonChartButton, NoticeButton, LeavingRecordButton})
        button->setEnabled(current.isValid());
    if (current.isValid())
        showPerson(model.rowAt(sorted.mapToSource(current).row()));
}

void TotalsWindow::showPerson(const TotalsRow& row)
{
    PersonTitle->setText(QStringLiteral("%1%2（%3年度）%4")
                             .arg(row.totals
                                      ? QStringLiteral("登録番号 %1　")
                                            .arg(cellText(row, TotalsColumn::RegistrationNumber, model.fiscalYear()))
                                      : QString(),
                                  row.name)
                             .arg(model.fiscalYear())
                             .arg(row.removed ? QStringLiteral("　抹消") : QString()));
    PersonMonths->setRowCount(0);
    if (!row.totals)
        return;
    const QList<PersonFigureRow> figures = personFigures(*row.totals, model.fiscalYear());
    QStringList labels;
    for (const PersonFigureRow& figure : figures)
        labels << figure.label;
    PersonMonths->setRowCount(static_cast<int>(labels.size()));
    PersonMonths->setVerticalHeaderLabels(labels);
    for (int at = 0; at < labels.size(); ++at)
        for (int column = 0; column < 4; ++column) {
            auto* item = new QTableWidgetItem(figures[at].cells[static_cast<size_t>(column)]);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            PersonMonths->setItem(at, column, item);
        }
}

void TotalsWindow::printTotals()
{
    if (model.allRows().isEmpty() || !dialogs.confirmYesNo(QStringLiteral("プリンターＯＫ？")))
        return;
    {
        const WaitCursor wait;
        const auto history = ReadChangeHistory(dataDir, {{}, 0, 0, CheckedNote::Ignored, {}, {}}); // the head alone
        const HistoryHead head = history ? history->head : HistoryHead();
        PrintDoseTotals(printer, {model.fiscalYear(), clock.now().date(), FlaggedOnlyBox->isChecked(), shownRows(),
                                  facilityText(), historyHeadText(head.records, head.lastHash)});
    }
    tellPrintOutcome(printer, dialogs);
}

void TotalsWindow::saveCsv()
{
    if (model.allRows().isEmpty())
        return;
    saveCsvAsked(dialogs, clock.now().date(),
                 QDir(dataDir.root()).filePath(QStringLiteral("線量集計_%1年度.csv").arg(model.fiscalYear())),
                 totalsCsv(model.allRows(), model.fiscalYear()));
}

void TotalsWindow::showDistribution(bool byGroup)
{
    if (model.allRows().isEmpty())
        return;
    const int year = model.fiscalYear();
    const DoseDistribution distribution = doseDistribution(model.allRows(), year);
    const auto draw = byGroup ? drawDoseGroups : drawDoseDistribution;
    distributionWindow.showPage(
        (byGroup ? QStringLiteral("職種別・所属別の線量分布（%1年度）") : QStringLiteral("線量分布（%1年度）"))
            .arg(year),
        byGroup ? QStringLiteral("線量分布_職種所属別") : QStringLiteral("線量分布"),
        [distribution, draw, facility = facilityText()](Surface& surface, const ReportStyle& style,
                                                        const QDate& printed) {
            draw(surface, style, distribution, printed, facility);
        },
        QDir(dataDir.root()).filePath(QStringLiteral("線量分布_%1年度.csv").arg(year)), distributionCsv(distribution));
}

void TotalsWindow::showPersonCharts()
{
    const QModelIndex current = FrozenTable->currentIndex();
    if (!current.isValid())
        return;
    const TotalsRow row = model.rowAt(sorted.mapToSource(current).row());
    const int year = model.fiscalYear();
    personChartWindow.showPage(QStringLiteral("個人グラフ　%1（%2年度）").arg(row.name).arg(year),
                               QStringLiteral("個人線量グラフ"),
                               [row, year](Surface& surface, const ReportStyle& style, const QDate& printed) {
                                   drawPersonCharts(surface, style, row, year, printed);
                               });
}

void TotalsWindow::printNotices(const QList<TotalsRow>& rows)
{
    if (rows.isEmpty() ||
        !dialogs.confirmYesNo(
            rows.size() == 1
                ? QStringLiteral("%1さんの線量通知を印刷します。プリンターＯＫ？").arg(rows.first().name)
                : QStringLiteral("表に表示中の%1名の線量通知を、表の順に1人1ページ、計%1ページで印刷します。"
                                 "プリンターＯＫ？")
                      .arg(rows.size())))
        return;
    {
        const WaitCursor wait;
        PrintDoseNotices(printer, rows, model.fiscalYear(), clock.now().date(), facilityText());
    }
    tellPrintOutcome(printer, dialogs);
}

void TotalsWindow::archiveYear()
{
    if (model.allRows().isEmpty())
        return;
    int year = model.fiscalYear();
    // A year not yet closed is refused before anything is asked, and the last closed year proposed.
    if (const int lastClosed = fiscalYearOf(monthOf(clock.now().date())) - 1; year > lastClosed) {
        if (!dialogs.confirmYesNo(
                messageOf(failureWithText(FailureKind::YearNotClosed, QString::number(year))) +
                QStringLiteral("\n\n終わっている最後の年度、%1年度の保存版を作成しますか？").arg(lastClosed)))
            return;
        year = lastClosed;
    }
    // Persons whose figures need a look are named first: the archive keeps them as they stand.
    const auto doubts = archiveDoubts(dataDir, year);
    if (!doubts) {
        dialogs.warn(messageOf(doubts.error()));
        return;
    }
    if (!doubts->isEmpty() &&
        !dialogs.confirmDoubtful(archiveDoubtsText(year, *doubts) + QStringLiteral("\n\n保存版を作成しますか？")))
        return;
    const QString chosen = dialogs.chooseFolder(QStringLiteral("%1年度の保存版を作成するフォルダ").arg(year), {});
    if (chosen.isEmpty())
        return;
    const QString folder = QDir(chosen).filePath(QStringLiteral("個人被曝線量_%1年度").arg(year));
    const auto written = [&] {
        const WaitCursor wait;
        return ArchiveYear(dataDir, year, folder, clock.now().date());
    }();
    if (!written) {
        dialogs.warn(messageOf(written.error()));
        return;
    }
    dialogs.inform(QStringLiteral("%1年度の保存版（%2ファイル）をフォルダ「%3」に作成しました。")
                       .arg(year)
                       .arg(written->size())
                       .arg(QDir::toNativeSeparators(folder)));
}

QString TotalsWindow::facilityText()
{
    const auto facility = ReadFacility(dataDir);
    if (!facility)
        dialogs.warn(messageOf(facility.error()));
    return facility ? facilityLine(*facility) : QString();
}

void TotalsWindow::backToMenu()
{
    distributionWindow.hide();
    personChartWindow.hide();
    hide();
    emit returnedToMenu();
}

void TotalsWindow::closeEvent(QCloseEvent* event)
{
    distributionWindow.hide();
    personChartWindow.hide();
    event->accept();
    emit returnedToMenu();
}

} // namespace velmora
