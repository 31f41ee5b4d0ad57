#!/usr/bin/env bash
# The built program in a real X window: started in an empty directory, "データ入力／訂正" clicked with
# xdotool; the five list files and the dose data folder must then exist byte for byte.
# Usage: first_start.sh VELMORA_BINARY SCREENSHOT_DIR
set -euo pipefail
binary="$1"
shots="$2"
mkdir -p "$shots"
data="$(mktemp -d)"
display_file="$(mktemp)"

# Xvfb picks a free display and writes its number once it accepts connections.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb=$!
cleanup() { kill "${program:-}" "$xvfb" 2>/dev/null || true; rm -rf "$data" "$display_file"; }
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n 1 "$display_file")"

fail() { echo "FAIL: $*"; exit 1; }

# Waits for a visible window whose title is $1 and prints its id.
window_named() {
    for _ in $(seq 100); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1) || true
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

(cd "$data" && exec "$binary") &
program=$!

menu=$(window_named "個人被曝線量管理") || fail "the main menu did not appear"
sleep 0.5
[ -z "$(ls -A "$data")" ] || fail "files were created before a command was chosen"
import -window "$menu" "$shots/main-menu.png"

# "データ入力／訂正" stands at (480, 2640) twips, 2775 × 495: its middle is (124, 192) pixels.
xdotool mousemove --window "$menu" 124 192 click 1
entry=$(window_named "データ入力／訂正") || fail "the entry window did not open"
sleep 0.5
import -window "$entry" "$shots/entry-window.png"

expect_bytes() {
    local file="$data/$1" expected="$2"
    [ -f "$file" ] || fail "$1 is missing"
    [ "$(xxd -p "$file" | tr -d '\n')" = "$expected" ] || fail "$1 holds $(xxd -p "$file" | tr -d '\n')"
}
expect_bytes "登録者名.txt" "2030200d0a"
expect_bytes "登録番号.txt" "2031200d0a"
expect_bytes "登録抹消.txt" ""
expect_bytes "既入力.txt" ""
# 医師 診療放射線技師 看護師 臨床検査技師 薬剤師 理学療法士 臨床工学技士 事務職, code page 932, CR LF
jobs=$(printf '%s\r\n' 医師 診療放射線技師 看護師 臨床検査技師 薬剤師 理学療法士 臨床工学技士 事務職 \
    | iconv -f UTF-8 -t CP932 | xxd -p | tr -d '\n')
expect_bytes "職種.txt" "$jobs"
[ -d "$data/被曝Data" ] || fail "the folder 被曝Data is missing"
[ "$(ls -A "$data" | wc -l)" -eq 6 ] || fail "unexpected files: $(ls -A "$data")"

# Only one window is in use at a time: the menu hid itself.
[ -z "$(xdotool search --onlyvisible --name '^個人被曝線量管理$' 2>/dev/null)" ] || fail "the main menu is still shown"
echo "1 passed, 0 failed"
