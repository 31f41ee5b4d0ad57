#include "core/texts/Messages.h"

#include "core/files/Cp932.h"
#include "core/files/SystemFiles.h"
#include "core/model/Calendar.h"

#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QSysInfo>
#include <algorithm>

namespace velmora {
namespace {

// How the store differs from its change history, or a file of copies from its manifest, in words.
QString differenceText(const Failure& failure)
{
    const QString month = monthName(failure.line);
    const QString found = failure.names.value(0);
    switch (failure.difference) {
    case Difference::NotRegistrant:
        return QStringLiteral("「%1」に「%2」がありません（変更履歴では登録者です）").arg(failure.file, failure.text);
    case Difference::NotRemoved:
        return QStringLiteral("「%1」に「%2」がありません（変更履歴では登録抹消者です）")
            .arg(failure.file, failure.text);
    case Difference::FileMissing:
        return QStringLiteral("「%1」がありません（変更履歴には記録があります）").arg(failure.file);
    case Difference::MonthDiffers:
        return QStringLiteral("「%1」の%2の値が変更履歴と違います（変更履歴：%3　ファイル：%4）")
            .arg(failure.file, month, failure.text, found);
    case Difference::MonthMissing:
        return QStringLiteral("「%1」に%2のデータがありません（変更履歴：%3）").arg(failure.file, month, failure.text);
    case Difference::MonthStandsDeleted:
        return QStringLiteral("「%1」に、変更履歴では削除された%2のデータがあります（%3）")
            .arg(failure.file, month, found);
    case Difference::MonthUnrecorded:
        return QStringLiteral("「%1」の%2のデータは変更履歴に記録がありません（%3）").arg(failure.file, month, found);
    case Difference::HeaderDiffers:
        return QStringLiteral("「%1」の登録内容「%2」が変更履歴と違います（変更履歴に記録のない変更です）")
            .arg(failure.file, found);
    case Difference::EntriesDiffer:
        return (failure.text.isEmpty() ? QStringLiteral("「%1」の内容が変更履歴と違います（ファイル：%3）")
                                       : QStringLiteral("「%1」の%2さんの記録が変更履歴と違います（ファイル：%3）"))
            .arg(failure.file, failure.text, found.isEmpty() ? QStringLiteral("なし") : found);
    case Difference::PersonUnrecorded:
        return QStringLiteral("「%1」の人は変更履歴に登録の記録がありません（変更履歴が記録した月のデータがあります）")
            .arg(failure.file);
    case Difference::ShorterThanBackup:
        return QStringLiteral("「%1」がないか、バックアップ「%2」の写しより短くなっています（記録が削除されています）")
            .arg(failure.file, failure.text);
    case Difference::OtherThanBackup:
        return QStringLiteral("「%1」の始めの部分が、バックアップ「%2」の写しと違います（記録が書き換えられています）")
            .arg(failure.file, failure.text);
    case Difference::SetAsideChanged:
        return QStringLiteral(
                   "保管された「%1」が、保管したときと違います（変更履歴の「履歴の継続」の記録と合いません）")
            .arg(failure.file);
    case Difference::CopyMissing:
        return QStringLiteral("ファイルがありません");
    case Difference::CopySizeDiffers:
        return QStringLiteral("大きさが違います");
    case Difference::CopyContentDiffers:
        return QStringLiteral("内容が違います");
    case Difference::CopyNotListed:
        return QStringLiteral("目録にないファイルです");
    case Difference::ManifestUnreadable:
        return QStringLiteral("目録を読めません");
    case Difference::ManifestDamaged:
        return QStringLiteral("目録の内容が正しくありません");
    case Difference::None:
        break;
    }
    return {};
}

// Who holds the entry lock: "PC「受付1」（yamada、12月8日 9:15から）", or another copy on this PC.
QString lockHolder(const Failure& failure)
{
    if (failure.text.isEmpty())
        return QStringLiteral("別のVelmora");
    const QString where = failure.text == QSysInfo::machineHostName() ? QStringLiteral("このPCの別のVelmora")
                                                                      : QStringLiteral("PC「%1」").arg(failure.text);
    const QDateTime since = QDateTime::fromString(failure.names.value(1), Qt::ISODate).toLocalTime();
    QStringList details;
    if (!failure.names.value(0).isEmpty())
        details << failure.names.value(0);
    if (since.isValid())
        details << since.toString(QStringLiteral("M月d日 H:mm")) + QStringLiteral("から");
    return details.isEmpty() ? where : where + QStringLiteral("（%1）").arg(details.join(QStringLiteral("、")));
}

// Why a write failed, from the system's error, with what to do; empty when the error says nothing useful.
QString causeOf(int systemError)
{
    switch (system::writeFailureCause(systemError)) {
    case system::WriteFailureCause::NoSpace:
        return QStringLiteral("ディスクの空き容量が不足しています。不要なファイルを削除して空きを作ってから、"
                              "もう一度行って下さい。");
    case system::WriteFailureCause::ReadOnly:
        return QStringLiteral("データフォルダが読み取り専用です。書き込めるフォルダであるかを確認して下さい。");
    case system::WriteFailureCause::NoAccess:
        return QStringLiteral("データフォルダに書き込むアクセス権がありません。フォルダの権限を確認して下さい。");
    case system::WriteFailureCause::InUse:
        return QStringLiteral("ほかのPCかプログラムがこのファイルを開いています。しばらく待ってから、"
                              "もう一度行って下さい。");
    case system::WriteFailureCause::ServerGone:
        return QStringLiteral("ファイルサーバーに接続できません。ネットワークとファイルサーバーを確認してから、"
                              "もう一度行って下さい。");
    case system::WriteFailureCause::Other:
        break;
    }
    return {};
}

// A data file or folder that cannot be read or written as it is; nothing for another kind.
std::optional<QString> fileMessage(const Failure& failure)
{
    switch (failure.kind) {
    case FailureKind::CannotRead:
        return QStringLiteral("ファイル「%1」を読み込めません").arg(failure.file);
    case FailureKind::Damaged:
        if (failure.entryFault != EntryFault::None)
            return QStringLiteral("ファイル「%1」の内容が正しくありません（%2行目：%3）")
                .arg(failure.file)
                .arg(failure.line)
                .arg(entryFaultText(failure.entryFault));
        if (!failure.text.isEmpty())
            return QStringLiteral("ファイル「%1」の内容が正しくありません（%2行目：%3）")
                .arg(failure.file)
                .arg(failure.line)
                .arg(failure.text);
        return QStringLiteral("ファイル「%1」の内容が正しくありません（%2行目）").arg(failure.file).arg(failure.line);
    case FailureKind::NotRegularFile:
        return QStringLiteral("「%1」が通常のファイル（フォルダ）ではありません（リンクや特殊なファイルです）。"
                              "データフォルダの内容が正しくない可能性があります")
            .arg(failure.file);
    case FailureKind::ChangedMeanwhile:
        return QStringLiteral("ファイル「%1」は、読み込んだ後に別のPCで変更されました。訂正は保存していません。"
                              "「Cancel」で訂正を終わり、「データ訂正」から開き直して下さい")
            .arg(failure.file);
    case FailureKind::ListChangedElsewhere:
        return QStringLiteral("「%1」は、表示した後に別のPCかプログラムで変更されました。"
                              "保存していません。表示し直しましたので、もう一度行って下さい")
            .arg(failure.file);
    case FailureKind::TooLarge:
        return QStringLiteral("ファイル「%1」が大きすぎます。内容が正しくない可能性があります").arg(failure.file);
    case FailureKind::Utf8Text:
        return QStringLiteral("ファイル「%1」の文字コードがShift_JIS（CP932）ではありません（UTF-8のようです）")
            .arg(failure.file);
    case FailureKind::CannotWrite:
        return QStringLiteral("ファイル「%1」に書き込めません").arg(failure.file);
    case FailureKind::AlreadyExists:
        return QStringLiteral("ファイル「%1」が既にあるため作成できません").arg(failure.file);
    case FailureKind::CannotCreateFolder:
        return QStringLiteral("フォルダ「%1」を作成できません").arg(failure.file);
    case FailureKind::NotText:
        return QStringLiteral("ファイル「%1」の%2行目の文字を読めません。"
                              "Shift_JIS（CP932）またはUTF-8で保存したCSVファイルを選んで下さい")
            .arg(failure.file)
            .arg(failure.line);
    case FailureKind::ListFull:
        if (failure.line == 0)
            return QStringLiteral("「%1」が上限の%2MBに達したため、変更していません。"
                                  "データフォルダを別の場所に保管してから、新しく始めて下さい")
                .arg(failure.file, failure.text);
        return QStringLiteral("「%1」に保存できるのは%2件（%3MB）までのため、保存していません。"
                              "誤って加えた記録を削除するか、取り込むファイルを確認して下さい")
            .arg(failure.file, QLocale(QLocale::Japanese).toString(failure.line), failure.text);
    case FailureKind::WrittenNotConfirmed:
        return QStringLiteral("ファイル「%1」に変更を書き込みましたが、ディスクへの保存を確認できませんでした。"
                              "変更はファイルにあるため、もう一度行う必要はありません。"
                              "停電などの前に、データフォルダのバックアップを取って下さい")
            .arg(failure.file);
    case FailureKind::DataFolderGone:
        return QStringLiteral("データフォルダ「%1」にデータが見つかりません。ネットワークドライブが切断されたか、"
                              "フォルダが移動された可能性があります。このPCからは保存できません。入力した値を"
                              "控えてから「EXIT/cancel」でデータ入力を終了し、データフォルダを確認してから"
                              "開き直して下さい。")
            .arg(failure.file);
    case FailureKind::NoStore:
        return QStringLiteral("データフォルダ「%1」に記録（登録者名.txt）がありません。共有フォルダやディスクが"
                              "つながっているかを確かめて下さい。バックアップは作成していません")
            .arg(failure.file);
    default:
        return std::nullopt;
    }
}

// A value typed or brought in that cannot be stored, and a registrant list that cannot take it; nothing for another
// kind.
std::optional<QString> entryMessage(const Failure& failure)
{
    switch (failure.kind) {
    case FailureKind::LineBreakInText:
        return QStringLiteral("改行を含む文字列は保存できません");
    case FailureKind::TextTooLong:
        return QStringLiteral("各欄は%1文字以内で入力して下さい").arg(failure.text);
    case FailureKind::Unencodable:
        return QStringLiteral("保存できない文字「%1」が含まれています").arg(cp932::firstUnencodable(failure.text));
    case FailureKind::UnusableName:
        return QStringLiteral("氏名に使用できない文字（\\ / : * ? \" < > | など）が含まれています");
    case FailureKind::WindowsName:
        return QStringLiteral("氏名「%1」はWindowsのファイル名にできないため登録できません"
                              "（CON、PRN、AUX、NUL、COM1～COM9、LPT1～LPT9や、最後が「.」か半角スペースの名前）")
            .arg(failure.text);
    case FailureKind::NameOnlyCaseDiffers:
        return QStringLiteral("氏名「%1」は登録済みの「%2」と英字の大文字・小文字だけが違います。"
                              "Windowsでは同じファイルになるため登録できません")
            .arg(failure.text, failure.names.value(0));
    case FailureKind::NameTooLong:
        return QStringLiteral("氏名が長すぎます");
    case FailureKind::RegistrantLimit:
        return QStringLiteral("登録者数が上限の1000人に達しているため登録できません");
    case FailureKind::NotListed:
        return QStringLiteral("該当者が登録者リストにありません");
    case FailureKind::NotRemoved:
        return QStringLiteral("該当者が登録抹消者リストにありません");
    case FailureKind::MonthEntered:
        return QStringLiteral("この年月のデータは既に入力済みです");
    case FailureKind::NotADay:
        return QStringLiteral("離職日「%1」は日付ではありません（YYYY/MM/DD）").arg(failure.text);
    default:
        return std::nullopt;
    }
}

// The entry lock, held here or by another PC; nothing for another kind.
std::optional<QString> lockMessage(const Failure& failure)
{
    switch (failure.kind) {
    case FailureKind::LockHeld:
        return QStringLiteral("%1でデータ入力／訂正が開かれています。そちらを終了してから開いて下さい。")
            .arg(lockHolder(failure));
    case FailureKind::LockStale:
        return QStringLiteral("%1で開かれたデータ入力／訂正のロックが、%2分間更新されていません。"
                              "そのPCが停止したか、ネットワークから切り離された可能性があります。\n\n"
                              "そのPCでVelmoraを使っていないことを確かめてから引き継いで下さい。"
                              "使用中のPCから引き継ぐと、同じデータを2台で同時に変更することになります。")
            .arg(lockHolder(failure))
            .arg(failure.line);
    case FailureKind::LockLost:
        return QStringLiteral("データ入力／訂正のロックが%1に引き継がれたため、このPCからは保存できません。"
                              "入力した値を控えてから「EXIT/cancel」でデータ入力を終了し、そのPCでの作業が"
                              "終わってから開き直して下さい。")
            .arg(failure.text.isEmpty() ? QStringLiteral("別のPC") : QStringLiteral("PC「%1」").arg(failure.text));
    case FailureKind::LockUnusable:
        return QStringLiteral("データフォルダの「%1」がロックのファイルではありません（フォルダ、リンク、特殊な"
                              "ファイルか、読み込めないファイルです）。Velmoraが作ったものではないため、"
                              "データ入力／訂正を開けません。内容を確かめてから削除するか名前を変えて下さい。")
            .arg(failure.file);
    case FailureKind::CannotLock:
        return QStringLiteral("ファイル「%1」を作成できないため、データ入力／訂正を開けません。"
                              "データフォルダに書き込めるか、ディスクに空きがあるかを確認して下さい。")
            .arg(failure.file);
    default:
        return std::nullopt;
    }
}

// A save, an import or a leaving record stopped or refused; nothing for another kind.
std::optional<QString> importMessage(const Failure& failure)
{
    switch (failure.kind) {
    case FailureKind::SaveStopped:
        return QStringLiteral("次の個人データファイルが見つからないか、内容が正しくないため、保存を中止しました。\n%1")
            .arg(listForMessage(failure.names, QStringLiteral("件")));
    case FailureKind::SaveStoppedMidway: {
        QString message = QStringLiteral("データの保存が途中で失敗しました。\n%1").arg(messageOf(*failure.cause));
        if (!failure.names.isEmpty())
            message += QStringLiteral("\n\n次の人にはこの年月のデータを保存済みです。"
                                      "もう一度「全データ保存」を行うと残りの人に保存します。\n%1")
                           .arg(listForMessage(failure.names, QStringLiteral("名")));
        return message;
    }
    case FailureKind::MissingColumns:
        return QStringLiteral("ファイル「%1」の1行目に次の見出しの列がありません：%2")
                   .arg(failure.file, failure.names.join(QStringLiteral("、"))) +
               (failure.text.isEmpty()
                    ? QString()
                    : QStringLiteral("\n見出しが取込レイアウト「%1」のものです。--layout %1 を付けて取り込んで下さい。")
                          .arg(failure.text));
    case FailureKind::RowCutShort:
        return QStringLiteral("列が%1個しかありません（見出しは%2個。行が途中で切れていないか確認して下さい）")
            .arg(failure.line)
            .arg(failure.text);
    case FailureKind::ValueBeyondHeadings:
        return QStringLiteral("見出しのない%1列目に値「%2」があります").arg(failure.line).arg(failure.text);
    case FailureKind::RepeatedColumn:
        return QStringLiteral("ファイル「%1」の1行目に見出し「%2」の列が2つ以上あります")
            .arg(failure.file, failure.text);
    case FailureKind::BirthDateDiffers:
        return QStringLiteral(
                   "生年月日「%1」が登録の生年月日 %2 と違います（同じ氏名の別の人ではないか確認して下さい）")
            .arg(failure.text, failure.names.value(0));
    case FailureKind::NothingToHandOver:
        return QStringLiteral("%1さんには、ここでも他施設でも記録された線量がないため、離職時の線量記録は作成しません")
            .arg(failure.text);
    case FailureKind::FacilityUnnamed:
        return QStringLiteral("事業所名が設定されていません。「線量集計／限度確認」の「他施設・申告」で"
                              "事業所名を保存してから、もう一度行って下さい");
    case FailureKind::HeldOtherValues:
        return QStringLiteral("次の人にはこの年月のデータが既に保存されていて、CSVの値と違います。"
                              "どのファイルも変更していません。CSVの値で置き換えるには --replace を付けて"
                              "もう一度行って下さい。\n%1")
            .arg(listForMessage(failure.names, QStringLiteral("名")));
    case FailureKind::Interrupted: {
        QString message = QStringLiteral("中断の指示を受けたため、保存を中止しました。");
        if (!failure.names.isEmpty())
            message += QStringLiteral("\n\n次の人にはこの年月のデータを保存済みです。"
                                      "同じファイルでもう一度行うと残りの人に保存します。\n%1")
                           .arg(listForMessage(failure.names, QStringLiteral("名")));
        return message;
    }
    case FailureKind::ImportCell:
        return QStringLiteral("ファイル「%1」の%2行目、%3。何も取り込んでいません。")
            .arg(failure.file)
            .arg(failure.line)
            .arg(failure.text);
    case FailureKind::UnknownLayout:
        return failure.names.isEmpty()
                   ? QStringLiteral("取込レイアウト「%1」はありません（保存されたレイアウトはありません）。")
                         .arg(failure.text)
                   : QStringLiteral("取込レイアウト「%1」はありません。保存されたレイアウト：%2")
                         .arg(failure.text, failure.names.join(QStringLiteral("、")));
    case FailureKind::ImportDoubts:
        return failure.text + QStringLiteral("\n\n確認が必要な行があるため、取り込みを中止しました。");
    default:
        return std::nullopt;
    }
}

// The change history, the backups, the archive and the commands; nothing for another kind.
std::optional<QString> historyMessage(const Failure& failure)
{
    switch (failure.kind) {
    case FailureKind::BackupDamaged:
        return QStringLiteral("バックアップのファイル「%1」が作成時と違います（%2）。"
                              "このバックアップから戻さず、別の世代を使って下さい")
            .arg(failure.file, differenceText(failure));
    case FailureKind::NoBackups:
        return QStringLiteral("フォルダ「%1」にVelmoraのバックアップがありません").arg(failure.file);
    case FailureKind::BackupFolderMissing:
        return QStringLiteral("バックアップ先のフォルダ「%1」がありません。USBメモリやディスクがつながっているか、"
                              "共有フォルダに接続できるかを確かめて下さい")
            .arg(failure.file);
    case FailureKind::BackupInsideStore:
        return QStringLiteral("バックアップ先「%1」はデータフォルダ「%2」の中にあります。データフォルダのディスクが"
                              "壊れたときのため、別のディスクや共有フォルダを選んで下さい")
            .arg(failure.file, failure.text);
    case FailureKind::YearNotClosed:
        return QStringLiteral("%1年度はまだ終わっていません。保存版は年度末（%2年3月31日）の後に作成して下さい")
            .arg(failure.text)
            .arg(failure.text.toInt() + 1);
    case FailureKind::ArchiveNotWritten:
        return QStringLiteral("年度の保存版を作成できませんでした。") + failure.text;
    case FailureKind::InProgramFolder:
        return QStringLiteral("プログラムのフォルダ「%1」の中は%2のフォルダにできません（プログラムの更新や削除で"
                              "失われるおそれがあり、管理者でない利用者は書き込めないため）。")
            .arg(QDir::toNativeSeparators(failure.file), failure.text);
    case FailureKind::NotMadeHere:
        return QStringLiteral(
                   "「%1」はVelmoraが作ったものではない（リンク、特殊なファイル、または利用者のフォルダ）ため、"
                   "削除せずに残しました。中身を確かめて、別の場所へ移すか削除してから、もう一度行って下さい")
            .arg(failure.file);
    case FailureKind::DataFolderMissing:
        return QStringLiteral("データフォルダ「%1」がありません。").arg(failure.file);
    case FailureKind::OutputIsStoreFile:
        return QStringLiteral("「%1」はデータフォルダの記録のファイルのため、出力先にできません。"
                              "別のファイル名を --output に指定して下さい。")
            .arg(failure.file);
    case FailureKind::HistoryDamaged:
        return QStringLiteral("「%1」の%2行目が読めません（%3。%4は記録として読めません）。"
                              "読めない行の上に変更を記録しないため、データは変更できません。"
                              "バックアップの世代から「%1」を戻すか、「変更履歴」の「損傷部分を保管して続ける」"
                              "（velmora --set-aside-history）で損傷したファイルを保管し、記録を続けて下さい")
            .arg(failure.file)
            .arg(failure.line)
            .arg(failure.entryFault == EntryFault::None ? QStringLiteral("改行またはコードページ932でない文字")
                                                        : entryFaultText(failure.entryFault),
                 failure.text);
    case FailureKind::HistoryDisagrees:
        return differenceText(failure);
    case FailureKind::HistoryReadsWhole:
        return QStringLiteral("「%1」はすべて読めるため、保管する損傷部分はありません").arg(failure.file);
    case FailureKind::HistoryBroken:
        return QStringLiteral("「%1」の%2件目の記録（%3行目から）が、書かれた後に書き換えられています"
                              "（その記録か、その前の記録が変更・削除されたか、記録が挿入されています）")
            .arg(failure.file, failure.text)
            .arg(failure.line);
    default:
        return std::nullopt;
    }
}

QString mainMessage(const Failure& failure)
{
    for (const auto& group : {fileMessage, entryMessage, lockMessage, importMessage, historyMessage})
        if (auto message = group(failure))
            return *message;
    return {};
}

} // namespace

QString shownText(QString text)
{
    for (QChar& c : text)
        if ((c.unicode() < 0x20 && c != QLatin1Char('\n') && c != QLatin1Char('\t')) || c.unicode() == 0x7f)
            c = QChar(c.unicode() == 0x7f ? 0x2421 : 0x2400 + c.unicode());
    return text;
}

QString messageOf(const Failure& failure)
{
    QString message = mainMessage(failure);
    const bool written = failure.kind == FailureKind::CannotWrite || failure.kind == FailureKind::CannotLock ||
                         failure.kind == FailureKind::CannotCreateFolder;
    if (const QString cause = written ? causeOf(failure.systemError) : QString(); !cause.isEmpty())
        message += QStringLiteral("\n原因：") + cause;
    if (!failure.notRestored.isEmpty())
        message += QStringLiteral("\n「%1」を元に戻せませんでした。内容を確認して下さい。").arg(failure.notRestored);
    return message;
}

QString doseDoubtText(csv::DoseReading::Doubt doubt)
{
    switch (doubt) {
    case csv::DoseReading::Negative:
        return QStringLiteral("は負の値です");
    case csv::DoseReading::TooLarge:
        return QStringLiteral("は%1 mSvを超えています").arg(csv::LargestDose);
    case csv::DoseReading::TooPrecise:
        return QStringLiteral("は桁が多すぎます（小数点以下12桁、有効数字15桁まで）");
    case csv::DoseReading::NotANumber:
    case csv::DoseReading::None:
        break;
    }
    return QStringLiteral("は線量ではありません");
}

QString entryFaultText(EntryFault fault)
{
    const QString months =
        QStringLiteral("年月は%1年～%2年の1～12月で入力して下さい").arg(FirstRecordYear).arg(LastRecordYear);
    const QString period = QStringLiteral("期間は同じ年度の中で、開始から終了の順に入力して下さい");
    switch (fault) {
    case EntryFault::None:
        break;
    case EntryFault::CountMismatch:
        return QStringLiteral("件数が行数と合いません");
    case EntryFault::NotANumber:
        return QStringLiteral("数値ではありません");
    case EntryFault::NoName:
        return QStringLiteral("氏名がありません");
    case EntryFault::NoFacility:
        return QStringLiteral("施設名を入力して下さい");
    case EntryFault::LineBreakInFacilityOrNote:
        return QStringLiteral("施設名と備考に改行は使えません");
    case EntryFault::MonthOutsideRecords:
        return months;
    case EntryFault::PeriodOutOfOrder:
    case EntryFault::PeriodAcrossYears:
        return period;
    case EntryFault::NegativeDose:
        return QStringLiteral("線量は0以上の数値で入力して下さい");
    case EntryFault::LineBreakInNote:
        return QStringLiteral("備考に改行は使えません");
    case EntryFault::FirstDayNotADay:
        return QStringLiteral("開始日は年・月・日の正しい日付で入力して下さい");
    case EntryFault::LastDayNotADay:
        return QStringLiteral("終了日は開始日以後の正しい日付で入力するか、空欄にして下さい");
    case EntryFault::UnknownKind:
        return QStringLiteral("種別は1～4です");
    case EntryFault::IncompleteRecord:
        return QStringLiteral("記録の途中でファイルが終わっています");
    case EntryFault::NotATime:
        return QStringLiteral("日時ではありません");
    case EntryFault::UnknownChangeKind:
        return QStringLiteral("操作の名前ではありません");
    case EntryFault::NotAHash:
        return QStringLiteral("SHA-256ではありません");
    case EntryFault::ExamDayNotADay:
        return QStringLiteral("実施日は年・月・日の正しい日付で入力して下さい");
    case EntryFault::ExamDayInFuture:
        return QStringLiteral("実施日が今日より後の日付です");
    case EntryFault::ExamBeforeAgeFifteen:
        return QStringLiteral("実施日が15歳の誕生日より前の日付です");
    case EntryFault::ExamSameDay:
        return QStringLiteral("同じ日の健康診断が登録済みです。訂正する場合は一覧で選んで「訂正」として下さい");
    case EntryFault::NotAPerson:
        return QStringLiteral("登録者にも登録抹消者にもいない人の記録です");
    case EntryFault::UnknownExamKind:
        return QStringLiteral("種別は1～3です");
    case EntryFault::UnknownItemResult:
        return QStringLiteral("項目の結果は0～2です");
    case EntryFault::ExposureHistoryLeftOut:
        return QStringLiteral("被ばく歴の有無の調査・評価（項目1）は省略できません");
    case EntryFault::ItemRequiredAtHiring:
        return QStringLiteral("雇入れ時・配置替え時の健康診断では、血液（項目2・3）と皮膚（項目5）の検査は"
                              "省略できません");
    case EntryFault::NotYesOrNo:
        return QStringLiteral("医師の指示は0か1です");
    case EntryFault::UnknownWearing:
        return QStringLiteral("線量計の装着は0から7の数です");
    case EntryFault::LayoutCannotRead:
        return QStringLiteral("この取込レイアウトでは線量を読めません");
    }
    return {};
}

QString unreadableFilesMessage(const QStringList& files)
{
    return QStringLiteral("次の個人データファイルを読み込めませんでした。\n") +
           listForMessage(files, QStringLiteral("件"));
}

QString unknownPersonsMessage(const QStringList& names)
{
    return QStringLiteral("次の氏名の他施設での線量・申告は、登録者にも登録抹消者にもいないため集計していません。"
                          "氏名の誤りがないかを「他施設・申告」で確認して下さい。\n") +
           listForMessage(names, QStringLiteral("名"));
}

QString listForMessage(const QStringList& items, const QString& unit, qsizetype shown)
{
    QString text = items.first(std::min(items.size(), shown)).join(QLatin1Char('\n'));
    if (items.size() > shown)
        text += QStringLiteral("\nほか%1").arg(items.size() - shown) + unit;
    return text;
}

QString reviewParagraphs(std::initializer_list<std::pair<ReviewRows, const QStringList*>> rows)
{
    // Each heading with what its lines count: rows of the file, registrants or cells.
    const auto headingOf = [](ReviewRows kind) -> std::pair<QString, QString> {
        switch (kind) {
        case ReviewRows::Unmatched:
            return {QStringLiteral("どの登録者にも当たらない行（取り込みません）"), QStringLiteral("行")};
        case ReviewRows::Removed:
            return {QStringLiteral("登録抹消者の行（取り込みません）"), QStringLiteral("行")};
        case ReviewRows::OtherName:
            return {QStringLiteral("登録番号と氏名が合わない行（登録番号の人に取り込みます）"), QStringLiteral("行")};
        case ReviewRows::Repeated:
            return {QStringLiteral("2行以上ある登録者（最後の行を取り込みます）"), QStringLiteral("名")};
        case ReviewRows::NotNumbers:
            return {QStringLiteral("数ではない値の行（取り込みません）"), QStringLiteral("件")};
        case ReviewRows::Unusable:
            return {QStringLiteral("保存できない値の行（取り込みません）"), QStringLiteral("行")};
        case ReviewRows::WithoutValues:
            return {QStringLiteral("値のない登録者（今の値のままです）"), QStringLiteral("名")};
        case ReviewRows::UnknownPersons:
            return {QStringLiteral("登録者・登録抹消者にない氏名の行（取り込みません）"), QStringLiteral("行")};
        case ReviewRows::StoredAlready:
            return {QStringLiteral("同じ内容が登録済みの行（取り込みません）"), QStringLiteral("行")};
        case ReviewRows::OwnFacility:
            return {QStringLiteral("この事業所の名前の行（ここで記録済みの線量のため取り込みません）"),
                    QStringLiteral("行")};
        case ReviewRows::AcrossYears:
            return {QStringLiteral("年度をまたぐ期間の行（取り込み、集計では要確認とします）"), QStringLiteral("行")};
        case ReviewRows::SenderDoubts:
            return {QStringLiteral("送り元で要確認とされた行（取り込み、集計では要確認とします）"),
                    QStringLiteral("行")};
        case ReviewRows::DeclarationRows:
            return {QStringLiteral("申告の行（申告として登録します）"), QStringLiteral("行")};
        case ReviewRows::NumberOtherName:
            return {QStringLiteral("測定番号と氏名が合わない行（測定番号の人に取り込みます）"), QStringLiteral("行")};
        case ReviewRows::MarksInInternal:
            return {QStringLiteral("内部被曝の欄の検出限界未満の記号（0として取り込みます。値を確かめて下さい）"),
                    QStringLiteral("件")};
        case ReviewRows::ServiceDiffers:
            return {QStringLiteral("測定サービスの線量と部位別の値からの計算が合わない人"), QStringLiteral("名")};
        case ReviewRows::Wearings:
            return {QStringLiteral("2個以上の線量計を着ける人（この装着で計算します）"), QStringLiteral("名")};
        case ReviewRows::NewNumbers:
            return {QStringLiteral("記録する測定番号・装着（新たに、または変更）"), QStringLiteral("名")};
        }
        return {};
    };
    // However large the file, each kind shows its first lines, so the review stays readable.
    constexpr qsizetype Shown = 20;
    QStringList paragraphs;
    for (const auto& [kind, lines] : rows)
        if (!lines->isEmpty()) {
            const auto [heading, unit] = headingOf(kind);
            paragraphs << QStringLiteral("%1：%2%3\n%4")
                              .arg(heading)
                              .arg(lines->size())
                              .arg(unit, listForMessage(*lines, unit, Shown));
        }
    return paragraphs.join(QStringLiteral("\n\n"));
}

QString monthImportText(const QString& file, MonthKey key, qsizetype registrants, qsizetype taken)
{
    return QStringLiteral("「%1」から%2年%3月の線量を取り込みます。\n登録者%4名のうち%5名に値があります。")
        .arg(file)
        .arg(key / 100)
        .arg(key % 100)
        .arg(registrants)
        .arg(taken);
}

QString serviceImportText(qsizetype marks, qsizetype otherMonths)
{
    QString text =
        QStringLiteral("検出限界未満の記号・空欄：%1件（0として取り込み、外部被曝は「Ｍ」と表示します）").arg(marks);
    if (otherMonths > 0)
        text += QStringLiteral("\nほかの月の行：%1行（取り込みません）").arg(otherMonths);
    return text;
}

QString layoutFaultText(LayoutFault fault)
{
    switch (fault) {
    case LayoutFault::NoName:
        return QStringLiteral("レイアウトの名前を入力して下さい。");
    case LayoutFault::NoPerson:
        return QStringLiteral("氏名か測定番号の列を指定して下さい。");
    case LayoutFault::NoEffective:
        return QStringLiteral("実効線量の列か、体幹部 Hp(10) の列を指定して下さい。");
    case LayoutFault::NoLens:
        return QStringLiteral(
            "水晶体の列か、眼の近く Hp(3)・体幹部 Hp(10)・体幹部 Hp(0.07) のいずれかの列を指定して下さい。");
    case LayoutFault::NoSkin:
        return QStringLiteral("皮膚の列か、体幹部 Hp(0.07) の列を指定して下さい。");
    case LayoutFault::ColumnOutsideFile:
        return QStringLiteral("見出しのない列を指定しています。");
    case LayoutFault::SameColumnTwice:
        return QStringLiteral("同じ列を2つの項目に指定しています。");
    case LayoutFault::NotStorable:
        return QStringLiteral("レイアウトの名前か記号に、保存できない文字があります。");
    }
    return {};
}

QString otherDoseImportText(const QString& file, qsizetype entries, qsizetype declarations)
{
    return QStringLiteral("「%1」から他施設での線量を%2件取り込みます。").arg(file).arg(entries) +
           (declarations == 0 ? QString() : QStringLiteral("申告%1件を登録します。").arg(declarations));
}

QString monthLimitText(const QStringList& over, const QStringList& near, const QStringList& unreadable,
                       const QString& unchecked)
{
    const QString counted = unchecked.isEmpty() ? QStringLiteral("他施設での線量を含みます")
                                                : QStringLiteral("この施設の線量だけで確認しました");
    QStringList paragraphs;
    // Over a limit first, apart from those only near one: the two must never be told apart by a sign.
    const std::pair<const QStringList*, QString> lists[] = {
        {&over, QStringLiteral("【超過】この月の線量で限度を超える人が%1名います（%2）。\n%3")},
        {&near, QStringLiteral("【注意】この月の線量で限度の注意となる人が%1名います（%2）。\n%3")},
        {&unreadable, QStringLiteral("次の%1名は限度を確認できません（%2）。\n%3")},
    };
    for (const auto& [persons, text] : lists)
        if (!persons->isEmpty())
            paragraphs << text.arg(persons->size()).arg(counted, listForMessage(*persons, QStringLiteral("名"), 20));
    if (!unchecked.isEmpty())
        paragraphs << QStringLiteral(
                          "他施設での線量・申告を読み込めないため、限度はこの施設の線量だけで確認しました。\n%1")
                          .arg(unchecked);
    return paragraphs.join(QStringLiteral("\n\n"));
}

QString storeShrankMessage(const QString& generation, qsizetype personsThen, qsizetype personsNow, bool historyShorter)
{
    QStringList less;
    if (personsNow < personsThen)
        less << QStringLiteral("個人データファイルが%1件から%2件に減っています").arg(personsThen).arg(personsNow);
    if (historyShorter)
        less << QStringLiteral("変更履歴が短くなっています");
    return QStringLiteral("データフォルダの記録が、バックアップ「%1」を作成したときより少なくなっています（%2）。"
                          "記録が失われていないかを確かめて下さい。バックアップ「%1」は削除せずに残します。")
        .arg(generation, less.join(QStringLiteral("、")));
}

QString historyHeadText(qsizetype records, const QByteArray& lastHash)
{
    if (records == 0)
        return QStringLiteral("変更履歴：記録なし");
    return QStringLiteral("変更履歴：%1件　最後の記録のSHA-256：%2").arg(records).arg(QString::fromLatin1(lastHash));
}

QString setAsideMessage(const QString& name)
{
    return QStringLiteral("読めない行のある変更履歴を「%1」としてデータフォルダに保管し、変更履歴を続けました。"
                          "保管したファイルは削除せずに残して下さい（バックアップにも含まれます）。")
        .arg(name);
}

} // namespace velmora
