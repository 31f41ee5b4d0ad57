#!/usr/bin/env bash
# A month's doses from a spreadsheet in a real X window: the template written through "CSVテンプレート"
# and Qt's save dialog, a filled-in code page 932 file taken through "CSV取込" and Qt's open dialog, the
# doubts accepted, the imported values shown for a double-clicked person, the month saved; the files are
# checked byte for byte. Then a dosimetry service's own file for May (a title row, its own headings, its
# numbers, X for below detection): the window 取込レイアウト proposes the columns, Enter takes them, the
# persons' doses are reviewed, and the month, the layout and the numbers are stored.
# Usage: csv_import.sh VELMORA_BINARY SCREENSHOT_DIR
binary="$1"
shots="$2"
source "$(dirname "$0")/lib.sh"

cp932_file() { local file="$data/$1"; shift; printf '%s\r\n' "$@" | iconv -f UTF-8 -t CP932 >"$file"; }
# "CSV取込" in the entry window, the file named in Qt's open dialog.
choose_csv() {
    xdotool mousemove --window "$entry" 236 664 click 1
    local dialog
    dialog=$(window_named "取り込むCSVファイル") || fail "the open dialog did not open"
    sleep 0.5
    xdotool windowfocus --sync "$dialog"
    xdotool type --delay 20 "$data/$1"
    xdotool key Return
}
yamada=(" 1 " "山田" " 0 " " 19650412 " "放射線科" "医師" " 0 " " 0 " "04-01-2005")
suzuki=(" 2 " "鈴木" " 0 " " 19650412 " "放射線科" "医師" " 0 " " 0 " "04-01-2005")
mkdir -p "$data/被曝Data"
cp932_file 登録者名.txt " 2 " "山田" "鈴木"
cp932_file 登録番号.txt " 3 "
cp932_file "被曝Data/山田.dat" "${yamada[@]}"
cp932_file "被曝Data/鈴木.dat" "${suzuki[@]}"

open_entry_window
xdotool mousemove --window "$entry" 336 84 click 1
type_enter 2005; type_enter 4

xdotool mousemove --window "$entry" 156 664 click 1 # "CSVテンプレート"
dialog=$(window_named "CSVテンプレートの保存先") || fail "the save dialog did not open"
sleep 0.5
xdotool windowfocus --sync "$dialog"
xdotool key Return # the name offered, in the data folder
answer_box         # CSVテンプレートを保存しました。
expect_file "線量入力_200504.csv" "efbbbf$(printf '%s\r\n' 登録番号,氏名,実効線量,水晶体,皮膚,内部被曝,備考 1,山田,,,,, 2,鈴木,,,,, |
    xxd -p | tr -d '\n')"

printf '%s\n' 登録番号,氏名,実効線量,水晶体,皮膚,内部被曝,備考 '1,山田,0.5,M,,1.23E-03,"腕,左"' 2,鈴木,M,,,, |
    iconv -f UTF-8 -t CP932 >"$data/filled.csv"
choose_csv filled.csv
report=$(window_named "Velmora") || fail "the import's report did not appear"
sleep 0.3
import -window "$report" "$shots/csv-import-report.png"
answer_box # OK: the values are taken
xdotool mousemove --window "$entry" 60 42 click --repeat 2 --delay 80 1 # 山田
sleep 0.3
import -window "$entry" "$shots/entry-window-imported.png"

xdotool mousemove --window "$entry" 288 704 click 1 # "全データ保存"
answer_box # データ入力に間違いはありませんか？
answer_box # 全データを保存しました。
window_named "個人被曝線量管理" >/dev/null || fail "save-all did not return to the main menu"
expect_file "被曝Data/山田.dat" "$(cp932_lines "${yamada[@]}" " 200504 " " 0.5 " " 0 " " 0 " " 0.00123 " "腕,左")"
expect_file "被曝Data/鈴木.dat" "$(cp932_lines "${suzuki[@]}" " 200504 " " 0 " " 0 " " 0 " " 0 " "―")"
expect_file "既入力.txt" "$(cp932_lines " 200504 ")"

printf '%s\r\n' "個人線量報告書 2005年5月分" 番号,氏名,実効線量,水晶体,皮膚 K-7,山田,0.2,0.3,X K-8,鈴木,X,X,X |
    iconv -f UTF-8 -t CP932 >"$data/service.csv"
xdotool mousemove --window "$menu" 124 192 click 1
entry=$(window_named "データ入力／訂正") || fail "the entry window did not open again"
sleep 0.3
xdotool mousemove --window "$entry" 336 84 click 1
type_enter 2005; type_enter 5
choose_csv service.csv
layout=$(window_named "取込レイアウト") || fail "the layout window did not appear"
sleep 0.3
import -window "$layout" "$shots/import-layout.png"
xdotool windowfocus --sync "$layout"
xdotool key Return # the columns its headings name
review=$(window_named "取り込む線量の確認") || fail "the review of the persons' doses did not appear"
sleep 0.3
import -window "$review" "$shots/service-review.png"
xdotool windowfocus --sync "$review"
xdotool key Return # 次へ
answer_box         # the review: OK
xdotool mousemove --window "$entry" 288 704 click 1 # "全データ保存"
answer_box
answer_box
window_named "個人被曝線量管理" >/dev/null || fail "save-all did not return to the main menu"
expect_file "被曝Data/山田.dat" "$(cp932_lines "${yamada[@]}" " 200504 " " 0.5 " " 0 " " 0 " " 0.00123 " "腕,左" \
    " 200505 " " 0.2 " " 0.3 " " 0 " " 0 " "―")"
expect_file "線量計.txt" "$(cp932_lines " 2 " 山田 K-7 " 0 " 鈴木 K-8 " 0 ")"
[ -f "$data/取込レイアウト.txt" ] || fail "the layout was not kept"
echo "2 passed, 0 failed"
