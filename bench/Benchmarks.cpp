// Benchmarks at the largest store the program holds: 1000 registrants with 500 months each, generated into
// a temporary directory. Each operation is set beside a baseline that does the least the same work needs
// (plain read() of the same bytes, plain write() appends with the same flushes), and the table at the end
// gives the ratio to it.
#include "SilentDialogs.h"
#include "StoreGenerator.h"
#include "app/Application.h"
#include "core/changes/MonthImport.h"
#include "core/changes/SaveAll.h"
#include "core/changes/ServiceImport.h"
#include "core/files/ChangeHistory.h"
#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"
#include "core/files/TextFile.h"
#include "core/rules/DoseDistribution.h"
#include "core/rules/ExaminationRules.h"
#include "core/rules/ReportData.h"
#include "core/rules/StoreTotals.h"
#include "core/texts/Messages.h"
#include "gui/history/ChangeHistoryWindow.h"
#include "gui/platform/Fonts.h"
#include "gui/platform/SystemPrinter.h"
#include "gui/reports/MonthlyList.h"
#include "gui/reports/PersonalRecord.h"
#include "gui/reports/RegistrantTable.h"
#include "gui/widgets/PictureBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <fcntl.h>
#include <map>
#include <unistd.h>

using namespace velmora;

namespace {

const StoreSize Size{1000, 500, 198504};
const MonthKey LateMonth = monthAfter(Size.firstMonth, Size.months - 5);

struct Store {
    QTemporaryDir temp;
    DataDir dir{temp.path()};
    RegistrantList registrants;
    std::vector<QByteArray> paths; // the personal files, encoded for read()
};

Store& store()
{
    static Store* generated = [] {
        auto* made = new Store;
        QElapsedTimer clock;
        clock.start();
        if (const auto done = generateStore(made->dir, Size); !done)
            qFatal("%s", qPrintable(messageOf(done.error())));
        made->registrants = *LoadRegistrantList(made->dir);
        for (const QString& name : made->registrants.names)
            made->paths.push_back(QFile::encodeName(made->dir.personalFile(name)));
        std::fprintf(stderr, "generated %d × %d in %lld ms\n", Size.registrants, Size.months, clock.elapsed());
        return made;
    }();
    return *generated;
}

// Reads a whole file with read() into memory, as fast as a reader of its bytes could.
qint64 readWhole(const QByteArray& path, std::vector<char>& buffer)
{
    const int descriptor = ::open(path.constData(), O_RDONLY);
    qint64 total = 0;
    for (ssize_t got; (got = ::read(descriptor, buffer.data(), buffer.size())) > 0;)
        total += got;
    ::close(descriptor);
    return total;
}

void ReadAllFilesBaseline(benchmark::State& state)
{
    std::vector<char> buffer(1 << 16);
    for (auto _ : state)
        for (const QByteArray& path : store().paths)
            benchmark::DoNotOptimize(readWhole(path, buffer));
}
BENCHMARK(ReadAllFilesBaseline)->Unit(benchmark::kMillisecond);

void GatherMonthRowsLateMonth(benchmark::State& state)
{
    for (auto _ : state) {
        QStringList unreadable;
        benchmark::DoNotOptimize(gatherMonthRows(store().dir, store().registrants.names, LateMonth, unreadable));
    }
}
BENCHMARK(GatherMonthRowsLateMonth)->Unit(benchmark::kMillisecond);

void GatherMonthRowsMissingMonth(benchmark::State& state)
{
    for (auto _ : state) {
        QStringList unreadable;
        benchmark::DoNotOptimize(gatherMonthRows(store().dir, store().registrants.names, 190001, unreadable));
    }
}
BENCHMARK(GatherMonthRowsMissingMonth)->Unit(benchmark::kMillisecond);

void GatherRegistrantSummary(benchmark::State& state)
{
    for (auto _ : state) {
        QStringList unreadable;
        benchmark::DoNotOptimize(gatherRegistrantSummary(store().dir, store().registrants.names, unreadable));
    }
}
BENCHMARK(GatherRegistrantSummary)->Unit(benchmark::kMillisecond);

// The dose totals and limit check of the fiscal year of the late month, for every registrant.
void GatherDoseTotals(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(gatherDoseTotals(store().dir, store().registrants.names, {}, fiscalYearOf(LateMonth)));
}
BENCHMARK(GatherDoseTotals)->Unit(benchmark::kMillisecond);

// The dose distribution of the same fiscal year: the totals, then every worker counted into the bands.
void DoseDistributionOfAYear(benchmark::State& state)
{
    const int fiscalYear = fiscalYearOf(LateMonth);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            doseDistribution(gatherDoseTotals(store().dir, store().registrants.names, {}, fiscalYear), fiscalYear));
}
BENCHMARK(DoseDistributionOfAYear)->Unit(benchmark::kMillisecond);

// The labour office report's counts of the first half of the late month's calendar year, every registrant
// examined: each one's previous calendar year read and counted into the bands.
void ExaminationReportOfAHalfYear(benchmark::State& state)
{
    const int year = static_cast<int>(LateMonth / 100);
    QList<Examination> examinations;
    for (const QString& name : store().registrants.names)
        examinations.append({name, qint64{year} * 10000 + 115, ExaminationKind::Periodic});
    if (const Status written = WriteExaminations(store().dir, examinations); !written)
        qFatal("%s", qPrintable(messageOf(written.error())));
    for (auto _ : state)
        benchmark::DoNotOptimize(examinationReport(store().dir, {year, 1}));
}
BENCHMARK(ExaminationReportOfAHalfYear)->Unit(benchmark::kMillisecond);

// The month's CSV of every registrant read, matched by registration number and checked, as "CSV取込"
// does before it shows its report.
void ReadMonthCsv(benchmark::State& state)
{
    QTemporaryDir temp;
    QByteArray csv("登録番号,氏名,実効線量,水晶体,皮膚,内部被曝,備考\r\n");
    for (qsizetype i = 0; i < store().registrants.count(); ++i)
        csv += QStringLiteral("%1,%2,0.%1,M,,1.23E-03,\r\n").arg(i + 1).arg(store().registrants.names[i]).toUtf8();
    const QString path = QDir(temp.path()).filePath(QStringLiteral("month.csv"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(csv) != csv.size())
        qFatal("cannot write %s", qPrintable(path));
    file.close();
    for (auto _ : state) {
        const auto rows = csv::readFile(path);
        const auto import = ReadMonthImport(store().dir, store().registrants, *rows, QStringLiteral("month.csv"));
        if (!import || import->taken() != store().registrants.count())
            qFatal("the month's CSV was not read whole");
    }
}
BENCHMARK(ReadMonthCsv)->Unit(benchmark::kMillisecond);

// A dosimetry service's file of every registrant read through its layout and reviewed, as "CSV取込" does
// before it shows the review: a title row, numbers beside names, two badges with the apron worn by every
// other person, marks of below detection, and the service's effective dose beside the readings.
void ReviewServiceFile(benchmark::State& state)
{
    QTemporaryDir temp;
    QByteArray csv("個人線量報告書\r\n番号,氏名,実効線量,胸部Hp(10),胸部Hp(0.07),頸部Hp(10),頸部Hp(0.07)\r\n");
    for (qsizetype i = 0; i < store().registrants.count(); ++i)
        csv += QStringLiteral("N-%1,%2,0.%1,0.%1,X,%3,%3\r\n")
                   .arg(i + 1)
                   .arg(store().registrants.names[i], i % 2 ? QStringLiteral("1.2") : QString())
                   .toUtf8();
    const QString path = QDir(temp.path()).filePath(QStringLiteral("service.csv"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(csv) != csv.size())
        qFatal("cannot write %s", qPrintable(path));
    file.close();
    ImportLayout layout;
    layout.name = QStringLiteral("bench");
    layout.headingRow = 2;
    layout.headings =
        QStringList{QStringLiteral("番号"),        QStringLiteral("氏名"),         QStringLiteral("実効線量"),
                    QStringLiteral("胸部Hp(10)"),  QStringLiteral("胸部Hp(0.07)"), QStringLiteral("頸部Hp(10)"),
                    QStringLiteral("頸部Hp(0.07)")};
    layout.columns = {2, 1, 0, 3, 0, 0, 0, 4, 5, 6, 7, 0, 0};
    layout.marks = UsualMarks;
    for (auto _ : state) {
        const auto bytes = csv::fileBytes(path);
        const auto import = ReadServiceImport(store().dir, store().registrants, *bytes, QStringLiteral("service.csv"),
                                              layout, 202504, {});
        if (!import || import->month.taken() != store().registrants.count())
            qFatal("the service's file was not read whole");
        benchmark::DoNotOptimize(serviceImportReport(*import, store().registrants.count(), 202504));
    }
}
BENCHMARK(ReviewServiceFile)->Unit(benchmark::kMillisecond);

void ReadOneFileBaseline(benchmark::State& state)
{
    std::vector<char> buffer(1 << 16);
    for (auto _ : state)
        benchmark::DoNotOptimize(readWhole(store().paths.front(), buffer));
}
BENCHMARK(ReadOneFileBaseline)->Unit(benchmark::kMicrosecond);

void ReadPersonalFile500Records(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadPersonalFile(store().dir, store().registrants.names.front()));
}
BENCHMARK(ReadPersonalFile500Records)->Unit(benchmark::kMicrosecond);

// The pages of the reports drawn on the picture box of the search window.
struct Pictures {
    QWidget window;
    PictureBox picture{QStringLiteral("Picture1"), &window};
    PersonalFile person = *ReadPersonalFile(store().dir, store().registrants.names.front());
    QList<MonthRowEntry> rows;
    QList<std::optional<PersonalHeader>> summary;
    Pictures()
    {
        picture.resize(729, 521);
        QStringList unreadable;
        rows = gatherMonthRows(store().dir, store().registrants.names, LateMonth, unreadable);
        summary = gatherRegistrantSummary(store().dir, store().registrants.names, unreadable);
    }
};

Pictures& pictures()
{
    static Pictures* made = new Pictures;
    return *made;
}

void DrawMonthlyListPage(benchmark::State& state)
{
    for (auto _ : state) {
        qsizetype nextRow = 1;
        ShowMonthlyList(pictures().picture, {"2026", "4", store().registrants.names, pictures().rows}, nextRow);
    }
}
BENCHMARK(DrawMonthlyListPage)->Unit(benchmark::kMillisecond);

void DrawRegistrantTablePage(benchmark::State& state)
{
    for (auto _ : state) {
        qsizetype nextRow = 1;
        ShowRegistrantTable(pictures().picture, {store().registrants.names, pictures().summary}, nextRow);
    }
}
BENCHMARK(DrawRegistrantTablePage)->Unit(benchmark::kMillisecond);

void DrawPersonalRecord(benchmark::State& state)
{
    for (auto _ : state)
        ShowPersonalRecord(pictures().picture, pictures().person, "2020");
}
BENCHMARK(DrawPersonalRecord)->Unit(benchmark::kMillisecond);

void PrintMonthlyList32PagesToPdf(benchmark::State& state)
{
    QTemporaryDir output;
    SystemClock clock;
    SystemPrinter printer(output.path(), clock, [] { return QPrinterInfo(); });
    for (auto _ : state) {
        qsizetype nextRow = 1;
        PrintMonthlyList(printer, {"2026", "4", store().registrants.names, pictures().rows}, nextRow, {});
        printer.takeReport();
    }
}
BENCHMARK(PrintMonthlyList32PagesToPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

void OpenSearchWindow(benchmark::State& state)
{
    SilentDialogs dialogs;
    SystemClock clock;
    SystemPrinter printer(store().temp.path(), clock, [] { return QPrinterInfo(); });
    QTemporaryDir settingsFolder; // never the user's settings
    QSettings settings(settingsFolder.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    Application velmora(store().temp.path(), dialogs, clock, printer, settings);
    velmora.start();
    for (auto _ : state) {
        velmora.form1().Command2->click();
        state.PauseTiming();
        velmora.form4().close();
        state.ResumeTiming();
    }
}
BENCHMARK(OpenSearchWindow)->Unit(benchmark::kMillisecond);

// Thirty years of a large department (500 persons × 360 months) and the change history of it all.
const DataDir& thirtyYears()
{
    static QTemporaryDir* temp = new QTemporaryDir;
    static const DataDir* dir = [] {
        auto* made = new DataDir(temp->path());
        if (const auto done = generateStore(*made, {500, 360, 199104, true}); !done)
            qFatal("%s", qPrintable(messageOf(done.error())));
        return made;
    }();
    return *dir;
}

// The window opened after a change the program recorded (`noted`: the history noted whole, as by any
// earlier open), or with no note, as after the history was copied in or edited outside the program: every
// record hashed.
void openChangeHistoryWindow(benchmark::State& state, bool noted)
{
    SilentDialogs dialogs;
    SystemClock clock;
    SystemPrinter printer(thirtyYears().root(), clock, [] { return QPrinterInfo(); });
    ChangeHistoryWindow window(thirtyYears(), dialogs, printer, clock);
    window.open();
    window.hide();
    for (auto _ : state) {
        state.PauseTiming();
        const Change change{ChangeKind::Facility, {}, 0, {}, QStringLiteral("第一病院")};
        if (!RecordWrite(thirtyYears(), {change}, [] { return Status(); }))
            qFatal("the change was not recorded");
        if (!noted)
            QFile::remove(historyCheckedNote(thirtyYears()));
        state.ResumeTiming();
        window.open();
        state.PauseTiming();
        window.hide();
        state.ResumeTiming();
    }
}
void OpenChangeHistoryWindow(benchmark::State& state)
{
    openChangeHistoryWindow(state, true);
}
BENCHMARK(OpenChangeHistoryWindow)->Unit(benchmark::kMillisecond);
void OpenChangeHistoryWindowUnnoted(benchmark::State& state)
{
    openChangeHistoryWindow(state, false);
}
BENCHMARK(OpenChangeHistoryWindowUnnoted)->Unit(benchmark::kMillisecond);

void ChooseOnePersonsHistory(benchmark::State& state)
{
    SilentDialogs dialogs;
    SystemClock clock;
    SystemPrinter printer(thirtyYears().root(), clock, [] { return QPrinterInfo(); });
    ChangeHistoryWindow window(thirtyYears(), dialogs, printer, clock);
    window.open();
    for (auto _ : state) {
        window.PersonBox->setCurrentIndex(250);
        state.PauseTiming();
        window.PersonBox->setCurrentIndex(0);
        state.ResumeTiming();
    }
}
BENCHMARK(ChooseOnePersonsHistory)->Unit(benchmark::kMillisecond);

// Save-all changes the store, so it runs last, each time for a month not saved before.
int savedMonths = 0;

void AppendBaseline(benchmark::State& state)
{
    const QByteArray record = *encodeRecord({203001, 0.5, 0, 0, 0.001, NoComment});
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir copy; // the same number of files, each appended to and flushed like save-all does
        std::vector<QByteArray> paths;
        for (int i = 0; i < Size.registrants; ++i) {
            paths.push_back(QFile::encodeName(copy.filePath(QString::number(i))));
            ::close(::open(paths.back().constData(), O_WRONLY | O_CREAT, 0644));
        }
        state.ResumeTiming();
        for (const QByteArray& path : paths) {
            const int descriptor = ::open(path.constData(), O_WRONLY | O_APPEND);
            benchmark::DoNotOptimize(::write(descriptor, record.constData(), record.size()));
            ::fdatasync(descriptor);
            ::close(descriptor);
        }
        const int entered = ::open(paths.front().constData(), O_WRONLY | O_APPEND);
        benchmark::DoNotOptimize(::write(entered, " 203001 \r\n", 10));
        ::close(entered);
    }
}
BENCHMARK(AppendBaseline)->Unit(benchmark::kMillisecond);

void SaveAllForAllRegistrants(benchmark::State& state)
{
    const std::vector<PendingEntry> pending(RegistrantList::Capacity, PendingEntry{0.5, 0, 0, 0.001, NoComment});
    for (auto _ : state) {
        const MonthKey key = monthAfter(Size.firstMonth, Size.months + savedMonths++);
        if (const auto saved = SaveMonthForAll(store().dir, store().registrants, pending, key); !saved)
            state.SkipWithError(qPrintable(messageOf(saved.error())));
    }
}
BENCHMARK(SaveAllForAllRegistrants)->Unit(benchmark::kMillisecond);

// Keeps every run's time for the table at the end, and prints the usual console lines too.
class TableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            milliseconds[run.benchmark_name()] = run.GetAdjustedRealTime() *
                                                 benchmark::GetTimeUnitMultiplier(benchmark::kMillisecond) /
                                                 benchmark::GetTimeUnitMultiplier(run.time_unit);
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> milliseconds;
};

struct Row {
    const char* operation;
    const char* benchmark;
    const char* baseline; // empty: an absolute target only
    const char* target;
};

const Row Rows[] = {
    {"monthly list gathered, month near the end (1000 files)", "GatherMonthRowsLateMonth", "ReadAllFilesBaseline",
     "≤ 3 × read(), < 100 ms"},
    {"monthly list gathered, month no file has (1000 files)", "GatherMonthRowsMissingMonth", "ReadAllFilesBaseline",
     "≤ 3 × read(), < 100 ms"},
    {"registrant table gathered (1000 files)", "GatherRegistrantSummary", "ReadAllFilesBaseline",
     "≤ 3 × read(), < 100 ms"},
    {"dose totals of one fiscal year (1000 files)", "GatherDoseTotals", "ReadAllFilesBaseline", "< 200 ms"},
    {"dose distribution of one fiscal year (1000 files)", "DoseDistributionOfAYear", "GatherDoseTotals",
     "< 2 × totals"},
    {"labour office report's counts of a half year, 1000 examined", "ExaminationReportOfAHalfYear",
     "ReadAllFilesBaseline", "< 500 ms"},
    {"month's CSV read and matched, 1000 rows", "ReadMonthCsv", "ReadAllFilesBaseline", "< 1000 ms"},
    {"dosimetry service's file read through its layout and reviewed, 1000 rows", "ReviewServiceFile",
     "ReadAllFilesBaseline", "< 1000 ms"},
    {"ReadPersonalFile, 500 records", "ReadPersonalFile500Records", "ReadOneFileBaseline", "≤ 3 × read()"},
    {"save-all of one month, 1000 files, flushed", "SaveAllForAllRegistrants", "AppendBaseline",
     "≤ 2 × write() + fdatasync"},
    {"monthly list page drawn", "DrawMonthlyListPage", "", "< 16 ms"},
    {"registrant table page drawn", "DrawRegistrantTablePage", "", "< 16 ms"},
    {"personal record drawn", "DrawPersonalRecord", "", "< 16 ms"},
    {"monthly list printed to PDF, 32 pages", "PrintMonthlyList32PagesToPdf/iterations:3", "", "< 2000 ms"},
    {"search window opened, 1000 registrants", "OpenSearchWindow", "", "< 50 ms"},
    {"変更履歴 opened after a change, 500 × 360 with its history (180,500 records)", "OpenChangeHistoryWindow", "",
     "< 200 ms"},
    {"変更履歴 opened with no note of the history found whole (every record hashed), same store",
     "OpenChangeHistoryWindowUnnoted", "", ""},
    {"変更履歴: one person's records chosen, same store", "ChooseOnePersonsHistory", "", "< 500 ms"},
};

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    installJapaneseFonts();
    benchmark::Initialize(&argc, argv);
    store();
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n| operation | time (ms) | baseline (ms) | ratio | target |\n|---|---:|---:|---:|---|\n");
    for (const Row& row : Rows) {
        const double time = reporter.milliseconds[row.benchmark];
        if (*row.baseline) {
            const double baseline = reporter.milliseconds[row.baseline];
            std::printf("| %s | %.3f | %.3f | %.1f | %s |\n", row.operation, time, baseline, time / baseline,
                        row.target);
        } else {
            std::printf("| %s | %.3f | | | %s |\n", row.operation, time, row.target);
        }
    }
    return 0;
}
