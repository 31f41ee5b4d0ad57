#pragma once

#include <QDialog>
#include <QPushButton>

namespace velmora {

// The window of the first start from the desktop menu: what the data folder is, the folder proposed,
// another folder through a folder dialog that can make a new one, or Cancel.
class DataFolderWindow : public QDialog {
    Q_OBJECT
public:
    explicit DataFolderWindow(const QString& suggested, QWidget* parent = nullptr);

    // The folder chosen once the window was accepted.
    QString chosen() const { return choice; }

    QPushButton* UseSuggestedButton; // "このフォルダを使う"
    QPushButton* OtherFolderButton;  // "別のフォルダを選ぶ…"
    QPushButton* CancelButton;       // "キャンセル"

private:
    void OtherFolderButtonClick();

    QString suggestedFolder;
    QString choice;
};

} // namespace velmora
