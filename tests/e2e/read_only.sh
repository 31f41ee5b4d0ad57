#!/usr/bin/env bash
# A data folder on a read-only mount in a real X window: the program starts, the search window lists the
# registrants and draws the registrant data table, and data entry says why it cannot open and stays in
# the main menu. Nothing is written. Usage: read_only.sh VELMORA_BINARY SCREENSHOT_DIR
binary="$1"
shots="$2"
source "$(dirname "$0")/lib.sh"

mkdir -p "$data/被曝Data"
printf '%s\r\n' " 1 " "山田　花子" | iconv -f UTF-8 -t CP932 > "$data/登録者名.txt"
printf '%s\r\n' " 1 " "山田　花子" " 1 " " 19650412 " "放射線科" "技師" " 0 " " 0 " "04-01-2005" \
    | iconv -f UTF-8 -t CP932 > "$data/被曝Data/山田　花子.dat"
mount --bind "$data" "$data" && mount -o remount,ro,bind "$data" || { echo "no read-only bind mount here: skipped"; exit 0; }
trap 'kill "${program:-}" 2>/dev/null; sleep 0.3; umount "$data"; cleanup' EXIT
before=$(ls -laR "$data" | md5sum)

start_program
menu=$(window_named "個人被曝線量管理") || fail "the program did not start on a read-only folder"
sleep 0.5
xdotool mousemove --window "$menu" 124 232 click 1 # "データ検索／表示"
search=$(window_named "個人被曝線量　データ検索・表示") || fail "the search window did not open"
sleep 0.3
xdotool mousemove --window "$search" 376 20 click 1 # "登録者データ表"
sleep 0.5
import -window "$search" "$shots/read-only-registrant-table.png"
xdotool mousemove --window "$search" 920 592 click 1 # back to the menu
menu=$(window_named "個人被曝線量管理") || fail "the main menu did not come back"
sleep 0.3
xdotool mousemove --window "$menu" 124 192 click 1 # "データ入力／訂正"
box=$(window_named "Velmora") || fail "data entry did not say why it cannot open"
import -window "$box" "$shots/read-only-entry.png"
xdotool windowfocus --sync "$box"
xdotool key Return
sleep 0.3
xdotool search --onlyvisible --name "^データ入力／訂正\$" >/dev/null 2>&1 && fail "the entry window opened on a read-only folder"
[ "$(ls -laR "$data" | md5sum)" = "$before" ] || fail "something was written"
echo "1 passed, 0 failed"
