#include "gui/dialogs/QtDialogs.h"

#include "core/texts/Messages.h"
#include "gui/dialogs/DataFolderWindow.h"

#include <QApplication>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>

#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace velmora {
namespace {

// A text of many lines (the doubts of an import, say) scrolls inside its box, so that the box and its
// buttons always fit the screen.
constexpr qsizetype ScrollFromLines = 30;

void scrollLongText(QMessageBox& box)
{
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!label || !grid)
        return;
    int row = 0, column = 0, rows = 0, columns = 0;
    grid->getItemPosition(grid->indexOf(label), &row, &column, &rows, &columns);
    grid->removeWidget(label);
    auto* scroll = new QScrollArea(&box);
    scroll->setObjectName(QStringLiteral("LongText"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(label);
    const QRect screen = (box.screen() ? box.screen() : QGuiApplication::primaryScreen())->availableGeometry();
    const int scrollBar = scroll->verticalScrollBar()->sizeHint().width();
    scroll->setFixedSize(std::min(label->sizeHint().width() + scrollBar + 4, screen.width() * 2 / 3),
                         screen.height() / 2);
    grid->addWidget(scroll, row, column, rows, columns);
}

QMessageBox::StandardButton ask(QMessageBox::Icon icon, const QString& text, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton = QMessageBox::NoButton)
{
    QMessageBox box(icon, ApplicationTitle, shownText(text), buttons, QApplication::activeWindow());
    box.setDefaultButton(defaultButton);
    if (text.count(QLatin1Char('\n')) >= ScrollFromLines)
        scrollLongText(box);
    const std::pair<QMessageBox::StandardButton, QString> captions[] = {
        {QMessageBox::Ok, QStringLiteral("OK")},
        {QMessageBox::Cancel, QStringLiteral("キャンセル")},
        {QMessageBox::Yes, QStringLiteral("はい")},
        {QMessageBox::No, QStringLiteral("いいえ")},
    };
    for (const auto& [button, caption] : captions)
        if (QAbstractButton* shown = box.button(button))
            shown->setText(caption);
    box.exec();
    return box.standardButton(box.clickedButton());
}

const QString CsvFilter = QStringLiteral("CSVファイル (*.csv *.CSV);;すべてのファイル (*)");

} // namespace

void QtDialogs::inform(const QString& text)
{
    ask(QMessageBox::NoIcon, text, QMessageBox::Ok);
}

void QtDialogs::warn(const QString& text)
{
    ask(QMessageBox::Warning, text, QMessageBox::Ok);
}

bool QtDialogs::confirmOkCancel(const QString& text)
{
    return ask(QMessageBox::NoIcon, text, QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Cancel;
}

bool QtDialogs::confirmYesNo(const QString& text)
{
    return ask(QMessageBox::NoIcon, text, QMessageBox::Yes | QMessageBox::No) != QMessageBox::No;
}

bool QtDialogs::confirmRisky(const QString& text)
{
    return ask(QMessageBox::Warning, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

bool QtDialogs::confirmDoubtful(const QString& text)
{
    return ask(QMessageBox::Warning, text, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel) ==
           QMessageBox::Ok;
}

QString QtDialogs::chooseDataFolder(const QString& suggested)
{
    DataFolderWindow window(suggested, QApplication::activeWindow());
    return window.exec() == QDialog::Accepted ? window.chosen() : QString();
}

bool QtDialogs::showModal(QDialog& window)
{
    return window.exec() == QDialog::Accepted;
}

QString QtDialogs::chooseCsvToOpen(const QString& title, const QString& folder)
{
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), title, folder, CsvFilter);
}

namespace {

// Where a chooser opens without a folder to start from: the user's documents (or home), never the working
// folder, which for a program started from the Start menu is the program's own folder under Program Files.
QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

} // namespace

QString QtDialogs::chooseFolder(const QString& title, const QString& start)
{
    return QFileDialog::getExistingDirectory(QApplication::activeWindow(), title,
                                             start.isEmpty() ? documentsFolder() : start);
}

QString QtDialogs::chooseCsvToSave(const QString& title, const QString& path)
{
    const QString proposed = QFileInfo(path).isAbsolute() ? path : QDir(documentsFolder()).filePath(path);
    QFileDialog dialog(QApplication::activeWindow(), title, proposed, CsvFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("csv")); // a name typed without it still makes a CSV file
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

QDate QtDialogs::chooseDay(const QString& text, const QDate& proposed)
{
    QDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(ApplicationTitle);
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(text, &dialog);
    label->setWordWrap(true);
    auto* day = new QDateEdit(proposed, &dialog);
    day->setObjectName(QStringLiteral("Day"));
    day->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    day->setCalendarPopup(true);
    day->setDateRange(QDate(1950, 1, 1), QDate(2100, 12, 31));
    label->setBuddy(day);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(label);
    layout->addWidget(day);
    layout->addWidget(buttons);
    day->setFocus();
    return dialog.exec() == QDialog::Accepted ? day->date() : QDate();
}

} // namespace velmora
