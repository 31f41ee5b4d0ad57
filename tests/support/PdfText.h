#pragma once

#include <QList>
#include <QString>

namespace velmora::test {

// A word of a PDF page as pdftotext finds it, with its top-left corner in millimetres from the page's.
struct PdfWord {
    double x;
    double y;
    QString text;
};

// The words of a PDF file (its first page); "―" and "～", which the IPA fonts draw with the glyphs of
// U+2014 and U+301C, come back as themselves.
QList<PdfWord> pdfWords(const QString& path);

// A word of any page of a PDF file with its box, in millimetres from the top-left corner of its page.
struct PdfBox {
    int page;
    double xMin, yMin, xMax, yMax;
    double pageWidth, pageHeight;
    QString text;
};
QList<PdfBox> pdfWordBoxes(const QString& path);

// The number of pages of a PDF file.
int pdfPageCount(const QString& path);

// The word nearest to (x, y) within half a millimetre, or an empty text.
QString wordAt(const QList<PdfWord>& words, double x, double y);

} // namespace velmora::test
