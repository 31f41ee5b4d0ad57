#include "core/texts/Messages.h"
#include "gui/platform/SystemPrinter.h"
#include "gui/reports/MonthlyList.h"
#include "gui/reports/PersonalRecord.h"
#include "gui/reports/RegistrantTable.h"
#include "gui/reports/TotalsReport.h"
#include "support/FixedClock.h"
#include "support/PdfText.h"
#include "support/RecordingSurface.h"
#include "support/Stores.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

// The reports printed where there is no printer: into PDF files, read back with poppler's tools.
class PrintedReports : public testing::Test {
protected:
    QStringList printedFiles() const
    {
        QStringList files =
            QDir(QDir(temp.path()).filePath(SystemPrinter::PrintFolder)).entryList(QDir::Files, QDir::Name);
        std::sort(files.begin(), files.end(), [](const QString& a, const QString& b) {
            return a.section('_', -1).mid(1).toInt() < b.section('_', -1).mid(1).toInt();
        });
        for (QString& file : files)
            file = QDir(temp.path()).filePath(SystemPrinter::PrintFolder + "/" + file);
        return files;
    }
    void registrants(int count)
    {
        for (int i = 1; i <= count; ++i) {
            names << QStringLiteral("職員%1").arg(i);
            rows.append({double(i), double(i % 2), i % 3 ? 0.5 : 0, 0, -1, 0.0012, QStringLiteral("―"), true});
            summary.append(personHeader(names.last(), i));
        }
    }
    // The registrant names on a printed page, top to bottom.
    static QStringList namesOn(const QString& file)
    {
        QStringList found;
        for (const PdfWord& word : pdfWords(file))
            if (word.text.startsWith(QStringLiteral("職員")))
                found << word.text;
        return found;
    }

    QTemporaryDir temp;
    FixedClock clock{QDateTime(QDate(2026, 12, 7), QTime(10, 15))};
    SystemPrinter printer{temp.path(), clock, [] { return QPrinterInfo(); }};
    QStringList names;
    QList<MonthRowEntry> rows;
    QList<std::optional<PersonalHeader>> summary;
    qsizetype nextRow = 1;
};

TEST_F(PrintedReports, ListsPrintOneDocumentPer32RowsAndOnePageForNone)
{
    for (const auto& [count, documents, lastAlone] : {std::tuple{0, 1, QString()},
                                                      {32, 1, QString()},
                                                      {33, 2, QStringLiteral("職員33")},
                                                      {65, 3, QStringLiteral("職員65")}}) {
        names.clear();
        rows.clear();
        registrants(count);
        nextRow = 1;
        PrintMonthlyList(printer, {"2005", "4", names, rows}, nextRow, {});
        EXPECT_EQ(nextRow, count + 1);
        const QString report = printer.takeReport().message;
        EXPECT_TRUE(
            report.contains(QStringLiteral("%1ページをPDFファイルとしてフォルダ「印刷」に保存しました").arg(documents)))
            << report.toStdString();
        const QStringList files = printedFiles();
        ASSERT_EQ(files.size(), documents) << count;
        for (const QString& file : files)
            EXPECT_EQ(pdfPageCount(file), 1);
        EXPECT_TRUE(files.last().endsWith(
            documents == 1 ? QStringLiteral("月別被曝一覧表_20261207-101500.pdf")
                           : QStringLiteral("月別被曝一覧表_20261207-101500_%1.pdf").arg(documents)));
        if (!lastAlone.isEmpty()) {
            EXPECT_EQ(namesOn(files.last()), QStringList{lastAlone});
        }
        EXPECT_EQ(namesOn(files.first()).size(), std::min(count, 32));
        QDir(QDir(temp.path()).filePath(SystemPrinter::PrintFolder)).removeRecursively();
    }
}

TEST_F(PrintedReports, MonthlyListStandsAtItsMillimetres)
{
    registrants(3);
    PrintMonthlyList(printer, {"2005", "4", names, rows}, nextRow, {});
    printer.takeReport();
    const auto words = pdfWords(printedFiles().value(0));
    EXPECT_EQ(wordAt(words, 17, 23), QStringLiteral("登録番号"));
    EXPECT_EQ(wordAt(words, 71, 23), QStringLiteral("性別"));
    EXPECT_EQ(wordAt(words, 125, 21), QStringLiteral("外部被曝"));
    EXPECT_EQ(wordAt(words, 166, 26), QStringLiteral("皮膚線量"));
    EXPECT_EQ(wordAt(words, 241, 23), QStringLiteral("実効線量合計[mSv]"));
    EXPECT_EQ(wordAt(words, 40, 31), QStringLiteral("職員1"));
    EXPECT_EQ(wordAt(words, 74, 31), QStringLiteral("女"));
    EXPECT_EQ(wordAt(words, 138, 31), QStringLiteral("Ｍ"));
    EXPECT_EQ(wordAt(words, 178, 31), QStringLiteral("―"));
    EXPECT_EQ(wordAt(words, 210, 31), QStringLiteral("1.20E-03"));
    EXPECT_EQ(wordAt(words, 250, 31), QStringLiteral("5.01E-01"));
    EXPECT_EQ(wordAt(words, 98, 41), QStringLiteral("Ｍ")); // 職員3: external effective 0
    EXPECT_EQ(wordAt(words, 258, 41).isEmpty(), true);      // E + I ≠ 0: no "Ｍ" in the total
    EXPECT_TRUE(std::any_of(words.begin(), words.end(), [](const PdfWord& w) {
        return w.text == QStringLiteral("放射線被曝データ") && std::fabs(w.y - 10) < 0.5;
    }));
}

TEST_F(PrintedReports, RegistrantTableCarriesThePaperHeading)
{
    registrants(2);
    PrintRegistrantTable(printer, {names, summary}, nextRow, {});
    printer.takeReport();
    const auto words = pdfWords(printedFiles().value(0));
    EXPECT_EQ(wordAt(words, 243, 23), QStringLiteral("過去の被曝歴"));
    EXPECT_EQ(wordAt(words, 210, 23), QStringLiteral("登録年月日"));
    EXPECT_EQ(wordAt(words, 95, 31), QStringLiteral("1965/04/12"));
    EXPECT_EQ(wordAt(words, 250, 36), QStringLiteral("なし"));
    EXPECT_EQ(wordAt(words, 40, 36), QStringLiteral("職員2"));
    EXPECT_EQ(nextRow, 3);
}

TEST_F(PrintedReports, PersonalRecordPrintsOnePageWithItsPaperLayout)
{
    PersonalFile person{
        personHeader(QStringLiteral("山田"), 7),
        {{200504, 0.12, 0, 0.15, 0, QStringLiteral("―")}, {200601, 0.2, 0.25, 0, 0.002, QStringLiteral("透視")}}};
    person.header.pastExposureFlag = 1;
    person.header.pastDose = 1.5;
    PrintPersonalRecord(printer, person, "2005", {});
    PrintPersonalRecord(printer, person, "2005", {});
    printer.takeReport();
    const QStringList files = printedFiles();
    ASSERT_EQ(files.size(), 2);
    const auto words = pdfWords(files[0]);
    EXPECT_EQ(wordAt(words, 25, 20), QStringLiteral("登録番号"));
    EXPECT_EQ(wordAt(words, 110, 20), QStringLiteral("登録年月日"));
    EXPECT_EQ(wordAt(words, 110, 25), QStringLiteral("測定期間"));
    EXPECT_EQ(wordAt(words, 18, 71), QStringLiteral("2005年04月"));
    EXPECT_EQ(wordAt(words, 18, 126), QStringLiteral("2006年03月"));
    EXPECT_EQ(wordAt(words, 23, 63), QStringLiteral("年／月"));
    EXPECT_EQ(wordAt(words, 202, 63), QStringLiteral("実効線量合計"));
    EXPECT_EQ(wordAt(words, 255, 63), QStringLiteral("備"));
    const double blank = 10 * 0.5 * 25.4 / 72; // the leading blank of " Ｍ": half an em at 10 pt
    EXPECT_EQ(wordAt(words, 95 + blank, 71), QStringLiteral("Ｍ"));
    EXPECT_EQ(wordAt(words, 210, 116), QStringLiteral("2.02E-01"));
    EXPECT_EQ(wordAt(words, 242, 116), QStringLiteral("透視"));
    EXPECT_EQ(wordAt(words, 19, 146), QStringLiteral("Ｍの回数"));
    EXPECT_EQ(wordAt(words, 175, 146), QStringLiteral("―"));
    EXPECT_EQ(wordAt(words, 30, 180), QStringLiteral("本測定期間以前の被曝線量"));
    EXPECT_TRUE(std::any_of(words.begin(), words.end(), [](const PdfWord& w) { return w.text == "2005/04"; }));
    // Printing twice gives the same page.
    const auto again = pdfWords(files[1]);
    ASSERT_EQ(again.size(), words.size());
    for (qsizetype i = 0; i < words.size(); ++i)
        EXPECT_EQ(again[i].text, words[i].text);
    // Every build prints the reference page: each word with its box within 0.3 mm of where the Linux
    // build put it (the file holds pdftotext's boxes of that page, in millimetres).
    QFile reference(QStringLiteral(VELMORA_TEST_DATA "/personal-record-page.txt"));
    ASSERT_TRUE(reference.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList expected = QString::fromUtf8(reference.readAll()).split('\n', Qt::SkipEmptyParts);
    const QList<PdfBox> boxes = pdfWordBoxes(files[0]);
    ASSERT_EQ(boxes.size(), expected.size());
    for (qsizetype i = 0; i < boxes.size(); ++i) {
        const QStringList fields = expected[i].split(' ');
        EXPECT_EQ(boxes[i].text, fields[4]);
        const double found[] = {boxes[i].xMin, boxes[i].yMin, boxes[i].xMax, boxes[i].yMax};
        for (int edge = 0; edge < 4; ++edge)
            EXPECT_NEAR(found[edge], fields[edge].toDouble(), 0.3) << fields[4].toStdString();
    }
}

TEST(PaperRecord, ShowsTheValuesOfTheScreen)
{
    PersonalFile person{
        personHeader(QStringLiteral("山田")),
        {{200504, 0.1, 0, 0.15, 0, "―"}, {200504, 0, 0.3, 0, 0.0021, "―"}, {200605, 0.2, 0, 0, 0, "―"}}};
    RecordingSurface screen;
    RecordingSurface paper;
    drawPersonalRecord(screen, ScreenRecordLayout, person, "2005");
    drawPersonalRecord(paper, PaperRecordLayout, person, "2005");
    for (double row : {710.0, 1330.0, 1410.0, 1460.0}) {
        QStringList onScreen = screen.row(row);
        QStringList onPaper = paper.row(row / 10);
        onScreen.removeFirst(); // the label or caption, which the paper words or places differently
        onPaper.removeFirst();
        EXPECT_EQ(onPaper, onScreen) << row;
    }
    EXPECT_EQ(paper.find(QStringLiteral("登録番号　： 1"))->size, 10);
    EXPECT_EQ(paper.find(QStringLiteral("年度合計"))->size, 10);
    EXPECT_EQ(paper.countLines(5, Qt::black), 7);
    EXPECT_EQ(paper.countLines(1, Qt::black), 17);
}

TEST_F(PrintedReports, APersonalRecordsLongCommentStaysInsideTheFrame)
{
    const QString comment = QStringLiteral("右手指の被曝が多いため次回から防護手袋を着用するよう指導済み");
    PrintPersonalRecord(printer, {personHeader(QStringLiteral("山田")), {{200504, 1, 0, 0, 0, comment}}}, "2005", {});
    printer.takeReport();
    bool found = false;
    for (const PdfBox& word : pdfWordBoxes(printedFiles().value(0)))
        if (word.text.startsWith(QStringLiteral("右手指"))) {
            found = true;
            EXPECT_GE(word.xMin, 240);
            EXPECT_LE(word.xMax, 280); // the frame's right edge
            EXPECT_TRUE(word.text.endsWith(QStringLiteral("…"))) << word.text.toStdString();
        }
    EXPECT_TRUE(found);
}

TEST_F(PrintedReports, DoseTotalsOfAThousandPersonsPrintAsOneFileWithEveryWordInsideItsCell)
{
    TotalsPrintout printout{2021, QDate(2026, 12, 7), false, {}, QStringLiteral("事業所：A病院"), {}};
    for (int i = 1; i <= 1000; ++i) {
        TotalsRow row;
        // Every tenth name is longer than its cell; every seventh person has a reason of many parts.
        row.name = i % 10 ? QStringLiteral("職員%1").arg(i) : QStringLiteral("長い氏名の職員さん%1号").arg(i);
        PersonalFile person{personHeader(row.name, i), {}};
        row.registrationNumber = i;
        row.sexCode = person.header.sexCode;
        for (int slot = 0; slot < (i % 7 ? 1 : 12); ++slot) {
            const MonthKey key = slot < 9 ? 202104 + slot : 202201 + slot - 9;
            person.records << MonthlyRecord{key, 5.5, 45.25, 0, 0, NoComment}
                           << MonthlyRecord{key, -1.5, 0, 0, 0, NoComment};
        }
        row.totals = doseTotals(person, 2021);
        printout.rows << row;
    }
    PrintDoseTotals(printer, printout);
    const QString report = printer.takeReport().message;
    const QStringList files = printedFiles();
    ASSERT_EQ(files.size(), 1);
    const QList<PdfBox> words = pdfWordBoxes(files.first());
    const int pages = pdfPageCount(files.first());
    EXPECT_GT(pages, 20);
    // The user is told every page, not the one file.
    EXPECT_TRUE(report.contains(QStringLiteral("%1ページをPDFファイルとして").arg(pages))) << report.toStdString();
    // The last page ends with the checker's box, under the last row.
    const auto box = std::find_if(words.begin(), words.end(), [](const PdfBox& w) { return w.text == "確認欄"; });
    ASSERT_NE(box, words.end());
    EXPECT_EQ(box->page, pages);
    EXPECT_EQ(std::count_if(words.begin(), words.end(), [](const PdfBox& w) { return w.text == "事業所：A病院"; }),
              pages);
    // Days in one form, as the print day stands in each page's corner: 2021年04月01日, never 2021年4月1日.
    const auto saying = [&](const QString& text) {
        return std::count_if(words.begin(), words.end(), [&](const PdfBox& w) { return w.text.contains(text); });
    };
    EXPECT_GT(saying(QStringLiteral("2021年04月01日")), 0);
    EXPECT_EQ(saying(QStringLiteral("年4月1日")), 0);
    int printedNames = 0;
    double headingsTop = 0;
    int page = 0;
    for (const PdfBox& word : words) {
        if (word.page != page) {
            page = word.page;
            headingsTop = word.pageHeight; // until this page's column headings are found
        }
        ASSERT_GE(word.xMin, 0) << word.text.toStdString();
        ASSERT_LE(word.xMax, word.pageWidth) << word.text.toStdString();
        ASSERT_LE(word.yMax, word.pageHeight - 5) << word.text.toStdString();
        if (word.page == box->page && word.yMin >= box->yMin - 0.5)
            continue; // the box spans the columns
        if (word.text == QStringLiteral("登録番号"))
            headingsTop = word.yMin - 0.5;
        if (word.yMin < headingsTop)
            continue; // the captions above the table run across it
        for (const double edge : TotalsColumnEdges)
            ASSERT_FALSE(word.xMin + 0.2 < edge && edge < word.xMax - 0.2)
                << word.text.toStdString() << " crosses " << edge << " on page " << word.page;
        printedNames += word.text.startsWith(QStringLiteral("職員"));
    }
    EXPECT_EQ(printedNames, 900);
    // The lens by quarter stands in its line: every seventh person's 3 × 45.25 under 4～6月, beside 水晶体.
    const auto lensQ1 = std::find_if(words.begin(), words.end(), [](const PdfBox& w) { return w.text == "135.75"; });
    ASSERT_NE(lensQ1, words.end());
    EXPECT_GT(lensQ1->xMin, TotalsColumnEdges[5]);
    EXPECT_LT(lensQ1->xMax, TotalsColumnEdges[6]);
    EXPECT_TRUE(std::any_of(words.begin(), words.end(), [&](const PdfBox& w) {
        return w.text == QStringLiteral("水晶体") && w.page == lensQ1->page && std::abs(w.yMin - lensQ1->yMin) < 0.5;
    }));
    EXPECT_EQ(std::count_if(words.begin(), words.end(),
                            [](const PdfBox& w) { return w.text == QStringLiteral("ページ") && w.yMin < 12; }),
              pages); // "n / m ページ" on every page
}

// However many rows fill the last page, the checker's box stands whole inside a page, after the last row,
// with the change history's head under it.
TEST_F(PrintedReports, TheCheckersBoxStaysInsideThePage)
{
    const QString head = historyHeadText(183860, QByteArray(64, 'f'));
    for (int persons = 36; persons <= 44; persons += 2) {
        TotalsPrintout printout{2021, QDate(2026, 12, 7), false, {}, {}, head};
        for (int i = 1; i <= persons; ++i) {
            TotalsRow row;
            row.name = QStringLiteral("職員%1").arg(i);
            row.totals = doseTotals({personHeader(row.name, i), {}}, 2021);
            printout.rows << row;
        }
        QDir(QDir(temp.path()).filePath(SystemPrinter::PrintFolder)).removeRecursively();
        PrintDoseTotals(printer, printout);
        printer.takeReport();
        const QString file = printedFiles().value(0);
        const QList<PdfBox> words = pdfWordBoxes(file);
        const auto box = std::find_if(words.begin(), words.end(), [](const PdfBox& w) { return w.text == "確認日："; });
        ASSERT_NE(box, words.end()) << persons;
        EXPECT_EQ(box->page, pdfPageCount(file)) << persons;
        EXPECT_LE(box->yMax, box->pageHeight - 5) << persons;
        const auto hash =
            std::find_if(words.begin(), words.end(), [](const PdfBox& w) { return w.text.endsWith("ffff"); });
        ASSERT_NE(hash, words.end()) << persons;
        EXPECT_EQ(hash->page, box->page) << persons;
        EXPECT_GT(hash->yMin, box->yMax) << persons;
        EXPECT_LE(hash->yMax, hash->pageHeight - 5) << persons;
        EXPECT_LE(hash->xMax, hash->pageWidth) << persons;
    }
}

} // namespace
