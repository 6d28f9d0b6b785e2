#!/usr/bin/env bash
# Velmoria on KDE Plasma's compositor: kwin_wayland --virtual (one 1024 x 768 output, no
# wallpaper, so black), run as an ordinary user beside a session bus of its own. KWin serves
# screenshots through its ScreenShot2 D-Bus interface and keys through its fake input, both
# opened to any client by its test variables. A session covers a GTK window and a key ends it;
# a GTK window that maps while it runs gets the keyboard from KWin, though our surface asks for
# it exclusively: the saver then ends, so that no key goes into a window the user cannot see.
#   kwin.sh SCR DLL MAKE-SPRITE KWIN-KEYS WORK
set -uo pipefail
scr=$1 dll=$2 make_sprite=$3 keys_tool=$4 work=$5
source "$(dirname "$0")/common.sh"
require_tools kwin_wayland dbus-daemon zenity
/usr/bin/python3 -c 'from gi.repository import Gio' 2>/dev/null || {
    echo "SKIP: python3-gi is not installed (screenshots through D-Bus)"
    exit 77
}
rm -rf "$work" && mkdir -p "$work"
# The copy drops the file capability (cap_sys_resource) that a container may refuse to grant.
prepare_wayland_root "/tmp/velmoria-kwin-$$" "$scr" "$dll" "$make_sprite" "$keys_tool" \
    "$(dirname "$0")/kwin_shot.py" "$(command -v kwin_wayland)" || {
    echo "SKIP: no ordinary user to run KWin as"
    exit 77
}
wayland_extra_env=("DBUS_SESSION_BUS_ADDRESS=unix:path=$wayland_runtime/bus"
    VELMORIA_AUDIO_SINK=fakesink)
wayland_command dbus-daemon --session --address="unix:path=$wayland_runtime/bus" --nofork
"${wayland_cmd[@]}" >"$work/dbus.log" 2>&1 &
private_display_pids=("$!" "${private_display_pids[@]}")
wait_until 10 test -S "$wayland_runtime/bus" || fail "no session bus"
wayland_command env KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1 \
    "$wayland_bin/kwin_wayland" --virtual --width 1024 --height 768 --socket velmoria-kwin
"${wayland_cmd[@]}" >"$work/kwin.log" 2>&1 &
private_display_pids=("$!" "${private_display_pids[@]}")
wayland_display=velmoria-kwin

kwin_shot() {
    on_wayland python3 "$wayland_bin/kwin_shot.py" "$wayland_root/shot.ppm" 2>/dev/null &&
        cp "$wayland_root/shot.ppm" "$1"
}
# A screenshot asked before the interface is there can leave KWin answering none.
wait_until 30 on_wayland gdbus wait --session --timeout 1 org.kde.KWin.ScreenShot2 &&
    wait_until 30 kwin_shot "$work/start.ppm" || {
    echo "SKIP: KWin did not start here: $(tail -n 5 "$work/kwin.log")"
    exit 77
}
on_wayland "$wayland_bin/make-sprite" "$wayland_home/.cache/q_sarn/Skorvane.bmp" || fail "no sprite"

# Waits (up to SECONDS) until a screenshot meets a shell condition on its pixel counts
# ($counts, and $dialog: pixels of GTK's window background); the last is kept in $work/CASE.ppm.
shot_meets() {
    shot_until "$1" "$work/${case_name// /-}.ppm" \
        'dialog=$(colour_pixels "$file" F6F5F4 1024x768+0+0); '"$2" kwin_shot
}
animated_over_window='[ "$dialog" -eq 0 ] && [ "$(kind_count blue "$counts")" -gt 20 ] &&
    [ "$(kind_count black "$counts")" -gt "$(($(kind_count all "$counts") / 2))" ]'
dialog_shown='[ "$dialog" -gt 1000 ]'

dialogs=()
# A GTK window with a text entry; what it holds is printed to $work/NAME.out once Enter closes it.
open_dialog() {
    wayland_command zenity --entry --title="$1" --text="$1"
    "${wayland_cmd[@]}" >"$work/$1.out" 2>/dev/null &
    dialogs+=("$!")
    private_display_pids=("$!" "${private_display_pids[@]}")
}
shell=""
start_session() {
    wayland_command "$wayland_bin/Velmoria.scr" /s
    "${wayland_cmd[@]}" >"$work/session-${case_name// /-}.err" 2>&1 &
    shell=$!
    private_display_pids=("$shell" "${private_display_pids[@]}")
}
renderer_running() { pgrep -f "^$wayland_bin/Velmoria.dll" >/dev/null; }
session_ended() { ! kill -0 "$shell" 2>/dev/null && ! renderer_running; }
type_keys() { on_wayland "$wayland_bin/kwin-keys" "$@"; }

case_name="a session covers a GTK window"
open_dialog under
shot_meets 30 "$dialog_shown" || fail "the GTK window did not show: $dialog pixels"
start_session
shot_meets 30 "$animated_over_window" || fail "not animated over the window: $counts, $dialog window pixels"
title_held Skorvane_VC || fail "no Skorvane_VC"

case_name="a key ends it"
type_keys x
wait_until 10 session_ended || fail "the session runs on after a key"
shot_meets 10 "$dialog_shown" || fail "the window is not seen again: $dialog pixels"

# KWin moves the keyboard to a window mapped after our surface, a few seconds after it opens.
case_name="a window mapped meanwhile ends it"
start_session
shot_meets 30 "$animated_over_window" || fail "not animated: $counts"
open_dialog hidden
if wait_until 30 session_ended; then
    shot_meets 10 "$dialog_shown" || fail "the new window is not seen: $dialog pixels"
    grep -q "keyboard to another window" "$work/session-${case_name// /-}.err" ||
        fail "no reason given: $(cat "$work/session-${case_name// /-}.err")"
else
    fail "the saver runs on while another window has the keyboard"
    type_keys --enter secret
    sleep 1
    grep -q secret "$work/hidden.out" && fail "the keys went into the hidden window"
    kill -TERM "$shell" 2>/dev/null
    wait_until 10 session_ended || fail "the session runs on after SIGTERM"
fi

finish "KWin"
