#include "Form8.h"

#include "platform/PrintOutcome.h"
#include "reports/DistributionReport.h"
#include "store/FileWriter.h"
#include "store/Messages.h"

#include <QApplication>
#include <QBoxLayout>
#include <QDir>

namespace velmora {

Form8::Form8(const DataDir& dir, Dialogs& messageBoxes, Printer& systemPrinter, const Clock& systemClock)
    : dataDir(dir), dialogs(messageBoxes), printer(systemPrinter), clock(systemClock)
{
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QStringLiteral("線量分布"));
    Picture1 = new PictureBox(QStringLiteral("Picture1"), this);
    // Large enough for the band labels at their point size within their columns.
    Picture1->setFixedSize(1204, 776);
    PrintButton = new CommandButton(QStringLiteral("PrintButton"), QStringLiteral("印刷"), this);
    SaveCsvButton = new CommandButton(QStringLiteral("SaveCsvButton"), QStringLiteral("CSV保存"), this);
    CloseButton = new CommandButton(QStringLiteral("CloseButton"), QStringLiteral("閉じる"), this);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(PrintButton);
    bottom->addWidget(SaveCsvButton);
    bottom->addStretch();
    bottom->addWidget(CloseButton);
    auto* window = new QVBoxLayout(this);
    window->addWidget(Picture1);
    window->addLayout(bottom);
    window->setSizeConstraint(QLayout::SetFixedSize);

    connect(PrintButton, &QPushButton::clicked, this, &Form8::PrintButtonClick);
    connect(SaveCsvButton, &QPushButton::clicked, this, &Form8::SaveCsvButtonClick);
    connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
}

void Form8::showDistribution(DoseDistribution shown)
{
    distribution = std::move(shown);
    setWindowTitle(QStringLiteral("線量分布（%1年度）").arg(distribution.fiscalYear));
    drawDoseDistribution(*Picture1, ScreenStyle, distribution);
}

void Form8::PrintButtonClick()
{
    if (!dialogs.confirmYesNo(QStringLiteral("プリンターＯＫ？")))
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    PrintDoseDistribution(printer, distribution, clock.now().date());
    QApplication::restoreOverrideCursor();
    tellPrintOutcome(printer, dialogs);
}

void Form8::SaveCsvButtonClick()
{
    const QString name = QStringLiteral("線量分布_%1年度.csv").arg(distribution.fiscalYear);
    const QString path = QDir(dataDir.root()).filePath(name);
    if (const auto saved = replaceFile(path, name, distributionCsv(distribution)); !saved) {
        dialogs.warn(messageOf(saved.error()));
        return;
    }
    dialogs.inform(QStringLiteral("ファイル「%1」に保存しました。\n%2").arg(name, path));
}

} // namespace velmora
