#!/usr/bin/env bash
# A user at a real X server: types the credentials, presses Enter, selects the first host with
# the keyboard, presses Delete, tries Esc on the question, confirms with Enter, closes the report
# with Enter. The simulator's
# request log must then hold exactly the two listings and the one delete request.
# Usage: usertest.sh PROGRAM SIMULATOR. Exits 77 (skipped) where Xvfb or xdotool is missing.
set -euo pipefail
program=$1
simulator=$2

for tool in Xvfb xdotool; do
  if ! command -v "$tool" > /dev/null; then
    echo "SKIP: $tool is not installed (scripts/install-deps.sh installs it)"
    exit 77
  fi
done

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2> /dev/null || true; done
  wait 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
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

"$simulator" --account "$work/account.txt" --log "$work/requests.log" > "$work/simulator.out" &
pids+=($!)
for _ in $(seq 100); do grep -q '^listening on' "$work/simulator.out" 2> /dev/null && break; sleep 0.05; done
port=$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$work/simulator.out")
[ -n "$port" ] || fail "the simulator did not start"

display=120
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=":$display"
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.05; done

# The program as installed: the xcb platform, the simulator as its proxy.
http_proxy="http://127.0.0.1:$port" https_proxy="http://127.0.0.1:$port" no_proxy="" \
  QT_QPA_PLATFORM=xcb "$program" > "$work/program.log" 2>&1 &
pids+=($!)

focus() { # focus the window named $1
  local window
  window=$(xdotool search --sync --onlyvisible --name "$1" | head -n 1)
  xdotool mousemove --window "$window" 5 5 windowfocus --sync "$window"
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
kill -0 "${pids[2]}" || fail "the program is gone"
echo "PASS: the member service got exactly the two listings and one delete"
