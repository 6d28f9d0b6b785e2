#!/usr/bin/env bash
# Every monitor saved: on an X server of its own, one 1824 x 768 screen split into two RandR
# monitors (the primary 1024 x 768 at 0,0, a second 800 x 600 at 1024,0), the root painted a
# known colour and another program's window open on the second monitor. While `Velmoria.scr /s`
# runs, neither monitor shows the root's colour or that window; the animation draws on the
# primary; a pointer move on the second monitor ends the saver; the desktop shows again
# afterwards. A monitor added while the saver runs is covered too. A mirror of the primary of
# another size (a projector) never hides the animation, and the black windows do not fight a
# program that raises itself over them. Bare and under openbox.
#   monitors.sh SCR DLL WORK SELF_RAISER
set -uo pipefail
scr=$1 dll=$2 work=$3 self_raiser=$4
source "$(dirname "$0")/common.sh"
command -v Xvfb >/dev/null 2>&1 || { echo "SKIP: no Xvfb"; exit 77; }
rm -rf "$work" && mkdir -p "$work/program"
cp "$scr" "$work/program/Velmoria.scr" && cp "$dll" "$work/program/Velmoria.dll"
export XDG_CACHE_HOME="$work/cache" XDG_CONFIG_HOME="$work/config" VELMORIA_REGISTRY="$work/none.reg"
desktop=3366CC  # the root's colour
window=CC6633   # the other program's window
primary=1024x768+0+0
convert -size 300x200 "xc:#$window" "$work/window.png"

session=""
start_saver() {
    xdotool mousemove 1000 400
    "$work/program/Velmoria.scr" /s >"$work/session.out" 2>&1 &
    session=$!
    wait_until 20 sh -c 'xdotool search --name "^Skorvane_VC\$" >/dev/null 2>&1' ||
        fail "no renderer window"
}
# No pixel of the desktop's or the window's colour on the monitors given, within SECONDS.
expect_covered() {
    local seconds=$1 shot="$work/shot.png" counts
    shift
    local tries=$((seconds * 2))
    while [ "$tries" -gt 0 ]; do
        import -window root "$shot" 2>/dev/null &&
            counts=$(colour_pixels "$shot" "$desktop" "$@"; colour_pixels "$shot" "$window" "$@") &&
            [ -z "$(echo "$counts" | grep -vx 0)" ] && return 0
        sleep 0.5
        tries=$((tries - 1))
    done
    fail "the desktop shows on $*: $(echo $counts) pixels of it"
}
expect_ended() {
    wait_until 10 sh -c "! kill -0 $session 2>/dev/null" || {
        fail "the saver is still running after $1"
        kill "$session" 2>/dev/null
    }
    wait "$session" 2>/dev/null
    pgrep -f "^$work/program/Velmoria.dll" >/dev/null && fail "a renderer outlived its shell"
}

run_case() {
    case_name=$1
    start_private_display 1824x768 || { fail "no private X server"; return; }
    two_monitors || fail "xrandr could not make two monitors"
    if [ "$1" != bare ] && ! start_window_manager "$1"; then
        echo "note: $1 is not installed or did not start; its case is left out"
        stop_private_processes
        private_display_pids=()
        return
    fi
    xsetroot -solid "#$desktop"
    display -title other -geometry 300x200+1300+100 "$work/window.png" >/dev/null 2>&1 &
    private_display_pids=("$!" "${private_display_pids[@]}")
    wait_until 20 sh -c 'xdotool search --onlyvisible --name "^other\$" >/dev/null 2>&1' ||
        fail "the other program's window did not open"

    start_saver
    wait_for_drawing 20 || fail "the renderer drew nothing"
    expect_covered 10 "$primary" "$second_monitor"
    # The threshold counts in screen pixels across monitors: 40 pixels onto the second monitor
    # do not end the saver, more do.
    xdotool mousemove 1040 400 && sleep 1
    kill -0 "$session" 2>/dev/null || fail "a move of 40 pixels ended the saver"
    xdotool mousemove 1400 300
    expect_ended "a move on the second monitor"
    local shot="$work/after.png"
    import -window root "$shot" 2>/dev/null
    [ "$(colour_pixels "$shot" "$desktop" "$second_monitor")" -gt 1000 ] ||
        fail "the desktop does not show again on the second monitor"

    # One monitor at the start; a second one added while the saver runs gets covered.
    xrandr --delmonitor second >/dev/null 2>&1
    start_saver
    wait_for_drawing 20 || fail "the renderer drew nothing"
    add_second_monitor || fail "xrandr could not add a monitor"
    expect_covered 10 "$second_monitor"
    xdotool key x
    expect_ended "a key"

    # A projector mirroring the primary at 1200 x 600: the animation still shows on all of the
    # primary, and the clone's part beyond it is black.
    xrandr --delmonitor second >/dev/null 2>&1
    xrandr --setmonitor clone 1200/317x600/158+0+0 none >/dev/null 2>&1 ||
        fail "xrandr could not add the clone"
    start_saver
    wait_for_drawing 20 || fail "the renderer drew nothing beside the clone"
    expect_covered 10 "$primary" 176x600+1024+0
    local lit
    import -window root "$shot" 2>/dev/null
    lit=$((512 * 384 - $(colour_pixels "$shot" 000000 "$primary")))
    [ "$lit" -gt 1000 ] || fail "the clone hides the animation: $lit lit pixels on the primary"

    # A window that raises itself whenever covered, over the clone's black part: each side
    # raises itself a bounded number of times in 5 s (without pacing it is thousands).
    local counts raised covered
    counts=$("$self_raiser" 150x150+1030+100 "$window" 5)
    raised=$(sed -n 's/.*raised=\([0-9]*\).*/\1/p' <<<"$counts")
    covered=$(sed -n 's/.*covered=\([0-9]*\).*/\1/p' <<<"$counts")
    echo "beside a self-raising window for 5 s ($case_name): $counts"
    [ -n "$raised" ] && [ "$raised" -le 20 ] && [ "$covered" -le 20 ] ||
        fail "the black window fights a self-raising one: $counts"
    [ "${covered:-0}" -ge 1 ] || fail "the black window never answered the self-raising one"
    kill -0 "$session" 2>/dev/null || fail "the saver ended beside the self-raising window"
    xdotool key x
    expect_ended "a key"
    xrandr --delmonitor clone >/dev/null 2>&1
    stop_private_processes
    private_display_pids=()
}

for case in bare openbox; do
    run_case "$case"
done
case_name=""
finish "monitors"
