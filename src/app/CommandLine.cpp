#include "app/CommandLine.h"

#include "app/Console.h"
#include "core/rules/DoseTotals.h"
#include "core/rules/ExaminationRules.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>

namespace velmora {
namespace {

[[noreturn]] void refuse(const QString& reason)
{
    tell(reason);
    std::exit(1);
}

// Why the command line could not be read, in the words of the other messages.
QString parseError(const QCommandLineParser& parser, const QStringList& arguments)
{
    if (!parser.unknownOptionNames().isEmpty())
        return QStringLiteral("オプション「%1」はありません。使えるオプションは velmora --help で表示されます。")
            .arg(parser.unknownOptionNames().first());
    // Otherwise an option that takes a value stands last, without it.
    return QStringLiteral("オプション「%1」の後に値を指定して下さい。使い方は velmora --help で表示されます。")
        .arg(arguments.constLast());
}

// A month written YYYYMM, such as 202504.
std::optional<MonthKey> monthOf(const QString& text)
{
    bool whole = false;
    const MonthKey key = text.toLongLong(&whole);
    if (!whole || text.size() != 6 || key % 100 < 1 || key % 100 > 12)
        return std::nullopt;
    return key;
}

// Lines of at most `columns` columns of a terminal, a full-width character taking two; broken between
// full-width characters or at spaces, never inside a word of ASCII (an option's name, <folder>).
QStringList wrappedLines(const QString& text, int columns)
{
    QStringList lines{QString()};
    int width = 0;
    for (qsizetype at = 0; at < text.size();) {
        qsizetype end = at + 1;
        if (text[at].unicode() < 0x80 && text[at] != QLatin1Char(' '))
            while (end < text.size() && text[end].unicode() < 0x80 && text[end] != QLatin1Char(' '))
                ++end;
        const QString token = text.mid(at, end - at);
        const int tokenWidth = token[0].unicode() < 0x80 ? static_cast<int>(token.size()) : 2;
        // A closing mark stays at the end of its line, an opening one goes with what it opens.
        const bool closing = QStringLiteral("、。）」").contains(token);
        if (width + tokenWidth > columns && width > 0 && !closing) {
            QString carried;
            if (lines.last().endsWith(u'（') || lines.last().endsWith(u'「')) {
                carried = lines.last().right(1);
                lines.last().chop(1);
            }
            lines.last() = lines.last().trimmed();
            lines << carried;
            width = carried.isEmpty() ? 0 : 2;
        }
        if (width > 0 || token != QStringLiteral(" ")) {
            lines.last() += token;
            width += tokenWidth;
        }
        at = end;
    }
    return lines;
}

// The options and what each does, in Japanese: Qt's own help counts a full-width character as one column and
// breaks Japanese lines only at spaces.
QString helpText(const QList<QCommandLineOption>& options)
{
    QString text = QStringLiteral("使い方: velmora [オプション] [CSVファイル]\n個人被曝線量管理\n\nオプション:\n");
    for (const QCommandLineOption& option : options) {
        QStringList names;
        for (const QString& name : option.names())
            names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
        text += QStringLiteral("  ") + names.join(QStringLiteral(", ")) +
                (option.valueName().isEmpty() ? QString() : QStringLiteral(" <%1>").arg(option.valueName())) +
                QLatin1Char('\n');
        for (const QString& line : wrappedLines(option.description(), 72))
            text += QStringLiteral("      ") + line + QLatin1Char('\n');
    }
    return text + QStringLiteral("\n--import-month の後には、読むCSVファイルを指定します。\n");
}

} // namespace

StartOptions readCommandLine(int& argc, char** argv)
{
    // Read without an application object, which costs a start-up of every run; --help and --version
    // make one to print with.
    QStringList arguments;
    for (int at = 0; at < argc; ++at)
        arguments << QString::fromLocal8Bit(argv[at]);
    QCommandLineParser parser;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("オプションの一覧（この表示）を示します。"));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("版を示します。"));
    const QCommandLineOption dataDir(
        QStringLiteral("data-dir"),
        QStringLiteral(
            "データを <folder> "
            "に置きます。ないフォルダは確かめてから作ります（ウィンドウを開かないコマンドでは作りません）。"),
        QStringLiteral("folder"));
    const QCommandLineOption chosen(QStringLiteral("chosen-data-dir"),
                                    QStringLiteral("前に選んだデータフォルダを使います。初めてのときは選んでもらいます"
                                                   "（メニューからはこの形で起動します）。"));
    const QCommandLineOption doseTotals(
        QStringLiteral("dose-totals"),
        QStringLiteral("<fiscal-year> 年度の全登録者の線量集計と限度の確認をCSVで書き出します（ウィンドウなし）。"),
        QStringLiteral("fiscal-year"));
    const QCommandLineOption distribution(
        QStringLiteral("dose-distribution"),
        QStringLiteral("<fiscal-year> 年度の線量区分ごとの人数（線量分布）をCSVで書き出します（ウィンドウなし）。"),
        QStringLiteral("fiscal-year"));
    const QCommandLineOption examReport(
        QStringLiteral("exam-report"),
        QStringLiteral("<half-year>（YYYY-1 は1～6月、YYYY-2 は7～12月）の定期の電離放射線健康診断の結果報告（様式第2号"
                       "）の人数をCSVで書き出します（前年1年間の線量の区分を含む、ウィンドウなし）。"),
        QStringLiteral("half-year"));
    const QCommandLineOption output(QStringLiteral("output"),
                                    QStringLiteral("--dose-totals、--dose-distribution、--exam-report、--leaving-"
                                                   "record、--history のCSVを標準出力でなく <file> "
                                                   "に書き出します（--archive-year では書き出す空のフォルダ）。"),
                                    QStringLiteral("file"));
    const QCommandLineOption import(
        QStringLiteral("import-month"),
        QStringLiteral("<month>"
                       "（YYYYMM）の全登録者の線量を後に続くCSVファイルから読み、その月として保存します（ウィンドウなし"
                       "）。疑わしい点があれば何も変えずに中止します。"),
        QStringLiteral("month"));
    const QCommandLineOption leaving(
        QStringLiteral("leaving-record"),
        QStringLiteral(
            "<name> さんの線量を、次の事業所が取り込める他施設線量のCSV（離職時記録）として書き出します（--output "
            "は上と同じ、ウィンドウなし）。"),
        QStringLiteral("name"));
    const QCommandLineOption leavingDay(
        QStringLiteral("leaving-day"),
        QStringLiteral("--leaving-record の離職日（YYYY/MM/DD）。省略すると、線量の記録がある最後の月の末日とします。"),
        QStringLiteral("day"));
    const QCommandLineOption otherDoses(QStringLiteral("import-other-doses"),
                                        QStringLiteral("CSVファイル "
                                                       "<file>"
                                                       "（離職時記録など）の他施設での線量を追加します（ウィンドウなし"
                                                       "）。疑わしい点があれば何も変えずに中止します。"),
                                        QStringLiteral("file"));
    const QCommandLineOption replace(
        QStringLiteral("replace"),
        QStringLiteral(
            "--import-month で、途中で止まった取り込みにより別の値でその月を持つ人を、中止せずにCSVの値にします。"));
    const QCommandLineOption layout(
        QStringLiteral("layout"),
        QStringLiteral("--import-month で、測定サービスのファイルを保存した取込レイアウト <name> で読みます。"),
        QStringLiteral("name"));
    const QCommandLineOption history(QStringLiteral("history"),
                                     QStringLiteral("変更履歴（いつ、誰が、何を、変更前と変更後の値）をCSVで書き出しま"
                                                    "す（--output は上と同じ、ウィンドウなし）。"));
    const QCommandLineOption person(QStringLiteral("person"),
                                    QStringLiteral("--history で、<name> さんの変更だけを書き出します。"),
                                    QStringLiteral("name"));
    const QCommandLineOption verify(
        QStringLiteral("verify"),
        QStringLiteral("データフォルダのすべてのファイルを読み、変更履歴が書き換えられていないこと、ファイルが変更履歴"
                       "と合うことを確かめます。問題があれば示して状態1で終わります（ウィンドウなし）。"));
    const QCommandLineOption setAside(
        QStringLiteral("set-aside-history"),
        QStringLiteral("読めない行のある変更履歴を別の名前で保管し、それにつながる新しい変更履歴を始めて、変更をまたで"
                       "きるようにします（ウィンドウなし）。"));
    const QCommandLineOption backup(
        QStringLiteral("backup"),
        QStringLiteral("データがすべて読めるとき、既存の <folder> "
                       "に日時付きの新しい世代として全ファイルのSHA-"
                       "256の一覧とともにコピーし、残さない世代を削除します（最新10、1年間の各月の最後、各年の最後、登"
                       "録者が最も多い世代と変更履歴が最も長い世代を残す、ウィンドウなし）。前の世代よりデータが少ない"
                       "ときは状態3で終わります。"),
        QStringLiteral("folder"));
    const QCommandLineOption checkBackup(QStringLiteral("verify-backup"),
                                         QStringLiteral("<folder> "
                                                        "のすべての世代（世代のフォルダならその世代）をその一覧と照らし"
                                                        "て結果を示します。違いがあれば状態1で終わります"
                                                        "（ウィンドウなし）。"),
                                         QStringLiteral("folder"));
    const QCommandLineOption archive(
        QStringLiteral("archive-year"),
        QStringLiteral("終わった <fiscal-year> 年度の帳票をPDF/A-1bで、CSVとそれらのSHA-256の一覧とともに --output "
                       "の空のフォルダに書き出します（ウィンドウなし）。"),
        QStringLiteral("fiscal-year"));
    const QList<QCommandLineOption> known{help,    version, dataDir, chosen,   doseTotals, distribution, examReport,
                                          output,  import,  replace, layout,   leaving,    leavingDay,   otherDoses,
                                          history, person,  verify,  setAside, backup,     checkBackup,  archive};
    parser.addOptions(known);
    const bool parsed = parser.parse(arguments);
    if (!parsed || parser.isSet(help) || parser.isSet(version) || parser.isSet(doseTotals) ||
        parser.isSet(distribution) || parser.isSet(import) || parser.isSet(leaving) || parser.isSet(otherDoses) ||
        parser.isSet(history) || parser.isSet(verify) || parser.isSet(setAside) || parser.isSet(backup) ||
        parser.isSet(checkBackup) || parser.isSet(archive) || parser.isSet(examReport))
        prepareCommandOutput();
    if (!parsed)
        refuse(parseError(parser, arguments));
    // Printed on standard output on every platform (Qt would show a message box on Windows).
    if (parser.isSet(help) || parser.isSet(version)) {
        const QCoreApplication printing(argc, argv);
        const QString text = parser.isSet(help) ? helpText(known)
                                                : QCoreApplication::applicationName() + QLatin1Char(' ') +
                                                      QCoreApplication::applicationVersion() + QLatin1Char('\n');
        std::fputs(text.toLocal8Bit().constData(), stdout);
        std::exit(0);
    }
    StartOptions options;
    options.dataDir = parser.value(dataDir);
    options.chosenDataDir = parser.isSet(chosen);
    options.output = parser.value(output);
    options.importFile = parser.positionalArguments().value(0);
    options.replaceHeldValues = parser.isSet(replace);
    options.importLayout = parser.value(layout);
    options.leavingRecord = parser.value(leaving);
    options.leavingDay = parser.value(leavingDay);
    options.otherDosesImport = parser.value(otherDoses);
    options.history = parser.isSet(history);
    options.historyPerson = parser.value(person);
    options.verify = parser.isSet(verify);
    options.setAsideHistory = parser.isSet(setAside);
    options.backupFolder = parser.value(backup);
    options.verifiedBackupFolder = parser.value(checkBackup);
    if (parser.isSet(person) && !options.history)
        refuse(QStringLiteral("--person は --history と一緒にだけ指定できます。"));
    if (parser.isSet(doseTotals)) {
        options.doseTotalsYear = totalsYearOf(parser.value(doseTotals));
        if (!options.doseTotalsYear)
            refuse(QStringLiteral("--dose-totals には年度を1～9999の数で指定して下さい（例：2025）。"));
    }
    if (parser.isSet(distribution)) {
        options.distributionYear = totalsYearOf(parser.value(distribution));
        if (!options.distributionYear)
            refuse(QStringLiteral("--dose-distribution には年度を1～9999の数で指定して下さい（例：2025）。"));
    }
    if (parser.isSet(examReport)) {
        options.examReportHalf = parser.value(examReport);
        if (!halfYearOf(options.examReportHalf))
            refuse(QStringLiteral("--exam-report には年と半期を「2026-1」（1～6月）、「2026-2」（7～12月）のように"
                                  "指定して下さい。"));
    }
    if (parser.isSet(archive)) {
        options.archiveYear = totalsYearOf(parser.value(archive));
        if (!options.archiveYear || options.output.isEmpty())
            refuse(QStringLiteral("--archive-year には年度と、保存先の空のフォルダを --output で指定して下さい"
                                  "（例：velmora --archive-year 2025 --output 保存版2025）。"));
    }
    if (parser.isSet(import)) {
        options.importMonth = monthOf(parser.value(import));
        if (!options.importMonth)
            refuse(QStringLiteral("--import-month には年月を6桁（YYYYMM）で指定して下さい（例：202504）。"));
        if (parser.positionalArguments().size() != 1)
            refuse(QStringLiteral("--import-month には取り込むCSVファイルを1つ指定して下さい"
                                  "（例：velmora --import-month 202504 ファイル名）。"));
    } else if (!parser.positionalArguments().isEmpty()) {
        refuse(QStringLiteral("ファイル名は --import-month の後にだけ指定できます。"));
    } else if (options.replaceHeldValues || parser.isSet(layout)) {
        refuse(QStringLiteral("--replace と --layout は --import-month と一緒にだけ指定できます。"));
    }
    return options;
}

} // namespace velmora
