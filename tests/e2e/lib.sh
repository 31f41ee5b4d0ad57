# Shared by the real-window tests: a virtual display, the program started in a data directory, waiting
# for windows, and byte-exact file checks. Source it after setting `binary` and `shots`.
set -euo pipefail
mkdir -p "$shots"
data="$(mktemp -d)"
display_file="$(mktemp)"

# Xvfb picks a free display and writes its number once it accepts connections; a scenario may set
# `screen` first. Without -noreset the server starts over when its last client goes, and a program
# started in that moment cannot connect.
Xvfb -displayfd 3 -screen 0 "${screen:-1280x1024x24}" -nolisten tcp -noreset 3>"$display_file" >/dev/null 2>&1 &
xvfb=$!
# The program is waited for before its folder goes: on SIGTERM it still releases its lock and keeps its
# window places, and a folder removed meanwhile would not be empty when rm comes to it.
cleanup() {
    kill "${program:-}" "$xvfb" 2>/dev/null || true
    wait "${program:-}" "$xvfb" 2>/dev/null || true
    rm -rf "$data" "$display_file"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n 1 "$display_file")"

fail() { echo "FAIL: $*"; exit 1; }

start_program() {
    (cd "$data" && exec "$binary") &
    program=$!
}

# Starts the program and opens "データ入力／訂正" from its main menu; `menu` and `entry` name the two windows.
open_entry_window() {
    start_program
    menu=$(window_named "個人被曝線量管理") || fail "the main menu did not appear"
    sleep 0.5
    xdotool mousemove --window "$menu" 124 192 click 1
    entry=$(window_named "データ入力／訂正") || fail "the entry window did not open"
    sleep 0.3
}

# Waits for a visible window whose title is $1 and prints its id.
window_named() {
    for _ in $(seq 100); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1) || true
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# Types a text (Japanese included) and presses Enter, into the window that has the focus. xdotool types
# a character missing from the keyboard map by remapping a key for it, which the program must see
# before the next one: hence the slow pace.
type_enter() {
    [ -n "$1" ] && xdotool type --delay 120 "$1"
    sleep 0.2
    xdotool key Return
    sleep 0.3
}

# Answers the next message box with Enter (its default button) and prints nothing.
answer_box() {
    local box
    box=$(window_named "Velmora") || fail "no message box appeared"
    xdotool windowfocus --sync "$box"
    xdotool key Return
    sleep 0.3
}

hex_of() { xxd -p "$1" | tr -d '\n'; }

# Code page 932 bytes of lines each ending CR LF, as hex.
cp932_lines() { printf '%s\r\n' "$@" | iconv -f UTF-8 -t CP932 | xxd -p | tr -d '\n'; }

expect_file() {
    local file="$data/$1" expected="$2"
    [ -f "$file" ] || fail "$1 is missing"
    [ "$(hex_of "$file")" = "$expected" ] || fail "$1 holds $(hex_of "$file"), expected $expected"
}
