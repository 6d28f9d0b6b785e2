#!/usr/bin/env bash
# Velmoria on GNOME Shell, which offers no layer-shell: `velmoria /s` runs on XWayland there.
# One headless GNOME Shell (tests/e2e/gnome_session.sh) for every case: the saver covers the whole
# screen, the shell's top bar included, and animates; with the pointer resting on the desktop
# before the start, moves within the mouse threshold leave it running and one past it ends it;
# a key, a click, a large move and SIGTERM end it. Given velmoria-idle, it starts the saver
# through Mutter's idle monitor after the set idle time, and again after the next one.
#   gnome.sh SCR DLL WORK [VELMORIA-IDLE]
set -uo pipefail
scr=$1 dll=$2 work=$3 idle=${4:-}
source "$(dirname "$0")/common.sh"
source "$(dirname "$0")/gnome_session.sh"
require_gnome_shell
rm -rf "$work" && mkdir -p "$work"
start_gnome_shell "/tmp/velmoria-gnome-$$" "$scr" "$dll" ${idle:+"$idle"} || finish "GNOME"
cp "$gnome_root/desktop.png" "$work/desktop.png"

running() { kill -0 "$1" 2>/dev/null; }
renderer_running() { pgrep -f "^$gnome_bin/Velmoria.dll" >/dev/null; }

# Waits (up to SECONDS: a screenshot and its count take a while on a busy machine) until a
# screenshot meets a test of its pixel counts (a shell condition on $counts); the last one is
# kept in $work/CASE.png, its counts in `counts`.
shot_meets() {
    shot="$work/${case_name// /-}.png"
    shot_until "$1" "$shot" "$2" gnome_shot
}
desktop='gnome_shows_desktop'

# Of the light pixels (the labels) of the top bar's rows in the desktop's screenshot, how many
# are still light in SHOT, and how many there were: "KEPT TOTAL".
top_bar_labels_kept() {
    python3 -c '
import subprocess, sys
def rgb(file):
    return subprocess.run(["convert", file, "-depth", "8", "rgb:-"], capture_output=True).stdout
desktop, shot, width = rgb(sys.argv[1]), rgb(sys.argv[2]), 1024
light = lambda data, i: min(data[i:i + 3]) > 180
labels = [i for i in range(0, width * 24 * 3, 3) if light(desktop, i)]
print(sum(1 for i in labels if light(shot, i)), len(labels))' "$work/desktop.png" "$1"
}
# How many pixels two screenshots differ in.
pixels_differ() {
    python3 -c '
import subprocess, sys
a, b = (subprocess.run(["convert", f, "-depth", "8", "rgb:-"], capture_output=True).stdout
        for f in sys.argv[1:3])
print(sum(1 for i in range(0, min(len(a), len(b)), 3) if a[i:i + 3] != b[i:i + 3]))' "$1" "$2"
}

shell=""
# Starts `velmoria /s` and waits until it animates the whole screen; returns 1 (a failure
# counted) when it does not, or ends first.
start_session() {
    gnome_command "$gnome_bin/Velmoria.scr" /s
    "${gnome_cmd[@]}" >"$work/shell-${case_name// /-}.err" 2>&1 &
    shell=$!
    private_display_pids=("$shell" "${private_display_pids[@]}")
    shot_meets 30 "! running $shell || $animated"
    if ! running "$shell"; then
        ended_within 1 "$shell"
        fail "ended by itself before any input (exit code ${status:-?})"
        shell=""
        return 1
    fi
    eval "$animated" || { fail "not animated all over: $counts"; return 1; }
}
# The shell (exit code 0) and its renderer end within SECONDS, and GNOME's desktop shows again.
expect_ended() {
    if [ -n "$shell" ]; then
        ended_within "$1" "$shell" || fail "the shell is still running"
        [ "${status:-1}" -eq 0 ] || fail "the shell ended with ${status:-?}"
    fi
    wait_until "$1" sh -c '! pgrep -f "^$1/Velmoria.dll" >/dev/null' sh "$gnome_bin" ||
        fail "the renderer is still running"
    shot_meets 10 "$desktop" || fail "GNOME's desktop does not show again: $counts"
}

# The pointer rests on the desktop, where XWayland has not seen it (it takes the screen's
# middle), before the start: the saver stays, and the mouse threshold counts from where the
# pointer rests.
case_name="the saver starts under a resting pointer"
gnome_pointer_to 216 166
if start_session; then
    case_name="moves within the threshold from where the pointer rests do not end it"
    gnome_input move 10,0 pause 0.3 move 0,10 pause 0.3 move -40,40  # to 50 below, 30 left
    sleep 1
    if running "$shell" && renderer_running; then
        case_name="a move past the threshold from there ends it"
        gnome_input move 0,1
    else
        fail "ended"
    fi
fi
expect_ended 10

case_name="the saver covers the screen and the top bar"
if start_session; then
    read -r kept labels < <(top_bar_labels_kept "$shot")
    echo "$case_name: $kept of the top bar's $labels label pixels still light"
    [ "$labels" -gt 50 ] || fail "no top bar labels on GNOME's desktop ($labels pixels)"
    [ $((kept * 10)) -lt "$labels" ] || fail "the top bar shows over the saver ($kept of $labels)"

    case_name="the saver animates"
    first="$work/first-frame.png"
    cp "$shot" "$first"
    sleep 0.5
    shot_meets 10 "$animated" || fail "not animated: $counts"
    differ=$(pixels_differ "$first" "$shot")
    echo "$case_name: $differ pixels changed"
    [ "$differ" -gt 500 ] || fail "only $differ pixels changed"

    case_name="a key ends it"
    gnome_input key x
fi
expect_ended 10

case_name="a click ends it"
start_session && gnome_input click
expect_ended 10

case_name="a large move ends it"
start_session && gnome_input move 300,200
expect_ended 10

case_name="SIGTERM to the shell ends it"
start_session && kill -TERM "$shell"
expect_ended 10

# velmoria-idle, which hears of idleness from Mutter's idle monitor here, with an idle time of
# 3 s from its settings file.
if [ -n "$idle" ]; then
    case_name="velmoria-idle starts the saver after the idle time"
    mkdir -p "$gnome_home/.config/velmoria"
    echo "VELMORIA_IDLE_SECONDS=3" >"$gnome_home/.config/velmoria/idle.conf"
    [ "$(id -u)" != 0 ] || chown -R "$wayland_user:" "$gnome_home/.config/velmoria"
    savers() { pgrep -f "^$gnome_bin/Velmoria.scr" | wc -l; }
    # Input just before, so the idle time counts from the start (an idle monitor's watch fires
    # at once for a user idle long enough already).
    gnome_input move 1,0
    gnome_command "$gnome_bin/$(basename "$idle")"
    "${gnome_cmd[@]}" >"$work/idle.err" 2>&1 &
    idler=$!
    private_display_pids=("$idler" "${private_display_pids[@]}")
    sleep 1
    [ "$(savers)" -eq 0 ] || fail "a saver within a second"
    shot_meets 30 "$animated" || fail "no saver: $counts; $(tail -n 3 "$work/idle.err")"

    case_name="a key ends the saver velmoria-idle started"
    gnome_input key x
    wait_until 10 sh -c '[ "$(pgrep -f "^$1/Velmoria" | wc -l)" -eq 0 ]' sh "$gnome_bin" ||
        fail "the saver is still running"
    running "$idler" || fail "velmoria-idle ended with it"

    case_name="velmoria-idle starts it again after the next idle time"
    shot_meets 30 "$animated" || fail "no second saver: $counts; $(tail -n 3 "$work/idle.err")"
    [ "$(savers)" -eq 1 ] || fail "$(savers) savers"

    case_name="SIGTERM ends velmoria-idle and its saver"
    kill -TERM "$idler"
    ended_within 10 "$idler" || fail "velmoria-idle is still running"
    wait_until 10 sh -c '[ "$(pgrep -f "^$1/Velmoria" | wc -l)" -eq 0 ]' sh "$gnome_bin" ||
        fail "its saver is still running"
fi

echo "GNOME: $SECONDS s"
finish "GNOME"
