#!/usr/bin/env bash
# Hosted by a screen-saver daemon, on an X server of its own: a small host window stands in for
# the daemon's (xscreensaver's settings preview, or its full-screen window). Given by
# "-window-id ID" or XSCREENSAVER_WINDOW, the renderer draws the live animation inside it, a
# mouse move does not end it, and SIGTERM to the shell (how the daemons end a hack) ends both
# programs at once; the host's destruction ends them too.
#
#   hosted.sh VELMORIA_SCR MAKE_SPRITE WORKDIR
source "$(dirname "$0")/common.sh"
scr=$1
make_sprite=$2
work=$3
rm -rf "$work" && mkdir -p "$work"
start_private_display || { echo "SKIP: no Xvfb"; exit 77; }
export XDG_CACHE_HOME="$work/cache" XDG_CONFIG_HOME="$work/config" VELMORIA_REGISTRY="$work/none.reg"
unset XSCREENSAVER_WINDOW
convert -size 320x200 xc:black "$work/host.png"

host_pid="" host=""
open_host() {  # a 320 x 200 window of another program
    display -title "host-$1" -geometry 320x200+40+40 "$work/host.png" >/dev/null 2>&1 &
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
wait_until 1 ended "$shell" || fail "SIGTERM did not end both programs within a second"
wait "$shell" 2>/dev/null
kill "$host_pid" 2>/dev/null

case_name="XSCREENSAVER_WINDOW, host destroyed"
open_host b
XSCREENSAVER_WINDOW=$host "$scr" >"$work/b.out" 2>&1 &
shell=$!
wait_until 20 find_renderer "$shell" || fail "no renderer started"
sleep 2
kill "$host_pid"
wait_until 5 ended "$shell" || fail "the programs outlived their host"
wait "$shell"
rc=$?
[ "$rc" = 0 ] || fail "the shell ended with $rc"
grep -q X11 "$work/b.out" && fail "the host's end was reported: $(cat "$work/b.out")"
case_name=""
finish "hosted"
