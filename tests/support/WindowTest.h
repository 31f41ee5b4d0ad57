#pragma once

#include "app/Application.h"
#include "gui/platform/SystemPrinter.h"
#include "support/DataFiles.h"
#include "support/FixedClock.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace velmora::test {

// The whole program over a fresh data directory, offscreen, with scripted message boxes and a clock
// that tells 2026-12-07 10:15.
class WindowTest : public testing::Test {
protected:
    WindowTest() { app.start(); }

    QString path(const QString& name) const { return QDir(temp.path()).filePath(name); }
    void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    // Types a text (Japanese included) into a field, replacing what it held.
    void type(QLineEdit* field, const QString& text);
    void pressEnter(QWidget* widget) { QTest::keyClick(widget, Qt::Key_Return); }
    // Double-clicks the name in a list with the mouse.
    void doubleClick(QListWidget* list, const QString& name);
    // The texts of the message boxes shown so far, and forgets them.
    QStringList takeMessages();

    QTemporaryDir temp;
    ScriptedDialogs dialogs;
    FixedClock clock{QDateTime(QDate(2026, 12, 7), QTime(10, 15))};
    // No printer: printed reports go into PDF files in the data directory.
    SystemPrinter printer{temp.path(), clock, [] { return QPrinterInfo(); }};
    // The settings of the run in a file of their own, never the user's.
    QTemporaryDir settingsFolder;
    QSettings settings{QDir(settingsFolder.path()).filePath(QStringLiteral("settings.ini")), QSettings::IniFormat};
    Application app{temp.path(), dialogs, clock, printer, settings};
};

} // namespace velmora::test
