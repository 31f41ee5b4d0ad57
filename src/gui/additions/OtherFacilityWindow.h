#pragma once

#include "core/files/DataDir.h"
#include "core/files/DoseAdditions.h"
#include "core/files/FacilitySettings.h"
#include "core/session/SharedState.h"
#include "gui/platform/Dialogs.h"
#include "gui/widgets/CommandButton.h"
#include "gui/widgets/TypedWork.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QWidget>
#include <functional>

namespace velmora {

// The window "他施設線量・申告": a person's doses received at other facilities and declarations (pregnancy,
// exemption from the women's quarterly limit, designated doctor under the lens transitional rule), entered,
// corrected and deleted, and other facilities' doses taken from a CSV file. Registrants and removed persons
// can be chosen; and the facility every printed page names. Changes are stored at once, only while this
// copy holds the entry lock.
class OtherFacilityWindow : public QWidget {
    Q_OBJECT
public:
    OtherFacilityWindow(SharedState& state, const DataDir& dataDir, Dialogs& dialogs);

    // Reads both lists and shows the entries of `name` (the first person when it is not listed); with
    // `editable` false, everything is shown and nothing can be changed. False after the message when the
    // registrant lists cannot be read: the window is not to be shown.
    bool openFor(const QString& name, bool editable);

    QComboBox* PersonBox;
    QTableWidget* DoseTable; // the other facilities' doses of the person, by period
    QLineEdit* FacilityBox;
    QLineEdit* FromMonthBox; // "2025/05"
    QLineEdit* ToMonthBox;   // empty for one month
    QLineEdit* EffectiveBox;
    QLineEdit* LensBox;
    QLineEdit* SkinBox;
    QLineEdit* InternalBox;
    QLineEdit* DoseNoteBox;
    CommandButton* AddDoseButton;    // "追加"
    CommandButton* ChangeDoseButton; // "訂正": the chosen row takes the fields' values
    CommandButton* DeleteDoseButton; // "削除"
    CommandButton* ImportButton;     // "CSV取込": other facilities' doses of everyone from a CSV file
    QTableWidget* DeclarationTable;
    QComboBox* KindBox;
    QLineEdit* FromDayBox; // "2025/06/10": the declaration, diagnosis or designation
    QLineEdit* ToDayBox;   // the delivery, or the end; empty while open
    QLineEdit* DeclarationNoteBox;
    CommandButton* AddDeclarationButton;
    CommandButton* ChangeDeclarationButton;
    CommandButton* DeleteDeclarationButton;
    QLineEdit* FacilityNameBox;     // 事業所名
    QLineEdit* ResponsibleTitleBox; // the responsible person's title
    QLineEdit* ResponsibleNameBox;
    CommandButton* SaveFacilityButton; // "保存"
    QLabel* ShowOnlyNote;              // why nothing can be changed, when so
    CommandButton* CloseButton;        // "閉じる"

signals:
    // The window was closed; whatever it changed is in the files.
    void closed();

private:
    void connectControls();
    QString person() const;
    void showPerson();
    void fillChosenDose();
    void fillChosenDeclaration();
    // The fields as an entry of the person, or nothing after the message that says what is wrong.
    std::optional<OtherFacilityDose> typedOtherDose();
    std::optional<Declaration> typedDeclaration();
    // Reads the list of `stored`'s kind again, applies `edit` to it and stores it, `stored` then holding what
    // is stored, and shows the person again; false after the message that says why not (this copy lost the
    // lock, the file cannot be read or written, or it changed since it was shown: then `stored` is what it
    // holds now).
    template <typename Entry> bool change(QList<Entry>& stored, const std::function<void(QList<Entry>&)>& edit);
    // 追加, 訂正 and 削除 of either list: a typed entry added unless it is stored already, the chosen row
    // replaced by the typed entry, the chosen row deleted after the question.
    template <typename Entry> void add(const std::optional<Entry>& entry, QList<Entry>& stored);
    template <typename Entry>
    void replaceChosen(QTableWidget* table, const QList<Entry>& shown, QList<Entry>& stored,
                       std::optional<Entry> (OtherFacilityWindow::*typed)());
    template <typename Entry>
    void deleteChosen(QTableWidget* table, const QList<Entry>& shown, QList<Entry>& stored,
                      QString (*question)(const Entry&));
    void importCsv();
    void saveFacility();
    void reload();

    SharedState& state;
    DataDir dataDir;
    Dialogs& dialogs;
    bool editable = false;
    QList<OtherFacilityDose> doses;      // everyone's, as stored
    QList<Declaration> declarations;     // everyone's, as stored
    QList<OtherFacilityDose> shownDoses; // the person's, in DoseTable's order
    QList<Declaration> shownDeclarations;
    Facility facility; // as stored
    // The three groups of fields; the ways out ask first when any holds what is typed and not stored.
    TypedWork doseWork;
    TypedWork declarationWork;
    TypedWork facilityWork;
};

} // namespace velmora
