#!/usr/bin/env bash
# Memory of the program itself, on X (Xvfb), reaching the member-service simulator as its proxy:
# at rest; peak and after two Retrieves of 10,000 hosts; and hostile pages just under the 16 MiB
# the loader accepts, read as the announcement at start-up or as a listing. Figures come from
# /proc/PID/status: VmHWM (peak resident), VmRSS (resident now) and VmSize (address space), in MB.
# Usage: program_memory.sh PROGRAM SIMULATOR
# Exits 1 when a goal is missed: every page under 512 MB; 10,000 hosts at 72 MB or less; after a
# Retrieve of 10,000 hosts, resident memory within 15 MB of rest, the hosts' records included;
# address space at most 250 MB at rest and 320 MB after that Retrieve, so that an address-space
# limit a session may set (ulimit -v) does not cost listings.
set -euo pipefail
program=$1
simulator=$2

# shellcheck source=scripts/lib/session.sh
source "$(dirname "$0")/../scripts/lib/session.sh"
session_begin
start_xvfb 140 || { echo "Xvfb did not start" >&2; exit 1; }

# The accounts: 10,000 hosts, half of them static, and one host for the fault pages.
{
  echo "user bench"
  echo "password bench-pw"
  for i in $(seq 0 9999); do
    kind=dynamic
    [ "$i" -ge 5000 ] && kind=static
    echo "$kind host$i.zonara.example 192.0.$((i / 250)).$((i % 250)) wildcard"
  done
} > "$work/big.txt"
printf 'user bench\npassword bench-pw\ndynamic one.zonara.example 192.0.2.1\n' > "$work/small.txt"

# Hostile pages, each just under 15 MB.
page() { # page NAME UNIT
  yes "$2" | tr -d '\n' | head -c $((15000000 / ${#2} * ${#2})) > "$work/$1.html" || true
}
page br '<br>'
page tables '<table>'
page cells '<table><tr><td>'
page links '<a>'
page divs '<div>'

kb() { sed -n "s/^$2:[[:space:]]*\([0-9]*\) kB/\1/p" "/proc/$1/status"; }
mb() { awk -v kb="$1" 'BEGIN { printf "%.1f", kb / 1024 }'; }
cpu() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# Waits until the process has used no processor time for a second.
settle() {
  local last now still=0
  last=$(cpu "$1")
  for _ in $(seq 600); do
    sleep 0.2
    now=$(cpu "$1")
    if [ "$now" = "$last" ]; then still=$((still + 1)); else still=0; fi
    [ "$still" -ge 5 ] && return 0
    last=$now
  done
}

# run_program SIMULATOR-ARGUMENTS...: the simulator and the program on it; sets $program_pid.
run_program() {
  : > "$work/requests.log"
  # shellcheck disable=SC2086 # the simulator may be a command with arguments
  start_simulator $simulator --log "$work/requests.log" "$@" ||
    { echo "the simulator did not start" >&2; exit 1; }
  start_program "$program"
  window=$(xdotool search --sync --onlyvisible --name '^Zonara Manager by' | head -n 1)
  settle "$program_pid"
}
stop_program() {
  kill "$program_pid" "$simulator_pid" 2> /dev/null || true
  wait "$program_pid" "$simulator_pid" 2> /dev/null || true
}
# retrieve N: presses Retrieve and waits until the static listing has been asked for N times in
# all and the program is idle again.
retrieve() {
  focus_window "$window"
  xdotool key Return
  for _ in $(seq 600); do
    [ "$(grep -c statdns "$work/requests.log" || true)" -ge "$1" ] && break
    sleep 0.1
  done
  settle "$program_pid"
}
login() {
  focus_window "$window"
  sleep 0.3
  xdotool type --delay 10 bench
  xdotool key Tab
  xdotool type --delay 10 bench-pw
}

failed=0
check() { # check WHAT FIGURE-MB LIMIT-MB
  if awk -v f="$2" -v l="$3" 'BEGIN { exit !(f > l) }'; then
    echo "  MISSED: $1 $2 MB > $3 MB"
    failed=1
  fi
}

echo "Memory of $(basename "$program") on X (Xvfb), MB:"
run_program --account "$work/big.txt"
rest=$(kb "$program_pid" VmRSS)
rest_space=$(kb "$program_pid" VmSize)
login
retrieve 1
first_peak=$(kb "$program_pid" VmHWM)
first_after=$(kb "$program_pid" VmRSS)
first_space=$(kb "$program_pid" VmSize)
retrieve 2
second_peak=$(kb "$program_pid" VmHWM)
second_after=$(kb "$program_pid" VmRSS)
listed=$(grep -c 'statdns' "$work/requests.log" || true)
stop_program
echo "  at rest:                                $(mb "$rest"), address space $(mb "$rest_space")"
echo "  10,000 hosts, first Retrieve:  peak $(mb "$first_peak"), after $(mb "$first_after"), address space $(mb "$first_space")"
echo "  10,000 hosts, second Retrieve: peak $(mb "$second_peak"), after $(mb "$second_after")"
echo "  (static listing requested $listed times)"
check "peak with 10,000 hosts" "$(mb "$second_peak")" 72
check "address space at rest" "$(mb "$rest_space")" 250
check "address space after a Retrieve of 10,000 hosts" "$(mb "$first_space")" 320
# The goal allows 15 MB above rest besides the hosts' own records; this counts the records too.
check "after Retrieve" "$(mb "$second_after")" "$(mb $((rest + 15 * 1024)))"

# The hostile pages come from a server of their own, which answers every request with the page.
cat > "$work/serve.py" << 'SERVE'
import http.server, sys
body = open(sys.argv[1], "rb").read()
class Page(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    def do_GET(self):
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)
        with open(sys.argv[2], "a") as log:
            log.write("GET " + self.path + "\n")
    def log_message(self, *arguments):
        pass
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Page)
print("listening on 127.0.0.1:%d" % server.server_address[1], flush=True)
server.serve_forever()
SERVE
for name in br tables cells links divs; do
  simulator_program=$simulator
  simulator="python3 $work/serve.py $work/$name.html $work/requests.log"
  run_program
  simulator=$simulator_program
  login
  retrieve 1
  echo "  Retrieve of 15 MB of $(head -c 15 "$work/$name.html")...: peak $(mb "$(kb "$program_pid" VmHWM)"), after $(mb "$(kb "$program_pid" VmRSS)")"
  check "page $name" "$(mb "$(kb "$program_pid" VmHWM)")" 512
  stop_program
done
for fault in deep huge; do
  run_program --account "$work/small.txt" --fault "$fault"
  login
  retrieve 1
  echo "  Retrieve of the simulator's $fault page:       peak $(mb "$(kb "$program_pid" VmHWM)"), after $(mb "$(kb "$program_pid" VmRSS)")"
  check "fault $fault" "$(mb "$(kb "$program_pid" VmHWM)")" 512
  stop_program
done
exit "$failed"
