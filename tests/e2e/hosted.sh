#!/usr/bin/env bash
# Hosted by a screen-saver daemon, on an X server of its own: a small host window stands in for
# the daemon's (xscreensaver's settings preview, or its full-screen window). Given by
# "-window-id ID" or XSCREENSAVER_WINDOW, the renderer draws the live animation inside it, a
# mouse move does not end it, and SIGTERM to the shell (how the daemons end a hack) ends both
# programs at once; the host's destruction ends them too. One copy per monitor, as xscreensaver
# starts them: both draw, one plays the music, SIGTERM ends every program and the music.
#
#   hosted.sh VELMORIA_SCR MAKE_SPRITE WORKDIR
source "$(dirname "$0")/common.sh"
scr=$1
make_sprite=$2
work=$3
rm -rf "$work" && mkdir -p "$work"
start_private_display 1824x768 || { echo "SKIP: no Xvfb"; exit 77; }
two_monitors || fail "xrandr could not make two monitors"
export XDG_CACHE_HOME="$work/cache" XDG_CONFIG_HOME="$work/config" VELMORIA_REGISTRY="$work/none.reg"
unset XSCREENSAVER_WINDOW
convert -size 320x200 xc:black "$work/host.png"

host_pid="" host=""
open_host() {  # a 320 x 200 window of another program: NAME [X]
    display -title "host-$1" -geometry "320x200+${2:-40}+40" "$work/host.png" >/dev/null 2>&1 &
    host_pid=$!
    host=""
    wait_until 20 sh -c "xdotool search --onlyvisible --name '^host-$1\$' >/dev/null 2>&1" &&
        host=$(xdotool search --onlyvisible --name "^host-$1\$" | head -n 1)
    [ -n "$host" ] || fail "no host window"
}
# The renderer this shell started (other tests may run renderers from the same folder), and
# whether both have ended and been reaped.
renderer=""
find_renderer() { renderer=$(pgrep -P "$1" -f 'Velmoria\.dll$' | head -n 1) && [ -n "$renderer" ]; }
ended() { ! kill -0 "$1" 2>/dev/null && ! kill -0 "$renderer" 2>/dev/null; }

case_name="-window-id, SIGTERM"
open_host a
"$scr" -window-id "$host" >"$work/a.out" 2>&1 &
shell=$!
wait_until 20 find_renderer "$shell" || fail "no renderer started"
wait_for_drawing 10 "$host" 50 || fail "only ${lit:-0} lit pixels in the host window"
[ -z "$(xdotool search --name '^Skorvane_VC$' 2>/dev/null)" ] || fail "the renderer opened a window of its own"
xdotool mousemove 100 100 && sleep 0.3 && xdotool mousemove 600 500 && sleep 0.5
kill -0 "$renderer" 2>/dev/null || fail "a mouse move ended the hosted renderer"
kill -TERM "$shell"
wait_until 30 ended "$shell" || fail "SIGTERM did not end both programs"
wait "$shell" 2>/dev/null
kill "$host_pid" 2>/dev/null

case_name="XSCREENSAVER_WINDOW, host destroyed"
open_host b
XSCREENSAVER_WINDOW=$host "$scr" >"$work/b.out" 2>&1 &
shell=$!
wait_until 20 find_renderer "$shell" || fail "no renderer started"
sleep 2
kill "$host_pid"
wait_until 30 ended "$shell" || fail "the programs outlived their host"
wait "$shell"
rc=$?
[ "$rc" = 0 ] || fail "the shell ended with $rc"
grep -q X11 "$work/b.out" && fail "the host's end was reported: $(cat "$work/b.out")"
# One copy per monitor, started at the same moment, each with a music sink of its own.
case_name="two copies"
write_tone "$work/tone.wav" 20
write_music_settings "$XDG_CONFIG_HOME/velmoria/Velmoria.ini" "$work/tone.wav"
shells=() hosts=() host_pids=() renderers=()
for copy in 0 1; do
    open_host "copy$copy" $((40 + copy * 1060))
    hosts+=("$host") host_pids+=("$host_pid")
done
for copy in 0 1; do
    VELMORIA_AUDIO_SINK="audioconvert ! audio/x-raw,format=S16LE ! filesink sync=true location=$work/sink$copy.raw" \
        "$scr" -window-id "${hosts[$copy]}" >"$work/copy$copy.out" 2>&1 &
    shells+=($!)
done
for copy in 0 1; do
    renderer=""
    wait_until 20 find_renderer "${shells[$copy]}" || fail "copy $copy started no renderer"
    renderers+=("$renderer")
    wait_for_drawing 30 "${hosts[$copy]}" 50 || fail "only ${lit:-0} lit pixels in host $copy"
done
wait_until 10 sh -c "[ -s '$work/sink0.raw' ] || [ -s '$work/sink1.raw' ]" || fail "no copy plays"
playing=0
for copy in 0 1; do
    file_grows "$work/sink$copy.raw" 3 && playing=$((playing + 1))
done
[ "$playing" = 1 ] || fail "$playing copies play the music"
kill -TERM "${shells[@]}" 2>/dev/null
all_ended() { ! kill -0 "${shells[@]}" "${renderers[@]}" 2>/dev/null; }
wait_until 30 all_ended || fail "SIGTERM did not end both copies and their renderers"
for copy in 0 1; do
    file_grows "$work/sink$copy.raw" 3 && fail "the music of copy $copy plays on"
done
kill "${host_pids[@]}" 2>/dev/null

# A daemon's variable left in a terminal's environment does not make an ordinary run hosted:
# the renderer opens its own window and leaves the other program's window alone.
case_name="stale XSCREENSAVER_WINDOW"
open_host stale
XSCREENSAVER_WINDOW=$host "$scr" /s >"$work/stale.out" 2>&1 &
shell=$!
wait_until 60 sh -c 'xdotool search --onlyvisible --name "^Skorvane_VC\$" >/dev/null 2>&1' ||
    fail "the renderer showed no window of its own"
sleep 1
[ "$(lit_pixels "$host")" -lt 20 ] || fail "the renderer drew into the other program's window"
xdotool key Escape
wait_until 10 sh -c "! kill -0 $shell 2>/dev/null" || { fail "a key did not end the run"; kill "$shell"; }
wait "$shell" 2>/dev/null
kill "$host_pid" 2>/dev/null

# A shell killed outright (SIGKILL, the out-of-memory killer) takes its renderer with it.
case_name="shell killed"
open_host killed
"$scr" -window-id "$host" >"$work/killed.out" 2>&1 &
shell=$!
wait_until 20 find_renderer "$shell" || fail "no renderer started"
kill -KILL "$shell"
wait "$shell" 2>/dev/null
wait_until 30 sh -c "! kill -0 $renderer 2>/dev/null" || { fail "the renderer outlived its killed shell"; kill "$renderer"; }
kill "$host_pid" 2>/dev/null

# A run that cannot do its job ends with 1 and says why in one line, which a daemon logs.
case_name="failures"
mkdir -p "$work/lonely" && cp "$scr" "$work/lonely/Velmoria.scr"  # no renderer beside it
expect_failure() {  # EXPECTED-TEXT COMMAND...
    local want=$1 out rc
    shift
    out=$(timeout 30 "$@" 2>&1)
    rc=$?
    [ "$rc" = 1 ] || fail "'$*' ended with $rc, not 1"
    [ "$(printf '%s\n' "$out" | grep -c .)" = 1 ] && printf '%s' "$out" | grep -qF "$want" ||
        fail "'$*' said '$out', not one line with '$want'"
}
expect_failure "Velmoria.scr: cannot open the display :199" env DISPLAY=:199 "$scr" /s
expect_failure "Velmoria.scr: cannot open the display :199" env DISPLAY=:199 "$scr" -root
expect_failure "Velmoria.scr: not a window id: -5" "$scr" -window-id -5
expect_failure "Velmoria.scr: the host window 4242 is no window" "$scr" -window-id 4242
expect_failure "did not run" "$work/lonely/Velmoria.scr" /s
expect_failure "is no window" env XSCREENSAVER_WINDOW=4242 "$(dirname "$scr")/Velmoria.dll"
case_name=""
finish "hosted"
