#include "gui/history/ChangeHistoryWindow.h"

#include "core/files/FacilitySettings.h"
#include "core/files/ListFiles.h"
#include "core/files/Removals.h"
#include "core/files/WriterLock.h"
#include "core/model/Calendar.h"
#include "core/texts/Messages.h"
#include "gui/platform/Fonts.h"
#include "gui/platform/PrintOutcome.h"
#include "gui/platform/WaitCursor.h"
#include "gui/reports/HistoryReport.h"
#include "gui/widgets/Twips.h"

#include <QBoxLayout>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>

namespace velmora {
namespace {

const QString Everything = QStringLiteral("すべて");
// 日時, 操作, 氏名, 年月 and PC／ユーザー as wide as they need; 変更前 and 変更後 share the rest.
constexpr int ColumnWidths[] = {130, 100, 96, 64, 0, 0, 130};

} // namespace

ChangeHistoryWindow::ChangeHistoryWindow(const DataDir& dir, Dialogs& messageBoxes, Printer& systemPrinter,
                                         const Clock& systemClock)
    : dataDir(dir), dialogs(messageBoxes), printer(systemPrinter), clock(systemClock)
{
    setObjectName(QStringLiteral("ChangeHistoryWindow"));
    setWindowTitle(QStringLiteral("変更履歴"));
    setFont(systemFont(ProportionalGothicFont, 11.25));

    PersonBox = new QComboBox(this);
    PersonBox->setObjectName(QStringLiteral("PersonBox"));
    PersonBox->setMinimumWidth(160);
    MonthBox = new QComboBox(this);
    MonthBox->setObjectName(QStringLiteral("MonthBox"));
    MonthBox->setMinimumWidth(120);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("氏名"), this));
    top->addWidget(PersonBox);
    top->addSpacing(20);
    top->addWidget(new QLabel(QStringLiteral("年月"), this));
    top->addWidget(MonthBox);
    top->addStretch();

    ChainLabel = new QLabel(this);
    ChainLabel->setObjectName(QStringLiteral("ChainLabel"));
    ChainLabel->setWordWrap(true);

    HistoryTable = new QTableView(this);
    HistoryTable->setObjectName(QStringLiteral("HistoryTable"));
    HistoryTable->setModel(&model);
    HistoryTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    HistoryTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    HistoryTable->setFont(systemFont(GothicFont, 9));
    HistoryTable->horizontalHeader()->setFont(HistoryTable->font());
    HistoryTable->verticalHeader()->hide();
    HistoryTable->verticalHeader()->setDefaultSectionSize(20);
    HistoryTable->setWordWrap(false);
    HistoryTable->setTabKeyNavigation(false);
    for (int column = 0; column < static_cast<int>(std::size(ColumnWidths)); ++column) {
        HistoryTable->setColumnWidth(column, ColumnWidths[column]);
        HistoryTable->horizontalHeader()->setSectionResizeMode(column, ColumnWidths[column] ? QHeaderView::Interactive
                                                                                            : QHeaderView::Stretch);
    }

    PrintButton = new CommandButton(QStringLiteral("PrintButton"), QStringLiteral("印刷"), this);
    SetAsideButton =
        new CommandButton(QStringLiteral("SetAsideButton"), QStringLiteral("損傷部分を保管して続ける"), this);
    SetAsideButton->hide();
    StopCheckButton = new CommandButton(QStringLiteral("StopCheckButton"), QStringLiteral("確認を中止"), this);
    StopCheckButton->hide();
    CloseButton = new CommandButton(QStringLiteral("CloseButton"), QStringLiteral("閉じる"), this);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(PrintButton);
    bottom->addWidget(SetAsideButton);
    bottom->addWidget(StopCheckButton);
    bottom->addStretch();
    bottom->addWidget(CloseButton);

    auto* window = new QVBoxLayout(this);
    window->addLayout(top);
    window->addWidget(ChainLabel);
    window->addWidget(HistoryTable, 1);
    window->addLayout(bottom);
    const QSize screen = QGuiApplication::primaryScreen()->availableSize();
    resize(std::min(1260, screen.width()), std::min(640, screen.height() - 40));
    connectControls();
}

ChangeHistoryWindow::~ChangeHistoryWindow()
{
    stopCheck();
}

void ChangeHistoryWindow::connectControls()
{
    connect(PersonBox, &QComboBox::currentIndexChanged, this, &ChangeHistoryWindow::choose);
    connect(MonthBox, &QComboBox::currentIndexChanged, this, &ChangeHistoryWindow::choose);
    connect(PrintButton, &QPushButton::clicked, this, &ChangeHistoryWindow::printHistory);
    connect(SetAsideButton, &QPushButton::clicked, this, &ChangeHistoryWindow::setAsideDamage);
    connect(StopCheckButton, &QPushButton::clicked, this, [this] {
        stopCheck();
        showChainStanding();
    });
    connect(&progress, &QTimer::timeout, this, &ChangeHistoryWindow::showChainStanding);
    connect(CloseButton, &QPushButton::clicked, this, &QWidget::hide);
}

QStringList ChangeHistoryWindow::inListOrder(const QStringList& persons) const
{
    // The registrants in the list's order, then the persons removed in theirs, then any other the history
    // names (a list that cannot be read orders nobody).
    QStringList ordered;
    if (const auto registrants = LoadRegistrantList(dataDir))
        ordered = registrants->names;
    if (const auto removed = ReadRemovedNames(dataDir))
        ordered += *removed;
    const QSet<QString> named(persons.begin(), persons.end());
    ordered.removeIf([&named](const QString& name) { return !named.contains(name); });
    ordered.removeDuplicates();
    const QSet<QString> placed(ordered.begin(), ordered.end());
    for (const QString& name : persons)
        if (!placed.contains(name))
            ordered << name;
    return ordered;
}

void ChangeHistoryWindow::open()
{
    // The newest records decoded, every record checked unless the history is as it was last found whole here:
    // thirty years of history open at once, and are checked again behind the window.
    stopCheck();
    auto read = [this] {
        const WaitCursor wait;
        return ReadChangeHistory(dataDir, {{}, 0, NewestShown, CheckedNote::Trusted, {}, {}});
    }();
    newest = read ? std::exchange(read->records, {}) : QList<ChangeRecord>();
    std::reverse(newest.begin(), newest.end());
    total = read ? read->head.records : 0;
    shown = std::move(read);
    lastFoundWhole = QFileInfo(historyCheckedNote(dataDir)).lastModified();
    if (shown && shown->trusted)
        checkBehind();
    showChainStanding();
    SetAsideButton->setVisible(shown && !shown->damage.isEmpty());

    const QSignalBlocker personQuiet(PersonBox);
    const QSignalBlocker monthQuiet(MonthBox);
    PersonBox->clear();
    PersonBox->addItem(Everything);
    MonthBox->clear();
    MonthBox->addItem(Everything);
    if (shown) {
        for (const QString& name : inListOrder(shown->persons))
            PersonBox->addItem(name, name);
        for (const MonthKey month : shown->months)
            MonthBox->addItem(monthName(month), month);
    }
    choose();
    showAndActivate(this);
}

void ChangeHistoryWindow::checkBehind()
{
    stopping = false;
    percent = 0;
    check = QThread::create([this, dir = dataDir] {
        behind = ReadChangeHistory(dir, {{}, 0, 0, CheckedNote::Renewed, {}, [this](qint64 read, qint64 all) {
                                             percent = all > 0 ? static_cast<int>(100 * read / all) : 100;
                                             return stopping.load();
                                         }});
    });
    // Queued to this window; a check stopped and waited for meanwhile is no longer the run then.
    connect(check, &QThread::finished, this, [this, run = ++checkRun] {
        if (run == checkRun && behind)
            checked(*std::exchange(behind, std::nullopt));
    });
    StopCheckButton->show();
    progress.start(200);
    check->start();
}

void ChangeHistoryWindow::stopCheck()
{
    if (!check)
        return;
    stopping = true;
    check->wait();
    ++checkRun;
    delete std::exchange(check, nullptr);
    behind.reset();
    progress.stop();
    StopCheckButton->hide();
}

void ChangeHistoryWindow::checked(Result<HistoryRead> outcome)
{
    delete std::exchange(check, nullptr);
    progress.stop();
    StopCheckButton->hide();
    if (outcome && !outcome->stopped && outcome->broken == std::nullopt && outcome->damage.isEmpty()) {
        shown->trusted = false; // checked whole now
    } else if (outcome && !outcome->stopped) {
        // The note held a history altered since: it is no longer trusted, and the newest records are shown as
        // their hashes say.
        (void)removeOwnFile(historyCheckedNote(dataDir));
        open();
        return;
    }
    showChainStanding();
}

void ChangeHistoryWindow::showChainStanding()
{
    const Result<HistoryRead>& read = shown;
    const bool broken = read && read->broken;
    QString text;
    if (!read)
        text = messageOf(read.error());
    else if (!read->damage.isEmpty())
        text = messageOf(damagedHistoryAt(read->damage.first())) +
               (read->damage.size() > 1 ? QStringLiteral("（読めない箇所はほかに%1か所）").arg(read->damage.size() - 1)
                                        : QString());
    else if (broken)
        text = messageOf(*read->broken) + QStringLiteral("。記録の後に変更されたデータがないか確認して下さい");
    else if (read->trusted)
        text = QStringLiteral("%1件の記録があります。%2に、どの記録も書かれたときのままと確かめました。")
                   .arg(total)
                   .arg(lastFoundWhole.toString(QStringLiteral("yyyy/MM/dd HH:mm"))) +
               (check ? QStringLiteral("いま改めて確かめています（%1%）…").arg(percent.load())
                      : QStringLiteral("（改めての確認は中止しました）"));
    else
        text = QStringLiteral("%1件の記録は、どれも書かれたときのままです。").arg(total);
    if (total > newest.size())
        text += QStringLiteral("（最新の%1件を表示しています。氏名か年月を選ぶと、その記録をすべて表示します）")
                    .arg(newest.size());
    if (read && !read->setAsideDamage.isEmpty())
        text += QStringLiteral("（保管した変更履歴には読めない行が%1か所あります）").arg(read->setAsideDamage.size());
    ChainLabel->setText(text);
    ChainLabel->setStyleSheet(!read || broken || !read->damage.isEmpty() ? QStringLiteral("color: red") : QString());
}

void ChangeHistoryWindow::setAsideDamage()
{
    if (!dialogs.confirmRisky(QStringLiteral("読めない行のある変更履歴をデータフォルダに別の名前で保管し、"
                                             "変更履歴を続けます。バックアップから戻せる場合は、戻す方が確実です。"
                                             "保管して続けますか？")))
        return;
    WriterLock lock(dataDir); // as data entry: no change of the store meanwhile
    const Status locked = lock.tryLock();
    const auto setAside = locked ? SetAsideDamagedHistory(dataDir, clock.now()) : Result<QString>(locked.error());
    if (!setAside) {
        dialogs.warn(messageOf(setAside.error()));
        return;
    }
    lock.unlock();
    dialogs.inform(setAsideMessage(*setAside));
    open();
}

void ChangeHistoryWindow::choose()
{
    const QString person = PersonBox->currentData().toString();
    const MonthKey month = MonthBox->currentData().toLongLong();
    if (person.isEmpty() && month == 0) {
        model.setRecords(newest);
        return;
    }
    // A person's or a month's records, every one of them, read for the choice.
    const auto read = [&] {
        const WaitCursor wait;
        return ReadChangeHistory(dataDir, {person, month, -1, CheckedNote::Trusted, {}, {}});
    }();
    QList<ChangeRecord> chosen = read ? read->records : QList<ChangeRecord>();
    std::reverse(chosen.begin(), chosen.end());
    model.setRecords(chosen);
}

void ChangeHistoryWindow::printHistory()
{
    if (model.records().isEmpty() || !dialogs.confirmYesNo(QStringLiteral("プリンターＯＫ？")))
        return;
    const auto facility = ReadFacility(dataDir);
    {
        const WaitCursor wait;
        PrintChangeHistory(printer,
                           {model.records(),
                            QStringLiteral("氏名：%1　年月：%2").arg(PersonBox->currentText(), MonthBox->currentText()),
                            ChainLabel->text(), facility ? facilityLine(*facility) : QString(), clock.now().date()});
    }
    tellPrintOutcome(printer, dialogs);
}

} // namespace velmora
