#include "gui/reports/PageWindow.h"

#include "gui/platform/PrintOutcome.h"
#include "gui/platform/WaitCursor.h"
#include "gui/reports/CsvSave.h"
#include "gui/widgets/Twips.h"

#include <QApplication>
#include <QBoxLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QScrollArea>

namespace velmora {

PageWindow::PageWindow(const QString& objectName, Dialogs& messageBoxes, Printer& systemPrinter,
                       const Clock& systemClock)
    : dialogs(messageBoxes), printer(systemPrinter), clock(systemClock)
{
    setObjectName(objectName);
    Picture1 = new PictureBox(QStringLiteral("Picture1"), this);
    // Large enough for the chart labels at their point size within their columns.
    Picture1->setFixedSize(1204, 776);
    PrintButton = new CommandButton(QStringLiteral("PrintButton"), QStringLiteral("印刷"), this);
    SaveCsvButton = new CommandButton(QStringLiteral("SaveCsvButton"), QStringLiteral("CSV保存"), this);
    CloseButton = new CommandButton(QStringLiteral("CloseButton"), QStringLiteral("閉じる"), this);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(PrintButton);
    bottom->addWidget(SaveCsvButton);
    bottom->addStretch();
    bottom->addWidget(CloseButton);
    // The page scrolls where the screen is smaller than it; the buttons stay in view under it.
    auto* page = new QScrollArea(this);
    page->setObjectName(QStringLiteral("PageArea"));
    page->setWidget(Picture1);
    page->setAlignment(Qt::AlignCenter);
    auto* window = new QVBoxLayout(this);
    window->addWidget(page, 1);
    window->addLayout(bottom);
    const QSize whole = Picture1->size() + QSize(2 * page->frameWidth(), 2 * page->frameWidth()) +
                        QSize(0, PrintButton->sizeHint().height() + window->spacing()) +
                        QSize(window->contentsMargins().left() + window->contentsMargins().right(),
                              window->contentsMargins().top() + window->contentsMargins().bottom());
    // Below its title bar and above a task bar.
    const QSize screen = QGuiApplication::primaryScreen()->availableSize() - QSize(0, 70);
    resize(whole.boundedTo(screen));

    connect(PrintButton, &QPushButton::clicked, this, &PageWindow::PrintButtonClick);
    connect(SaveCsvButton, &QPushButton::clicked, this, &PageWindow::SaveCsvButtonClick);
    connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
}

void PageWindow::showPage(const QString& title, const QString& documentName, Draw draw, const QString& csvPath,
                          const QByteArray& csv)
{
    setWindowTitle(title);
    document = documentName;
    drawPage = std::move(draw);
    csvFile = csvPath;
    csvBytes = csv;
    SaveCsvButton->setVisible(!csvFile.isEmpty());
    drawPage(*Picture1, ScreenStyle, {});
    showAndActivate(this);
}

void PageWindow::keyPressEvent(QKeyEvent* event)
{
    // Esc closes the page, as it closes a dialog.
    if (event->key() == Qt::Key_Escape)
        close();
    else
        QWidget::keyPressEvent(event);
}

void PageWindow::PrintButtonClick()
{
    if (!dialogs.confirmYesNo(QStringLiteral("プリンターＯＫ？")))
        return;
    {
        const WaitCursor wait;
        drawPage(printer.beginDocument(document), ChartPaperStyle, clock.now().date());
        printer.endDocument();
    }
    tellPrintOutcome(printer, dialogs);
}

void PageWindow::SaveCsvButtonClick()
{
    saveCsvAsked(dialogs, clock.now().date(), csvFile, csvBytes);
}

} // namespace velmora
