#!/usr/bin/env bash
# On sway, headless (skips, 77, without sway, swaymsg, wtype or jq): each window shows one title
# bar, sway's, and floats at its designed size; a dialog and a question keep the keyboard after
# the main window is focused as a click would; sway's kill ends the program.
# Usage: swaytest.sh PROGRAM SIMULATOR
set -euo pipefail && for t in sway swaymsg wtype jq grim setpriv; do command -v $t > /dev/null || exit 77; done
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" # Qt's Wayland plugin leaks at exit; see waylandtest.sh
# shellcheck source=scripts/lib/session.sh
source "$(dirname "$0")/../scripts/lib/session.sh" && session_begin
fail() { echo "FAIL: $*" >&2; cat "$work/program.log" "$work/requests.log" >&2 || true; exit 1; }
printf 'user u\npassword p\ndynamic a.zonara.example 192.0.2.1\n' > "$work/account"
start_simulator "$2" --account "$work/account" --log "$work/requests.log" || fail "no simulator"

# sway refuses to run as root: there it runs as nobody, in a runtime directory of its own.
mkdir -m 700 "$work/sway" "$work/runtime"
as_sway=()
[ "$(id -u)" -eq 0 ] && chmod 711 "$work" && chown nobody "$work/sway" && as_sway=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
printf 'output HEADLESS-1 resolution 1280x800\ndefault_border normal\nxwayland disable\n' > "$work/sway.conf"
chmod 644 "$work/sway.conf"
"${as_sway[@]}" env -i HOME="$work/sway" XDG_RUNTIME_DIR="$work/sway" PATH="$PATH" WLR_BACKENDS=headless \
  WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman sway -c "$work/sway.conf" > "$work/sway.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -S "$work/sway/wayland-1" ] && break; sleep 0.1; done
export SWAYSOCK WAYLAND_DISPLAY=$work/sway/wayland-1 XDG_RUNTIME_DIR=$work/runtime
SWAYSOCK=$(ls "$work"/sway/sway-ipc.*.sock) || fail "sway did not start: $(cat "$work/sway.log")"
platform=(-u DISPLAY QT_QPA_PLATFORM=wayland SWAYSOCK="$SWAYSOCK" WAYLAND_DISPLAY="$WAYLAND_DISPLAY")
start_program "$1"

# The program's windows as sway holds them: name, floating or not, border, size, focus.
windows() { swaymsg -t get_tree | jq -c '.. | objects | select(.pid? != null) |
  {name, type, border, width: .window_rect.width, height: .window_rect.height, focused}'; }
focused() { windows | jq -r 'select(.focused) | .name'; }
wait_focused() { for _ in $(seq 30); do [ "$(focused)" = "$1" ] && return; sleep 0.1; done; fail "$2 (focused: $(focused))"; }
# wtype's keyboard brings a keymap of its own, which Qt takes a moment to read.
keys() { wtype -s 300 "$@" && sleep 0.5 && kill -0 "$program_pid" || fail "gone after $*"; }
sent() { for _ in $(seq 100); do grep -q "$1" "$work/requests.log" && sleep 1 && return; sleep 0.2; done; fail "$2"; }
# A click on the main window, as sway takes it: the keyboard moves there.
focus_main() { swaymsg '[title="^Zonara Manager by"] focus' > /dev/null; }

wait_focused "Zonara Manager by ZM Software" "the main window did not show"
main=$(windows | jq -c 'select(.name | startswith("Zonara Manager by"))')
# One title bar, sway's ("normal" border), around the designed client area (6435 by 4635 twips):
# a bar of the program's own would make the window taller.
[ "$(jq -r '[.type, .border, .width, .height] | join(" ")' <<< "$main")" = "floating_con normal 429 309" ] ||
  fail "not floating at its designed size with sway's frame: $main"
grim "$work/main.png" || true

keys u -k Tab p -k Return && sent statdns "no listing"
keys -k Tab -k Tab -k space -M alt -k d -m alt # the host, Delete
wait_focused "Sure?" "no question"
focus_main && sleep 0.5 && wait_focused "Sure?" "the question lost the keyboard"
keys -k Return && sent 'action=Delete' "no Delete after Yes" && keys -k Return
keys -M alt -k a -m alt && wait_focused "Add Zonara host..." "no Add dialog"
[ "$(windows | jq -r 'select(.name == "Add Zonara host...") | [.type, .border] | join(" ")')" = "floating_con normal" ] ||
  fail "the Add dialog is not floating with sway's frame: $(windows)"
focus_main && sleep 0.5 && wait_focused "Add Zonara host..." "the Add dialog lost the keyboard"
keys xyz -M alt -k a -m alt && sent 'host=xyz' "typed text did not reach the Add dialog" && keys -k Return

swaymsg '[title="^Zonara Manager by"] kill' > /dev/null
for _ in $(seq 50); do kill -0 "$program_pid" 2> /dev/null || break; sleep 0.1; done
kill -0 "$program_pid" 2> /dev/null && fail "kill did not end the program"
wait "$program_pid" || fail "the program ended with an error"
