#!/usr/bin/env bash
# The built program in a real X window: started in an empty directory, "データ入力／訂正" clicked with
# xdotool; the five list files and the dose data folder must then exist byte for byte.
# Usage: first_start.sh VELMORA_BINARY SCREENSHOT_DIR
binary="$1"
shots="$2"
source "$(dirname "$0")/lib.sh"

start_program
menu=$(window_named "個人被曝線量管理") || fail "the main menu did not appear"
sleep 0.5
[ -z "$(ls -A "$data")" ] || fail "files were created before a command was chosen"
import -window "$menu" "$shots/main-menu.png"

# "データ入力／訂正" stands at (480, 2640) twips, 2775 × 495: its middle is (124, 192) pixels.
xdotool mousemove --window "$menu" 124 192 click 1
entry=$(window_named "データ入力／訂正") || fail "the entry window did not open"
sleep 0.5

expect_file "登録者名.txt" "$(cp932_lines " 0 ")"
expect_file "登録番号.txt" "$(cp932_lines " 1 ")"
expect_file "登録抹消.txt" ""
expect_file "既入力.txt" ""
expect_file "職種.txt" "$(cp932_lines 医師 診療放射線技師 看護師 臨床検査技師 薬剤師 理学療法士 臨床工学技士 事務職)"
[ -d "$data/被曝Data" ] || fail "the folder 被曝Data is missing"
[ "$(ls "$data" | wc -l)" -eq 6 ] || fail "unexpected files: $(ls "$data")"

# Only one window is in use at a time: the menu hid itself.
[ -z "$(xdotool search --onlyvisible --name '^個人被曝線量管理$' 2>/dev/null)" ] || fail "the main menu is still shown"
kill "$program"
wait "$program" 2>/dev/null || true

# Started from the desktop menu the first time: the first-start window proposes ~/Velmora, Enter takes it,
# and the folder is made and remembered; the backup folder is asked for once the menu shows.
home="$data/home"
mkdir -p "$home"
(cd / && HOME="$home" exec "$binary" --chosen-data-dir 2>"$home/stderr.txt") &
program=$!
first=$(window_named "Velmora") || fail "the first-start window did not appear: $(cat "$home/stderr.txt")"
sleep 0.5
import -window "$first" "$shots/first-start-window.png"
xdotool windowfocus --sync "$first"
xdotool key Return
window_named "個人被曝線量管理" >/dev/null || fail "the main menu did not follow the first-start window"
[ -d "$home/Velmora" ] || fail "~/Velmora was not made"
grep -qx "dataFolder=$home/Velmora" "$home/.config/Velmora/Velmora.conf" || fail "the folder was not remembered"
# Once the menu shows, the backup folder is asked for; Esc (いいえ) leaves it to the menu's line.
question=$(window_named "Velmora") || fail "the backup folder was not asked for"
sleep 0.3
import -window "$question" "$shots/first-start-backup-question.png"
xdotool windowfocus --sync "$question"
xdotool key Escape
sleep 0.5
! grep -q "askBackupFolderFor" "$home/.config/Velmora/Velmora.conf" || fail "the backup folder would be asked again"
echo "3 passed, 0 failed"
