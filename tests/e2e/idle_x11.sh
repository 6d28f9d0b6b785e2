#!/usr/bin/env bash
# velmoria-idle on an X server without a saver daemon (MIT-SCREEN-SAVER), on an Xvfb of its own:
# a command of the test's starts after the set idle time (2 s) and not before, once per idle
# period, again after input (xdotool) and the next idle time; a player's XResetScreenSaver
# (xset s reset) holds it off; nothing starts while the settings dialog or another saver's
# window is there (windows of those titles, opened by shell-window). Then the real saver:
# started when idle, ended by a key, started again after the next idle time, and ended with
# velmoria-idle by SIGTERM (exit 0). Last, a wrong idle.conf and no display: a message and 2.
#   idle_x11.sh IDLE SCR DLL SHELL_WINDOW WORK
set -uo pipefail
idle=$1 scr=$2 dll=$3 shell_window=$4 work=$(realpath -m "$5")
source "$(dirname "$0")/common.sh"
require_tools Xvfb xdotool xset
rm -rf "$work" && mkdir -p "$work/bin" "$work/config/velmoria" "$work/cache" "$work/run"
chmod 700 "$work/run"
cp "$idle" "$scr" "$dll" "$work/bin/"
start_private_display 800x600 || { echo "FAIL: Xvfb did not start"; exit 1; }
export XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache" XDG_RUNTIME_DIR="$work/run"
export VELMORIA_REGISTRY="$work/none.reg"
unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS VELMORIA_IDLE_BACKEND
# No music.
printf '[Section]\r\nBGM\x8b\xe6\x95\xaa=0\r\nBGM\xd8\xcb\xdf\xb0\xc4=0\r\nBGM\xcc\xa7\xb2\xd9=\r\n' \
    >"$work/config/velmoria/Velmoria.ini"

starts() { cat "$work/starts" 2>/dev/null | wc -l; }
starts_are() { [ "$(starts)" -eq "$1" ]; }
said() { grep -q "$1" "$work/idle.log"; }
input() { xdotool mousemove --sync $((RANDOM % 700 + 50)) $((RANDOM % 500 + 50)); }
idle_pid=""
start_idle() {
    input
    "$work/bin/velmoria-idle" "$@" >"$work/idle.log" 2>&1 &
    idle_pid=$!
    private_display_pids=("$idle_pid" "${private_display_pids[@]}")
}

case_name="a command starts after the idle time"
printf 'VELMORIA_IDLE_SECONDS=2\n' >"$work/config/velmoria/idle.conf"
start_idle --command "echo started >>'$work/starts'"
sleep 0.5
starts_are 0 || fail "started within half a second of a 2-second idle time"
wait_until 20 starts_are 1 || fail "not started: $(starts) starts"
said "watching idle time through x11: after 2 s" || fail "not on x11 for 2 s: $(cat "$work/idle.log")"

case_name="once per idle period"
sleep 2.5
starts_are 1 || fail "$(starts) starts in one idle period"

case_name="input, then the next idle time, starts it again"
input
wait_until 20 starts_are 2 || fail "not started again: $(starts) starts"

case_name="a player resetting the screen saver holds it off"
input
for _ in $(seq 6); do
    xset s reset
    sleep 0.5
done
starts_are 2 || fail "started while a player reset the screen saver"
wait_until 20 starts_are 3 || fail "not started after the player stopped: $(starts) starts"

case_name="not while the settings dialog is open"
"$shell_window" open '<Velmoria>' &
dialog=$!
wait_until 10 "$shell_window" exists '<Velmoria>' || fail "no dialog window"
input
wait_until 20 said "not starting: the settings dialog is open" || fail "no word of the dialog"
"$shell_window" close '<Velmoria>'
wait "$dialog" 2>/dev/null
starts_are 3 || fail "started with the dialog open"

case_name="not while another saver runs"
"$shell_window" open Skorvane_Main &
other=$!
wait_until 10 "$shell_window" exists Skorvane_Main || fail "no session window"
input
wait_until 20 said "not starting: a saver is already running" || fail "no word of the saver"
"$shell_window" close Skorvane_Main
wait "$other" 2>/dev/null
starts_are 3 || fail "started beside another saver"

case_name="SIGTERM ends it"
kill -TERM "$idle_pid"
ended_within 10 "$idle_pid" || fail "still running after SIGTERM"
[ "${status:-1}" -eq 0 ] || fail "exit code $status"

# The saver beside velmoria-idle, as installed.
case_name="the real saver starts when idle"
session_exists() { "$shell_window" exists Skorvane_Main; }
start_idle --seconds 2
wait_until 30 session_exists || fail "no saver session: $(cat "$work/idle.log")"
wait_until 30 "$shell_window" exists Skorvane_VC || fail "no renderer window"
said "starting $work/bin/Velmoria.scr /s" || fail "not the saver beside it: $(cat "$work/idle.log")"

case_name="a key ends the saver"
xdotool key x
wait_until 20 sh -c '! "$1" exists Skorvane_Main' sh "$shell_window" || fail "the saver runs on"

case_name="the saver starts again after the next idle time"
wait_until 30 session_exists || fail "no second session: $(cat "$work/idle.log")"

case_name="SIGTERM ends velmoria-idle and its saver"
saver=$(pgrep -f "^$work/bin/Velmoria.scr /s" | head -n 1)
[ -n "$saver" ] || fail "no saver process"
kill -TERM "$idle_pid"
ended_within 15 "$idle_pid" || fail "still running after SIGTERM"
[ "${status:-1}" -eq 0 ] || fail "exit code $status"
[ -z "$saver" ] || ! kill -0 "$saver" 2>/dev/null || fail "the saver was left running"
session_exists && fail "the session window is still there"

case_name="a wrong idle time in idle.conf"
printf '# mine\nVELMORIA_IDLE_SECONDS=5min\n' >"$work/config/velmoria/idle.conf"
message=$(timeout 20 "$work/bin/velmoria-idle" 2>&1)
status=$?
[ "$status" -eq 2 ] || fail "exit code $status"
grep -q 'idle.conf: line 2: VELMORIA_IDLE_SECONDS: "5min" is no idle time' <<<"$message" ||
    fail "message: $message"

case_name="no display"
rm -f "$work/config/velmoria/idle.conf"
message=$(env -u DISPLAY timeout 20 "$work/bin/velmoria-idle" 2>&1)
status=$?
[ "$status" -eq 2 ] || fail "exit code $status"
grep -q 'cannot tell when the user is idle here: .*x11: DISPLAY is not set' <<<"$message" ||
    fail "message: $message"

finish "velmoria-idle on X11"
