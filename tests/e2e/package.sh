#!/usr/bin/env bash
# The package: what `cmake --install` puts on the system, checked file by file and by the desktop,
# AppStream and Debian checkers; then the .deb of scripts/package installed with apt, its program
# answering --version from /usr/bin, and removed again. Usage: package.sh BUILD_DIR
set -euo pipefail
build="$1"
fail() { echo "FAIL: $*"; exit 1; }
id=jp.velmora.Velmora
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT

DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
for file in bin/velmora share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
            share/icons/hicolor/scalable/apps/$id.svg share/icons/hicolor/256x256/apps/$id.png \
            share/icons/hicolor/16x16/apps/$id.png share/man/man1/velmora.1.gz \
            share/doc/velmora/copyright share/doc/velmora/changelog.gz; do
    [ -f "$root/usr/$file" ] || fail "/usr/$file is not installed"
done
grep -qx 'Name\[ja\]=個人被曝線量管理' "$root/usr/share/applications/$id.desktop" || fail "no Japanese name in the menu entry"
desktop-file-validate "$root/usr/share/applications/$id.desktop" || fail "the desktop entry is not valid"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" >/dev/null || fail "the metainfo is not valid"
[ "$("$root/usr/bin/velmora" --version)" = "Velmora 1.0.0" ] || fail "the installed program does not answer --version"
# The dose totals from the command line: a folder without a store is an error on standard error.
mkdir -p "$root/empty"
if "$root/usr/bin/velmora" --dose-totals 2025 --data-dir "$root/empty" >"$root/out.csv" 2>"$root/err.txt"; then
    fail "--dose-totals reported success without a registrant list"
fi
grep -q '登録者名.txt' "$root/err.txt" || fail "--dose-totals did not say why: $(cat "$root/err.txt")"
[ ! -s "$root/out.csv" ] || fail "--dose-totals wrote a CSV without a registrant list"
printf ' 1 \r\n\x8e\x52\x93\x63\r\n' >"$root/empty/登録者名.txt" # 山田, whose file is missing
status=0
"$root/usr/bin/velmora" --dose-totals 2025 --data-dir "$root/empty" --output "$root/out.csv" 2>"$root/err.txt" ||
    status=$?
[ "$status" -eq 2 ] || fail "--dose-totals ended with $status, not 2, when a personal file could not be read"
[ "$(head -c 3 "$root/out.csv" | xxd -p)" = efbbbf ] || fail "the CSV does not start with a byte-order mark"
grep -q '^,山田,,2025,' "$root/out.csv" || fail "the CSV lacks the row of 山田: $(cat "$root/out.csv")"
grep -q '被曝Data/山田.dat' "$root/err.txt" || fail "the unreadable file was not named on standard error"
grep -qF 'data\-dir' <(zcat "$root/usr/share/man/man1/velmora.1.gz") || fail "the manual page lacks --data-dir"

(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/velmora_*_amd64.deb)
lintian --fail-on error "$deb" 2>&1 | grep -v 'root privileges' || true
lintian --fail-on error "$deb" >/dev/null 2>&1 || fail "lintian reports errors on $deb"
export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq "$deb" >/dev/null || fail "apt could not install $deb"
trap 'apt-get remove -y -qq velmora >/dev/null 2>&1 || true; rm -rf "$root"' EXIT
[ "$(/usr/bin/velmora --version)" = "Velmora 1.0.0" ] || fail "the program installed by apt does not answer --version"
[ -f /usr/share/applications/$id.desktop ] || fail "apt did not install the menu entry"
echo "1 passed, 0 failed"
