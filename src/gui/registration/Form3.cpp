#include "gui/registration/Form3.h"

#include "core/changes/RegistrantChanges.h"
#include "core/files/Cp932.h"
#include "core/files/ListFiles.h"
#include "core/files/NumberForms.h"
#include "core/files/PersonalFile.h"
#include "core/rules/EntryRules.h"
#include "core/texts/Messages.h"
#include "gui/platform/Fonts.h"
#include "gui/widgets/Controls.h"
#include "gui/widgets/Twips.h"
#include "gui/widgets/WayOut.h"

#include <QDate>
#include <algorithm>

namespace velmora {
namespace {

const QString IncompleteMessage = QStringLiteral("全項目を入力して下さい");
const QString RestoreQuestion = QStringLiteral("この人の名前は登録抹消者リストにあります。復活登録しますか？");
const QString AlreadyListedMessage = QStringLiteral("この人の名前はすでに登録者リストに存在します。");
const QString RemovedNameMessage =
    QStringLiteral("この人の名前は登録抹消者リストにあるため、復活登録しない限り新しく登録できません。");
// A name is a person's file: another person of the same name is registered under a name told apart.
const QString SameNameHint = QStringLiteral("\n同じ氏名の別の人を登録するときは、「山田　花子２」のように"
                                            "氏名に区別する文字を加えて登録して下さい。");
const QString RestoredMessage = QStringLiteral("抹消者リストから登録者リストに移動しました。");
const QString UnlistedFileQuestion =
    QStringLiteral("この人の個人データファイルはありますが、登録者リストにも登録抹消者リストにもありません"
                   "（登録が途中で中断されたようです）。\nこのファイルのデータのまま登録者リストに追加しますか？");
const QString UnlistedFileListedMessage = QStringLiteral("登録者リストに追加しました。");

// The number a birth-date field holds: nothing but digits (full-width ones too), at most `digits` of them.
std::optional<int> typedDigits(const QString& text, int digits)
{
    const QString plain = text.normalized(QString::NormalizationForm_KC).trimmed();
    if (plain.isEmpty() || plain.size() > digits ||
        !std::all_of(plain.begin(), plain.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    return plain.toInt();
}

QRadioButton* makeOption(QGroupBox* frame, const QString& name, const QString& caption, int left, int top, int width)
{
    auto* option = new QRadioButton(caption, frame);
    option->setObjectName(name);
    placeTwips(option, left, top, width, 300);
    return option;
}

QGroupBox* makeFrame(QWidget* window, const QString& name, const QString& caption, int left, int top, int width,
                     int height)
{
    auto* frame = new QGroupBox(caption, window);
    frame->setObjectName(name);
    placeTwips(frame, left, top, width, height);
    // The etched outline fills the frame's rectangle; its top line runs through the middle of the caption.
    const int halfCaption = QFontMetrics(window->font()).height() / 2;
    frame->setStyleSheet(QStringLiteral("QGroupBox { border: 2px groove palette(mid); margin-top: %1px; }"
                                        "QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 2px; "
                                        "background-color: palette(window); }")
                             .arg(halfCaption));
    return frame;
}

} // namespace

Form3::Form3(SharedState& sharedState, const DataDir& dir, Dialogs& messageBoxes, const Clock& systemClock)
    : state(sharedState), dataDir(dir), dialogs(messageBoxes), clock(systemClock)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("新規登録"));
    setClientTwips(this, 3975, 7080);
    setFont(systemFont(ProportionalGothicFont, 11.25));
    buildControls();
    connectKeys();
    connect(Command1, &QPushButton::clicked, this, &Form3::Command1Click);
    // Nothing typed here is kept after "Cancel": no way out asks.
    connect(Command2, &QPushButton::clicked, this, &Form3::leave);
    new WayOut(
        this, [] { return false; }, [] { return true; }, [this] { leave(); });
}

void Form3::buildControls()
{
    makeLabel(this, QStringLiteral("Label2"), QStringLiteral("登録番号"), 240, 240, 1215, 375);
    Text1 = makeTextBox(this, QStringLiteral("Text1"), 1560, 240, 2175, 375);
    setBackground(Text1, LightCyan);
    makeLabel(this, QStringLiteral("Label1"), QStringLiteral("氏　名"), 240, 720, 1215, 375);
    Text2 = makeTextBox(this, QStringLiteral("Text2"), 1560, 720, 2175, 375);

    Frame1 = makeFrame(this, QStringLiteral("Frame1"), QStringLiteral("性別"), 240, 1320, 3495, 615);
    Option1 = makeOption(Frame1, QStringLiteral("Option1"), QStringLiteral("男性"), 360, 270, 1215);
    Option2 = makeOption(Frame1, QStringLiteral("Option2"), QStringLiteral("女性"), 1920, 270, 1215);

    makeLabel(this, QStringLiteral("Label5"), QStringLiteral("生年月日"), 240, 2160, 1215, 300);
    Text5 = makeTextBox(this, QStringLiteral("Text5"), 600, 2640, 855, 375);
    makeLabel(this, QStringLiteral("Label6"), QStringLiteral("年"), 1500, 2700, 300, 300);
    Text6 = makeTextBox(this, QStringLiteral("Text6"), 1920, 2640, 495, 375);
    makeLabel(this, QStringLiteral("Label7"), QStringLiteral("月"), 2460, 2700, 300, 300);
    Text7 = makeTextBox(this, QStringLiteral("Text7"), 2880, 2640, 495, 375);
    makeLabel(this, QStringLiteral("Label8"), QStringLiteral("日"), 3420, 2700, 300, 300);

    makeLabel(this, QStringLiteral("Label4"), QStringLiteral("所　属"), 240, 3120, 1215, 375);
    Text4 = makeTextBox(this, QStringLiteral("Text4"), 1560, 3120, 2175, 375);

    Frame2 = makeFrame(this, QStringLiteral("Frame2"), QStringLiteral("職　種"), 240, 3720, 3495, 855);
    Combo1 = new QComboBox(Frame2);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setCompleter(nullptr); // the job type is exactly what is typed, never completed from the list
    placeTwips(Combo1, 240, 330, 3015, 375);

    Frame3 = makeFrame(this, QStringLiteral("Frame3"), QStringLiteral("過去の被曝歴"), 240, 4800, 3495, 1215);
    Option8 = makeOption(Frame3, QStringLiteral("Option8"), QStringLiteral("なし"), 240, 330, 1095);
    Option9 = makeOption(Frame3, QStringLiteral("Option9"), QStringLiteral("あり  →"), 240, 750, 1095);
    makeLabel(Frame3, QStringLiteral("Label9"), QStringLiteral("実効線量"), 1440, 360, 1215, 300);
    Text3 = makeTextBox(Frame3, QStringLiteral("Text3"), 1440, 720, 1095, 375);
    makeLabel(Frame3, QStringLiteral("Label3"), QStringLiteral("ｍSv"), 2640, 780, 600, 300);

    Command1 = makeButton(this, QStringLiteral("Command1"), QStringLiteral("登 録"), 360, 6360, 1455, 495);
    Command2 = makeButton(this, QStringLiteral("Command2"), QStringLiteral("Cancel"), 2160, 6360, 1455, 495);

    QWidget* order[] = {Text2,  Option1, Option2, Text5, Text6,    Text7,    Text4,
                        Combo1, Option8, Option9, Text3, Command1, Command2, Text1};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void Form3::connectKeys()
{
    // Enter in a filled field moves on along the chain of the window.
    moveOnEnter(Text2, Text5, true);
    moveOnEnter(Text5, Text6, true);
    moveOnEnter(Text6, Text7, true);
    moveOnEnter(Text7, Text4, true);
    moveOnEnter(Text4, Combo1, true);
    moveOnEnter(Combo1->lineEdit(), Command1, true);
    // The past dose may stay empty: Enter there tests the name.
    connect(Text3, &QLineEdit::returnPressed, this, [this] {
        if (!Text2->text().isEmpty())
            moveFocusTo(Command1);
    });
    connect(Option9, &QRadioButton::clicked, this, [this] { moveFocusTo(Text3); });
}

bool Form3::openForRegistration()
{
    const auto number = ReadNextRegistrationNumber(dataDir);
    if (!number) {
        dialogs.warn(messageOf(number.error()));
        return false;
    }
    const auto jobTypes = LoadJobTypes(dataDir);
    if (!jobTypes) {
        dialogs.warn(messageOf(jobTypes.error()));
        return false;
    }
    Text1->setText(plainForm(*number));
    resetFields();
    Combo1->clear();
    Combo1->addItems(*jobTypes);
    Combo1->setEditText(QStringLiteral("医師"));
    Text2->setFocus();
    return true;
}

void Form3::resetFields()
{
    Option1->setChecked(true);
    Option8->setChecked(true);
    for (QLineEdit* field : {Text2, Text3, Text4, Text5, Text6, Text7})
        field->clear();
}

bool Form3::allFieldsFilled() const
{
    return !Text2->text().isEmpty() && !Text5->text().isEmpty() && !Text6->text().isEmpty() &&
           !Text7->text().isEmpty() && !Text4->text().isEmpty();
}

PersonalHeader Form3::typedHeader() const
{
    PersonalHeader header;
    header.registrationNumber = LeadingNumber(Text1->text());
    header.name = cp932::canonical(Text2->text());
    header.sexCode = Option2->isChecked() ? 1 : 0;
    header.dateOfBirth = typedDigits(Text5->text(), 4).value_or(0) * 10000 +
                         typedDigits(Text6->text(), 2).value_or(0) * 100 + typedDigits(Text7->text(), 2).value_or(0);
    header.affiliation = Text4->text();
    header.jobType = Combo1->currentText();
    header.pastExposureFlag = Option9->isChecked() ? 1 : 0;
    header.pastDose = Option9->isChecked() ? LeadingNumber(Text3->text()) : 0;
    header.registrationDate = clock.now().date().toString(QStringLiteral("MM-dd-yyyy"));
    return header;
}

QString Form3::birthDateProblem() const
{
    // The readers take the year, month and day by position from the eight digits: only a day that
    // exists is stored, never one they would show as another.
    const QDate today = clock.now().date();
    const auto year = typedDigits(Text5->text(), 4);
    if (!year || *year < 1900 || *year > today.year())
        return QStringLiteral("生年月日の年は1900～%1の4桁の数で入力して下さい").arg(today.year());
    const auto month = typedDigits(Text6->text(), 2);
    if (!month || *month < 1 || *month > 12)
        return QStringLiteral("生年月日の月は1～12で入力して下さい");
    const int days = QDate(*year, *month, 1).daysInMonth();
    const auto day = typedDigits(Text7->text(), 2);
    if (!day || *day < 1 || *day > days)
        return QStringLiteral("生年月日の日は1～%1で入力して下さい（%2年%3月）").arg(days).arg(*year).arg(*month);
    if (QDate(*year, *month, *day) > today)
        return QStringLiteral("生年月日が今日より後の日になっています");
    return {};
}

QString Form3::problemWithTypedValues() const
{
    const PersonalHeader header = typedHeader();
    if (const auto problem = storableTextsProblem({header.name, header.affiliation, header.jobType}))
        return messageOf(*problem);
    if (const auto problem = personalFileNameProblem(header.name))
        return messageOf(*problem);
    if (const QString problem = birthDateProblem(); !problem.isEmpty())
        return problem;
    for (double number : {header.registrationNumber, header.dateOfBirth, header.pastDose})
        if (!isStorable(number))
            return InvalidInputMessage;
    return {};
}

void Form3::Command1Click()
{
    if (!allFieldsFilled()) {
        dialogs.warn(IncompleteMessage);
        return;
    }
    if (const QString problem = problemWithTypedValues(); !problem.isEmpty()) {
        dialogs.warn(problem);
        return;
    }
    const PersonalHeader header = typedHeader();
    const auto removed = ReadRemovedNames(dataDir);
    if (!removed) {
        dialogs.warn(messageOf(removed.error()));
        return;
    }
    if (const auto differs = nameCaseProblem(state.registrants.names + *removed, header.name)) {
        dialogs.warn(messageOf(*differs));
        return;
    }
    const auto restore = [&] { return RestoreRegistrant(dataDir, state, header.name); };
    if (removed->contains(header.name) && offerListing(RestoreQuestion, restore, RestoredMessage))
        return;
    const bool listed = state.positionOf(header.name) >= 0;
    const bool hasFile = personalFileExists(dataDir, header.name);
    const auto listFile = [&] { return ListUnlistedPerson(dataDir, state, header.name); };
    if (hasFile && !listed && !removed->contains(header.name) &&
        offerListing(UnlistedFileQuestion, listFile, UnlistedFileListedMessage))
        return;
    // Whoever has a file, or is listed, is never registered again: an existing file is never replaced.
    if (hasFile || listed) {
        dialogs.warn((removed->contains(header.name) && !listed ? RemovedNameMessage : AlreadyListedMessage) +
                     SameNameHint);
        resetFields();
        return;
    }
    registerPerson(header);
}

bool Form3::offerListing(const QString& question, const std::function<Status()>& change, const QString& done)
{
    if (!dialogs.confirmYesNo(question))
        return false;
    if (const auto changed = change(); !changed) {
        dialogs.warn(messageOf(changed.error()));
        if (!isWritten(changed))
            return true;
    } else {
        dialogs.inform(done);
    }
    leave();
    return true;
}

void Form3::registerPerson(const PersonalHeader& header)
{
    if (const auto registered = RegisterNewPerson(dataDir, state, header); !registered) {
        dialogs.warn(messageOf(registered.error()));
        if (!isWritten(registered))
            return;
    }
    leave();
}

void Form3::leave()
{
    hide();
    emit returnedToEntry();
}

} // namespace velmora
