#!/usr/bin/env bash
# The real printer path: a CUPS scheduler with a cups-pdf queue as the default printer; the monthly list
# of 33 registrants is printed through the program's own printer path and must arrive as two print jobs
# of one page each. Then the queue refuses jobs, is stopped, and refuses the user: each time the program
# must say so and save the pages as PDF files, and no job may wait in the queue.
# Usage: cups_print.sh PRINT_PROGRAM
set -euo pipefail
program="$1"
queue=VelmoraTestPDF
fail() { echo "FAIL: $*"; exit 1; }

started=""
if ! lpstat -r 2>/dev/null | grep -q 'is running'; then
    /usr/sbin/cupsd -f &
    started=$!
fi
previous_default=$(lpstat -d 2>/dev/null | sed -n 's/^system default destination: //p')
cleanup() {
    lpadmin -x "$queue" 2>/dev/null || true
    [ -n "$previous_default" ] && lpadmin -d "$previous_default" 2>/dev/null || true
    [ -n "$started" ] && kill "$started" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 100); do lpstat -r 2>/dev/null | grep -q 'is running' && break; sleep 0.1; done
lpstat -r | grep -q 'is running' || fail "the CUPS scheduler did not start"

cupsctl Browsing=No
lpadmin -p "$queue" -E -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd -o printer-is-shared=false
lpadmin -d "$queue"

# cups-pdf writes into "Out" of its configuration, with ${HOME} that of the printing user.
out=$(sed -n 's/^Out[[:space:]]\+//p' /etc/cups/cups-pdf.conf | tail -n 1)
out=${out:-'${HOME}/PDF'}
out=${out//\$\{HOME\}/$HOME}
mkdir -p "$out"
started_at=$(date +%s)
sleep 1 # documents of this run are newer than started_at

"$program" || fail "the pages did not go to the default printer"

printed() { find "$out" -name '*.pdf' -newermt "@$started_at"; }
for _ in $(seq 120); do
    [ -z "$(lpstat -o "$queue" 2>/dev/null)" ] && [ "$(printed | grep -c .)" -ge 2 ] && break
    sleep 0.5
done
[ -z "$(lpstat -o "$queue" 2>/dev/null)" ] || fail "jobs still waiting: $(lpstat -o "$queue")"
new=$(printed)
[ "$(echo "$new" | grep -c .)" -eq 2 ] || fail "expected two printed documents, found: $new"
while read -r pdf; do
    [ "$(pdfinfo "$pdf" | sed -n 's/^Pages:[[:space:]]*//p')" = 1 ] || fail "$pdf is not one page"
    rm -f "$pdf"
done <<< "$new"
# Refused: the program says why, with the exclamation icon, and saves the pages instead.
refused() { # SETUP... -- EXPECTED_TEXT
    local expected="$1"
    local said
    said=$("$program") && fail "printing reported success although $expected"
    [[ "$said" == failed:*"$expected"* ]] || fail "expected a failure naming \"$expected\", the program said: $said"
    [ -z "$(lpstat -o "$queue" 2>/dev/null)" ] || fail "a job waits in the queue: $(lpstat -o "$queue")"
    echo "refused as expected: $said" | head -n 1
}
cupsreject "$queue"
refused "が印刷を受け付けていないため、2ページをPDFファイルとして"
cupsaccept "$queue"
cupsdisable "$queue"
refused "が停止しているため、2ページをPDFファイルとして"
cupsenable "$queue"
lpadmin -p "$queue" -u deny:"$(id -un)"
refused "に印刷ジョブを送れませんでした"
lpadmin -p "$queue" -u allow:all
[ -z "$(printed)" ] || fail "a refused job was printed after all: $(printed)"
echo "4 passed, 0 failed"
