#!/usr/bin/env bash
# velmoria-idle's GNOME backend against a stand-in for GNOME on a private session bus
# (dbus-run-session): fake-mutter-idle owns org.gnome.Mutter.IdleMonitor and
# org.gnome.SessionManager and fires the watches when told. Without a Wayland or X display the
# backend is chosen by itself and asks for an idle watch of the set time; a command starts when
# the watch fires, once per idle period, again after the user-active watch fires; nothing starts
# while the session manager says idle is inhibited; the monitor leaving the bus ends it with 1.
# (GNOME Shell itself runs in gnome.sh.)
#   idle_gnome_bus.sh IDLE FAKE_MUTTER_IDLE WORK
set -uo pipefail
if [ -z "${VELMORIA_IDLE_PRIVATE_BUS:-}" ]; then
    command -v dbus-run-session >/dev/null 2>&1 || { echo "SKIP: dbus-run-session is not installed"; exit 77; }
    VELMORIA_IDLE_PRIVATE_BUS=1 exec dbus-run-session -- "$0" "$@"
fi
idle=$1 fake=$2 work=$(realpath -m "$3")
source "$(dirname "$0")/common.sh"
rm -rf "$work" && mkdir -p "$work/run" && chmod 700 "$work/run"
export XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config"
unset DISPLAY WAYLAND_DISPLAY VELMORIA_IDLE_BACKEND

mkfifo "$work/commands"
"$fake" <"$work/commands" >"$work/fake.log" 2>&1 &
fake_pid=$!
exec 3>"$work/commands"
private_display_pids=("$fake_pid")
trap stop_private_processes EXIT
wait_until 20 grep -q ready "$work/fake.log" || { fail "no fake monitor: $(cat "$work/fake.log")"; finish "velmoria-idle on GNOME's bus"; }

starts_are() { [ "$(cat "$work/starts" 2>/dev/null | wc -l)" -eq "$1" ]; }
said() { grep -q "$1" "$work/idle.log"; }
times_said() { [ "$(grep -c "$1" "$work/idle.log")" -eq "$2" ]; }
tell() { echo "$1" >&3; }

case_name="the idle monitor is chosen and watched"
"$idle" --seconds 2 --command "echo started >>'$work/starts'" >"$work/idle.log" 2>&1 &
idle_pid=$!
private_display_pids=("$idle_pid" "${private_display_pids[@]}")
wait_until 20 said "watching idle time through gnome: after 2 s" || fail "not on gnome: $(cat "$work/idle.log")"
grep -qx "AddIdleWatch 2000" "$work/fake.log" || fail "no idle watch of 2000 ms: $(cat "$work/fake.log")"

case_name="the idle watch starts the command"
tell idle
wait_until 20 starts_are 1 || fail "not started: $(cat "$work/idle.log")"
wait_until 10 grep -q AddUserActiveWatch "$work/fake.log" || fail "no user-active watch"

case_name="once per idle period"
tell idle
sleep 1
starts_are 1 || fail "started twice in one period"

case_name="the user-active watch re-arms it"
tell active
wait_until 10 said "^velmoria-idle: active" || fail "no word of activity"
tell idle
wait_until 20 starts_are 2 || fail "not started again: $(cat "$work/idle.log")"

case_name="not while the session inhibits idle"
tell inhibit
tell active
wait_until 10 times_said "^velmoria-idle: active" 2 || fail "no word of activity"
tell idle
wait_until 20 said "not starting: the session inhibits idle" || fail "no word of the inhibition"
grep -qx "IsInhibited 8" "$work/fake.log" || fail "IsInhibited was not asked for idle (8)"
starts_are 2 || fail "started while inhibited"
tell uninhibit
tell active
wait_until 10 times_said "^velmoria-idle: active" 3 || fail "no word of activity"
tell idle
wait_until 20 starts_are 3 || fail "not started once no longer inhibited"

case_name="the monitor leaving the bus ends it"
kill "$fake_pid"
wait_until 20 sh -c '! kill -0 "$1" 2>/dev/null' sh "$idle_pid" || fail "still running"
wait "$idle_pid" 2>/dev/null
status=$?
[ "$status" -eq 1 ] || fail "exit code $status"
said "org.gnome.Mutter.IdleMonitor has left the session bus" || fail "no word: $(cat "$work/idle.log")"

finish "velmoria-idle on GNOME's bus"
