#!/usr/bin/env bash
# velmoria-idle on Debian's sway, headless, run as an ordinary user: a command of the test's
# starts after the set idle time (2 s) and not before, again after a key (wtype) and the next
# idle time; an idle inhibitor on a shown window (wayland-idle-inhibitor, as a video player
# holds one) holds it off until it goes; a saver window of another process (its title held
# in the title registry) does too. Then the real saver, on Wayland: started when idle, ended by
# a key, started again after the next idle time, ended with velmoria-idle by SIGTERM (exit 0).
#   idle_wayland.sh IDLE SCR DLL INHIBITOR WORK
set -uo pipefail
idle=$1 scr=$2 dll=$3 inhibitor=$4 work=$(realpath -m "$5")
source "$(dirname "$0")/common.sh"
require_sway
rm -rf "$work" && mkdir -p "$work"
start_private_sway "/tmp/velmoria-idle-wayland-$$" "$idle" "$scr" "$dll" "$inhibitor" ||
    { fail "sway did not start: $(tail -n 5 "$wayland_root/sway.log" 2>/dev/null)"; finish "velmoria-idle on Wayland"; }
# No music.
printf '[Section]\r\nBGM\x8b\xe6\x95\xaa=0\r\nBGM\xd8\xcb\xdf\xb0\xc4=0\r\nBGM\xcc\xa7\xb2\xd9=\r\n' \
    >"$wayland_home/.config/velmoria/Velmoria.ini"
printf 'VELMORIA_IDLE_SECONDS=2\n' >"$wayland_home/.config/velmoria/idle.conf"
[ "$(id -u)" = 0 ] && chown -R "$wayland_user:" "$wayland_home"
starts="$wayland_home/starts"

starts_are() { [ "$(cat "$starts" 2>/dev/null | wc -l)" -eq "$1" ]; }
log="$wayland_root/idle.log"
said() { grep -q "$1" "$log"; }
# The pause lets a renderer bind the new keyboard first.
key() { on_wayland wtype -s 400 "${1:-x}"; }
idle_pid=""
start_idle() {
    key
    wayland_command "$wayland_bin/velmoria-idle" "$@"
    "${wayland_cmd[@]}" >"$log" 2>&1 &
    idle_pid=$!
    private_display_pids=("$idle_pid" "${private_display_pids[@]}")
}
# Starts a program of the compositor's user in the background; its pid in `started`.
start_beside() {
    wayland_command "$@"
    "${wayland_cmd[@]}" >"$wayland_root/beside.out" 2>&1 &
    started=$!
    private_display_pids=("$started" "${private_display_pids[@]}")
}

case_name="a command starts after the idle time"
start_idle --command "echo started >>'$starts'"
sleep 0.5
starts_are 0 || fail "started within half a second of a 2-second idle time"
wait_until 20 starts_are 1 || fail "not started: $(cat "$log")"
said "watching idle time through wayland: after 2 s" || fail "not on wayland: $(cat "$log")"

case_name="a key, then the next idle time, starts it again"
sleep 2.5
starts_are 1 || fail "started again in one idle period"
key
wait_until 20 starts_are 2 || fail "not started again: $(cat "$log")"

case_name="not while another saver runs"
start_beside python3 -c '
import fcntl, os, struct, sys, time
fd = os.open(sys.argv[1], os.O_RDWR | os.O_CREAT, 0o600)
fcntl.fcntl(fd, 37, struct.pack("hhqqixxxx", fcntl.F_RDLCK, 0, 0, 0, 0))  # F_OFD_SETLK
print("held", flush=True)
time.sleep(600)' "$wayland_runtime/velmoria-window-Skorvane_Main.lock"
holder=$started
wait_until 10 title_held Skorvane_Main || fail "the title is not held"
key
wait_until 20 said "not starting: a saver is already running" || fail "no word of the saver"
starts_are 2 || fail "started beside another saver"
kill "$holder"

case_name="SIGTERM ends it"
kill -TERM "$idle_pid"
ended_within 10 "$idle_pid" || fail "still running after SIGTERM"
[ "${status:-1}" -eq 0 ] || fail "exit code $status"

# A fresh run while the inhibitor holds: sway 1.7 neither counts input nor sends "resumed"
# while inhibited, so an idle period that began before would stay spent.
case_name="an idle inhibitor holds it off"
start_beside "$wayland_bin/wayland-idle-inhibitor"
inhibiting=$started
wait_until 20 grep -q inhibiting "$wayland_root/beside.out" || fail "no inhibitor: $(cat "$wayland_root/beside.out")"
start_idle --command "echo started >>'$starts'"
sleep 4
starts_are 2 || fail "started while inhibited"
kill "$inhibiting"
wait_until 20 starts_are 3 || fail "not started once the inhibitor went: $(cat "$log")"
kill -TERM "$idle_pid"
ended_within 10 "$idle_pid" || fail "still running after SIGTERM"

case_name="the real saver starts when idle"
start_idle
wait_until 30 title_held Skorvane_VC || fail "no renderer: $(cat "$log")"
title_held Skorvane_Main || fail "no session"

case_name="a key ends the saver"
key
wait_until 20 eval '! title_held Skorvane_Main' || fail "the saver runs on"

case_name="the saver starts again after the next idle time"
wait_until 30 title_held Skorvane_VC || fail "no second saver: $(cat "$log")"

case_name="SIGTERM ends velmoria-idle and its saver"
kill -TERM "$idle_pid"
ended_within 15 "$idle_pid" || fail "still running after SIGTERM"
[ "${status:-1}" -eq 0 ] || fail "exit code $status"
wait_until 10 eval '! title_held Skorvane_Main' || fail "the saver was left running"

finish "velmoria-idle on Wayland"
