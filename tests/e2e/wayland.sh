#!/usr/bin/env bash
# Velmoria on Wayland without an X server: Debian's sway, headless (one 1024 x 768 output over a
# green desktop), run as an ordinary user. The renderer alone: chosen by itself, it covers the
# output with the animation (black, blue and orange trails) and a second output added with
# black, follows a new scale at full resolution, passes the animation on when its output is
# unplugged (a nested sway), takes the output VELMORIA_OUTPUT names, and ends by its exit rules
# (the mouse threshold from where the pointer entered, through a virtual pointer; Alt and F10 are
# the system's, a key ends it) and by SIGTERM; its frames paced on a 144 Hz output and none
# while its output shows nothing (the particle draws made free). Then whole sessions of the
# shell: the renderer started and watched through the title registry, a second start ending at
# once, a lock file planted by someone else refused, a key or
# SIGTERM ending both; the preview refused; the settings dialog on GTK's Wayland backend (the
# idle launcher has its own test, idle_wayland.sh). Then phoc (wlroots): the renderer covers its
# output and a key ends it. Last, weston (no layer-shell): both programs on XWayland.
#   wayland.sh SCR DLL MAKE-SPRITE WAYLAND-POINTER CHEAP-FRAMES-SHIM WORK
set -uo pipefail
scr=$1 dll=$2 make_sprite=$3 pointer_tool=$4 shim=$5 work=$6
source "$(dirname "$0")/common.sh"
require_sway
rm -rf "$work" && mkdir -p "$work"
start_private_sway "/tmp/velmoria-wayland-$$" "$scr" "$dll" "$make_sprite" "$pointer_tool" "$shim" ||
    { fail "sway did not start: $(tail -n 5 "$wayland_root/sway.log" 2>/dev/null)"; finish "Wayland"; }
on_wayland "$wayland_bin/make-sprite" "$wayland_home/.cache/q_sarn/Skorvane.bmp" ||
    fail "no sprite"

running() { kill -0 "$1" 2>/dev/null; }

# Waits (up to SECONDS) until a screenshot (of output NAME, or of all) meets a test of its pixel
# counts: `shot_meets SECONDS NAME TEST`, TEST a shell condition on $counts; the last screenshot
# is kept in $work/CASE.png and its counts in `counts`.
shot_meets() { shot_until "$1" "$work/${case_name// /-}.png" "$3" wayland_shot "$2"; }
black='[ "$(kind_count black "$counts")" -eq "$(kind_count all "$counts")" ]'
desktop='[ "$(kind_count green "$counts")" -eq "$(kind_count all "$counts")" ]'

renderer=""
start_renderer() {
    wayland_command "$wayland_bin/Velmoria.dll"
    "${wayland_cmd[@]}" >"$work/renderer-${case_name// /-}.err" 2>&1 &
    renderer=$!
    private_display_pids=("$renderer" "${private_display_pids[@]}")
}
# Types with a keyboard of wtype's own; the pause lets the renderer bind the new keyboard first.
type_keys() { on_wayland wtype -s 400 "$@"; }

# A virtual pointer of its own to the positions of the 1024 x 768 layout given.
move_pointer() { on_wayland "$wayland_bin/wayland-pointer" 1024x768 "$@"; }

case_name="renderer animates the output"
move_pointer 500,400  # where the pointer rests when the surfaces appear: the start
start_renderer
shot_meets 30 HEADLESS-1 "$animated" || fail "not animated: $counts"
title_held Skorvane_VC || fail "Skorvane_VC is not held"

# The start is where the pointer entered; each axis is judged alone, strictly.
case_name="moves of 50 pixels on an axis do not end it"
move_pointer 500,400 550,400 450,400 500,350 500,450 540,440 || fail "no virtual pointer"
sleep 1
running "$renderer" || fail "ended within the threshold"

case_name="a move of 51 pixels ends it"
move_pointer 500,400 500,451
ended_within 10 "$renderer" || fail "still running after 51 pixels"
title_held Skorvane_VC && fail "Skorvane_VC still held"

case_name="an output added is covered black"
start_renderer
shot_meets 30 HEADLESS-1 "$animated" || fail "not animated again: $counts"
on_wayland swaymsg create_output >/dev/null || fail "sway made no second output"
shot_meets 20 HEADLESS-2 "$black" || fail "HEADLESS-2 not black: $counts"
shot_meets 10 HEADLESS-1 "$animated" || fail "HEADLESS-1 no longer animated: $counts"

case_name="system keys do not end the renderer"
type_keys -M alt -s 100 -m alt
type_keys -k F10
sleep 1
running "$renderer" || fail "ended by Alt or F10"

case_name="a key ends the renderer"
type_keys x
ended_within 10 "$renderer" || fail "still running after a key"
[ "${status:-1}" -eq 0 ] || fail "exit code $status"
title_held Skorvane_VC && fail "Skorvane_VC still held"
shot_meets 10 HEADLESS-1 "$desktop" || fail "HEADLESS-1 does not show the desktop: $counts"
shot_meets 10 HEADLESS-2 "$desktop" || fail "HEADLESS-2 does not show the desktop: $counts"

case_name="VELMORIA_OUTPUT names the animated output"
wayland_extra_env=(VELMORIA_OUTPUT=HEADLESS-2)
start_renderer
wayland_extra_env=()
shot_meets 30 HEADLESS-2 "$animated" || fail "HEADLESS-2 not animated: $counts"
shot_meets 10 HEADLESS-1 "$black" || fail "HEADLESS-1 not black: $counts"

case_name="SIGTERM ends the renderer"
kill -TERM "$renderer"
ended_within 10 "$renderer" || fail "still running after SIGTERM"

# The output at 144 Hz sends its frame callbacks 144 times a second; with the particle draws
# made free only the pacing holds the renderer at 60.
swaps="$wayland_home/swaps"
start_counted_renderer() {
    rm -f "$swaps"
    wayland_extra_env=(LD_PRELOAD="$wayland_bin/$(basename "$shim")" VELMORIA_SWAP_COUNT_FILE="$swaps"
        "$@")
    start_renderer
    wayland_extra_env=()
    wait_until 30 sh -c '[ "$(cat "$1" 2>/dev/null || echo 0)" -ge 10 ]' sh "$swaps" ||
        fail "the renderer drew nothing"
}
# Full resolution on a scaled output: a picture drawn at logical size and scaled up by sway has
# every even column equal to the next; the animation's own pixels differ about as often within
# such pairs as across them.
full_resolution='read -r within across < <(column_pair_differences "$file") &&
    [ "$across" -gt 1000 ] && [ $((within * 4)) -gt "$across" ]'
column_pair_differences() {
    convert "$1" -depth 8 rgb:- | python3 -c '
import sys
data, width = sys.stdin.buffer.read(), int(sys.argv[1])
within = across = 0
for row in range(0, len(data), 3 * width):
    pixels = [data[i:i + 3] for i in range(row, row + 3 * width, 3)]
    within += sum(pixels[x] != pixels[x + 1] for x in range(0, width - 2, 2))
    across += sum(pixels[x + 1] != pixels[x + 2] for x in range(0, width - 2, 2))
print(within, across)' "$(identify -format %w "$1")"
}

case_name="a new scale is followed at full resolution"
start_renderer
shot_meets 30 HEADLESS-1 "$animated" || fail "not animated: $counts"
on_wayland swaymsg output HEADLESS-1 scale 2 >/dev/null || fail "sway did not scale HEADLESS-1"
shot_meets 20 HEADLESS-1 "$animated && $full_resolution" ||
    fail "not animated at full resolution: $counts; column pairs differ ${within:-?}, ${across:-?}"
on_wayland swaymsg output HEADLESS-1 scale 1 >/dev/null
kill -TERM "$renderer"
ended_within 10 "$renderer" || fail "still running after SIGTERM"

# An output unplugged while running: headless sway 1.7 cannot unplug one, so a second sway runs
# nested in the first, its outputs WL-1 and WL-2 being windows there; closing the window of WL-1
# destroys that output.
# A second sway nested in the first (WLR_BACKENDS=wayland): its outputs WL-1, WL-2 are windows
# of the outer one. `start_nested_sway N` starts one with N outputs and talks to it; `on_outer`
# and `on_nested` switch between them; `stop_nested_sway` ends it and talks to the outer again.
outer=("$wayland_display" "$wayland_ipc")
nested="" nested_connection=()
start_nested_sway() {
    local sockets_before
    sockets_before=$(ls "$wayland_runtime")
    wayland_command env WLR_BACKENDS=wayland WLR_WL_OUTPUTS="$1" WLR_RENDERER=pixman \
        WLR_LIBINPUT_NO_DEVICES=1 sway -c "$wayland_root/sway.conf"
    "${wayland_cmd[@]}" >"$work/nested-sway.log" 2>&1 &
    nested=$!
    private_display_pids=("$nested" "${private_display_pids[@]}")
    nested_socket() { comm -13 <(echo "$sockets_before") <(ls "$wayland_runtime") | grep -x "$1"; }
    wait_until 20 nested_socket 'wayland-[0-9]' >/dev/null &&
        wait_until 20 nested_socket "sway-ipc.*\.$nested\.sock" >/dev/null || return 1
    nested_connection=("$(nested_socket 'wayland-[0-9]')"
        "$wayland_runtime/$(nested_socket "sway-ipc.*\.$nested\.sock")")
    on_nested
}
on_outer() { wayland_display=${outer[0]} wayland_ipc=${outer[1]}; }
on_nested() { wayland_display=${nested_connection[0]} wayland_ipc=${nested_connection[1]}; }
stop_nested_sway() {
    kill "$nested" 2>/dev/null
    wait "$nested" 2>/dev/null
    on_outer
}

case_name="an output removed passes the animation on"
if start_nested_sway 2; then
    wayland_extra_env=(VELMORIA_OUTPUT=WL-1)
    start_renderer
    wayland_extra_env=()
    shot_meets 30 WL-1 "$animated" || fail "WL-1 not animated: $counts"
    shot_meets 10 WL-2 "$black" || fail "WL-2 not black: $counts"
    on_outer
    on_wayland swaymsg '[title="WL-1$"] kill' >/dev/null || fail "no window of WL-1 to close"
    on_nested
    wl1_gone() { ! on_wayland swaymsg -t get_outputs | grep -q '"WL-1"'; }
    wait_until 10 wl1_gone || fail "WL-1 was not removed"
    shot_meets 30 WL-2 "$animated" || fail "WL-2 not animated after WL-1 went: $counts"
    running "$renderer" || fail "the renderer ended with its output"
    title_held Skorvane_VC || fail "Skorvane_VC is no longer held"
    kill -TERM "$renderer"
    ended_within 10 "$renderer" || fail "still running after SIGTERM"
else
    fail "the nested sway did not start: $(tail -n 5 "$work/nested-sway.log")"
fi
stop_nested_sway

# An output that shows nothing sends no frame callbacks: no frames and no processor time until
# it shows again. (sway 1.7 turns no headless output off: `dpms off` leaves it on, so the
# nested sway's output is hidden instead, its window moved to the outer one's scratchpad.)
case_name="an output that shows nothing gets no frames"
if start_nested_sway 1; then
    start_counted_renderer
    on_outer
    on_wayland swaymsg '[title="WL-1$"] move scratchpad' >/dev/null || fail "WL-1 not hidden"
    sleep 1
    ticks=$(cpu_ticks "$renderer")
    hidden=$(swap_rate "$swaps" 3)
    ticks=$(($(cpu_ticks "$renderer") - ticks))
    echo "$case_name: $hidden frames/s, $ticks ticks of processor time in 3 s"
    number_is "$hidden" le 0.4 || fail "$hidden frames a second while the output shows nothing"
    [ "$ticks" -le 15 ] || fail "$ticks ticks of processor time in 3 s while nothing shows"
    shown=$(swap_count "$swaps")
    on_wayland swaymsg '[title="WL-1$"] scratchpad show' >/dev/null || fail "WL-1 not shown"
    wait_until 10 sh -c '[ "$(cat "$1")" -gt "$2" ]' sh "$swaps" "$shown" ||
        fail "no frames once the output shows again"
    kill -TERM "$renderer"
    ended_within 10 "$renderer" || fail "still running after SIGTERM"
else
    fail "the nested sway did not start: $(tail -n 5 "$work/nested-sway.log")"
fi
stop_nested_sway

case_name="VELMORIA_BACKEND=x11 without an X server"
wayland_extra_env=(VELMORIA_BACKEND=x11)
start_renderer
wayland_extra_env=()
ended_within 10 "$renderer" || fail "still running"
grep -q "cannot open the display" "$work/renderer-${case_name// /-}.err" ||
    fail "no reason given: $(cat "$work/renderer-${case_name// /-}.err")"

# ---- Sessions of the shell ----
sink="$wayland_home/music.raw"
write_tone "$wayland_home/tone.wav" 30
write_music_settings "$wayland_home/.config/velmoria/Velmoria.ini" "$wayland_home/tone.wav"
[ "$(id -u)" != 0 ] || chown -R "$wayland_user:" "$wayland_home"
wayland_extra_env=(
    "VELMORIA_AUDIO_SINK=audioconvert ! audio/x-raw,format=S16LE ! filesink sync=true location=$sink")
renderers() { pgrep -f "^$wayland_bin/Velmoria.dll" | wc -l; }
shell=""
start_session() {
    rm -f "$sink"
    wayland_command "$wayland_bin/Velmoria.scr" /s
    "${wayland_cmd[@]}" >"$work/shell-${case_name// /-}.err" 2>&1 &
    shell=$!
    private_display_pids=("$shell" "${private_display_pids[@]}")
    shot_meets 30 HEADLESS-1 "$animated" || fail "not animated: $counts"
    wait_until 20 file_grows "$sink" || fail "the music does not play"
}
# Both programs end within SECONDS: titles released, music stopped, the shell's exit code 0.
expect_both_ended() {
    wait_until "$1" sh -c '[ "$(pgrep -f "^$1/Velmoria.dll" | wc -l)" -eq 0 ]' sh "$wayland_bin" ||
        fail "the renderer is still running"
    ended_within "$1" "$shell" || fail "the shell is still running"
    [ "${status:-1}" -eq 0 ] || fail "the shell ended with $status"
    title_held Skorvane_VC && fail "Skorvane_VC still held"
    title_held Skorvane_Main && fail "Skorvane_Main still held"
    file_grows "$sink" 1 && fail "the music outlived the session"
}

case_name="a session draws and plays"
start_session
title_held Skorvane_Main || fail "Skorvane_Main is not held"
title_held Skorvane_VC || fail "Skorvane_VC is not held"
[ "$(renderers)" -eq 1 ] || fail "$(renderers) renderers"

case_name="a second start ends at once"
wayland_command "$wayland_bin/Velmoria.scr" /s
"${wayland_cmd[@]}" >/dev/null 2>&1 &
second=$!
ended_within 10 "$second" || fail "the second shell runs on"
sleep 1
[ "$(renderers)" -eq 1 ] || fail "$(renderers) renderers"

case_name="a key ends the renderer and the shell"
type_keys x
expect_both_ended 10

# A FIFO planted under a title's lock file: the shell neither blocks on it nor counts it as a
# window; it says why it cannot start and fails.
case_name="a planted lock file is refused"
planted="$wayland_runtime/velmoria-window-Skorvane_Main.lock"
rm -f "$planted" && mkfifo -m 666 "$planted"  # one the shell can open
wayland_command "$wayland_bin/Velmoria.scr" /s
"${wayland_cmd[@]}" >"$work/planted.err" 2>&1 &
planted_shell=$!
ended_within 10 "$planted_shell" || fail "the shell blocks on a FIFO"
[ "${status:-0}" -ne 0 ] || fail "a refused start ended with 0"
grep -q "not a regular file" "$work/planted.err" || fail "no reason given: $(cat "$work/planted.err")"
[ "$(renderers)" -eq 0 ] || fail "a renderer started"
rm -f "$planted"

case_name="SIGTERM to the shell ends both"
start_session
kill -TERM "$shell"
expect_both_ended 10

case_name="the preview ends at once"
wayland_command "$wayland_bin/Velmoria.scr" /p 1234
"${wayland_cmd[@]}" >"$work/preview.err" 2>&1 &
preview=$!
ended_within 10 "$preview" || fail "the preview runs on"
grep -q "no preview" "$work/preview.err" || fail "no message: $(cat "$work/preview.err")"

# GTK on its Wayland backend: the compositor places the window (no client can). Its title is
# held while it is open, so a second start ends at once; closing it ends the shell.
case_name="the settings dialog"
wayland_command "$wayland_bin/Velmoria.scr" /c
"${wayland_cmd[@]}" >"$work/dialog.err" 2>&1 &
dialog=$!
private_display_pids=("$dialog" "${private_display_pids[@]}")
dialog_shown() { on_wayland swaymsg -t get_tree | grep -q '"name": "<Velmoria>"'; }
wait_until 30 dialog_shown || fail "no dialog window in sway's tree"
title_held %3CVelmoria%3E || fail "<Velmoria> is not held"
wayland_command "$wayland_bin/Velmoria.scr" /s
"${wayland_cmd[@]}" >/dev/null 2>&1 &
second=$!
ended_within 10 "$second" || fail "a session started beside the dialog"
on_wayland swaymsg '[title="^<Velmoria>$"] kill' >/dev/null || fail "sway found no dialog to close"
ended_within 10 "$dialog" || fail "the shell runs on after its dialog closed"
title_held %3CVelmoria%3E && fail "<Velmoria> still held"

# Last on this sway, whose output then stays at 144 Hz.
case_name="60 frames a second on a 144 Hz output"
on_wayland swaymsg output HEADLESS-1 mode 1024x768@144Hz >/dev/null || fail "no 144 Hz mode"
on_wayland swaymsg -t get_outputs | grep -q '"refresh": 144000' || fail "the output is not at 144 Hz"
start_counted_renderer
rate=$(swap_rate "$swaps" 3)
echo "$case_name: $rate frames/s"
number_is "$rate" le 62 || fail "$rate frames a second"
number_is "$rate" gt 20 || fail "only $rate frames a second"
kill -TERM "$renderer"
ended_within 10 "$renderer" || fail "still running after SIGTERM"

case_name="the callbacks' rate without a limit"
start_counted_renderer VELMORIA_FRAME_LIMIT=0
rate=$(swap_rate "$swaps" 3)
echo "$case_name: $rate frames/s"
# What the machine allows beside sway's compositing; the figure is reported, not judged.
number_is "$rate" gt 10 || fail "only $rate frames a second at 144 Hz without a limit"
kill -TERM "$renderer"
ended_within 10 "$renderer" || fail "still running after SIGTERM"

# ---- phoc, wlroots' compositor for phones ----
# Headless beside sway, as the same user; without a shell its desktop is black. It names its
# socket itself and says which. (A [core] section in its file leaves it without a seat.)
case_name="phoc: the renderer covers the output and a key ends it"
if command -v phoc >/dev/null 2>&1; then
    printf '%s\n' '[output:HEADLESS-1]' 'mode = 1024x768' >"$wayland_root/phoc.ini"
    sway_display=$wayland_display wayland_display=""
    wayland_command env WLR_BACKENDS=headless WLR_RENDERER=pixman phoc -C "$wayland_root/phoc.ini"
    "${wayland_cmd[@]}" >"$work/phoc.log" 2>&1 &
    phoc=$!
    private_display_pids=("$phoc" "${private_display_pids[@]}")
    phoc_display() { sed -n "s/^Running compositor on wayland display '\(.*\)'$/\1/p" "$work/phoc.log"; }
    if wait_until 20 grep -q "^Running compositor on wayland display" "$work/phoc.log"; then
        wayland_display=$(phoc_display)
        start_renderer
        shot_meets 30 HEADLESS-1 "$animated" || fail "not animated: $counts"
        running "$renderer" || fail "ended before any input"
        type_keys x
        ended_within 10 "$renderer" || fail "still running after a key"
        [ "${status:-1}" -eq 0 ] || fail "exit code $status"
    else
        fail "phoc did not start: $(tail -n 5 "$work/phoc.log")"
    fi
    kill "$phoc" 2>/dev/null
    wait "$phoc" 2>/dev/null
    wayland_display=$sway_display
else
    echo "note: phoc is not installed; its case is left out"
fi

# ---- A compositor without layer-shell ----
# weston, headless with XWayland, stands for the desktops that offer no layer-shell (GNOME among
# them): both programs choose X11 there and run through XWayland. Headless weston has no seat,
# so input is not tried here (XWayland itself ends on synthetic pointer motion without one).
case_name="weston: the renderer on XWayland"
if command -v weston >/dev/null 2>&1 && command -v Xwayland >/dev/null 2>&1; then
    wayland_command weston --backend=headless-backend.so --use-pixman --width=1024 --height=768 \
        --xwayland --socket=weston-1 --idle-time=0
    "${wayland_cmd[@]}" >"$work/weston.log" 2>&1 &
    private_display_pids=("$!" "${private_display_pids[@]}")
    xwayland_display() { sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$work/weston.log"; }
    if wait_until 30 sh -c '[ -e "$1/weston-1" ]' sh "$wayland_runtime" &&
        wait_until 30 grep -q "xserver listening on display" "$work/weston.log"; then
        wayland_display=weston-1
        wayland_extra_env=("DISPLAY=$(xwayland_display)")
        # The size of the X window with that exact title on XWayland; waits up to 30 s for it.
        x_window() {
            local size="" tries=60
            while [ -z "$size" ] && [ "$tries" -gt 0 ]; do
                size=$(on_wayland xdotool search --name "^$1\$" getwindowgeometry 2>/dev/null |
                    sed -n 's/ *Geometry: //p' | head -n 1)
                [ -n "$size" ] || sleep 0.5
                tries=$((tries - 1))
            done
            echo "$size"
        }
        start_renderer
        geometry=$(x_window Skorvane_VC)
        [ "$geometry" = 1024x768 ] || fail "no full-screen Skorvane_VC on XWayland: '$geometry'"
        title_held Skorvane_VC && fail "Skorvane_VC held in the title registry"
        kill -TERM "$renderer"
        ended_within 10 "$renderer" || fail "still running after SIGTERM"

        case_name="weston: a session on XWayland"
        wayland_command "$wayland_bin/Velmoria.scr" /s
        "${wayland_cmd[@]}" >"$work/shell-weston.err" 2>&1 &
        shell=$!
        private_display_pids=("$shell" "${private_display_pids[@]}")
        [ "$(x_window Skorvane_VC)" = 1024x768 ] || fail "no full-screen Skorvane_VC on XWayland"
        [ -n "$(x_window Skorvane_Main)" ] || fail "no Skorvane_Main on XWayland"
        kill -TERM "$shell"
        ended_within 10 "$shell" || fail "the shell is still running"
        [ "${status:-1}" -eq 0 ] || fail "the shell ended with $status"
        wait_until 10 sh -c '[ "$(pgrep -f "^$1/Velmoria.dll" | wc -l)" -eq 0 ]' sh "$wayland_bin" ||
            fail "the renderer is still running"

        case_name="weston: Wayland forced without layer-shell"
        wayland_extra_env+=(VELMORIA_BACKEND=wayland)
        start_renderer
        ended_within 10 "$renderer" || fail "still running"
        [ "${status:-0}" -eq 1 ] || fail "exit code ${status:-?}"
        grep -q "zwlr_layer_shell_v1" "$work/renderer-${case_name// /-}.err" ||
            fail "no reason given: $(cat "$work/renderer-${case_name// /-}.err")"
        wayland_extra_env=()
    else
        fail "weston did not start: $(tail -n 5 "$work/weston.log")"
    fi
else
    echo "note: weston or Xwayland is not installed; the compositor without layer-shell is left out"
fi

finish "Wayland"
