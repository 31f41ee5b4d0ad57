#!/usr/bin/env bash
# The data folder given on the command line, in a real X window: --data-dir on a folder that does not
# exist yet asks before making it, and one found empty (an unmounted share's mount point) before using it; a first "データ入力／訂正" then creates the store there and nowhere else; the working
# directory and the home folder get no data file. The main menu carries the program's icon. Usage: data_dir.sh VELMORA_BINARY SCREENSHOT_DIR
binary="$1"
shots="$2"
source "$(dirname "$0")/lib.sh"

work="$data/work"
store="$data/線量 データ"
export HOME="$data/home"
mkdir -p "$work" "$HOME"
(cd "$work" && exec "$binary" --data-dir "$store") &
program=$!
# The folder does not exist: it is made only on "はい", No being the default (an unmounted share).
question=$(window_named "Velmora") || fail "the missing folder was not asked about"
import -window "$question" "$shots/data-dir-missing.png"
xdotool windowfocus --sync "$question"
xdotool key shift+Tab space
menu=$(window_named "個人被曝線量管理") || fail "the main menu did not appear"
sleep 0.5
# Each property is read whole before it is searched: "grep -q" leaving a pipe early would kill xprop
# with SIGPIPE while it still writes the icon's pixels, and the pipeline would fail under pipefail.
icon=$(xprop -id "$menu" _NET_WM_ICON)
grep -q 'Icon (16 x 16)' <<<"$icon" || fail "the main menu carries no icon"
[[ "$(xprop -id "$menu" WM_CLASS)" == *'"velmora"'* ]] || fail "the main menu's window class is not velmora"
xdotool mousemove --window "$menu" 124 192 click 1
window_named "データ入力／訂正" >/dev/null || fail "the entry window did not open"

for file in 登録者名.txt 登録番号.txt 登録抹消.txt 既入力.txt 職種.txt; do
    [ -f "$store/$file" ] || fail "$file was not created in the data folder"
done
[ -d "$store/被曝Data" ] || fail "被曝Data was not created in the data folder"
[ -z "$(ls -A "$work")" ] || fail "the working directory was written: $(ls -A "$work")"
[ -z "$(find "$HOME" -name '*.txt' -o -name '被曝Data')" ] || fail "data went into the home folder"

# A share not mounted leaves its mount point an empty folder: --data-dir on it asks, and No, the default,
# ends the program with nothing made there.
share="$data/share"
mkdir -p "$share"
mount -t tmpfs -o size=1m tmpfs "$share" || fail "a tmpfs cannot be mounted here"
cp "$store/登録者名.txt" "$share/"
umount "$share"
(cd "$work" && exec "$binary" --data-dir "$share") &
other=$!
question=$(window_named "Velmora") || fail "the empty mount point was not asked about"
import -window "$question" "$shots/data-dir-empty.png"
xdotool windowfocus --sync "$question"
xdotool key Return
wait "$other" && fail "the program went on with the empty mount point"
[ -z "$(ls -A "$share")" ] || fail "a store was made in the empty mount point: $(ls -A "$share")"
echo "2 passed, 0 failed"
