#pragma once

#include "gui/platform/Dialogs.h"

class QWidget;

namespace velmora {

// Message boxes as QMessageBox with the application's title and Japanese buttons.
class QtDialogs : public Dialogs {
public:
    void inform(const QString& text) override;
    void warn(const QString& text) override;
    bool confirmOkCancel(const QString& text) override;
    bool confirmYesNo(const QString& text) override;
    bool confirmRisky(const QString& text) override;
    bool confirmDoubtful(const QString& text) override;
    QString chooseDataFolder(const QString& suggested) override;
    QString chooseCsvToOpen(const QString& title, const QString& folder) override;
    QString chooseFolder(const QString& title, const QString& start) override;
    QString chooseCsvToSave(const QString& title, const QString& path) override;
    QDate chooseDay(const QString& text, const QDate& proposed) override;
    bool showModal(QDialog& window) override;
};

inline const QString ApplicationTitle = QStringLiteral("Velmora");

} // namespace velmora
