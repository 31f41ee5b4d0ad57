#include "gui/correction/Form6.h"

#include "core/changes/RecordedWrites.h"
#include "core/files/NumberForms.h"
#include "core/files/PersonalFile.h"
#include "core/files/PositionalForms.h"
#include "core/model/Calendar.h"
#include "core/rules/EntryRules.h"
#include "core/texts/Messages.h"
#include "gui/platform/Fonts.h"
#include "gui/widgets/Controls.h"
#include "gui/widgets/Twips.h"
#include "gui/widgets/WayOut.h"

namespace velmora {
namespace {

const QColor LightYellow(255, 255, 192);
const QColor LightGreen(192, 255, 192);
const QString NoPastExposure = QStringLiteral("なし");

QLabel* caption(QWidget* window, const QString& name, const QString& text, int left, int top, int width,
                const QColor& background)
{
    QLabel* label = makeLabel(window, name, text, left, top, width, 375);
    label->setAlignment(Qt::AlignCenter);
    setBackground(label, background);
    return label;
}

} // namespace

Form6::Form6(SharedState& sharedState, const DataDir& dir, Dialogs& messageBoxes, const Clock& systemClock)
    : state(sharedState), dataDir(dir), dialogs(messageBoxes), clock(systemClock)
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("入力済みデータの訂正"));
    setClientTwips(this, 7020, 10035);
    setFont(systemFont(ProportionalGothicFont, 11.25));
    buildControls();

    connect(List1, &QListWidget::itemSelectionChanged, this, &Form6::List1Click);
    connect(Command4, &QPushButton::clicked, this, &Form6::Command4Click);
    connect(Command3, &QPushButton::clicked, this, &Form6::Command3Click);
    connect(Command2, &QPushButton::clicked, this, &Form6::Command2Click);
    connect(Command1, &QPushButton::clicked, this, [this] {
        if (mayDropChanges())
            leave();
    });
    new WayOut(
        this, [this] { return isVisible() && holdsChanges(); }, [this] { return mayDropChanges(); },
        [this] { leave(); });
    moveOnEnter(Text8, Text9, false);
    moveOnEnter(Text9, Text11, false);
    moveOnEnter(Text11, Text12, false);
    moveOnEnter(Text12, Text13, false);
    moveOnEnter(Text13, Command4, false);
}

void Form6::buildControls()
{
    makeRectangle(this, 100, 100, 6735, 9015, Qt::white);
    makeRectangle(this, 120, 120, 6735, 9015, Qt::black);
    makeLabel(this, QStringLiteral("Label7"), QStringLiteral("訂正の対象者"), 360, 360, 1935, 300);

    // The person column: a caption on light yellow and its box, shown only (light cyan) or editable.
    const auto personField = [this](const QString& label, const QString& text, const QString& name, int top,
                                    bool editable) {
        caption(this, label, text, 360, top, 1335, LightYellow);
        QLineEdit* box = makeTextBox(this, name, 1800, top, 2295, 375);
        box->setReadOnly(!editable);
        if (!editable) {
            box->setFocusPolicy(Qt::NoFocus);
            setBackground(box, LightCyan);
        }
        return box;
    };
    Text1 = personField(QStringLiteral("Label2"), QStringLiteral("登録番号"), QStringLiteral("Text1"), 735, false);
    Text7 = personField(QStringLiteral("Label15"), QStringLiteral("登録年月日"), QStringLiteral("Text7"), 1080, true);
    Text2 = personField(QStringLiteral("Label1"), QStringLiteral("氏　名"), QStringLiteral("Text2"), 1575, false);
    // Sex and birth day typed by a slip at registration are corrected here too: the limits and the totals
    // follow them.
    Text4 = personField(QStringLiteral("Label4"), QStringLiteral("性　別"), QStringLiteral("Text4"), 1935, true);
    Text4->setToolTip(QStringLiteral("男 または 女"));
    Text5 = personField(QStringLiteral("Label5"), QStringLiteral("生年月日"), QStringLiteral("Text5"), 2295, true);
    Text5->setToolTip(QStringLiteral("例：1965年04月12日 または 1965/04/12"));
    Text10 = personField(QStringLiteral("Label13"), QStringLiteral("所　属"), QStringLiteral("Text10"), 2775, true);
    Text3 = personField(QStringLiteral("Label3"), QStringLiteral("職　種"), QStringLiteral("Text3"), 3135, true);
    Text14 = personField(QStringLiteral("Label16"), QStringLiteral("過去被曝歴"), QStringLiteral("Text14"), 3600, true);
    placeTwips(Text14, 1800, 3600, 1575, 375);
    caption(this, QStringLiteral("Label17"), QStringLiteral("mSv"), 3420, 3600, 615, LightYellow);

    caption(this, QStringLiteral("Label8"), QStringLiteral("訂正対象"), 360, 4320, 1335, LightGreen);
    Text6 = makeTextBox(this, QStringLiteral("Text6"), 1800, 4320, 2295, 375);
    Text6->setReadOnly(true);
    Text6->setFocusPolicy(Qt::NoFocus);
    setBackground(Text6, LightYellow);

    makeLabel(this, QStringLiteral("Label14"), QStringLiteral("対象年月の被曝線量"), 360, 4815, 2415, 300);
    caption(this, QStringLiteral("Label9"), QStringLiteral("外部被曝"), 360, 5175, 1335, LightGreen);
    const auto doseField = [this](const QString& label, const QString& text, const QString& name, const QString& unit,
                                  int top) {
        caption(this, label, text, 840, top, 1035, LightYellow);
        QLineEdit* box = makeTextBox(this, name, 1935, top, 1455, 375);
        caption(this, unit, QStringLiteral("mSv"), 3450, top, 615, LightYellow);
        return box;
    };
    Text8 = doseField(QStringLiteral("Label23"), QStringLiteral("実効線量"), QStringLiteral("Text8"),
                      QStringLiteral("Label11"), 5535);
    Text9 = doseField(QStringLiteral("Label24"), QStringLiteral("水晶体"), QStringLiteral("Text9"),
                      QStringLiteral("Label12"), 5895);
    Text11 = doseField(QStringLiteral("Label25"), QStringLiteral("皮　膚"), QStringLiteral("Text11"),
                       QStringLiteral("Label21"), 6255);
    caption(this, QStringLiteral("Label10"), QStringLiteral("内部被曝"), 360, 6735, 1335, LightGreen);
    Text12 = doseField(QStringLiteral("Label26"), QStringLiteral("実効線量"), QStringLiteral("Text12"),
                       QStringLiteral("Label22"), 7095);
    makeLabel(this, QStringLiteral("Label28"), QStringLiteral("(入力例 1.23E-03)"), 1935, 7455, 2295, 300);
    caption(this, QStringLiteral("Label29"), QStringLiteral("備考 (コメント)"), 360, 7815, 1535, LightGreen);
    Text13 = makeTextBox(this, QStringLiteral("Text13"), 1935, 7815, 2175, 375);

    Command4 = makeButton(this, QStringLiteral("Command4"), QStringLiteral("訂正"), 1080, 8400, 1215, 495);
    Command3 = makeButton(this, QStringLiteral("Command3"), QStringLiteral("削除"), 2520, 8400, 1215, 495);
    Command3->setToolTip(QStringLiteral("この月のデータを削除する"));
    Command2 = makeButton(this, QStringLiteral("Command2"), QStringLiteral("全訂正終了"), 1320, 9360, 1935, 495);
    Command1 = makeButton(this, QStringLiteral("Command1"), QStringLiteral("Cancel"), 3840, 9360, 1335, 495);

    makeLabel(this, QStringLiteral("Label6"), QStringLiteral("訂正の対象年月"), 4560, 360, 1935, 300);
    List1 = makeList(this, QStringLiteral("List1"), 4440, 720, 2175, 7935);

    QWidget* order[] = {Text7,  Text4,  Text5,  Text10,   Text3,    Text14,   Text8,    Text9,
                        Text11, Text12, Text13, Command4, Command3, Command2, Command1, List1};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

bool Form6::openFor(const ShownPerson& person)
{
    auto file = ReadPersonalFile(dataDir, person.name);
    if (!file) {
        dialogs.warn(messageOf(file.error()));
        return false;
    }
    Text1->setText(person.registrationNumber);
    Text2->setText(person.name);
    Text4->setText(person.sex);
    Text5->setText(person.dateOfBirth);
    shownSex = person.sex;
    shownBirthDay = person.dateOfBirth;
    Text3->setText(person.jobType);
    Text10->setText(person.affiliation);
    emptyDoseFields();
    openedName = person.name;
    state.current = std::move(*file);
    fillMonthList();
    chooseNothing();
    const PersonalHeader& header = state.current.header;
    Text7->setText(header.registrationDate);
    Text14->setText(header.pastExposureFlag == 0 ? NoPastExposure : plainForm(header.pastDose));
    changed = false;
    Text10->setFocus();
    return true;
}

void Form6::fillMonthList()
{
    const QSignalBlocker quiet(List1); // refilling chooses no month
    List1->clear();
    for (const MonthlyRecord& record : state.current.records)
        List1->addItem(correctionMonthLabel(static_cast<double>(record.key)));
}

void Form6::emptyDoseFields()
{
    for (QLineEdit* field : {Text8, Text9, Text11, Text12, Text13})
        field->clear();
}

void Form6::chooseNothing()
{
    releaseChosenMonth();
    Text6->clear();
}

void Form6::releaseChosenMonth()
{
    chosenPosition = -1;
    Command4->setEnabled(false);
    Command3->setEnabled(false);
}

void Form6::List1Click()
{
    const QList<QListWidgetItem*> chosen = List1->selectedItems();
    if (chosen.isEmpty())
        return;
    const QString label = chosen.first()->text();
    const QList<MonthlyRecord>& records = state.current.records;
    // The first record of the month the label reads back as; a key too odd to read back from its label
    // (a year typed with fewer than four digits) stands for the record listed under it.
    const double key = keyOfCorrectionLabel(label);
    const auto first = std::find_if(records.begin(), records.end(),
                                    [key](const MonthlyRecord& r) { return static_cast<double>(r.key) == key; });
    chosenPosition = first != records.end() ? first - records.begin() : List1->row(chosen.first());
    const MonthlyRecord& record = records[chosenPosition];
    Text6->setText(label);
    Text8->setText(plainForm(record.effective));
    Text9->setText(plainForm(record.lens));
    Text11->setText(plainForm(record.skin));
    Text12->setText(plainForm(record.internal));
    Text13->setText(record.comment);
    Command4->setEnabled(true);
    Command3->setEnabled(true);
    moveFocusTo(Text8); // selected, so that a typed correction replaces the stored value
}

void Form6::Command4Click()
{
    if (chosenPosition >= 0)
        correctChosenMonth();
}

bool Form6::typedNotCorrected() const
{
    if (chosenPosition < 0)
        return false;
    const MonthlyRecord& record = state.current.records[chosenPosition];
    return Text8->text() != plainForm(record.effective) || Text9->text() != plainForm(record.lens) ||
           Text11->text() != plainForm(record.skin) || Text12->text() != plainForm(record.internal) ||
           Text13->text() != record.comment;
}

bool Form6::correctChosenMonth()
{
    const double doses[] = {LeadingNumber(Text8->text()), LeadingNumber(Text9->text()), LeadingNumber(Text11->text()),
                            LeadingNumber(Text12->text())};
    if (const auto problem = typedDosesProblem({Text8->text(), Text9->text(), Text11->text(), Text12->text()})) {
        dialogs.warn(*problem);
        return false;
    }
    const QString comment = Text13->text().isEmpty() ? NoComment : Text13->text();
    if (const auto problem = storableTextProblem(comment)) {
        dialogs.warn(messageOf(*problem));
        return false;
    }
    MonthlyRecord& record = state.current.records[chosenPosition];
    record.effective = doses[0];
    record.lens = doses[1];
    record.skin = doses[2];
    record.internal = doses[3];
    record.comment = comment;
    emptyDoseFields();
    // The emptied fields are no correction: nothing changes the record again (a second Enter on "訂正",
    // say) until a month is chosen again, which may be the same one, to see what it now holds.
    releaseChosenMonth();
    List1->clearSelection();
    changed = true;
    return true;
}

void Form6::Command3Click()
{
    if (chosenPosition < 0 || !dialogs.confirmOkCancel(QStringLiteral("この月のデータを削除します。")))
        return;
    state.current.records.removeAt(chosenPosition);
    fillMonthList();
    emptyDoseFields();
    chooseNothing();
    changed = true;
}

void Form6::Command2Click()
{
    // Values typed for the month chosen are taken only by "訂正": saving without them would drop them
    // while saying the corrections were saved. いいえ keeps the window open with the values shown.
    if (typedNotCorrected() && (!dialogs.confirmYesNo(QStringLiteral("%1の入力した値は、まだ「訂正」されていません。\n"
                                                                     "この値で訂正してから保存しますか？")
                                                          .arg(Text6->text())) ||
                                !correctChosenMonth()))
        return;
    if (!dialogs.confirmOkCancel(QStringLiteral("訂正したデータを保存します。")))
        return;
    const double pastDose = LeadingNumber(Text14->text());
    if (!isStorable(pastDose)) {
        dialogs.warn(InvalidInputMessage);
        return;
    }
    PersonalHeader header = state.current.header;
    // A sex or birth day left as shown keeps the stored code and digits.
    if (Text4->text() != shownSex) {
        const QString sex = Text4->text().trimmed();
        if (sex != u"男" && sex != u"男性" && sex != u"女" && sex != u"女性") {
            dialogs.warn(QStringLiteral("性別は「男」か「女」で入力して下さい"));
            Text4->setFocus();
            return;
        }
        header.sexCode = sex.startsWith(u'男') ? 0 : 1;
    }
    if (Text5->text() != shownBirthDay) {
        const auto born = typedDay(Text5->text());
        if (!born || *born < 19000101 || dayOf(*born) > clock.now().date()) {
            dialogs.warn(QStringLiteral("生年月日は「1965年04月12日」か「1965/04/12」のように、1900年1月1日から"
                                        "今日までの日付で入力して下さい"));
            Text5->setFocus();
            return;
        }
        header.dateOfBirth = static_cast<double>(*born);
    }
    header.registrationDate = Text7->text();
    header.affiliation = Text10->text();
    header.jobType = Text3->text();
    const bool noPastExposure = Text14->text() == NoPastExposure || pastDose == 0;
    header.pastExposureFlag = noPastExposure ? 0 : 1;
    header.pastDose = noPastExposure ? 0 : pastDose;
    const auto held = state.confirmEntryLock();
    const auto rewritten =
        held ? SaveCorrections(dataDir, openedName, header, state.current.records, state.current.fingerprint) : held;
    if (!rewritten) {
        dialogs.warn(messageOf(rewritten.error()));
        if (!isWritten(rewritten))
            return;
    } else {
        dialogs.inform(QStringLiteral("訂正したデータを保存しました。"));
    }
    state.current.header = header;
    emit corrected(header);
    leave();
}

bool Form6::holdsChanges() const
{
    return changed || typedNotCorrected();
}

bool Form6::mayDropChanges()
{
    return !holdsChanges() ||
           dialogs.confirmRisky(QStringLiteral("訂正したデータがあります。訂正をキャンセルしますか？"));
}

void Form6::leave()
{
    hide();
    emit returnedToEntry();
}

} // namespace velmora
