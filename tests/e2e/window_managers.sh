#!/usr/bin/env bash
# Window searches, focus and stacking under real reparenting window managers from Debian, each on
# an X server of its own: openbox (frame, client) and fvwm (frame, parent, client). For each: a
# mapped "<Velmoria>" window and a session's hidden "Skorvane_Main" block a new start; the shell's
# search finds the renderer's "Skorvane_VC" while it runs and not after; the renderer covers the
# screen, draws, and ends with a key; its "Error" box is transient for it and stacked above it;
# the Windows renderer under Wine (openbox) closes with a key too. On a bare server with two monitors the
# renderer covers the primary one. Skipped (77) without Xvfb.
#   window_managers.sh SCR DLL SHELL_WINDOW MAKE_SPRITE WORK [WINDOWS_DLL]
set -uo pipefail
scr=$1 dll=$2 shell_window=$3 make_sprite=$4 work=$5 windows_dll=${6:-}
source "$(dirname "$0")/common.sh"
command -v Xvfb >/dev/null 2>&1 || { echo "SKIP: no Xvfb"; exit 77; }
rm -rf "$work" && mkdir -p "$work"
export XDG_CACHE_HOME="$work/cache" XDG_CONFIG_HOME="$work/config" VELMORIA_REGISTRY="$work/none.reg"
folder="$XDG_CACHE_HOME/q_sarn"
sprite="$folder/Skorvane.bmp"

exists() { "$shell_window" exists "$1" >/dev/null 2>&1; }
client_of() { xdotool search --name "^$1\$" 2>/dev/null | head -n 1; }
geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 }
        /Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h "+" x "+" y }'
}
# A start that a marker window must block: it ends at once without making the work folder.
expect_blocked() {
    rm -rf "$folder"
    timeout 20 "$scr" /a >/dev/null 2>&1 || fail "/a did not end at once"
    [ -d "$folder" ] && fail "$1 did not block a new start"
}
# Starts a renderer (its program and arguments) and waits until the shell's search finds it.
renderer_pid=""
start_renderer() {
    xdotool mousemove 300 300
    "$@" >/dev/null 2>"$work/renderer.err" &
    renderer_pid=$!
    wait_until 20 exists Skorvane_VC || fail "the shell's search never found Skorvane_VC"
    sleep 1
}
expect_renderer_ended() {
    wait_until 10 sh -c "! kill -0 $renderer_pid 2>/dev/null" || {
        fail "the renderer is still running after $1"
        kill "$renderer_pid" 2>/dev/null
    }
    wait "$renderer_pid"
    local rc=$?
    [ "$rc" -eq 0 ] || fail "the renderer ended with $rc after $1"
    wait_until 5 sh -c "! '$shell_window' exists Skorvane_VC" ||
        fail "the search still finds Skorvane_VC after $1"
}

under_window_manager() {
    local wm=$1
    case_name=$wm
    start_private_display || { fail "no private X server"; return; }
    if ! start_window_manager "$wm"; then
        echo "note: $wm is not installed or did not start; its cases are left out"
        return
    fi
    mkdir -p "$folder" && "$make_sprite" "$sprite"

    # A mapped settings-dialog window, reparented into a frame, blocks a new start.
    xmessage -title "<Velmoria>" -geometry +100+100 "dialog" >/dev/null 2>&1 &
    local dialog=$!
    wait_until 10 exists "<Velmoria>" || fail "the search did not find the mapped <Velmoria>"
    expect_blocked "a mapped <Velmoria>"
    kill "$dialog" 2>/dev/null
    wait "$dialog" 2>/dev/null

    # A session's hidden window blocks a new start.
    timeout 60 "$scr" /s >/dev/null 2>&1 &
    local session=$!
    wait_until 10 exists Skorvane_Main || fail "the search did not find the session's window"
    # The session's renderer reads the sprite after its window is up: the work folder stays
    # until it draws (a slow start would otherwise meet a missing sprite and its Error box).
    wait_until 20 exists Skorvane_VC && wait_for_drawing 20 ||
        fail "the session's renderer did not draw"
    expect_blocked "a session"
    "$shell_window" close Skorvane_Main >/dev/null 2>&1
    wait "$session" 2>/dev/null
    # The renderer lives on by itself until it is asked to close.
    "$shell_window" close Skorvane_VC >/dev/null 2>&1
    wait_until 10 sh -c "! '$shell_window' exists Skorvane_VC" ||
        fail "the session's renderer did not close"

    # The renderer: found, full screen, drawing, ended by a key.
    mkdir -p "$folder" && "$make_sprite" "$sprite"
    start_renderer "$dll"
    local window
    window=$(client_of Skorvane_VC)
    [ -n "$window" ] && [ "$(geometry "$window")" = "1024x768+0+0" ] ||
        fail "the renderer is at $(geometry "${window:-0}"), not over the screen"
    # The particles spread from a point: a loaded machine takes longer to light a hundred pixels.
    wait_for_drawing 20 || fail "only ${lit:-0} lit pixels"
    xdotool key x
    expect_renderer_ended "a key"

    # Without its sprite the renderer's Error box is transient for it and above it.
    rm -f "$sprite"
    xdotool mousemove 300 300
    "$dll" >/dev/null 2>&1 &
    renderer_pid=$!
    local box=""
    wait_until 20 sh -c 'xdotool search --name "^Error$" >/dev/null 2>&1' &&
        box=$(client_of Error)
    window=$(client_of Skorvane_VC)
    if [ -z "$box" ] || [ -z "$window" ]; then
        fail "no Error box over a renderer window"
    else
        local owner
        owner=$(xprop -id "$box" WM_TRANSIENT_FOR 2>/dev/null | grep -o '0x[0-9a-f]*')
        [ -n "$owner" ] && [ "$((owner))" -eq "$((window))" ] ||
            fail "the Error box is transient for '${owner:-nothing}', not the renderer ($window)"
        local stacking
        stacking=$(xprop -root _NET_CLIENT_LIST_STACKING | tr -d ',' | awk '{ $1 = $2 = $3 = $4 = ""; print }')
        local above
        above=$(python3 -c 'import sys; s = [int(w, 16) for w in sys.argv[1].split()]
b, r = int(sys.argv[2]), int(sys.argv[3])
print("yes" if b in s and r in s and s.index(b) > s.index(r) else "no")' "$stacking" "$box" "$window")
        [ "$above" = yes ] || fail "the Error box is not stacked above the renderer"
        xdotool key Return
        wait_until 10 sh -c '! xdotool search --name "^Error$" >/dev/null 2>&1' ||
            fail "Return did not dismiss the Error box"
        sleep 1
        xdotool key x
    fi
    expect_renderer_ended "the Error box and a key"
    "$make_sprite" "$sprite"

    # The Windows renderer under Wine gets the keyboard under openbox too. (fvwm's default
    # configuration gives the keyboard only on a click, which ends the renderer anyway.)
    if [ -n "$windows_dll" ] && [ "$wm" = openbox ]; then
        mkdir -p "$WINEPREFIX/drive_c/q_sarn" && "$make_sprite" "$WINEPREFIX/drive_c/q_sarn/Skorvane.bmp"
        xdotool mousemove 300 300
        "$wine_run" "$windows_dll" >/dev/null 2>&1 &
        renderer_pid=$!
        if wait_until 30 sh -c 'xdotool search --name "^Skorvane_VC$" >/dev/null 2>&1'; then
            sleep 2
            xdotool key x
            expect_renderer_ended "a key (Wine)"
        else
            fail "the Windows renderer showed no window"
            kill "$renderer_pid" 2>/dev/null
        fi
        rm -f "$WINEPREFIX/drive_c/q_sarn/Skorvane.bmp"
    fi
    stop_private_processes
    private_display_pids=()
}

for wm in openbox fvwm; do
    under_window_manager "$wm"
done

# Two monitors on a bare server, the primary one on the right: the renderer covers just that one.
case_name="two monitors"
if start_private_display; then
    xrandr --setmonitor '*right' 512/135x768/203+512+0 screen >/dev/null 2>&1 &&
        xrandr --setmonitor left 512/135x768/203+0+0 none >/dev/null 2>&1 ||
        fail "xrandr could not make two monitors"
    mkdir -p "$folder" && "$make_sprite" "$sprite"
    start_renderer "$dll"
    window=$(client_of Skorvane_VC)
    [ -n "$window" ] && [ "$(geometry "$window")" = "512x768+512+0" ] ||
        fail "the renderer is at $(geometry "${window:-0}"), not over the primary monitor"
    xdotool key x
    expect_renderer_ended "a key"
fi

case_name=""
finish "window managers"
