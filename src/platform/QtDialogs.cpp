#include "QtDialogs.h"

#include "DataFolderWindow.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace velmora {
namespace {

QMessageBox::StandardButton ask(QMessageBox::Icon icon, const QString& text, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton = QMessageBox::NoButton)
{
    QMessageBox box(icon, ApplicationTitle, text, buttons, QApplication::activeWindow());
    box.setDefaultButton(defaultButton);
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

QString QtDialogs::chooseDataFolder(const QString& suggested)
{
    DataFolderWindow window(suggested, QApplication::activeWindow());
    return window.exec() == QDialog::Accepted ? window.chosen() : QString();
}

QString QtDialogs::chooseCsvToOpen(const QString& title, const QString& folder)
{
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), title, folder, CsvFilter);
}

QString QtDialogs::chooseCsvToSave(const QString& title, const QString& path)
{
    QFileDialog dialog(QApplication::activeWindow(), title, path, CsvFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("csv")); // a name typed without it still makes a CSV file
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

} // namespace velmora
