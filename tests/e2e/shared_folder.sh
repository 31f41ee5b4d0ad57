#!/usr/bin/env bash
# Two PCs on one data folder, in real X windows: a copy started as PC "OTHER-PC" (a host name of its own,
# as root) opens data entry and is killed with SIGKILL, as a PC that loses its power. This PC's copy is
# told who holds the entry lock; once the lock has gone unrefreshed for six minutes it asks whether to
# take it over, No being the default, and takes it over on Yes. Usage: shared_folder.sh VELMORA_BINARY SCREENSHOT_DIR
binary="$1"
shots="$2"
source "$(dirname "$0")/lib.sh"
lock="$data/.velmora-entry.lock"

# Waits for a visible window of process $1 whose title is $2 and prints its id.
window_of() {
    for _ in $(seq 100); do
        id=$(xdotool search --all --onlyvisible --pid "$1" --name "^$2\$" 2>/dev/null | head -n 1) || true
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

(cd "$data" && exec unshare --uts sh -c 'hostname OTHER-PC && exec "$0"' "$binary") &
other=$!
menu=$(window_of "$other" "個人被曝線量管理") || fail "OTHER-PC's main menu did not appear"
sleep 0.5
xdotool mousemove --window "$menu" 124 192 click 1
window_of "$other" "データ入力／訂正" >/dev/null || fail "OTHER-PC's entry window did not open"
grep -q '^host=OTHER-PC$' "$lock" || fail "the lock does not name OTHER-PC: $(cat "$lock")"
kill -KILL "$other"
wait "$other" 2>/dev/null || true

start_program
menu=$(window_of "$program" "個人被曝線量管理") || fail "this PC's main menu did not appear"
sleep 0.5
xdotool mousemove --window "$menu" 124 192 click 1
import -window "$(window_named Velmora)" "$shots/lock-held.png"
answer_box # PC「OTHER-PC」（…から）でデータ入力／訂正が開かれています。
sleep 0.5
[ -z "$(xdotool search --all --onlyvisible --pid "$program" --name '^データ入力／訂正$' 2>/dev/null)" ] ||
    fail "the entry window opened under OTHER-PC's lock"

touch -d '-6 minutes' "$lock" # OTHER-PC has not refreshed its lock since
xdotool mousemove --window "$menu" 124 192 click 1
import -window "$(window_named Velmora)" "$shots/lock-take-over.png"
answer_box # Enter: the default, No
grep -q '^host=OTHER-PC$' "$lock" || fail "the default answer took the lock over"
xdotool mousemove --window "$menu" 124 192 click 1
question=$(window_named "Velmora") || fail "the question did not appear again"
xdotool windowfocus --sync "$question"
xdotool key shift+Tab space # "はい"
sleep 0.3
window_of "$program" "データ入力／訂正" >/dev/null || fail "the entry window did not open after taking the lock over"
grep -q "^host=$(hostname)\$" "$lock" || fail "the lock does not name this PC: $(cat "$lock")"
echo "1 passed, 0 failed"
