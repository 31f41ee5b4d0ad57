#include "gui/entry/ImportLayoutWindow.h"

#include "core/files/Csv.h"
#include "core/texts/Messages.h"
#include "gui/widgets/WayOut.h"

#include <QBoxLayout>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QRegularExpression>

namespace velmora {
namespace {

// The rows the window shows of a file, and the rows the headings may stand on.
constexpr int RowsShown = 12;

// The groups of the window: the person and month, the service's doses, the readings of each site.
struct Group {
    const char16_t* title;
    int first;
    int last;
};
constexpr Group Groups[] = {{u"人と月", 0, 2}, {u"測定サービスの線量（mSv）", 3, 6}, {u"部位別の値（mSv）", 7, 12}};

} // namespace

ImportLayoutWindow::ImportLayoutWindow(const QString& file, const QList<QStringList>& firstRows,
                                       const ImportLayout& proposed, Dialogs& messageBoxes, QWidget* parent)
    : QDialog(parent), rows(firstRows.first(std::min<qsizetype>(firstRows.size(), RowsShown))), dialogs(messageBoxes)
{
    setObjectName(QStringLiteral("ImportLayoutWindow"));
    setWindowTitle(QStringLiteral("取込レイアウト"));
    auto* explanation =
        new QLabel(QStringLiteral("「%1」の最初の行です。見出しの行と、氏名または測定番号・各線量の列を指定して下さい。"
                                  "指定はレイアウトの名前で保存され、同じ見出しのファイルでまた使われます。")
                       .arg(file),
                   this);
    explanation->setWordWrap(true);

    qsizetype width = 0;
    for (const QStringList& row : rows)
        width = std::max(width, row.size());
    Preview = new QTableWidget(static_cast<int>(rows.size()), static_cast<int>(width), this);
    Preview->setObjectName(QStringLiteral("Preview"));
    Preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Preview->setFocusPolicy(Qt::NoFocus);
    for (int c = 0; c < width; ++c)
        Preview->setHorizontalHeaderItem(c, new QTableWidgetItem(csv::columnLetter(c + 1)));
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            Preview->setItem(r, c, new QTableWidgetItem(rows[r][c]));
    Preview->horizontalHeader()->setDefaultSectionSize(96);
    Preview->setMinimumHeight(200);

    HeadingRowBox = new QSpinBox(this);
    HeadingRowBox->setObjectName(QStringLiteral("HeadingRowBox"));
    HeadingRowBox->setRange(1, std::max<int>(1, static_cast<int>(rows.size())));
    HeadingRowBox->setValue(std::clamp(proposed.headingRow, 1, HeadingRowBox->maximum()));
    auto* headingLabel = new QLabel(QStringLiteral("見出しの行(&H)"), this);
    headingLabel->setBuddy(HeadingRowBox);
    auto* headingRow = new QHBoxLayout;
    headingRow->addWidget(headingLabel);
    headingRow->addWidget(HeadingRowBox);
    headingRow->addWidget(new QLabel(QStringLiteral("（表の色の付いた行。その上の行は読みません）"), this));
    headingRow->addStretch();

    auto* groups = new QHBoxLayout;
    for (const Group& group : Groups) {
        auto* box = new QGroupBox(QString::fromUtf16(group.title), this);
        auto* form = new QFormLayout(box);
        for (int c = group.first; c <= group.last; ++c) {
            auto* combo = new QComboBox(box);
            combo->setObjectName(QStringLiteral("ColumnBox%1").arg(c));
            combo->setMinimumContentsLength(12);
            combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
            ColumnBoxes[static_cast<size_t>(c)] = combo;
            form->addRow(layoutColumnText(static_cast<LayoutColumn>(c)), combo);
        }
        groups->addWidget(box);
    }
    showHeadings();
    for (int c = 0; c < LayoutColumns; ++c)
        ColumnBoxes[static_cast<size_t>(c)]->setCurrentIndex(proposed.columns[static_cast<size_t>(c)]);

    MarksText = new QLineEdit(proposed.marks.join(QLatin1Char(' ')), this);
    MarksText->setObjectName(QStringLiteral("MarksText"));
    LayoutName = new QLineEdit(proposed.name, this);
    LayoutName->setObjectName(QStringLiteral("LayoutName"));
    auto* lower = new QFormLayout;
    lower->addRow(QStringLiteral("検出限界未満の記号(&M)（空欄とＭのほか、空白で区切る）"), MarksText);
    lower->addRow(QStringLiteral("レイアウトの名前(&N)"), LayoutName);

    FaultLabel = new QLabel(this);
    FaultLabel->setObjectName(QStringLiteral("FaultLabel"));
    FaultLabel->setStyleSheet(QStringLiteral("color: #c00000"));
    OkButton = new QPushButton(QStringLiteral("取り込む"), this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("キャンセル"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(FaultLabel, 1);
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addWidget(Preview, 1);
    layout->addLayout(headingRow);
    layout->addLayout(groups);
    layout->addLayout(lower);
    layout->addLayout(buttons);
    resize(1100, 640);

    connect(HeadingRowBox, &QSpinBox::valueChanged, this, &ImportLayoutWindow::showHeadings);
    connect(OkButton, &QPushButton::clicked, this, &ImportLayoutWindow::OkButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QWidget::close);
    QList<QWidget*> fields{HeadingRowBox, MarksText, LayoutName};
    for (QComboBox* combo : ColumnBoxes)
        fields << combo;
    work = TypedWork(fields);
    // The window lives only while it asks for the layout: whatever was changed is work until it is taken.
    new WayOut(
        this, [this] { return work.held(); },
        [this] { return dialogs.confirmRisky(QStringLiteral("指定したレイアウトで取り込まずに閉じますか？")); },
        [this] { done(Rejected); });
}

void ImportLayoutWindow::showHeadings()
{
    // The heading row coloured in the table, so that the operator sees which row the columns are named by.
    for (int r = 0; r < Preview->rowCount(); ++r)
        for (int c = 0; c < Preview->columnCount(); ++c)
            if (QTableWidgetItem* item = Preview->item(r, c))
                item->setBackground(r == HeadingRowBox->value() - 1 ? QColor(0xdd, 0xeb, 0xf7) : QBrush());
    const QStringList headings = rows.value(HeadingRowBox->value() - 1);
    for (QComboBox* combo : ColumnBoxes) {
        const int chosen = combo->currentIndex();
        combo->clear();
        combo->addItem(QStringLiteral("（なし）"));
        for (int c = 0; c < headings.size(); ++c)
            combo->addItem(QStringLiteral("%1：%2").arg(csv::columnLetter(c + 1), headings[c].simplified()));
        combo->setCurrentIndex(std::clamp(chosen, 0, combo->count() - 1));
    }
}

ImportLayout ImportLayoutWindow::layout() const
{
    ImportLayout layout;
    layout.name = LayoutName->text().trimmed();
    layout.headingRow = HeadingRowBox->value();
    layout.headings = layoutHeadings(rows.value(layout.headingRow - 1));
    for (int c = 0; c < LayoutColumns; ++c)
        layout.columns[static_cast<size_t>(c)] = ColumnBoxes[static_cast<size_t>(c)]->currentIndex();
    // Blanks, commas and the brackets the list file quotes each mark with separate the marks.
    static const QRegularExpression separators(QStringLiteral("[\\s、,「」]+"));
    layout.marks = MarksText->text().split(separators, Qt::SkipEmptyParts);
    return layout;
}

void ImportLayoutWindow::OkButtonClick()
{
    if (const auto fault = layoutProblem(layout())) {
        FaultLabel->setText(layoutFaultText(*fault));
        return;
    }
    accept();
}

} // namespace velmora
