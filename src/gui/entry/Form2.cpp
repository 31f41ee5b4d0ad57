#include "gui/entry/Form2.h"

#include "core/changes/MonthImport.h"
#include "core/changes/RecordedWrites.h"
#include "core/changes/RegistrantChanges.h"
#include "core/changes/SaveAll.h"
#include "core/changes/ServiceImport.h"
#include "core/files/ListFiles.h"
#include "core/files/NumberForms.h"
#include "core/files/PersonalFile.h"
#include "core/files/PositionalForms.h"
#include "core/model/Calendar.h"
#include "core/rules/EntryRules.h"
#include "core/rules/MonthPlausibility.h"
#include "core/texts/Messages.h"
#include "gui/entry/ImportLayoutWindow.h"
#include "gui/entry/ServiceReviewWindow.h"
#include "gui/platform/Fonts.h"
#include "gui/platform/WaitCursor.h"
#include "gui/widgets/Controls.h"
#include "gui/widgets/Twips.h"
#include "gui/widgets/WayOut.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QProgressDialog>
#include <QStyle>

namespace velmora {
namespace {

// "実効 0.3 → 0、水晶体 0.4 → 0.1": the values of `now` that `then` differs in; empty when none.
QString valueChanges(const PendingEntry& now, const PendingEntry& then)
{
    QStringList changes;
    const std::tuple<QString, double, double> doses[] = {
        {QStringLiteral("実効"), now.effective, then.effective},
        {QStringLiteral("水晶体"), now.lens, then.lens},
        {QStringLiteral("皮膚"), now.skin, then.skin},
        {QStringLiteral("内部"), now.internal, then.internal},
    };
    for (const auto& [what, before, after] : doses)
        if (before != after)
            changes << QStringLiteral("%1 %2 → %3").arg(what, plainForm(before), plainForm(after));
    if (now.comment != then.comment)
        changes << QStringLiteral("備考 %1 → %2").arg(now.comment, then.comment);
    return changes.join(QStringLiteral("、"));
}

// The number of a typed target year or month: only digits (full-width ones too) and blanks, between
// `fewestDigits` and `mostDigits` of them; nothing otherwise.
std::optional<int> targetNumber(const QString& typed, int fewestDigits, int mostDigits)
{
    QString digits;
    for (const QChar c : typed) {
        if (c == QLatin1Char(' ') || c == QChar(0x3000))
            continue;
        if (c >= QChar(0xFF10) && c <= QChar(0xFF19))
            digits += QChar(u'0' + (c.unicode() - 0xFF10));
        else if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits += c;
        else
            return std::nullopt;
    }
    if (digits.size() < fewestDigits || digits.size() > mostDigits)
        return std::nullopt;
    return digits.toInt();
}

// A year of four digits from 1950 to 2100: a key of any other year is a typing slip (19875).
std::optional<int> targetYear(const QString& typed)
{
    const auto year = targetNumber(typed, 4, 4);
    return year && *year >= FirstRecordYear && *year <= LastRecordYear ? year : std::nullopt;
}

std::optional<int> targetMonth(const QString& typed)
{
    const auto month = targetNumber(typed, 1, 2);
    return month && *month >= 1 && *month <= 12 ? month : std::nullopt;
}

} // namespace
namespace {

const QString NoMonthMessage = QStringLiteral("対象年月を指定して下さい");
const QString SaveQuestion = QStringLiteral("データ入力に間違いはありませんか？");
const QString SavedMessage = QStringLiteral("全データを保存しました。");
const QString ExitQuestion = QStringLiteral("データ入力を終了・キャンセルしますか？");
const QString SavedMonthHint = QStringLiteral("\n保存済みの値を変えるには、氏名をダブルクリックしてから"
                                              "「データ訂正」で訂正して下さい。");
const QString NoPersonMessage = QStringLiteral("該当者を選択して下さい");
const QString RemoveQuestion = QStringLiteral("登録を抹消していいですか？");
const QString NotListedMessage = QStringLiteral("該当者が登録者リストにありません");

} // namespace

Form2::Form2(SharedState& sharedState, const DataDir& dir, Dialogs& messageBoxes, EntryWindowsBeside windowsBeside)
    : state(sharedState), dataDir(dir), dialogs(messageBoxes), windows(std::move(windowsBeside))
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("データ入力／訂正"));
    setClientTwips(this, 7620, 10935);
    setFont(systemFont(ProportionalGothicFont, 11.25));
    buildControls();
    buildDefaultsNote();
    connectKeys();

    connect(List1, &QListWidget::itemDoubleClicked, this, &Form2::List1DoubleClick);
    connect(Command4, &QPushButton::clicked, this, &Form2::Command4Click);
    connect(Command3, &QPushButton::clicked, this, &Form2::Command3Click);
    connect(Command2, &QPushButton::clicked, this, &Form2::Command2Click);
    new WayOut(
        this, [this] { return (isVisible() || windows.anyOpen()) && holdsUnsaved(); }, [this] { return confirmExit(); },
        [this] { leaveToMenu(); });
    connect(Command7, &QPushButton::clicked, this, &Form2::Command7Click);
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1Click);
    connect(Command5, &QPushButton::clicked, this, &Form2::Command5Click);
    connect(Command6, &QPushButton::clicked, this, &Form2::Command6Click);
    connect(Command8, &QPushButton::clicked, this, &Form2::Command8Click);
    connect(Command9, &QPushButton::clicked, this, &Form2::Command9Click);
    connect(Command10, &QPushButton::clicked, this, &Form2::Command10Click);
    connect(Command11, &QPushButton::clicked, this, &Form2::Command11Click);
}

void Form2::buildControls()
{
    makeRectangle(this, 3240, 240, 4215, 1455);
    makeRectangle(this, 3240, 1800, 4215, 7215);

    makeLabel(this, QStringLiteral("Label27"), QStringLiteral("登録者リスト"), 360, 120, 1335, 375);
    Command6 = makeButton(this, QStringLiteral("Command6"), QStringLiteral("再表示"), 1800, 120, 1215, 375);
    List1 = makeList(this, QStringLiteral("List1"), 240, 480, 2775, 9060);

    makeLabel(this, QStringLiteral("Label6"), QStringLiteral("対象年月"), 3600, 600, 1215, 375);
    Command7 = makeButton(this, QStringLiteral("Command7"), QStringLiteral("Reset"), 5520, 600, 1095, 375);
    Text7 = makeTextBox(this, QStringLiteral("Text7"), 4440, 1080, 1215, 375);
    makeLabel(this, QStringLiteral("Label8"), QStringLiteral("年"), 5700, 1140, 300, 300);
    Text6 = makeTextBox(this, QStringLiteral("Text6"), 6120, 1080, 495, 375);
    makeLabel(this, QStringLiteral("Label7"), QStringLiteral("月"), 6660, 1140, 300, 300);

    const auto personField = [this](const QString& label, const QString& caption, const QString& name, int top) {
        makeLabel(this, label, caption, 3480, top + 60, 1335, 300);
        QLineEdit* field = makeTextBox(this, name, 4920, top, 2295, 375);
        field->setReadOnly(true); // shows the person last double-clicked
        setBackground(field, LightCyan);
        return field;
    };
    Text1 = personField(QStringLiteral("Label2"), QStringLiteral("登録番号"), QStringLiteral("Text1"), 2040);
    Text2 = personField(QStringLiteral("Label1"), QStringLiteral("氏　名"), QStringLiteral("Text2"), 2520);
    Text4 = personField(QStringLiteral("Label4"), QStringLiteral("性　別"), QStringLiteral("Text4"), 2880);
    Text5 = personField(QStringLiteral("Label5"), QStringLiteral("生年月日"), QStringLiteral("Text5"), 3240);
    Text3 = personField(QStringLiteral("Label3"), QStringLiteral("職　種"), QStringLiteral("Text3"), 3720);
    Text10 = personField(QStringLiteral("Label13"), QStringLiteral("所　属"), QStringLiteral("Text10"), 4080);

    makeLabel(this, QStringLiteral("Label14"), QStringLiteral("対象年月の被曝線量"), 3480, 4680, 2415, 300);
    const auto doseField = [this](const QString& label, const QString& caption, const QString& name,
                                  const QString& unit, int top) {
        makeLabel(this, label, caption, 3960, top + 45, 1035, 300);
        QLineEdit* field = makeTextBox(this, name, 5040, top, 1455, 360);
        makeLabel(this, unit, QStringLiteral("mSv"), 6555, top + 45, 555, 300);
        return field;
    };
    makeLabel(this, QStringLiteral("Label9"), QStringLiteral("外部被曝"), 3480, 5100, 1215, 300);
    Text8 = doseField(QStringLiteral("Label23"), QStringLiteral("実効線量"), QStringLiteral("Text8"),
                      QStringLiteral("Label11"), 5400);
    Text9 = doseField(QStringLiteral("Label24"), QStringLiteral("水晶体"), QStringLiteral("Text9"),
                      QStringLiteral("Label12"), 5760);
    Text11 = doseField(QStringLiteral("Label25"), QStringLiteral("皮　膚"), QStringLiteral("Text11"),
                       QStringLiteral("Label21"), 6120);
    makeLabel(this, QStringLiteral("Label10"), QStringLiteral("内部被曝"), 3480, 6660, 1215, 300);
    Text12 = doseField(QStringLiteral("Label26"), QStringLiteral("実効線量"), QStringLiteral("Text12"),
                       QStringLiteral("Label22"), 6960);
    makeLabel(this, QStringLiteral("Label28"), QStringLiteral("(入力例 1.23E-03)"), 4800, 7320, 2295, 300);
    makeLabel(this, QStringLiteral("Label29"), QStringLiteral("備考 (コメント)"), 3480, 7725, 1575, 300);
    Text13 = makeTextBox(this, QStringLiteral("Text13"), 5040, 7680, 2175, 360);

    Command4 = makeButton(this, QStringLiteral("Command4"), QStringLiteral("確  定"), 4440, 8280, 1815, 495);
    Command1 = makeButton(this, QStringLiteral("Command1"), QStringLiteral("新規登録"), 240, 9720, 1335, 495);
    Command5 = makeButton(this, QStringLiteral("Command5"), QStringLiteral("登録抹消"), 240, 10320, 1335, 495);
    Command8 = makeButton(this, QStringLiteral("Command8"), QStringLiteral("データ訂正"), 1680, 10320, 1335, 495);
    Command3 = makeButton(this, QStringLiteral("Command3"), QStringLiteral("全データ保存"), 3480, 10320, 1695, 495);
    Command2 = makeButton(this, QStringLiteral("Command2"), QStringLiteral("EXIT/cancel"), 5640, 10320, 1695, 495);
    // The CSV buttons fill the free space above "データ訂正" and left of the defaults note, in a smaller font.
    Command9 = makeButton(this, QStringLiteral("Command9"), QStringLiteral("CSVテンプレート"), 1680, 9720, 1485, 495);
    Command10 = makeButton(this, QStringLiteral("Command10"), QStringLiteral("CSV取込"), 3225, 9720, 855, 495);
    // Beside the heading of the doses: what else counts in the person's limits.
    Command11 = makeButton(this, QStringLiteral("Command11"), QStringLiteral("他施設・申告"), 5940, 4620, 1395, 375);
    for (CommandButton* smallButton : {Command9, Command10, Command11})
        smallButton->setFont(systemFont(ProportionalGothicFont, 9));

    QWidget* order[] = {List1,     Text7,    Text6,    Command7, Text8,    Text9,    Text11,
                        Text12,    Text13,   Command4, Command3, Command2, Command1, Command9,
                        Command10, Command5, Command8, Command6, Command11};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    for (QLineEdit* shown : {Text1, Text2, Text4, Text5, Text3, Text10})
        shown->setFocusPolicy(Qt::NoFocus);
}

void Form2::buildDefaultsNote()
{
    const auto noteLabel = [this](const QString& name, const QString& caption, int left, int top, int width,
                                  bool bold) {
        QLabel* label = makeLabel(this, name, caption, left, top, width, 300);
        label->setFont(systemFont(ProportionalGothicFont, 11.25, bold));
    };
    noteLabel(QStringLiteral("Label15"), QStringLiteral("入力しなかった人の"), 3360, 9120, 2415, false);
    noteLabel(QStringLiteral("Label16"), QStringLiteral("外部被曝は"), 4200, 9480, 1335, false);
    noteLabel(QStringLiteral("Label19"), QStringLiteral("M"), 5520, 9480, 255, true);
    noteLabel(QStringLiteral("Label17"), QStringLiteral("内部被曝は"), 5880, 9480, 1335, false);
    noteLabel(QStringLiteral("Label18"), QStringLiteral("0"), 7200, 9480, 255, true);
    noteLabel(QStringLiteral("Label20"), QStringLiteral("としてデータ保存します"), 4200, 9840, 2895, false);
}

void Form2::connectKeys()
{
    // Enter in a filled year, then month, locks the target month field by field, once it is a year or
    // a month.
    const auto lockOnEnter = [this](QLineEdit* field, QLineEdit* next, auto valid) {
        connect(field, &QLineEdit::returnPressed, this, [this, field, next, valid] {
            if (field->text().isEmpty())
                return;
            if (!valid(field->text())) {
                dialogs.warn(InvalidInputMessage);
                moveFocusTo(field);
                return;
            }
            field->setEnabled(false);
            enableCsvButtons();
            // A month saved already is told as soon as it is fixed, before any dose is typed for it.
            if (!Text7->isEnabled() && !Text6->isEnabled() && !monthToEnter())
                return;
            moveFocusTo(next);
        });
    };
    lockOnEnter(Text7, Text6, targetYear);
    lockOnEnter(Text6, Text8, targetMonth);
    moveOnEnter(Text8, Text9, false);
    moveOnEnter(Text9, Text11, false);
    moveOnEnter(Text11, Text12, false);
    moveOnEnter(Text12, Text13, false);
    moveOnEnter(Text13, Command4, false);
    for (QLineEdit* field : {Text8, Text9, Text11, Text12, Text13})
        connect(field, &QLineEdit::textEdited, this, [this] { typedSinceShown = true; });
}

void Form2::clearForOpening()
{
    List1->clear();
    List1->setFocus(); // first in the tab order: it has the focus when the window opens
    emptyPersonFields();
    emptyDoseFields();
    unlockTargetMonth();
}

void Form2::showRegistrants()
{
    List1->clear();
    List1->addItems(state.registrants.names);
    markConfirmed();
}

void Form2::markConfirmed()
{
    // The list holds the registrants in list order, as the values waiting to be saved do. A mark as tall as
    // a name, and room for it on every row, so that the rows stay even and the names in line.
    List1->setIconSize(QSize(12, 12));
    const QIcon mark = style()->standardIcon(QStyle::SP_DialogApplyButton);
    QPixmap blank(12, 12);
    blank.fill(Qt::transparent);
    const QIcon room(blank);
    for (int row = 0; row < List1->count(); ++row) {
        const auto position = static_cast<size_t>(row);
        const bool confirmed = position < state.pendingEntries.size() &&
                               (state.pendingEntries[position].typed || state.pendingEntries[position].imported);
        QListWidgetItem* item = List1->item(row);
        item->setIcon(confirmed ? mark : room);
        item->setBackground(confirmed ? QColor(214, 240, 214) : QColor(Qt::transparent));
        item->setToolTip(confirmed ? QStringLiteral("確定済み（「全データ保存」で保存します）") : QString());
    }
}

QString Form2::confirmedCounts(MonthKey key) const
{
    const auto count = [this](bool PendingEntry::*flag) {
        return std::count_if(state.pendingEntries.begin(), state.pendingEntries.end(),
                             [flag](const PendingEntry& e) { return e.*flag; });
    };
    const qsizetype typed = count(&PendingEntry::typed);
    const qsizetype imported = count(&PendingEntry::imported);
    const qsizetype rest = state.registrants.count() - typed - imported;
    QString text = QStringLiteral("%1：登録者%2名のうち、確定した人 %3名（入力 %4名、CSV取込 %5名）")
                       .arg(monthName(key))
                       .arg(state.registrants.count())
                       .arg(typed + imported)
                       .arg(typed)
                       .arg(imported);
    if (rest > 0)
        text += QStringLiteral("\n入力しなかった%1名は、外部被曝 M、内部被曝 0 として保存します。").arg(rest);
    return text;
}

void Form2::List1DoubleClick(QListWidgetItem* item)
{
    const auto header = ReadPersonalHeader(dataDir, item->text(), 6);
    if (!header) {
        dialogs.warn(messageOf(header.error()));
        // Nobody is shown, so nothing typed can be confirmed for the person shown before.
        state.current.header = {};
        emptyPersonFields();
        emptyDoseFields();
        return;
    }
    state.current.header = *header;
    Text1->setText(plainForm(header->registrationNumber));
    Text2->setText(header->name);
    Text3->setText(header->jobType);
    Text4->setText(header->sexCode == 0 ? QStringLiteral("男") : QStringLiteral("女"));
    Text5->setText(dateInKanji(header->dateOfBirth));
    Text10->setText(header->affiliation);
    for (QLineEdit* dose : {Text8, Text9, Text11, Text12})
        dose->clear();
    Text13->setText(NoComment);
    if (const qsizetype position = state.positionOf(header->name);
        position >= 0 && (state.pendingEntries[position].typed || state.pendingEntries[position].imported))
        showConfirmedValues(state.pendingEntries[position]);
    typedSinceShown = false;
    Text8->setFocus();
}

void Form2::showConfirmedValues(const PendingEntry& entry)
{
    // Each value as a text that confirming reads back to the same number.
    Text8->setText(plainForm(entry.effective));
    Text9->setText(plainForm(entry.lens));
    Text11->setText(plainForm(entry.skin));
    Text12->setText(plainForm(entry.internal));
    Text13->setText(entry.comment);
}

std::optional<MonthKey> Form2::monthToEnter()
{
    if (const auto typed = typedMonthKey(Text7->text(), Text6->text()); typed && *typed == 0) {
        dialogs.warn(NoMonthMessage);
        return std::nullopt;
    }
    const auto year = targetYear(Text7->text());
    const auto month = targetMonth(Text6->text());
    if (!year || !month) {
        dialogs.warn(InvalidInputMessage);
        return std::nullopt;
    }
    const MonthKey key = MonthKey{*year} * 100 + *month;
    if (state.enteredMonths.contains(key)) {
        dialogs.warn(messageOf(failure(FailureKind::MonthEntered)) + SavedMonthHint);
        unlockTargetMonth();
        moveFocusTo(Text7);
        return std::nullopt;
    }
    return key;
}

void Form2::unlockTargetMonth()
{
    for (QLineEdit* field : {Text6, Text7}) {
        field->setEnabled(true);
        field->clear();
    }
    enableCsvButtons();
}

void Form2::enableCsvButtons()
{
    const bool locked = !Text7->isEnabled() && !Text6->isEnabled();
    Command9->setEnabled(locked);
    Command10->setEnabled(locked);
}

void Form2::emptyDoseFields()
{
    for (QLineEdit* field : {Text8, Text9, Text11, Text12, Text13})
        field->clear();
    typedSinceShown = false;
}

void Form2::emptyPersonFields()
{
    for (QLineEdit* field : {Text1, Text2, Text4, Text5, Text3, Text10})
        field->clear();
}

void Form2::Command4Click()
{
    confirmShownPerson();
}

bool Form2::confirmShownPerson()
{
    const auto key = monthToEnter();
    if (!key)
        return false;
    QLineEdit* const doses[] = {Text8, Text9, Text11, Text12};
    const bool noDose =
        std::all_of(std::begin(doses), std::end(doses), [](QLineEdit* f) { return f->text().isEmpty(); });
    PendingEntry entry{LeadingNumber(Text8->text()), LeadingNumber(Text9->text()), LeadingNumber(Text11->text()),
                       LeadingNumber(Text12->text()), Text13->text().isEmpty() ? NoComment : Text13->text()};
    entry.typed = true;
    if (Text1->text().isEmpty() || noDose) {
        dialogs.warn(InvalidInputMessage);
        return false;
    }
    if (const auto problem = typedDosesProblem({Text8->text(), Text9->text(), Text11->text(), Text12->text()})) {
        dialogs.warn(*problem);
        return false;
    }
    if (const auto problem = storableTextProblem(entry.comment)) {
        dialogs.warn(messageOf(*problem));
        return false;
    }
    const qsizetype position = state.positionOf(Text2->text());
    if (position < 0) {
        dialogs.warn(NotListedMessage);
        return false;
    }
    state.pendingEntries[position] = entry;
    markConfirmed();
    emptyPersonFields();
    emptyDoseFields();
    return true;
}

void Form2::Command3Click()
{
    // Doses typed for the person shown but not confirmed would otherwise be saved as the defaults.
    if (typedSinceShown && !Text2->text().isEmpty() &&
        (!dialogs.confirmRisky(
             QStringLiteral("%1さんの入力が確定されていません。確定してから保存しますか？").arg(Text2->text())) ||
         !confirmShownPerson()))
        return;
    const auto key = monthToEnter();
    if (!key)
        return;
    if (!confirmWithLimitFindings(state.pendingEntries, *key, {},
                                  confirmedCounts(*key) + QStringLiteral("\n\n") + SaveQuestion, false))
        return;
    saveAll(*key);
}

void Form2::saveAll(MonthKey key)
{
    if (const auto held = state.confirmEntryLock(); !held) {
        dialogs.warn(messageOf(held.error()));
        return;
    }
    // Feedback only when the save takes longer than half a second (a large store).
    QProgressDialog progress(QStringLiteral("データを保存しています..."), QString(), 0,
                             static_cast<int>(saveAllSteps(state.registrants.count())), this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setCancelButton(nullptr);
    const auto saved = SaveMonthForAll(dataDir, state.registrants, state.pendingEntries, key, HeldValues::Keep,
                                       [&progress](qsizetype done) {
                                           progress.setValue(static_cast<int>(done));
                                           return true;
                                       });
    progress.reset();
    if (!saved) {
        dialogs.warn(messageOf(saved.error()));
        if (saved.error().kind == FailureKind::MonthEntered) // saved meanwhile by another copy of the program
            unlockTargetMonth();
        return;
    }
    if (saved->isEmpty())
        dialogs.inform(SavedMessage);
    else
        dialogs.warn(SavedMessage + QStringLiteral("\n\n次の人にはこの年月のデータが既に保存されていたため、"
                                                   "確定した値では保存していません。保存済みの値を変えるには"
                                                   "「データ訂正」で訂正して下さい。\n%1")
                                        .arg(listForMessage(*saved, QStringLiteral("名"))));
    leaveToMenu();
}

bool Form2::holdsUnsaved() const
{
    return typedSinceShown || std::any_of(state.pendingEntries.begin(), state.pendingEntries.end(),
                                          [](const PendingEntry& e) { return e.typed || e.imported; });
}

bool Form2::confirmExit()
{
    // With values confirmed or typed and not yet saved, "はい" drops them: then "いいえ" is the default, and the
    // question says how many persons' confirmed values would be lost.
    if (!holdsUnsaved())
        return dialogs.confirmYesNo(ExitQuestion);
    const auto confirmed = std::count_if(state.pendingEntries.begin(), state.pendingEntries.end(),
                                         [](const PendingEntry& e) { return e.typed || e.imported; });
    return dialogs.confirmRisky(
        (confirmed > 0 ? QStringLiteral("確定した%1名分の値が保存されていません。").arg(confirmed) : QString()) +
        ExitQuestion);
}

void Form2::Command2Click()
{
    if (confirmExit())
        leaveToMenu();
}

void Form2::Command7Click()
{
    unlockTargetMonth();
}

void Form2::Command1Click()
{
    if (windows.registration())
        hide();
}

void Form2::returnFromRegistration()
{
    showRegistrants();
    showAndActivate(this);
}

void Form2::Command5Click()
{
    if (Text2->text().isEmpty()) {
        dialogs.inform(NoPersonMessage);
        return;
    }
    if (!dialogs.confirmOkCancel(RemoveQuestion))
        return;
    const QString name = Text2->text();
    if (const auto removed = RemoveRegistrant(dataDir, state, name); !removed) {
        dialogs.warn(messageOf(removed.error()));
        if (!isWritten(removed))
            return;
    }
    Command6Click();
    emptyPersonFields();
    emit registrantRemoved(name);
}

void Form2::Command6Click()
{
    const auto registrants = LoadRegistrantList(dataDir);
    if (!registrants) {
        dialogs.warn(messageOf(registrants.error()));
        return;
    }
    state.replaceRegistrants(*registrants);
    showRegistrants();
}

void Form2::Command8Click()
{
    if (Text2->text().isEmpty()) {
        dialogs.inform(NoPersonMessage);
        return;
    }
    if (windows.correction({Text1->text(), Text2->text(), Text4->text(), Text5->text(), Text3->text(), Text10->text()}))
        hide();
}

void Form2::Command9Click()
{
    const auto key = monthToEnter();
    if (!key)
        return;
    const QString path = dialogs.chooseCsvToSave(QStringLiteral("CSVテンプレートの保存先"),
                                                 QDir(dataDir.root()).filePath(monthTemplateName(*key)));
    if (path.isEmpty())
        return;
    if (const auto written = WriteMonthTemplate(dataDir, state.registrants, path); !written) {
        dialogs.warn(messageOf(written.error()));
        return;
    }
    dialogs.inform(QStringLiteral("CSVテンプレートを保存しました。\n%1").arg(QDir::toNativeSeparators(path)));
}

void Form2::Command10Click()
{
    const auto key = monthToEnter();
    if (!key)
        return;
    const QString path = dialogs.chooseCsvToOpen(QStringLiteral("取り込むCSVファイル"), dataDir.root());
    if (path.isEmpty())
        return;
    const QString file = QFileInfo(path).fileName();
    // Its first rows tell the template from a service's file, and show the latter in the layout window.
    const auto bytes = csv::fileBytes(path);
    QList<QStringList> firstRows;
    const Status begun = bytes ? csv::forEachRow(*bytes, file,
                                                 [&firstRows](const csv::Row& row) {
                                                     firstRows << row.cells;
                                                     return firstRows.size() < 12;
                                                 })
                               : Status(bytes.error());
    if (!begun) {
        dialogs.warn(messageOf(begun.error()));
        return;
    }
    // An empty file is refused as the template's reader refuses it, naming the columns it lacks.
    if (firstRows.isEmpty() || hasMonthCsvHeadings(firstRows.first())) {
        const auto rows = csv::readRows(*bytes, file);
        const auto import =
            rows ? ReadMonthImport(dataDir, state.registrants, *rows, file) : Result<MonthImport>(rows.error());
        if (!import) {
            dialogs.warn(messageOf(import.error()));
            return;
        }
        takeImport(*import, monthImportReport(*import, state.registrants.count(), *key), import->hasDoubts(), *key);
    } else {
        importServiceFile(path, *bytes, firstRows, *key);
    }
}

void Form2::importServiceFile(const QString& path, const QByteArray& bytes, const QList<QStringList>& firstRows,
                              MonthKey key)
{
    const auto layouts = ReadImportLayouts(dataDir);
    const auto known = ReadDosimeters(dataDir);
    if (!layouts || !known) {
        dialogs.warn(messageOf(!layouts ? layouts.error() : known.error()));
        return;
    }
    const QFileInfo file(path);
    ImportLayoutWindow window(
        file.fileName(), firstRows,
        layoutFor(*layouts, firstRows).value_or(proposedLayout(firstRows, file.completeBaseName())), dialogs, this);
    if (!dialogs.showModal(window))
        return;
    // The layout is kept under its name, in place of one of the same name.
    const ImportLayout chosen = window.layout();
    QList<ImportLayout> saved = *layouts;
    const auto same =
        std::find_if(saved.begin(), saved.end(), [&](const ImportLayout& l) { return l.name == chosen.name; });
    if (same == saved.end())
        saved << chosen;
    else
        *same = chosen;
    if (saved != *layouts)
        if (const auto written = WriteImportLayouts(dataDir, saved); !written) {
            dialogs.warn(messageOf(written.error()));
            return;
        }
    auto import = ReadServiceImport(dataDir, state.registrants, bytes, file.fileName(), chosen, key, *known);
    if (!import) {
        dialogs.warn(messageOf(import.error()));
        return;
    }
    // Every person's doses beside the readings they come from, before any question.
    if (!import->rows.isEmpty()) {
        ServiceReviewWindow review(*import, monthName(key), this);
        if (!dialogs.showModal(review))
            return;
    }
    if (!import->differing.isEmpty() &&
        !dialogs.confirmYesNo(
            QStringLiteral("測定サービスの線量と、部位別の値から計算した線量が合わない人が%1名います。\n%2\n\n"
                           "測定サービスの線量を取り込みますか？\n「いいえ」では計算した線量を取り込みます。")
                .arg(import->differing.size())
                .arg(listForMessage(import->differing, QStringLiteral("名"), 20))))
        takeComputed(*import);
    if (!takeImport(import->month, serviceImportReport(*import, state.registrants.count(), key), import->hasDoubts(),
                    key))
        return;
    // The numbers and wearings the file taught stay with the persons for the next month's file.
    if (import->dosimeters != *known)
        if (const auto recorded = SaveDosimeters(dataDir, *known, import->dosimeters); !recorded)
            dialogs.warn(messageOf(recorded.error()));
}

bool Form2::takeImport(const MonthImport& import, const QString& review, bool doubtful, MonthKey key)
{
    auto pending = state.pendingEntries;
    QList<size_t> typedChanged; // persons whose values confirmed by hand the file would change
    QStringList changes;
    for (size_t position = 0; position < import.values.size(); ++position) {
        if (!import.values[position])
            continue;
        const PendingEntry& typed = state.pendingEntries[position];
        if (const QString change = valueChanges(typed, *import.values[position]); typed.typed && !change.isEmpty()) {
            typedChanged << position;
            changes << state.registrants.names[static_cast<qsizetype>(position)] + QStringLiteral("　") + change;
        }
        pending[position] = *import.values[position];
    }
    QString report = review;
    if (!changes.isEmpty())
        report += QStringLiteral("\n\n入力済みの値を変更：%1名\n%2")
                      .arg(changes.size())
                      .arg(listForMessage(changes, QStringLiteral("名"), 20));
    if (!confirmWithLimitFindings(pending, key, report,
                                  QStringLiteral("取り込んだ値は「全データ保存」で保存します。取り込みますか？"),
                                  doubtful || !changes.isEmpty()))
        return false;
    // Values confirmed by hand stay unless the operator answers to replace them.
    if (!changes.isEmpty() &&
        !dialogs.confirmRisky(QStringLiteral("入力済みの値を変更する%1名を、CSVの値に置き換えますか？\n"
                                             "「いいえ」では入力した値のままにします。")
                                  .arg(changes.size())))
        for (const size_t position : typedChanged)
            pending[position] = state.pendingEntries[position];
    state.pendingEntries = pending;
    markConfirmed();
    // Fields typed for the person shown are not confirmed: the imported values stand.
    emptyPersonFields();
    emptyDoseFields();
    return true;
}

void Form2::Command11Click()
{
    // The person shown, else the one chosen in the list.
    QString name = Text2->text();
    if (name.isEmpty() && List1->currentItem())
        name = List1->currentItem()->text();
    windows.additions(name);
}

bool Form2::confirmWithLimitFindings(const std::vector<PendingEntry>& pending, MonthKey key, const QString& before,
                                     const QString& question, bool doubtful)
{
    const LimitFindings findings = [&] {
        const WaitCursor wait; // every file with values is read: a moment on a large store
        return monthLimitFindings(dataDir, state.registrants, pending, key);
    }();
    QStringList paragraphs;
    for (const QString& paragraph : {before, monthLimitReport(findings), question})
        if (!paragraph.isEmpty())
            paragraphs << paragraph;
    const QString text = paragraphs.join(QStringLiteral("\n\n"));
    return doubtful || !findings.over.isEmpty() ? dialogs.confirmDoubtful(text) : dialogs.confirmOkCancel(text);
}

void Form2::showCorrected(const PersonalHeader& header)
{
    Text3->setText(header.jobType);
    Text10->setText(header.affiliation);
    Text4->setText(header.sexCode == 0 ? QStringLiteral("男") : QStringLiteral("女"));
    Text5->setText(dateInKanji(header.dateOfBirth));
}

void Form2::leaveToMenu()
{
    hide();
    emit returnedToMenu();
}

} // namespace velmora
