#pragma once

#include "core/files/DataDir.h"
#include "core/files/DoseAdditions.h"
#include "core/files/Examinations.h"
#include "core/session/SharedState.h"
#include "gui/platform/Clock.h"
#include "gui/platform/Dialogs.h"
#include "gui/platform/Printer.h"
#include "gui/reports/PageWindow.h"
#include "gui/widgets/CommandButton.h"
#include "gui/widgets/TypedWork.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QWidget>
#include <array>

namespace velmora {

// The window 「健康診断」: every registrant with the last health examination and the day the next is due, the
// overdue first; a person's examinations entered, corrected and deleted (stored at once, only while this copy
// holds the entry lock); the sheet of doses the doctor is shown, for the chosen person or everyone due by a
// month; and the counts of the report to the labour standards office for a half year.
class ExaminationWindow : public QWidget {
    Q_OBJECT
public:
    ExaminationWindow(SharedState& state, const DataDir& dataDir, Dialogs& dialogs, Printer& printer,
                      const Clock& clock);

    // Reads the lists and shows the schedule; with `editable` false nothing can be changed. False after the
    // message when the registrant list cannot be read: the window is not to be shown.
    bool open(bool editable);

    QLabel* ShowOnlyNote;
    QTableWidget* ScheduleTable; // 氏名, 前回, 種別, 次回期限, 状態
    QTableWidget* ExamTable;     // the chosen person's examinations, latest first
    QLineEdit* DayBox;           // "2026/06/15"
    QComboBox* KindBox;
    std::array<QComboBox*, ExaminationItems> ItemBoxes; // 省略 / 所見なし / 所見あり
    QCheckBox* InstructedBox;                           // 医師の指示あり
    CommandButton* AddButton;                           // "追加"
    CommandButton* ChangeButton;                        // "訂正": the chosen row takes the fields' values
    CommandButton* DeleteButton;                        // "削除"
    CommandButton* SheetButton;                         // "医師に示す線量": the chosen person's sheet
    QLineEdit* DueMonthBox;                             // "2026/07"
    CommandButton* DueSheetsButton;                     // "期限の人の線量を印刷"
    QLineEdit* ReportYearBox;                           // "2026"
    QComboBox* ReportHalfBox;                           // 1～6月 / 7～12月
    CommandButton* ReportButton;                        // "報告書の人数"
    CommandButton* CloseButton;                         // "閉じる"

signals:
    // The window was closed; whatever it changed is in the file.
    void closed();

private:
    QString person() const;
    QDate today() const;
    // What the fields take when the lists are shown again: the chosen person's latest examination (for 訂正) or,
    // without one, the defaults; the defaults; or what is typed in them.
    enum class Fields { Latest, Cleared, Kept };
    void showSchedule(Fields fields);
    void showPerson(Fields fields);
    void fillChosen();
    void clearFields(); // the form's defaults: no day, 定期, every item 所見なし, no instruction
    std::optional<Examination> typedExamination(const QList<Examination>& others);
    // Reads the list again, applies `edit` and stores it with its history records; false after the message
    // that says why not (the lock lost, the file unreadable or changed since it was shown).
    bool change(const std::function<void(QList<Examination>&)>& edit);
    void addTyped();
    void replaceChosen();
    void deleteChosen();
    void showSheet();
    void printDueSheets();
    void showReport();
    // Closes the window with its pages; the ways out ask first when an examination is typed and not stored.
    void leave();

    SharedState& state;
    DataDir dataDir;
    Dialogs& dialogs;
    Printer& printer;
    const Clock& clock;
    PageWindow sheetWindow;
    PageWindow reportWindow;
    bool editable = false;
    QStringList registrants;
    QList<Examination> examinations; // everyone's, as stored
    QList<Examination> shown;        // the person's, in ExamTable's order
    TypedWork work;                  // the examination's fields
};

} // namespace velmora
