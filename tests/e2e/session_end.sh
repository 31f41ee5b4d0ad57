#!/usr/bin/env bash
# A run that the system ends gives the entry lock up, so that other PCs are not kept out of data entry:
# SIGTERM (a shutdown), SIGHUP and SIGINT while data entry is open, and the X server going away (the end
# of the session). Usage: session_end.sh VELMORA_BINARY SCREENSHOT_DIR
binary="$1"
shots="$2"
source "$(dirname "$0")/lib.sh"
lock="$data/.velmora-entry.lock"

ends_without_lock() {
    for _ in $(seq 50); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$program" 2>/dev/null && fail "$1 did not end the program"
    [ ! -e "$lock" ] || fail "$1 left the entry lock behind"
    return 0
}

for signal in TERM HUP INT; do
    open_entry_window
    [ -e "$lock" ] || fail "data entry is open without the lock"
    kill -"$signal" "$program"
    ends_without_lock "SIG$signal"
done

open_entry_window
kill "$xvfb"
ends_without_lock "the end of the X session"
echo "4 passed, 0 failed"
