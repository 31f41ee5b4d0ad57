#include "gui/dialogs/DataFolderWindow.h"

#include "gui/dialogs/QtDialogs.h"

#include <QBoxLayout>
#include <QDir>
#include <QFileDialog>
#include <QLabel>

namespace velmora {

DataFolderWindow::DataFolderWindow(const QString& suggested, QWidget* parent)
    : QDialog(parent), suggestedFolder(suggested)
{
    setObjectName(QStringLiteral("DataFolderWindow"));
    setWindowTitle(ApplicationTitle);
    auto* explanation = new QLabel(
        QStringLiteral("個人被曝線量管理のデータ（登録者の一覧と、一人ひとりの線量のファイル）を保存するフォルダを"
                       "決めて下さい。次のフォルダをお勧めします（なければ作成します）。"),
        this);
    explanation->setWordWrap(true);
    auto* folder = new QLabel(QDir::toNativeSeparators(suggested), this);
    folder->setObjectName(QStringLiteral("SuggestedFolder"));
    folder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold = folder->font();
    bold.setBold(true);
    folder->setFont(bold);
    auto* shared = new QLabel(QStringLiteral("複数のパソコンで同じデータを使うときは、「別のフォルダを選ぶ…」で"
                                             "ファイルサーバーの共有フォルダを選んで下さい。選んだフォルダは記憶され、"
                                             "次からは聞かれません。"),
                              this);
    shared->setWordWrap(true);

    UseSuggestedButton = new QPushButton(QStringLiteral("このフォルダを使う"), this);
    UseSuggestedButton->setObjectName(QStringLiteral("UseSuggestedButton"));
    UseSuggestedButton->setDefault(true);
    OtherFolderButton = new QPushButton(QStringLiteral("別のフォルダを選ぶ…"), this);
    OtherFolderButton->setObjectName(QStringLiteral("OtherFolderButton"));
    CancelButton = new QPushButton(QStringLiteral("キャンセル"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(UseSuggestedButton);
    buttons->addWidget(OtherFolderButton);
    buttons->addStretch();
    buttons->addWidget(CancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addWidget(folder);
    layout->addSpacing(8);
    layout->addWidget(shared);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setMinimumWidth(520);

    connect(UseSuggestedButton, &QPushButton::clicked, this, [this] {
        choice = suggestedFolder;
        accept();
    });
    connect(OtherFolderButton, &QPushButton::clicked, this, &DataFolderWindow::OtherFolderButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void DataFolderWindow::OtherFolderButtonClick()
{
    // Qt's own folder dialog, which has a button that makes a new folder.
    const QString picked = QFileDialog::getExistingDirectory(
        this, QStringLiteral("データを保存するフォルダを選んで下さい"), QDir::homePath(), QFileDialog::ShowDirsOnly);
    if (picked.isEmpty())
        return; // back to this window
    choice = picked;
    accept();
}

} // namespace velmora
