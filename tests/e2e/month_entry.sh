#!/usr/bin/env bash
# A month of work in a real X window, by keyboard and mouse: two persons registered, one person's doses
# entered and confirmed, the month saved, then one dose corrected; the files are checked byte for byte.
# Usage: month_entry.sh VELMORA_BINARY SCREENSHOT_DIR
binary="$1"
shots="$2"
source "$(dirname "$0")/lib.sh"

open_entry_window

# Registers a person through the Enter chain of the registration window, which opens with the focus
# on the name: name, year, month, day, affiliation, job type ("医師", or what is typed over it), then
# "登 録".
register() {
    xdotool mousemove --window "$entry" 60 664 click 1 # "新規登録"
    window_named "新規登録" >/dev/null || fail "the registration window did not open"
    sleep 0.3
    type_enter "$1"; type_enter 1965; type_enter 4; type_enter 12; type_enter "$2"
    [ -n "$3" ] && xdotool key ctrl+a
    type_enter "$3"
    [ "$4" = screenshot ] && import -window "$(window_named 新規登録)" "$shots/registration-window.png"
    type_enter ""
    window_named "データ入力／訂正" >/dev/null || fail "registering $1 did not return to the entry window"
    sleep 0.3
}
register "山田　花子" "放射線科" "" screenshot
register "鈴木" "外来" "看" "" # the first character of "看護師": stored as typed, never completed

# The target month, then the second person's doses through the Enter chain, ending on "確  定".
xdotool mousemove --window "$entry" 336 84 click 1
type_enter 2005; type_enter 4
xdotool mousemove --window "$entry" 60 60 click --repeat 2 --delay 80 1 # the second name: 鈴木
sleep 0.3
type_enter 0.5; type_enter M; type_enter ""; type_enter 1.23E-03; type_enter "腕"
import -window "$entry" "$shots/entry-window.png"
type_enter ""

xdotool mousemove --window "$entry" 288 704 click 1 # "全データ保存"
answer_box # データ入力に間違いはありませんか？ — OK
answer_box # 全データを保存しました。
window_named "個人被曝線量管理" >/dev/null || fail "save-all did not return to the main menu"

today=$(date +%m-%d-%Y)
expect_file "登録者名.txt" "$(cp932_lines " 2 " "山田　花子" "鈴木")"
expect_file "登録番号.txt" "$(cp932_lines " 3 ")"
expect_file "既入力.txt" "$(cp932_lines " 200504 ")"
expect_file "被曝Data/山田　花子.dat" "$(cp932_lines " 1 " "山田　花子" " 0 " " 19650412 " "放射線科" "医師" " 0 " " 0 " \
    "$today" " 200504 " " 0 " " 0 " " 0 " " 0 " "―")"
expect_file "被曝Data/鈴木.dat" "$(cp932_lines " 2 " "鈴木" " 0 " " 19650412 " "外来" "看" " 0 " " 0 " \
    "$today" " 200504 " " 0.5 " " 0 " " 0 " " 0.00123 " "腕")"

# The correction window: 鈴木's April effective dose becomes 0.7.
xdotool mousemove --window "$menu" 124 192 click 1
entry=$(window_named "データ入力／訂正") || fail "the entry window did not open again"
sleep 0.3
xdotool mousemove --window "$entry" 60 60 click --repeat 2 --delay 80 1
sleep 0.3
xdotool mousemove --window "$entry" 156 704 click 1 # "データ訂正"
correction=$(window_named "入力済みデータの訂正") || fail "the correction window did not open"
sleep 0.3
xdotool mousemove --window "$correction" 368 58 click 1 # the month
sleep 0.3
xdotool key ctrl+a
type_enter 0.7; type_enter ""; type_enter ""; type_enter ""; type_enter ""
import -window "$correction" "$shots/correction-window.png"
xdotool key Return # "訂正"
xdotool mousemove --window "$correction" 152 640 click 1 # "全訂正終了"
answer_box # 訂正したデータを保存します。
answer_box # 訂正したデータを保存しました。
window_named "データ入力／訂正" >/dev/null || fail "the correction did not return to the entry window"
expect_file "被曝Data/鈴木.dat" "$(cp932_lines " 2 " "鈴木" " 0 " " 19650412 " "外来" "看" " 0 " " 0 " \
    "$today" " 200504 " " 0.7 " " 0 " " 0 " " 0.00123 " "腕")"
echo "1 passed, 0 failed"
