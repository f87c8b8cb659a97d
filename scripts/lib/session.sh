# shellcheck shell=bash
# Sourced by the scripts that run the program against the member-service simulator at an X
# server of their own (scripts/demo.sh, tests/usertest.sh, tests/packagetest.sh,
# bench/program_memory.sh). Source it, then call session_begin:
#
#   source "$(dirname "$0")/../scripts/lib/session.sh"
#   session_begin                      # $work: a fresh directory; cleanup on exit
#   start_simulator "$simulator" --account "$work/account.txt" --log "$work/requests.log" ||
#     fail "the simulator did not start"
#   start_xvfb 120 || fail "Xvfb did not start"
#   start_program "$program"           # at the simulator as its proxy, on the xcb platform
#   focus_window "$(wait_for_window '^Zonara Manager by')"
#
# session_begin         Makes $work (removed on exit) and starts $pids, the processes that
#                       end with the script. On exit, everything in $pids is ended and waited
#                       for, then session_cleanup_hook runs if the script defines it, then $work
#                       goes.
# start_simulator CMD [ARG...]
#                       Starts CMD ARG... (the simulator, or any server that prints "listening
#                       on 127.0.0.1:PORT") with its output in $work/simulator.out; sets
#                       $simulator_pid and $port. Returns 1 when no port is printed in 5 s.
# free_display FIRST    Prints the first X display number from FIRST on that nobody holds.
# start_xvfb FIRST [OPTION...]
#                       Starts Xvfb (1024x768x24, no TCP, no reset) at a free display from FIRST
#                       on, with OPTIONs added; waits until it answers and exports DISPLAY. Tries
#                       the next display when another program takes that one at the same moment.
#                       Log: $work/xvfb.log. Returns 1 when no server answers.
# start_window_manager  Starts openbox at $DISPLAY (for scripts that need one); log: $work/wm.log.
# start_weston WIDTH HEIGHT
#                       Starts weston in a WIDTHxHEIGHT window at $DISPLAY, its socket in
#                       $XDG_RUNTIME_DIR (exported: $work/runtime); waits until it listens. The
#                       programs start_program starts from then on run on Wayland, without
#                       DISPLAY. Log: $work/weston.log. Returns 1 when weston does not listen in 5 s.
# start_program PROGRAM [ARG...]
#                       Starts PROGRAM (a command, or a path) in $work with the simulator at $port as its http(s)
#                       proxy, no proxy exceptions and QT_QPA_PLATFORM=xcb (wayland after
#                       start_weston); appends its output to $work/program.log and sets $program_pid.
# wait_for_window NAME [TENTHS]
#                       Prints the id of the first visible window whose name matches the
#                       regular expression NAME, waiting up to TENTHS tenths of a second
#                       (default 100). Returns 1 when none shows.
# focus_window WINDOW [X Y]
#                       Puts the pointer (at X,Y in the window, default 5,5) and the keyboard
#                       focus on WINDOW: without a window manager the keyboard follows the
#                       pointer.

session_begin() {
  work=$(mktemp -d)
  pids=()
  platform=(QT_QPA_PLATFORM=xcb) # how start_program runs the program
  trap session_end EXIT
}

session_end() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2> /dev/null || true; done
  wait 2> /dev/null || true
  if declare -F session_cleanup_hook > /dev/null; then session_cleanup_hook || true; fi
  rm -rf "$work"
}

start_simulator() {
  "$@" > "$work/simulator.out" &
  simulator_pid=$!
  pids+=("$simulator_pid")
  for _ in $(seq 100); do grep -q '^listening on' "$work/simulator.out" 2> /dev/null && break; sleep 0.05; done
  port=$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$work/simulator.out")
  [ -n "$port" ]
}

free_display() {
  local display=$1
  while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
  echo "$display"
}

start_xvfb() {
  local display=$1 xvfb
  shift
  for _ in 1 2 3; do
    display=$(free_display "$display")
    # -noreset: the probe below is the server's first client, and a server that resets when its
    # last client leaves can refuse the program that connects in that moment.
    Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp -noreset "$@" > "$work/xvfb.log" 2>&1 &
    xvfb=$!
    for _ in $(seq 100); do
      if xdpyinfo -display ":$display" > /dev/null 2>&1; then
        pids+=("$xvfb")
        export DISPLAY=":$display"
        return 0
      fi
      kill -0 "$xvfb" 2> /dev/null || break
      sleep 0.1
    done
    kill "$xvfb" 2> /dev/null || true
    wait "$xvfb" 2> /dev/null || true
    display=$((display + 1))
  done
  return 1
}

start_window_manager() {
  openbox > "$work/wm.log" 2>&1 &
  pids+=($!)
}

start_weston() {
  mkdir -m 700 "$work/runtime"
  export XDG_RUNTIME_DIR=$work/runtime
  # No on-screen keyboard: weston would open one over the windows whenever a text box has the focus.
  printf '[input-method]\npath=\n' > "$work/weston.ini"
  weston --backend=x11-backend.so --width="$1" --height="$2" --socket=wayland-zonara \
    --config="$work/weston.ini" > "$work/weston.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 50); do
    if [ -S "$XDG_RUNTIME_DIR/wayland-zonara" ]; then
      platform=(-u DISPLAY WAYLAND_DISPLAY=wayland-zonara QT_QPA_PLATFORM=wayland)
      return 0
    fi
    sleep 0.1
  done
  return 1
}

start_program() {
  local command=$1
  shift
  # It runs in $work: a path relative to here is made absolute first.
  [[ $command == */* && $command != /* ]] && command=$PWD/$command
  (cd "$work" && exec env "${platform[@]}" http_proxy="http://127.0.0.1:$port" \
    https_proxy="http://127.0.0.1:$port" no_proxy="" NO_PROXY="" "$command" "$@") \
    >> "$work/program.log" 2>&1 &
  program_pid=$!
  pids+=("$program_pid")
}

wait_for_window() {
  local window
  for _ in $(seq "${2:-100}"); do
    window=$(xdotool search --onlyvisible --name "$1" 2> /dev/null | head -n 1) || true
    [ -n "$window" ] && { echo "$window"; return 0; }
    sleep 0.1
  done
  return 1
}

focus_window() {
  xdotool mousemove --window "$1" "${2:-5}" "${3:-5}" windowfocus --sync "$1"
}
