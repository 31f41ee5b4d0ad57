#include "PdfText.h"

#include "PdfTools.h"

#include <QRegularExpression>
#include <cmath>

namespace velmora::test {
namespace {
constexpr double MillimetresPerPoint = 25.4 / 72;
} // namespace

QList<PdfWord> pdfWords(const QString& path)
{
    static const QRegularExpression word(
        QStringLiteral(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="[\d.]+" yMax="[\d.]+">([^<]*)</word>)re"));
    QList<PdfWord> words;
    const QString html =
        runPdfTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-l"), "1", path, "-"});
    for (auto match = word.globalMatch(html); match.hasNext();) {
        const auto found = match.next();
        QString text = found.captured(3);
        text.replace(QChar(0x2014), QChar(0x2015)).replace(QChar(0x301C), QChar(0xFF5E));
        text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        words.append({found.captured(1).toDouble() * MillimetresPerPoint,
                      found.captured(2).toDouble() * MillimetresPerPoint, text});
    }
    return words;
}

QList<PdfBox> pdfWordBoxes(const QString& path)
{
    static const QRegularExpression item(QStringLiteral(
        R"re(<page width="([\d.]+)" height="([\d.]+)">|<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    QList<PdfBox> boxes;
    int page = 0;
    double width = 0;
    double height = 0;
    const QString html = runPdfTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, "-"});
    for (auto match = item.globalMatch(html); match.hasNext();) {
        const auto found = match.next();
        if (!found.captured(1).isEmpty()) {
            ++page;
            width = found.captured(1).toDouble() * MillimetresPerPoint;
            height = found.captured(2).toDouble() * MillimetresPerPoint;
            continue;
        }
        boxes.append({page, found.captured(3).toDouble() * MillimetresPerPoint,
                      found.captured(4).toDouble() * MillimetresPerPoint,
                      found.captured(5).toDouble() * MillimetresPerPoint,
                      found.captured(6).toDouble() * MillimetresPerPoint, width, height, found.captured(7)});
    }
    return boxes;
}

int pdfPageCount(const QString& path)
{
    static const QRegularExpression pages(QStringLiteral(R"(Pages:\s+(\d+))"));
    return pages.match(runPdfTool(QStringLiteral("pdfinfo"), {path})).captured(1).toInt();
}

QString wordAt(const QList<PdfWord>& words, double x, double y)
{
    for (const PdfWord& word : words)
        if (std::fabs(word.x - x) < 0.5 && std::fabs(word.y - y) < 0.5)
            return word.text;
    return {};
}

} // namespace velmora::test
