#!/usr/bin/env bash
# Zonara Manager as a user gets it: builds the Debian package, checks that it holds only the
# program's files, all under /usr, installs it with apt, checks the installed desktop entry and
# metainfo, runs the installed /usr/bin/zonara-manager under Xvfb against the member-service
# simulator (reached as the program's http_proxy), types credentials and presses Enter, checks
# that the main window opened and that both listings were requested, and removes the package
# again, also when a step fails.
# The package is scripts/package.sh's hardened build; lintian must find no error or warning.
# Usage: tests/packagetest.sh [BUILD_DIR] (default build, for the simulator). Needs root or
# sudo, as installing a package does; exits 77 (skipped) without either.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
package=zonara-manager
app_id=example.zmsoft.ZonaraManager

if [ "$(id -u)" -eq 0 ]; then
  sudo_cmd=()
elif command -v sudo > /dev/null && { [ -t 0 ] || sudo -n true 2> /dev/null; }; then
  sudo_cmd=(sudo)
else
  echo "SKIP: installing a package needs root or sudo (which could not ask for a password here)"
  exit 77
fi
apt_get() { "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -y -qq "$@"; }
is_installed() { dpkg-query -W -f='${Status}' "$package" 2> /dev/null | grep -q 'ok installed'; }

source scripts/lib/session.sh
session_begin
installed_here=0
session_cleanup_hook() {
  if [ "$installed_here" -eq 1 ] && is_installed; then
    echo "Removing the $package package after a failure."
    apt_get remove "$package" > /dev/null || true
  fi
}
fail() {
  echo "FAIL: $*" >&2
  for log in requests program xvfb; do
    [ -s "$work/$log.log" ] && { echo "$log log:" >&2; sed 's/^/  /' "$work/$log.log" >&2; }
  done
  exit 1
}

# The package: only the program's files, all under /usr, and what apt needs to know.
deb=$(bash scripts/package.sh | tail -n 1)
[ -f "$deb" ] || fail "scripts/package.sh made no package"
[ "$(basename "$deb")" = "${package}_1.0-1_amd64.deb" ] || fail "unexpected package name $deb"
dpkg -c "$deb" | awk '{print $6}' > "$work/contents"
if grep -Ev '^\./(usr(/.*)?)?$' "$work/contents"; then fail "the package holds files outside /usr"; fi
dpkg -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort > "$work/files"
cat > "$work/expected" << FILES
./usr/bin/zonara-manager
./usr/share/applications/$app_id.desktop
./usr/share/doc/$package/changelog.Debian.gz
./usr/share/doc/$package/copyright
./usr/share/icons/hicolor/32x32/apps/zonara-manager.png
./usr/share/icons/hicolor/scalable/apps/zonara-manager.svg
./usr/share/lintian/overrides/$package
./usr/share/man/man1/zonara-manager.1.gz
./usr/share/metainfo/$app_id.metainfo.xml
FILES
diff -u "$work/expected" "$work/files" || fail "the package does not hold exactly the program's files"
[ "$(dpkg-deb -f "$deb" Section)" = net ] || fail "section is not net"
[ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "no maintainer"
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "the dependencies miss Qt Widgets"
# Catches a missing copyright file, changelog or manual page, unhardened binaries, or a control
# file that disagrees with the metainfo: lintian's E: and W: lines (I: and P: are advice).
lintian --pedantic "$deb" > "$work/lintian.log" 2>&1 || true
if grep -E '^[EW]: ' "$work/lintian.log"; then fail "lintian reports errors or warnings"; fi

# Install as a user does. apt reads the file as its own unprivileged user: give it a copy it can
# read.
chmod 755 "$work"
cp "$deb" "$work/"
chmod 644 "$work/$(basename "$deb")"
if is_installed; then echo "Note: $package was installed already; this test replaces and removes it."; fi
installed_here=1
apt_get install "$work/$(basename "$deb")" > "$work/apt.log" 2>&1 || { cat "$work/apt.log" >&2; fail "apt could not install the package"; }
is_installed || fail "the package is not installed"
[ -x /usr/bin/zonara-manager ] || fail "/usr/bin/zonara-manager is missing"
# The hicolor theme's trigger refreshed the icon cache that menus look the icon up in.
cache=/usr/share/icons/hicolor/icon-theme.cache
if [ -f "$cache" ] && ! grep -aq 'zonara-manager' "$cache"; then
  fail "the icon cache does not hold the program's icon"
fi
bash packaging/validate.sh /usr/share/applications/$app_id.desktop \
  /usr/share/metainfo/$app_id.metainfo.xml || fail "the installed desktop metadata are not valid"

# The installed program against the simulator, at a real X server.
cat > "$work/account.txt" << 'ACCOUNT'
user packager
password pk:9
dynamic one.zonara.example 192.0.2.1
static two.zweb.example 198.51.100.2
ACCOUNT
start_simulator "$build/tools/zonara-member-simulator" --account "$work/account.txt" \
  --log "$work/requests.log" || fail "the simulator did not start"
start_xvfb 140 || fail "Xvfb did not start"

start_program /usr/bin/zonara-manager
window=""
restarted=0
for _ in $(seq 100); do
  window=$(wait_for_window '^Zonara Manager by' 1) && break
  # A fresh X server has been seen to refuse its first program once: try once more, and say so.
  if ! kill -0 "$program_pid" 2> /dev/null && [ "$restarted" -eq 0 ]; then
    echo "The program ended before its window showed; starting it again:" >&2
    sed 's/^/  /' "$work/program.log" >&2
    restarted=1
    start_program /usr/bin/zonara-manager
  fi
done
[ -n "$window" ] || fail "the main window did not open"
# The window belongs to the menu's entry (StartupWMClass).
xprop -id "$window" WM_CLASS | grep -q '"zonara-manager"' || fail "WM_CLASS is not zonara-manager"

focus_window "$window"
sleep 0.3
xdotool type --delay 20 'packager'
xdotool key Tab
xdotool type --delay 20 'pk:9'
xdotool key Return
for _ in $(seq 200); do grep -q 'statdns' "$work/requests.log" 2> /dev/null && break; sleep 0.05; done
grep -v 'version.txt' "$work/requests.log" > "$work/member.log" || true
expected="GET http://members.zonara.example/nic/zonara packager
GET http://members.zonara.example/nic/statdns packager"
[ "$(cat "$work/member.log")" = "$expected" ] || fail "the listings were not requested as expected"
kill "$program_pid" 2> /dev/null || true

# And away again, as a user removes it.
apt_get remove "$package" > "$work/apt.log" 2>&1 || { cat "$work/apt.log" >&2; fail "apt could not remove the package"; }
! is_installed || fail "the package is still installed"
[ ! -e /usr/bin/zonara-manager ] || fail "/usr/bin/zonara-manager is still there"
installed_here=0
echo "PASS: $(basename "$deb") installs, runs, lists the account's hosts and is removed again"
