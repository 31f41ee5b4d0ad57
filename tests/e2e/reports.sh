#!/usr/bin/env bash
# The three reports in a real X window: a small store is laid out, the search window opened, and the
# personal exposure record, the registrant data table and the monthly exposure list are drawn by mouse
# and keyboard; a screenshot of the main menu and of each is kept for a look.
# Usage: reports.sh VELMORA_BINARY SCREENSHOT_DIR
binary="$1"
shots="$2"
source "$(dirname "$0")/lib.sh"

# A personal file: number, name, sex, birth, affiliation, job type, then records of six values each.
person() {
    local number="$1" name="$2" sex="$3" affiliation="$4" job="$5"
    shift 5
    printf '%s\r\n' " $number " "$name" " $sex " " 19650412 " "$affiliation" "$job" " 0 " " 0 " "04-01-2005" "$@" \
        | iconv -f UTF-8 -t CP932 > "$data/被曝Data/$name.dat"
}
mkdir -p "$data/被曝Data"
printf '%s\r\n' " 3 " "山田　花子" "鈴木　一郎" "佐藤　健" | iconv -f UTF-8 -t CP932 > "$data/登録者名.txt"
person 1 "山田　花子" 1 "放射線科" "診療放射線技師" \
    " 200504 " " 0.12 " " 0.3 " " 0.15 " " 0 " "―" \
    " 200505 " " 0 " " 0 " " 0 " " 0.0021 " "透視検査" \
    " 200506 " " 0.08 " " 0.1 " " 0 " " 0 " "―" \
    " 200601 " " 0.2 " " 0.25 " " 0.2 " " 0 " "―"
person 2 "鈴木　一郎" 0 "循環器内科" "医師" " 200504 " " 0.5 " " 1.2 " " 0.9 " " 0 " "カテーテル"
person 3 "佐藤　健" 0 "事務部" "事務職"

start_program
menu=$(window_named "個人被曝線量管理") || fail "the main menu did not appear"
sleep 0.3
import -window "$menu" "$shots/main-menu.png"
xdotool mousemove --window "$menu" 124 232 click 1 # "データ検索／表示"
search=$(window_named "個人被曝線量　データ検索・表示") || fail "the search window did not open"
sleep 0.3
import -window "$search" "$shots/search-window.png"

xdotool mousemove --window "$search" 100 50 click 1 # the first name
sleep 0.3
type_enter 2005 # the fiscal year, then Enter moves to "表示"
xdotool key Return
sleep 0.5
import -window "$search" "$shots/personal-record.png"

xdotool mousemove --window "$search" 376 20 click 1 # "登録者データ表"
sleep 0.5
import -window "$search" "$shots/registrant-table.png"

xdotool mousemove --window "$search" 744 20 click 1
type_enter 2005
type_enter 4 # Enter moves to "月別被曝一覧表"
xdotool key Return
sleep 0.5
import -window "$search" "$shots/monthly-list.png"

# Each report left its mark on the surface: the screenshots differ from one another.
[ "$(md5sum "$shots"/{personal-record,registrant-table,monthly-list}.png | cut -d' ' -f1 | sort -u | wc -l)" -eq 3 ] \
    || fail "the reports were not all drawn"
[ -z "$(ls "$data" | grep -v -e '^被曝Data$' -e '^登録者名.txt$')" ] || fail "the search window wrote files"
echo "1 passed, 0 failed"
