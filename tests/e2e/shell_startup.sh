#!/usr/bin/env bash
# Velmoria.scr's start-up, natively (linux) or under Wine (wine): /a makes the work folder, reads
# the settings and ends; /p with no window to show in touches neither and ends; "S" and empty
# load the hidden window "Skorvane_Main" (and start the renderer) and end when it is closed;
# while a window titled "Skorvane_Main" or "<Velmoria>" exists every start ends at once. Uses
# the DISPLAY and WINEPREFIX it is given.
#   shell_startup.sh linux|wine SCR SHELL_WINDOW WORK RENDERER
set -uo pipefail
platform=$1 scr=$2 shell_window=$3 work=$4 renderer=$5
source "$(dirname "$0")/common.sh"
require_display
rm -rf "$work" && mkdir -p "$work"

if [ "$platform" = wine ]; then
    # The settings file is the user's own, in %APPDATA%; the work folder is C:\q_sarn.
    mkdir -p "$work/program"
    cp "$scr" "$work/program/Velmoria.scr"
    cp "$renderer" "$work/program/Velmoria.dll"
    ini=$(wine_user_settings)
    mkdir -p "$(dirname "$ini")"
    folder="${WINEPREFIX:?}/drive_c/q_sarn"
    scr_run() { timeout 30 "$wine_run" "$work/program/Velmoria.scr" "$@" >/dev/null 2>&1; }
    window() { "$wine_run" "$shell_window" "$@" >/dev/null 2>&1; }
else
    export XDG_CACHE_HOME="$work/cache" XDG_CONFIG_HOME="$work/config"
    mkdir -p "$XDG_CONFIG_HOME/velmoria"
    ini="$XDG_CONFIG_HOME/velmoria/Velmoria.ini"
    folder="$XDG_CACHE_HOME/q_sarn"
    scr_run() { timeout 30 "$scr" "$@" >/dev/null 2>&1; }
    window() { "$shell_window" "$@" >/dev/null 2>&1; }
fi
printf '[Section]\r\nBGM\x8b\xe6\x95\xaa=1\r\n' >"$ini"

# Whether a run read the settings file: its access time is put far back first, so that any read
# moves it (relatime updates an access time older than the file's change).
mark_unread() { touch -a -d '2000-01-01 00:00:00' "$ini"; }
was_read() { [ "$(stat -c %X "$ini")" -gt 946771200 ]; }
# On a file system mounted noatime nothing moves it: those checks are then left out.
mark_unread
cat "$ini" >/dev/null
if ! was_read; then
    echo "note: reads do not update access times here; whether the settings were read is not checked"
    was_read() { [ "${1:-}" = expected ]; }
fi

wait_for_window() {
    for _ in $(seq 1 100); do
        window exists "$1" && return 0
        sleep 0.2
    done
    return 1
}

# /a: work folder made, settings read, the program ends.
rm -rf "$folder"
mark_unread
scr_run /a || fail "/a did not end by itself"
[ -d "$folder" ] || fail "/a made no work folder"
if [ "$platform" = linux ] && [ "$(stat -c %a "$folder")" != 700 ]; then
    fail "the work folder's mode is $(stat -c %a "$folder"), not 700"
fi
was_read expected || fail "/a did not read the settings"

# /p: neither folder nor settings.
rm -rf "$folder"
mark_unread
scr_run /p 1234 || fail "/p 1234 did not end by itself"
[ -d "$folder" ] && fail "/p made the work folder"
was_read && fail "/p read the settings"

# Each marker title blocks every kind of start.
blocked_starts() {
    local title=$1
    for args in "/s" "" "/c" "/a" "/p 1234" "/p:1234"; do
        rm -rf "$folder"
        mark_unread
        # shellcheck disable=SC2086
        scr_run $args || fail "with \"$title\" open, start '$args' did not end at once"
        [ -d "$folder" ] && fail "with \"$title\" open, start '$args' made the work folder"
        was_read && fail "with \"$title\" open, start '$args' read the settings"
    done
}

# A session: the hidden window appears and the renderer with it; the window blocks the other
# starts, and its closing ends the program. The renderer lives on by itself: a click ends it
# (a click goes to the window under the pointer, whichever window Wine last gave the keyboard).
renderer_window() { xdotool search --name "^Skorvane_VC$" >/dev/null 2>&1; }
for session_args in "/s" ""; do
    # shellcheck disable=SC2086
    if [ "$platform" = wine ]; then
        timeout 60 "$wine_run" "$work/program/Velmoria.scr" $session_args >/dev/null 2>&1 &
    else
        timeout 60 "$scr" $session_args >/dev/null 2>&1 &
    fi
    session=$!
    if wait_for_window Skorvane_Main; then
        # Once the renderer draws it has read the sprite: the work folder may go.
        wait_until 30 renderer_window && wait_for_drawing 30 ||
            fail "the session '$session_args' started no renderer that draws"
        [ "$session_args" = "/s" ] && blocked_starts Skorvane_Main
        window close Skorvane_Main || fail "could not close the session window"
    else
        fail "start '$session_args' showed no window \"Skorvane_Main\""
    fi
    wait "$session"
    rc=$?
    [ "$rc" -eq 0 ] || fail "the session '$session_args' ended with $rc after its window was closed"
    sleep 1
    xdotool click 1
    wait_until 20 sh -c '! xdotool search --name "^Skorvane_VC$" >/dev/null 2>&1' ||
        fail "the renderer of '$session_args' did not end on a click"
done

# An open settings dialog, stood in for by a window of its title.
window open "<Velmoria>" &
dialog=$!
if wait_for_window "<Velmoria>"; then
    blocked_starts "<Velmoria>"
    window close "<Velmoria>"
else
    fail "the stand-in dialog window did not appear"
fi
wait "$dialog"

# A preview window blocks nothing.
window open "Preview Window" &
preview=$!
wait_for_window "Preview Window" || fail "the stand-in preview window did not appear"
rm -rf "$folder"
scr_run /a || fail "/a did not end with a preview window open"
[ -d "$folder" ] || fail "a preview window blocked /a"
window close "Preview Window"
wait "$preview"

finish "shell start-up ($platform)"
