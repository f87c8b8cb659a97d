#!/usr/bin/env bash
# A user at a real X server: types the credentials, presses Enter, selects the first host with
# the keyboard, presses Delete, tries Esc on the question, confirms with Enter, closes the report
# with Enter. The simulator's
# request log must then hold exactly the two listings and the one delete request.
# Usage: usertest.sh PROGRAM SIMULATOR. Exits 77 (skipped) where Xvfb, xdotool or xdpyinfo is
# missing.
set -euo pipefail
program=$1
simulator=$2

for tool in Xvfb xdotool xdpyinfo; do
  if ! command -v "$tool" > /dev/null; then
    echo "SKIP: $tool is not installed (scripts/install-deps.sh installs it)"
    exit 77
  fi
done

# shellcheck source=scripts/lib/session.sh
source "$(dirname "$0")/../scripts/lib/session.sh"
session_begin
fail() {
  echo "FAIL: $*" >&2
  echo "request log:" >&2
  cat "$work/requests.log" >&2 || true
  exit 1
}

cat > "$work/account.txt" << 'ACCOUNT'
user tester
password s3cret:pw
dynamic first.zonara.example 192.0.2.1
dynamic second.zonara.example 192.0.2.2
static third.zweb.example 198.51.100.3
ACCOUNT

start_simulator "$simulator" --account "$work/account.txt" --log "$work/requests.log" ||
  fail "the simulator did not start"
start_xvfb 120 || fail "Xvfb did not start"
# The program as installed: the xcb platform, the simulator as its proxy.
start_program "$program"

focus() { # focus the window named $1
  focus_window "$(xdotool search --sync --onlyvisible --name "$1" | head -n 1)"
  sleep 0.3
}
wait_for_log() { # wait until the request log has $1 lines
  for _ in $(seq 200); do
    [ "$(wc -l < "$work/requests.log" 2> /dev/null || echo 0)" -ge "$1" ] && return 0
    sleep 0.05
  done
  fail "the log never reached $1 requests"
}

focus '^Zonara Manager by'
xdotool type --delay 20 'tester'
xdotool key Tab
xdotool type --delay 20 's3cret:pw'
xdotool key Return
wait_for_log 2
sleep 0.5
# From the password box: Tab to Retrieve, Tab to the host list, which takes the focus with no
# host selected; Home selects the first host. Tab twice more reaches Delete.
xdotool key Tab Tab Home Tab Tab Return
focus '^Sure\?$'
# Esc presses nothing: the question stays open until Yes.
xdotool key Escape
sleep 0.3
xdotool search --onlyvisible --name '^Sure\?$' > /dev/null || fail "Esc closed the question"
xdotool key Return
wait_for_log 3
focus '^Zonara - host deleted$'
xdotool key Return
sleep 0.5
# The report window is closed and the program goes on.
if xdotool search --onlyvisible --name '^Zonara - host deleted$' > /dev/null; then
  fail "the report window is still open"
fi

# The announcement (https) does not go through this proxy; only member requests are logged.
grep -v 'version.txt' "$work/requests.log" > "$work/member.log" || true
expected="GET http://members.zonara.example/nic/zonara tester
GET http://members.zonara.example/nic/statdns tester
GET http://members.zonara.example/nic/zonara?host_id=101;action=Delete tester"
if [ "$(cat "$work/member.log")" != "$expected" ]; then
  echo "expected:" >&2
  echo "$expected" >&2
  fail "the member service did not get exactly the expected requests"
fi
kill -0 "$program_pid" || fail "the program is gone"
echo "PASS: the member service got exactly the two listings and one delete"
