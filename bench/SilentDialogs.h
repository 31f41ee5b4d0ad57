#pragma once

#include "gui/platform/Dialogs.h"

#include <cstdio>

namespace velmora {

// Message boxes for a measurement: every question is answered OK or Yes, every message is printed.
class SilentDialogs : public Dialogs {
public:
    void inform(const QString& text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
    void warn(const QString& text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
    bool confirmOkCancel(const QString&) override { return true; }
    bool confirmYesNo(const QString&) override { return true; }
    bool confirmRisky(const QString&) override { return false; }
    bool confirmDoubtful(const QString&) override { return false; }
    QString chooseDataFolder(const QString&) override { return {}; }
    QString chooseCsvToOpen(const QString&, const QString&) override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    QString chooseCsvToSave(const QString&, const QString&) override { return {}; }
    QDate chooseDay(const QString&, const QDate&) override { return {}; }
    bool showModal(QDialog&) override { return false; }
};

} // namespace velmora
