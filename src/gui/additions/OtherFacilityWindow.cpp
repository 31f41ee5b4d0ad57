#include "gui/additions/OtherFacilityWindow.h"

#include "core/changes/OtherDoseImport.h"
#include "core/changes/RecordedWrites.h"
#include "core/files/ListFiles.h"
#include "core/files/NumberForms.h"
#include "core/files/PersonalFile.h"
#include "core/files/PositionalForms.h"
#include "core/model/Calendar.h"
#include "core/rules/EntryRules.h"
#include "core/texts/Messages.h"
#include "gui/platform/Fonts.h"
#include "gui/widgets/Controls.h"
#include "gui/widgets/WayOut.h"

#include <QBoxLayout>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>

namespace velmora {
namespace {

// "2025/06/10"; an empty text for 0 (open).
QString dayText(qint64 day)
{
    return day == 0 ? QString() : dateWithSlashes(static_cast<double>(day));
}

QString doseDeletionQuestion(const OtherFacilityDose& dose)
{
    return QStringLiteral("%1の%2の線量を削除しますか？").arg(dose.facility, yearMonthText(dose.to));
}

QString declarationDeletionQuestion(const Declaration& declaration)
{
    return QStringLiteral("%1（%2～）の申告を削除しますか？")
        .arg(declarationKindText(declaration.kind), dayText(declaration.from));
}

} // namespace

OtherFacilityWindow::OtherFacilityWindow(SharedState& sharedState, const DataDir& dir, Dialogs& messageBoxes)
    : state(sharedState), dataDir(dir), dialogs(messageBoxes)
{
    setObjectName(QStringLiteral("OtherFacilityWindow"));
    setWindowTitle(QStringLiteral("他施設線量・申告"));
    setWindowModality(Qt::ApplicationModal);
    setFont(systemFont(ProportionalGothicFont, 11.25));

    PersonBox = new QComboBox(this);
    PersonBox->setObjectName(QStringLiteral("PersonBox"));
    PersonBox->setMinimumWidth(260);
    ShowOnlyNote = new QLabel(this);
    ShowOnlyNote->setObjectName(QStringLiteral("ShowOnlyNote"));
    ShowOnlyNote->setStyleSheet(QStringLiteral("color: #a00000"));
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("氏　名"), this));
    top->addWidget(PersonBox);
    top->addSpacing(16);
    top->addWidget(ShowOnlyNote, 1);

    auto* doseGroup = new QGroupBox(QStringLiteral("他施設での線量（集計・限度確認に加えます）"), this);
    DoseTable = makeRowTable(doseGroup, QStringLiteral("DoseTable"),
                             {QStringLiteral("施設名"), QStringLiteral("期間"), QStringLiteral("実効"),
                              QStringLiteral("水晶体"), QStringLiteral("皮膚"), QStringLiteral("内部"),
                              QStringLiteral("備考")});
    DoseTable->setColumnWidth(0, 170);
    DoseTable->setColumnWidth(1, 130);
    for (int column = 2; column <= 5; ++column)
        DoseTable->setColumnWidth(column, 62);
    FacilityBox = makeField(doseGroup, QStringLiteral("FacilityBox"));
    FromMonthBox = makeField(doseGroup, QStringLiteral("FromMonthBox"), 110);
    ToMonthBox = makeField(doseGroup, QStringLiteral("ToMonthBox"), 110);
    FromMonthBox->setPlaceholderText(QStringLiteral("2025/05"));
    ToMonthBox->setPlaceholderText(QStringLiteral("1か月なら空欄"));
    EffectiveBox = makeField(doseGroup, QStringLiteral("EffectiveBox"), 80);
    LensBox = makeField(doseGroup, QStringLiteral("LensBox"), 80);
    SkinBox = makeField(doseGroup, QStringLiteral("SkinBox"), 80);
    InternalBox = makeField(doseGroup, QStringLiteral("InternalBox"), 80);
    DoseNoteBox = makeField(doseGroup, QStringLiteral("DoseNoteBox"));
    AddDoseButton = new CommandButton(QStringLiteral("AddDoseButton"), QStringLiteral("追加"), doseGroup);
    ChangeDoseButton = new CommandButton(QStringLiteral("ChangeDoseButton"), QStringLiteral("訂正"), doseGroup);
    DeleteDoseButton = new CommandButton(QStringLiteral("DeleteDoseButton"), QStringLiteral("削除"), doseGroup);
    ImportButton = new CommandButton(QStringLiteral("ImportButton"), QStringLiteral("CSV取込"), doseGroup);
    ImportButton->setToolTip(
        QStringLiteral("見出し：%1（離職時記録の見出し %2 も読みます）")
            .arg(OtherDoseCsvHeadings.join(QLatin1Char(',')), LeavingRecordCsvHeadings.join(QLatin1Char(','))));
    auto* period = new QHBoxLayout;
    period->addWidget(FromMonthBox);
    period->addWidget(new QLabel(QStringLiteral("～"), doseGroup));
    period->addWidget(ToMonthBox);
    period->addStretch();
    auto* doseValues = new QHBoxLayout;
    for (const auto& [caption, field] : {std::pair{QStringLiteral("外部 実効"), EffectiveBox},
                                         {QStringLiteral("水晶体"), LensBox},
                                         {QStringLiteral("皮膚"), SkinBox},
                                         {QStringLiteral("内部 実効"), InternalBox}}) {
        doseValues->addWidget(new QLabel(caption, doseGroup));
        doseValues->addWidget(field);
    }
    doseValues->addWidget(new QLabel(QStringLiteral("mSv（検出限界未満は M）"), doseGroup));
    doseValues->addStretch();
    auto* doseFields = new QFormLayout;
    doseFields->addRow(QStringLiteral("施設名"), FacilityBox);
    doseFields->addRow(QStringLiteral("年月"), period);
    doseFields->addRow(QStringLiteral("線量"), doseValues);
    doseFields->addRow(QStringLiteral("備考"), DoseNoteBox);
    auto* doseButtons = new QHBoxLayout;
    for (CommandButton* button : {AddDoseButton, ChangeDoseButton, DeleteDoseButton})
        doseButtons->addWidget(button);
    doseButtons->addStretch();
    doseButtons->addWidget(ImportButton);
    auto* doseLayout = new QVBoxLayout(doseGroup);
    doseLayout->addWidget(DoseTable, 1);
    doseLayout->addLayout(doseFields);
    doseLayout->addLayout(doseButtons);

    auto* declarationGroup = new QGroupBox(QStringLiteral("申告（その人に適用する限度を決めます）"), this);
    DeclarationTable = makeRowTable(
        declarationGroup, QStringLiteral("DeclarationTable"),
        {QStringLiteral("種別"), QStringLiteral("開始日"), QStringLiteral("終了日"), QStringLiteral("備考")});
    DeclarationTable->setColumnWidth(0, 190);
    DeclarationTable->setColumnWidth(1, 100);
    DeclarationTable->setColumnWidth(2, 100);
    KindBox = new QComboBox(declarationGroup);
    KindBox->setObjectName(QStringLiteral("KindBox"));
    for (const DeclarationKind kind : {DeclarationKind::Pregnancy, DeclarationKind::CannotConceive,
                                       DeclarationKind::NoPregnancyPlan, DeclarationKind::DesignatedDoctor})
        KindBox->addItem(declarationKindText(kind), static_cast<int>(kind));
    FromDayBox = makeField(declarationGroup, QStringLiteral("FromDayBox"), 110);
    ToDayBox = makeField(declarationGroup, QStringLiteral("ToDayBox"), 110);
    FromDayBox->setPlaceholderText(QStringLiteral("2025/06/10"));
    ToDayBox->setPlaceholderText(QStringLiteral("未定なら空欄"));
    DeclarationNoteBox = makeField(declarationGroup, QStringLiteral("DeclarationNoteBox"));
    AddDeclarationButton =
        new CommandButton(QStringLiteral("AddDeclarationButton"), QStringLiteral("追加"), declarationGroup);
    ChangeDeclarationButton =
        new CommandButton(QStringLiteral("ChangeDeclarationButton"), QStringLiteral("訂正"), declarationGroup);
    DeleteDeclarationButton =
        new CommandButton(QStringLiteral("DeleteDeclarationButton"), QStringLiteral("削除"), declarationGroup);
    auto* days = new QHBoxLayout;
    days->addWidget(FromDayBox);
    days->addWidget(new QLabel(QStringLiteral("～"), declarationGroup));
    days->addWidget(ToDayBox);
    days->addWidget(new QLabel(QStringLiteral("（妊娠：妊娠と診断された日または申出の日の早い方～出産日。"
                                              "免除・指定：開始日～終了日）"),
                               declarationGroup));
    days->addStretch();
    auto* declarationFields = new QFormLayout;
    declarationFields->addRow(QStringLiteral("種別"), KindBox);
    declarationFields->addRow(QStringLiteral("期間"), days);
    declarationFields->addRow(QStringLiteral("備考"), DeclarationNoteBox);
    auto* declarationButtons = new QHBoxLayout;
    for (CommandButton* button : {AddDeclarationButton, ChangeDeclarationButton, DeleteDeclarationButton})
        declarationButtons->addWidget(button);
    declarationButtons->addStretch();
    auto* declarationLayout = new QVBoxLayout(declarationGroup);
    declarationLayout->addWidget(DeclarationTable, 1);
    declarationLayout->addLayout(declarationFields);
    declarationLayout->addLayout(declarationButtons);

    auto* facilityGroup = new QGroupBox(QStringLiteral("事業所（印刷する書類に記載します）"), this);
    FacilityNameBox = makeField(facilityGroup, QStringLiteral("FacilityNameBox"), 220);
    ResponsibleTitleBox = makeField(facilityGroup, QStringLiteral("ResponsibleTitleBox"), 160);
    ResponsibleNameBox = makeField(facilityGroup, QStringLiteral("ResponsibleNameBox"), 140);
    // An example as a tip, not as grey text in the box, which reads as a value stored.
    ResponsibleTitleBox->setToolTip(QStringLiteral("例：放射線管理責任者、院長"));
    SaveFacilityButton = new CommandButton(QStringLiteral("SaveFacilityButton"), QStringLiteral("保存"), facilityGroup);
    auto* facilityLayout = new QHBoxLayout(facilityGroup);
    for (const auto& [caption, field] : {std::pair{QStringLiteral("事業所名"), FacilityNameBox},
                                         {QStringLiteral("責任者の職名"), ResponsibleTitleBox},
                                         {QStringLiteral("氏名"), ResponsibleNameBox}}) {
        facilityLayout->addWidget(new QLabel(caption, facilityGroup));
        facilityLayout->addWidget(field);
    }
    facilityLayout->addWidget(SaveFacilityButton);
    facilityLayout->addStretch();

    CloseButton = new CommandButton(QStringLiteral("CloseButton"), QStringLiteral("閉じる"), this);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(CloseButton);

    auto* window = new QVBoxLayout(this);
    window->addLayout(top);
    window->addWidget(doseGroup, 3);
    window->addWidget(declarationGroup, 2);
    window->addWidget(facilityGroup);
    window->addLayout(bottom);
    resize(820, 700);
    connectControls();
    doseWork =
        TypedWork({FacilityBox, FromMonthBox, ToMonthBox, EffectiveBox, LensBox, SkinBox, InternalBox, DoseNoteBox});
    declarationWork = TypedWork({KindBox, FromDayBox, ToDayBox, DeclarationNoteBox});
    facilityWork = TypedWork({FacilityNameBox, ResponsibleTitleBox, ResponsibleNameBox});
    new WayOut(
        this,
        [this] {
            // Shown only, nothing typed could be stored: nothing is lost.
            return isVisible() && editable && (doseWork.held() || declarationWork.held() || facilityWork.held());
        },
        [this] { return dialogs.confirmRisky(QStringLiteral("入力した内容は保存されていません。閉じますか？")); },
        [this] {
            hide();
            emit closed();
        });
}

void OtherFacilityWindow::connectControls()
{
    // Another person chosen: nothing typed for the one before is left to be added to this one.
    connect(PersonBox, &QComboBox::currentIndexChanged, this, [this] {
        for (QLineEdit* field : {FacilityBox, FromMonthBox, ToMonthBox, EffectiveBox, LensBox, SkinBox, InternalBox,
                                 DoseNoteBox, FromDayBox, ToDayBox, DeclarationNoteBox})
            field->clear();
        KindBox->setCurrentIndex(0);
        showPerson();
        doseWork.shown();
        declarationWork.shown();
    });
    connect(DoseTable, &QTableWidget::itemSelectionChanged, this, &OtherFacilityWindow::fillChosenDose);
    connect(DeclarationTable, &QTableWidget::itemSelectionChanged, this, &OtherFacilityWindow::fillChosenDeclaration);
    connect(AddDoseButton, &QPushButton::clicked, this, [this] { add(typedOtherDose(), doses); });
    connect(ChangeDoseButton, &QPushButton::clicked, this,
            [this] { replaceChosen(DoseTable, shownDoses, doses, &OtherFacilityWindow::typedOtherDose); });
    connect(DeleteDoseButton, &QPushButton::clicked, this,
            [this] { deleteChosen(DoseTable, shownDoses, doses, &doseDeletionQuestion); });
    connect(ImportButton, &QPushButton::clicked, this, &OtherFacilityWindow::importCsv);
    connect(AddDeclarationButton, &QPushButton::clicked, this, [this] { add(typedDeclaration(), declarations); });
    connect(ChangeDeclarationButton, &QPushButton::clicked, this, [this] {
        replaceChosen(DeclarationTable, shownDeclarations, declarations, &OtherFacilityWindow::typedDeclaration);
    });
    connect(DeleteDeclarationButton, &QPushButton::clicked, this,
            [this] { deleteChosen(DeclarationTable, shownDeclarations, declarations, &declarationDeletionQuestion); });
    connect(SaveFacilityButton, &QPushButton::clicked, this, &OtherFacilityWindow::saveFacility);
    connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
}

bool OtherFacilityWindow::openFor(const QString& name, bool mayChange)
{
    editable = mayChange;
    for (QWidget* control : std::initializer_list<QWidget*>{AddDoseButton, ChangeDoseButton, DeleteDoseButton,
                                                            ImportButton, AddDeclarationButton, ChangeDeclarationButton,
                                                            DeleteDeclarationButton, SaveFacilityButton})
        control->setEnabled(editable);
    ShowOnlyNote->setText(editable ? QString()
                                   : QStringLiteral("ほかのPCがデータ入力中か、データフォルダに書き込めないため、"
                                                    "表示のみです"));
    const QSignalBlocker quiet(PersonBox);
    PersonBox->clear();
    const auto registrants = LoadRegistrantList(dataDir);
    const auto removed = ReadRemovedNames(dataDir);
    if (!registrants || !removed) {
        dialogs.warn(messageOf(!registrants ? registrants.error() : removed.error()));
        return false;
    }
    if (registrants->names.isEmpty() && removed->isEmpty()) {
        dialogs.warn(QStringLiteral("データは１件もありません"));
        return false;
    }
    for (const QString& listed : registrants->names)
        PersonBox->addItem(listed, listed);
    for (const QString& gone : *removed)
        if (!registrants->names.contains(gone))
            PersonBox->addItem(gone + QStringLiteral("（抹消）"), gone);
    PersonBox->setCurrentIndex(std::max(0, PersonBox->findData(name)));
    reload();
    return true;
}

void OtherFacilityWindow::reload()
{
    const auto storedDoses = ReadOtherFacilityDoses(dataDir);
    const auto storedDeclarations = ReadDeclarations(dataDir);
    if (!storedDoses || !storedDeclarations)
        dialogs.warn(messageOf(!storedDoses ? storedDoses.error() : storedDeclarations.error()));
    doses = storedDoses ? *storedDoses : QList<OtherFacilityDose>();
    declarations = storedDeclarations ? *storedDeclarations : QList<Declaration>();
    showPerson();
    const auto storedFacility = ReadFacility(dataDir);
    if (!storedFacility)
        dialogs.warn(messageOf(storedFacility.error()));
    facility = storedFacility ? *storedFacility : Facility();
    FacilityNameBox->setText(facility.name);
    ResponsibleTitleBox->setText(facility.responsibleTitle);
    ResponsibleNameBox->setText(facility.responsibleName);
    for (TypedWork* work : {&doseWork, &declarationWork, &facilityWork})
        work->shown();
}

void OtherFacilityWindow::saveFacility()
{
    const Facility typed{FacilityNameBox->text().trimmed(), ResponsibleTitleBox->text().trimmed(),
                         ResponsibleNameBox->text().trimmed()};
    if (const auto problem = facilityProblem(typed)) {
        dialogs.warn(messageOf(*problem));
        return;
    }
    if (const auto held = state.confirmEntryLock(); !held) {
        dialogs.warn(messageOf(held.error()));
        return;
    }
    const auto stored = ReadFacility(dataDir);
    if (!stored || *stored != facility) {
        dialogs.warn(!stored ? messageOf(stored.error())
                             : messageOf(failure(FailureKind::ListChangedElsewhere, FacilityFile)));
        reload();
        return;
    }
    const Status written = SaveFacility(dataDir, facility, typed);
    if (isWritten(written)) {
        facility = typed;
        facilityWork.shown();
    }
    if (written)
        dialogs.inform(QStringLiteral("事業所を保存しました"));
    else
        dialogs.warn(messageOf(written.error()));
}

QString OtherFacilityWindow::person() const
{
    return PersonBox->currentData().toString();
}

void OtherFacilityWindow::showPerson()
{
    shownDoses.clear();
    for (const OtherFacilityDose& dose : doses)
        if (dose.name == person())
            shownDoses << dose;
    std::stable_sort(shownDoses.begin(), shownDoses.end(),
                     [](const auto& a, const auto& b) { return std::pair(a.from, a.to) < std::pair(b.from, b.to); });
    DoseTable->setRowCount(static_cast<int>(shownDoses.size()));
    for (int row = 0; row < shownDoses.size(); ++row) {
        const OtherFacilityDose& d = shownDoses[row];
        const QString period =
            d.from == d.to ? yearMonthText(d.from) : yearMonthText(d.from) + QStringLiteral("～") + yearMonthText(d.to);
        fillRow(DoseTable, row,
                {d.facility, period, plainForm(d.effective), plainForm(d.lens), plainForm(d.skin),
                 plainForm(d.internal), d.note},
                2, 5);
    }
    shownDeclarations.clear();
    for (const Declaration& declaration : declarations)
        if (declaration.name == person())
            shownDeclarations << declaration;
    std::stable_sort(shownDeclarations.begin(), shownDeclarations.end(),
                     [](const auto& a, const auto& b) { return a.from < b.from; });
    DeclarationTable->setRowCount(static_cast<int>(shownDeclarations.size()));
    for (int row = 0; row < shownDeclarations.size(); ++row) {
        const Declaration& d = shownDeclarations[row];
        fillRow(DeclarationTable, row, {declarationKindText(d.kind), dayText(d.from), dayText(d.to), d.note}, -1, -1);
    }
}

void OtherFacilityWindow::fillChosenDose()
{
    const int row = DoseTable->currentRow();
    if (row < 0 || row >= shownDoses.size())
        return;
    const OtherFacilityDose& d = shownDoses[row];
    FacilityBox->setText(d.facility);
    FromMonthBox->setText(yearMonthText(d.from));
    ToMonthBox->setText(d.from == d.to ? QString() : yearMonthText(d.to));
    EffectiveBox->setText(plainForm(d.effective));
    LensBox->setText(plainForm(d.lens));
    SkinBox->setText(plainForm(d.skin));
    InternalBox->setText(plainForm(d.internal));
    DoseNoteBox->setText(d.note == NoComment ? QString() : d.note);
    doseWork.shown();
}

void OtherFacilityWindow::fillChosenDeclaration()
{
    const int row = DeclarationTable->currentRow();
    if (row < 0 || row >= shownDeclarations.size())
        return;
    const Declaration& d = shownDeclarations[row];
    KindBox->setCurrentIndex(KindBox->findData(static_cast<int>(d.kind)));
    FromDayBox->setText(dayText(d.from));
    ToDayBox->setText(dayText(d.to));
    DeclarationNoteBox->setText(d.note == NoComment ? QString() : d.note);
    declarationWork.shown();
}

std::optional<OtherFacilityDose> OtherFacilityWindow::typedOtherDose()
{
    const auto from = typedYearMonth(FromMonthBox->text());
    const auto to = ToMonthBox->text().trimmed().isEmpty() ? from : typedYearMonth(ToMonthBox->text());
    if (!from || !to) {
        dialogs.warn(QStringLiteral("年月は「2025/05」のように、%1年～%2年の1～12月で入力して下さい")
                         .arg(FirstRecordYear)
                         .arg(LastRecordYear));
        return std::nullopt;
    }
    OtherFacilityDose dose{person(),
                           FacilityBox->text().trimmed(),
                           *from,
                           *to,
                           0,
                           0,
                           0,
                           0,
                           DoseNoteBox->text().trimmed().isEmpty() ? NoComment : DoseNoteBox->text().trimmed()};
    const std::pair<QLineEdit*, double*> fields[] = {
        {EffectiveBox, &dose.effective}, {LensBox, &dose.lens}, {SkinBox, &dose.skin}, {InternalBox, &dose.internal}};
    for (size_t at = 0; at < std::size(fields); ++at) {
        const auto& [field, value] = fields[at];
        const csv::DoseReading typed = csv::readDose(field->text());
        if (typed.doubt != csv::DoseReading::None) {
            dialogs.warn(
                QStringLiteral("%1「%2」").arg(DoseFieldNames[at], field->text()) + doseDoubtText(typed.doubt) +
                (typed.doubt == csv::DoseReading::NotANumber ? QStringLiteral("（検出限界未満は M）") : QString()));
            field->setFocus();
            return std::nullopt;
        }
        *value = typed.value;
    }
    if (const auto problem = otherDoseProblem(dose)) {
        dialogs.warn(entryFaultText(*problem));
        return std::nullopt;
    }
    if (const auto problem = storableTextsProblem({dose.facility, dose.note})) {
        dialogs.warn(messageOf(*problem));
        return std::nullopt;
    }
    return dose;
}

std::optional<Declaration> OtherFacilityWindow::typedDeclaration()
{
    const auto from = typedDay(FromDayBox->text());
    const auto to = ToDayBox->text().trimmed().isEmpty() ? std::optional<qint64>(0) : typedDay(ToDayBox->text());
    if (!from || !to) {
        dialogs.warn(QStringLiteral("日付は「2025/06/10」のように、ある日で入力して下さい"));
        return std::nullopt;
    }
    const QString note = DeclarationNoteBox->text().trimmed();
    Declaration declaration{person(), static_cast<DeclarationKind>(KindBox->currentData().toInt()), *from, *to,
                            note.isEmpty() ? NoComment : note};
    // Pregnancy and the two exemptions from the women's limit concern women only.
    if (declaration.kind != DeclarationKind::DesignatedDoctor) {
        const auto header = ReadPersonalHeader(dataDir, person(), 6);
        if (!header) {
            dialogs.warn(messageOf(header.error()));
            return std::nullopt;
        }
        if (header->sexCode == 0) {
            dialogs.warn(QStringLiteral("「%1」は女性の申告です。%2は男性として登録されているため入力できません")
                             .arg(declarationKindText(declaration.kind), person()));
            return std::nullopt;
        }
    }
    if (const auto problem = declarationProblem(declaration)) {
        dialogs.warn(entryFaultText(*problem));
        return std::nullopt;
    }
    if (const auto problem = storableTextProblem(note)) {
        dialogs.warn(messageOf(*problem));
        return std::nullopt;
    }
    return declaration;
}

template <typename Entry>
bool OtherFacilityWindow::change(QList<Entry>& stored, const std::function<void(QList<Entry>&)>& edit)
{
    const auto changed = [&] {
        if (const auto held = state.confirmEntryLock(); !held) {
            dialogs.warn(messageOf(held.error()));
            return false;
        }
        const Status written = ChangeList(dataDir, stored, edit);
        if (!written)
            dialogs.warn(messageOf(written.error()));
        return isWritten(written);
    }();
    showPerson();
    if (changed)
        (std::is_same_v<Entry, OtherFacilityDose> ? doseWork : declarationWork).shown();
    return changed;
}

template <typename Entry> void OtherFacilityWindow::add(const std::optional<Entry>& entry, QList<Entry>& stored)
{
    if (!entry)
        return;
    if (stored.contains(*entry)) {
        dialogs.warn(QStringLiteral("同じ内容が登録済みです"));
        return;
    }
    change<Entry>(stored, [&](QList<Entry>& list) { list.append(*entry); });
}

template <typename Entry>
void OtherFacilityWindow::replaceChosen(QTableWidget* table, const QList<Entry>& shown, QList<Entry>& stored,
                                        std::optional<Entry> (OtherFacilityWindow::*typed)())
{
    const int row = table->currentRow();
    if (row < 0) {
        dialogs.warn(QStringLiteral("訂正する行を選んで下さい"));
        return;
    }
    const Entry old = shown[row];
    if (const auto entry = (this->*typed)())
        change<Entry>(stored, [&](QList<Entry>& list) { list[list.indexOf(old)] = *entry; });
}

template <typename Entry>
void OtherFacilityWindow::deleteChosen(QTableWidget* table, const QList<Entry>& shown, QList<Entry>& stored,
                                       QString (*question)(const Entry&))
{
    const int row = table->currentRow();
    if (row < 0) {
        dialogs.warn(QStringLiteral("削除する行を選んで下さい"));
        return;
    }
    const Entry old = shown[row];
    if (dialogs.confirmRisky(question(old)))
        change<Entry>(stored, [&](QList<Entry>& list) { list.removeAt(list.indexOf(old)); });
}

void OtherFacilityWindow::importCsv()
{
    const QString path = dialogs.chooseCsvToOpen(QStringLiteral("取り込む他施設線量のCSVファイル"), dataDir.root());
    if (path.isEmpty())
        return;
    QStringList persons;
    for (int at = 0; at < PersonBox->count(); ++at)
        persons << PersonBox->itemData(at).toString();
    const auto import = ReadOtherDoseImport(path, {persons, doses, declarations, facility.name, birthDatesIn(dataDir)});
    if (!import) {
        dialogs.warn(messageOf(import.error()));
        return;
    }
    if (import->entries.isEmpty() && import->declarations.isEmpty()) {
        dialogs.warn(otherDoseImportReport(*import));
        return;
    }
    // Rows left out for a doubt make Cancel, taking nothing, the default.
    const QString question = otherDoseImportReport(*import) + QStringLiteral("\n\n取り込みますか？");
    const bool doubtful = !import->unknownPersons.isEmpty() || !import->unusable.isEmpty();
    if (!(doubtful ? dialogs.confirmDoubtful(question) : dialogs.confirmOkCancel(question)))
        return;
    if (!import->entries.isEmpty() &&
        !change<OtherFacilityDose>(doses, [&](QList<OtherFacilityDose>& list) { list << import->entries; }))
        return;
    if (!import->declarations.isEmpty() &&
        !change<Declaration>(declarations, [&](QList<Declaration>& list) { list << import->declarations; }))
        return;
    dialogs.inform(QStringLiteral("%1件を取り込みました").arg(import->entries.size() + import->declarations.size()));
}

} // namespace velmora
