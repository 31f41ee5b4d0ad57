#!/usr/bin/env bash
# The layer check against includes planted one at a time in a copy of src/: each row a file, the line added
# to it, and whether the check must fail. The six rows marked "passed before" went through the check of old.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
while IFS='|' read -r file line expected; do
    rm -rf "$work/src"
    cp -r "$root/src" "$work/src"
    printf '%s\n' "$line" >>"$work/src/$file"
    if "$root/scripts/check-layers" --src "$work/src" >"$work/out" 2>&1; then got=passes; else got=fails; fi
    if [ "$got" != "$expected" ]; then
        echo "check-layers $got with \`$line\` in $file (expected: $expected)"
        cat "$work/out"
        failures=1
    fi
done <<'ROWS'
core/rules/DoseLimits.cpp|#include <gui/platform/Dialogs.h>|fails
core/rules/DoseLimits.cpp|#  include "gui/platform/Dialogs.h"|fails
gui/reports/TablePages.cpp|#include "gui/entry/Form2.h"|fails
gui/entry/Form2.cpp|#include "gui/totals/TotalsWindow.h"|fails
gui/totals/TotalsWindow.cpp|# include <gui/history/ChangeHistoryWindow.h>|fails
core/texts/Messages.cpp|#include "core/session/SharedState.h"|fails
core/files/Csv.cpp|#include "core/rules/DoseLimits.h"|fails
core/model/Calendar.cpp|#include "gui/platform/Clock.h"|fails
gui/entry/Form2.cpp|#include "Form2.h"|fails
gui/CMakeLists.txt|target_link_libraries(velmora_totals PUBLIC velmora_additions)|fails
gui/CMakeLists.txt|target_link_libraries(velmora_reports PUBLIC velmora_history)|fails
gui/archive/YearArchive.cpp|void forget() { QDir("x").removeRecursively(); }|fails
app/BackupSchedule.cpp|static const bool gone = QFile::remove("x");|fails
gui/totals/TotalsWindow.cpp|#include "gui/reports/PageText.h"|passes
app/Application.cpp|#include <QWidget>|passes
ROWS
# And the tree as it is.
"$root/scripts/check-layers" || failures=1
exit "$failures"
