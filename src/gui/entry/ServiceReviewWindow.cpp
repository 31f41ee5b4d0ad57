#include "gui/entry/ServiceReviewWindow.h"

#include "core/files/Dosimeters.h"
#include "gui/widgets/Controls.h"

#include <QBoxLayout>
#include <QHeaderView>

namespace velmora {
namespace {

// A reading to the decimal places the service gave it ("1.0" stays "1.0").
QString readingText(const std::optional<Reading>& reading)
{
    if (!reading)
        return {};
    QString text = reading->dose.text();
    const qsizetype point = text.indexOf(u'.');
    const qsizetype places = point < 0 ? 0 : text.size() - point - 1;
    if (places < reading->places)
        text += (point < 0 ? QStringLiteral(".") : QString()) + QString(reading->places - places, u'0');
    return text;
}

} // namespace

ServiceReviewWindow::ServiceReviewWindow(const ServiceImport& import, const QString& month, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ServiceReviewWindow"));
    setWindowTitle(QStringLiteral("取り込む線量の確認"));
    // Only the sites and the service's doses the file has.
    QList<int> sites;
    for (int s = 0; s < Sites; ++s)
        if (std::any_of(import.rows.begin(), import.rows.end(),
                        [s](const ServiceReviewRow& row) { return row.readings[static_cast<size_t>(s)].has_value(); }))
            sites << s;
    QList<int> services;
    for (int q = 0; q < 3; ++q)
        if (std::any_of(import.rows.begin(), import.rows.end(),
                        [q](const ServiceReviewRow& row) { return row.service[static_cast<size_t>(q)].has_value(); }))
            services << q;
    // The computed doses where a site's readings give any.
    const bool computed = std::any_of(import.rows.begin(), import.rows.end(), [](const ServiceReviewRow& row) {
        return row.computed.effective || row.computed.lens || row.computed.skin;
    });
    const LayoutColumn serviceColumns[] = {LayoutColumn::Effective, LayoutColumn::Lens, LayoutColumn::Skin};
    QStringList headings{QStringLiteral("氏名"), QStringLiteral("装着")};
    for (const int s : sites)
        headings << layoutColumnText(static_cast<LayoutColumn>(static_cast<int>(LayoutColumn::TrunkHp10) + s));
    if (computed)
        headings << QStringLiteral("計算 実効線量") << QStringLiteral("計算 水晶体") << QStringLiteral("計算 皮膚");
    for (const int q : services)
        headings << QStringLiteral("測定サービス ") + layoutColumnText(serviceColumns[q]);
    Doses = makeRowTable(this, QStringLiteral("Doses"), headings);
    Doses->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    Doses->horizontalHeader()->setStretchLastSection(false);
    Doses->setRowCount(static_cast<int>(import.rows.size()));
    qsizetype differing = 0;
    for (int at = 0; at < import.rows.size(); ++at) {
        const ServiceReviewRow& row = import.rows[at];
        QStringList cells{row.person, wearingText(row.wearing)};
        for (const int s : sites)
            cells << readingText(row.readings[static_cast<size_t>(s)]);
        if (computed)
            cells << readingText(row.computed.effective) << readingText(row.computed.lens)
                  << readingText(row.computed.skin);
        for (const int q : services)
            cells << readingText(row.service[static_cast<size_t>(q)]);
        fillRow(Doses, at, cells, 2, static_cast<int>(cells.size()) - 1);
        if (row.differs) {
            ++differing;
            for (int column = 0; column < cells.size(); ++column)
                Doses->item(at, column)->setBackground(QColor(0xff, 0xe0, 0xe0));
        }
    }
    Summary = new QLabel(
        QStringLiteral("%1の線量：%2名").arg(month).arg(import.rows.size()) +
            (differing > 0 ? QStringLiteral("（部位別の値から計算した線量と測定サービスの線量が合わない%1名は赤で"
                                            "示します）")
                                 .arg(differing)
                           : QString()) +
            QStringLiteral("。線量の単位は mSv です。"),
        this);
    Summary->setObjectName(QStringLiteral("Summary"));
    Summary->setWordWrap(true);
    NextButton = new QPushButton(QStringLiteral("次へ"), this);
    NextButton->setObjectName(QStringLiteral("NextButton"));
    NextButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("キャンセル"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(NextButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Summary);
    layout->addWidget(Doses, 1);
    layout->addLayout(buttons);
    resize(1100, 600);
    connect(NextButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

} // namespace velmora
