#pragma once

#include "core/files/ImportLayouts.h"
#include "gui/platform/Dialogs.h"
#include "gui/widgets/TypedWork.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

namespace velmora {

// The window 「取込レイアウト」: the first rows of a dosimetry service's file, and for the operator to say
// which row holds the headings, which column holds the person, the month and each dose or reading, which
// marks mean below detection, and the name the layout is kept under. Accepted only with a layout that reads
// doses; a saved layout made for the file's headings is proposed. Its ways out (キャンセル, Esc, the close button)
// ask first when the operator changed what was proposed.
class ImportLayoutWindow : public QDialog {
    Q_OBJECT
public:
    ImportLayoutWindow(const QString& file, const QList<QStringList>& firstRows, const ImportLayout& proposed,
                       Dialogs& dialogs, QWidget* parent = nullptr);

    // The layout as the window shows it.
    ImportLayout layout() const;

    QTableWidget* Preview;
    QSpinBox* HeadingRowBox;                             // 見出しの行
    std::array<QComboBox*, LayoutColumns> ColumnBoxes{}; // the column of each, "（なし）" first
    QLineEdit* MarksText;                                // 検出限界未満の記号
    QLineEdit* LayoutName;                               // レイアウトの名前
    QLabel* FaultLabel;                                  // why the layout cannot be taken
    QPushButton* OkButton;                               // 取り込む
    QPushButton* CancelButton;                           // キャンセル

private:
    void showHeadings();
    void OkButtonClick();

    QList<QStringList> rows;
    Dialogs& dialogs;
    TypedWork work; // every choice, against the layout proposed
};

} // namespace velmora
