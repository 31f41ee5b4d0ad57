#pragma once

#include "gui/platform/Clock.h"
#include "gui/platform/Dialogs.h"
#include "gui/platform/Printer.h"
#include "gui/reports/ReportPen.h"
#include "gui/widgets/CommandButton.h"
#include "gui/widgets/PictureBox.h"

#include <QDate>
#include <QWidget>
#include <functional>

namespace velmora {

// A window that shows one page drawn by a routine on a picture box, as it is printed, with its print and,
// where the page has one, the CSV of its figures. It only reads the store.
class PageWindow : public QWidget {
    Q_OBJECT
public:
    // Draws the page at a style's scale; the print date is shown when valid.
    using Draw = std::function<void(Surface& surface, const ReportStyle& style, const QDate& printed)>;

    PageWindow(const QString& objectName, Dialogs& messageBoxes, Printer& systemPrinter, const Clock& systemClock);

    // Shows the page under `title`; "印刷" prints it as the document `documentName`; "CSV保存", shown
    // only with a CSV, writes `csv` where the operator chooses, `csvPath` proposed (saveCsvAsked).
    void showPage(const QString& title, const QString& documentName, Draw draw, const QString& csvPath = {},
                  const QByteArray& csv = {});

    PictureBox* Picture1;
    CommandButton* PrintButton;   // "印刷"
    CommandButton* SaveCsvButton; // "CSV保存"
    CommandButton* CloseButton;   // "閉じる"

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void PrintButtonClick();
    void SaveCsvButtonClick();

    Dialogs& dialogs;
    Printer& printer;
    const Clock& clock;
    QString document;
    Draw drawPage;
    QString csvFile;
    QByteArray csvBytes;
};

} // namespace velmora
