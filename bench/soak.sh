#!/usr/bin/env bash
# soak: a whole saver session left running for MINUTES (default 30), with figures taken 10 s
# after its first frame and at the end, to show that nothing grows over a long run. Linux:
# `Velmoria.scr /s` on an Xvfb of its own (1024x768) with private XDG folders, no frame limit
# (VELMORIA_FRAME_LIMIT=0), the particle draws made free by the cheap-frames shim (preloaded into
# the renderer only; it also counts the swaps), and a 1-s WAV looping into a file. With
# WINDOWS_BIN_DIR, beside it and at the same time: the Windows build under Wine on another Xvfb,
# in a prefix of its own ("FrameLimit" 0), its music written to a file through ALSA, its frames
# read from Wine's fps trace. A benchmark: it prints the figures, a start → end table and a
# verdict, and ends with 0.
#   bench/soak.sh BUILD_DIR [MINUTES] [WINDOWS_BIN_DIR]
set -uo pipefail
[ $# -ge 1 ] || { echo "usage: bench/soak.sh BUILD_DIR [MINUTES] [WINDOWS_BIN_DIR]"; exit 1; }
build=$(realpath "$1") minutes=${2:-30} windows_bin=${3:+$(realpath "$3")}
bench=$(cd "$(dirname "$0")" && pwd)
source "$bench/../tests/e2e/common.sh"
shim=$build/tests/libcheap-frames-shim.so
[ -x "$build/bin/Velmoria.scr" ] || { echo "soak: no $build/bin/Velmoria.scr"; exit 1; }
[ -f "$shim" ] || {
    echo "soak: no $shim (cmake --build --preset linux --target cheap-frames-shim)"
    exit 1
}
[ -z "$windows_bin" ] || [ -f "$windows_bin/Velmoria.scr" ] ||
    { echo "soak: no $windows_bin/Velmoria.scr"; exit 1; }
soak_seconds=$((minutes * 60))
work=$(mktemp -d /tmp/velmoria-soak.XXXXXX)
trap 'rm -rf "$work"' EXIT

now() { date +%s.%N; }
# (B - A) / (T1 - T0) with one decimal.
rate() {
    awk -v a="$1" -v b="$2" -v t0="$3" -v t1="$4" 'BEGIN { printf "%.1f", (b - a) / (t1 - t0) }'
}
# Prints text with each line led by the platform's name, in one write (the sessions run at once).
say() { sed "s/^/[$platform] /" <<<"$1"; }

# ---- One figure each; a process that has gone gives nothing ----
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status" 2>/dev/null; }
open_fds() { ls "/proc/$1/fd" 2>/dev/null | wc -l; }
thread_count() { awk '/^Threads:/ { print $2 }' "/proc/$1/status" 2>/dev/null; }
# The X server's resources of a process, all its connections: "WINDOWS PIXMAPS GCS PICTURES
# OTHER PIXMAP_KB CONNECTIONS", nothing without libXRes.
x_resources() { python3 "$bench/x_client_resources.py" "$1" 2>/dev/null | cut -d' ' -f2-; }
# Windows on the whole display (the session has it to itself): a check that needs no libXRes.
display_windows() { xwininfo -root -tree 2>/dev/null | grep -c '^ *0x'; }
music_bytes() { stat -c %s "$music_file" 2>/dev/null || echo 0; }
# Frames so far: the shim's count of swaps (Linux); under Wine, from Wine's fps trace, its last
# "total" rate since the first frame times the seconds since then (so about 1.5 s of frames
# either way).
frames_so_far() {
    if [ "$platform" = linux ]; then
        swap_count "$swap_file"
    else
        awk -v rate="$(wine_fps_trace total)" -v t0="$first_frame_time" -v t1="$(now)" \
            'BEGIN { printf "%d", rate * (t1 - t0) }'
    fi
}
# The last "approx" (the 1.5 s before) or "total" rate of Wine's fps trace.
wine_fps_trace() {
    grep -a 'trace:fps:' "$trace" | tail -n 1 | sed -n "s/.*$1 \([0-9.]*\)fps.*/\1/p"
}

# ---- Figures at one moment: lines "WHO FIGURE VALUE" into FILE ----
process_figures() {  # NAME PID
    local name=$1 pid=$2 windows pixmaps gcs pictures other pixmap_kb connections
    echo "$name RSS_kB $(rss_kb "$pid")"
    echo "$name fds $(open_fds "$pid")"
    echo "$name threads $(thread_count "$pid")"
    read -r windows pixmaps gcs pictures other pixmap_kb connections <<<"$(x_resources "$pid")"
    [ -n "$windows" ] || return 0
    echo "$name X_windows $windows"
    echo "$name X_pixmaps $pixmaps"
    echo "$name X_GCs $gcs"
    echo "$name X_pictures $pictures"
    echo "$name X_other $other"
    echo "$name X_pixmap_kB $pixmap_kb"
    echo "$name X_connections $connections"
}
# The session's rates are taken over the 2 s the figures take.
take_figures() {  # FILE
    local t0 t1 frames0 frames1 music0 music1 recent_fps
    t0=$(now) frames0=$(frames_so_far) music0=$(music_bytes)
    sleep 2
    t1=$(now) frames1=$(frames_so_far) music1=$(music_bytes)
    if [ "$platform" = linux ]; then
        recent_fps=$(rate "$frames0" "$frames1" "$t0" "$t1")
    else
        recent_fps=$(wine_fps_trace approx)
    fi
    {
        echo "session seconds $(awk -v a="$session_start" -v b="$t1" 'BEGIN { print int(b - a) }')"
        echo "session frames $frames1"
        echo "session frames/s_now ${recent_fps:-0}"
        echo "session music_bytes $music1"
        echo "session music_B/s_now $(rate "$music0" "$music1" "$t0" "$t1")"
        echo "session display_windows $(display_windows)"
        process_figures shell "$shell_pid"
        process_figures renderer "$renderer_pid"
        [ -z "${wineserver_pid:-}" ] || process_figures wineserver "$wineserver_pid"
    } >"$1"
}
# One moment's figures as a short table: the session's line, then one column a process.
show_figures() {  # TITLE FILE
    local session table
    session=$(awk '$1 == "session" { line = line sep $2 " " $3; sep = "  " }
                   END { print line }' "$2")
    table=$(awk '
        $1 == "session" { next }
        !($1 in column) { column[$1] = ++n; who[n] = $1 }
        !($2 in row) { row[$2] = ++m; figure[m] = $2 }
        { value[row[$2], column[$1]] = $3 }
        END {
            printf "%-16s", "figure"; for (i = 1; i <= n; i++) printf "%12s", who[i]; print ""
            for (j = 1; j <= m; j++) {
                printf "%-16s", figure[j]
                for (i = 1; i <= n; i++) printf "%12s", value[j, i]
                print ""
            }
        }' "$2")
    say "$1: $session
$table"
}
# Start → end of every figure, the rates over the run, and a verdict: a count that rose, pixmap
# memory that rose, or an RSS up by over 1 MB and 2 % is growth; so is a renderer that no longer
# draws or music that no longer plays at the end.
compare_figures() {  # START END
    awk '
        NR == FNR { first[$1 " " $2] = $3; next }
        {
            a = first[$1 " " $2] + 0; b = $3 + 0; d = b - a
            sign = d == int(d) ? "%+d" : "%+.1f"
            printf "%-12s %-16s %12s → %-12s " sign "\n", $1, $2, first[$1 " " $2], $3, d
            if ($1 == "session") {
                start[$2] = a; end[$2] = b
                if ($2 == "display_windows" && d > 0) grew = grew sprintf(" display_windows %+d", d)
            } else if ($2 == "RSS_kB") {
                if (d > 1024 && d > 0.02 * a) grew = grew sprintf(" %s RSS %+d kB", $1, d)
            } else if (d > 0) {
                grew = grew sprintf(" %s %s %+d", $1, $2, d)
            }
        }
        END {
            seconds = end["seconds"] - start["seconds"]
            printf "over the %d s between: %.1f frames/s, %.1f music bytes/s\n", seconds,
                (end["frames"] - start["frames"]) / seconds,
                (end["music_bytes"] - start["music_bytes"]) / seconds
            if (end["frames/s_now"] <= 0) grew = grew " (the renderer no longer draws)"
            if (end["music_B/s_now"] <= 0) grew = grew " (the music no longer plays)"
            if (grew == "")
                printf "verdict: nothing grew; it still draws (%s frames/s) and the music %s\n",
                    end["frames/s_now"], "still loops"
            else
                print "verdict: grew or stopped:" grew
        }' "$1" "$2"
}

# ---- The run: start figures 10 s after the first frame, end figures at MINUTES from the
# session's start, then a key ends it ----
run_soak() {
    local waited=0
    while [ -z "$renderer_pid" ] || ! session_drawing; do
        [ "$waited" -lt 1200 ] || { say "no renderer that draws after 120 s; see $dir"; return 1; }
        sleep 0.1
        waited=$((waited + 1))
        [ -n "$renderer_pid" ] || renderer_pid=$(find_renderer)
    done
    local drawing_since
    drawing_since=$(now)
    # Wine's server of the prefix: the one that serves the session, now that it draws.
    [ "$platform" != wine ] || wineserver_pid=$(wine_process wineserver)
    sleep_until "$drawing_since" 10
    take_figures "$dir/start"
    show_figures "start" "$dir/start"
    sleep_until "$session_start" $((soak_seconds - 2))
    take_figures "$dir/end"
    show_figures "end" "$dir/end"
    local ended=$SECONDS code
    xdotool key x
    wait_until 60 sh -c '! kill -0 "$1" 2>/dev/null' sh "$shell_pid"
    wait "$shell_pid" 2>/dev/null
    code=$?
    say "a key ended the session (the shell's exit code $code) within $((SECONDS - ended + 1)) s
start → end (the session's rates over the 2 s of each figure):
$(compare_figures "$dir/start" "$dir/end")" >"$dir/report"
}
sleep_until() {  # TIME SECONDS: until SECONDS after TIME
    local left
    left=$(awk -v s="$1" -v at="$2" -v t="$(now)" 'BEGIN { l = s + at - t; print (l > 0 ? l : 0) }')
    sleep "$left"
}

# ---- Linux ----
find_linux_renderer() {
    local pid
    for pid in $(pgrep -P "$shell_pid"); do
        [ "$(readlink "/proc/$pid/exe")" = "$dir/program/Velmoria-renderer" ] && echo "$pid"
    done
}
linux_drawing() { [ "$(swap_count "$swap_file")" -ge 10 ]; }
linux_session() {
    platform=linux dir=$work/linux renderer_pid=""
    mkdir -p "$dir/program"
    start_private_display 1024x768 || { say "no Xvfb"; return 1; }
    export XDG_CACHE_HOME=$dir/cache XDG_CONFIG_HOME=$dir/config VELMORIA_REGISTRY=$dir/none.reg
    export VELMORIA_FRAME_LIMIT=0
    music_file=$dir/music.raw swap_file=$dir/swaps
    local sink="filesink sync=true location=$music_file"
    export VELMORIA_AUDIO_SINK="audioconvert ! audio/x-raw,format=S16LE ! $sink"
    cp "$build/bin/Velmoria.scr" "$dir/program/Velmoria.scr"
    cp "$build/bin/Velmoria.dll" "$dir/program/Velmoria-renderer"
    # The shim goes into the renderer only: in the shell (and its GStreamer plugin scanner) it
    # would do nothing but write a count of 0 swaps from its exit handler.
    printf '#!/bin/sh\nexport LD_PRELOAD=%s VELMORIA_SWAP_COUNT_FILE=%s\nexec %s "$@"\n' \
        "$shim" "$swap_file" "$dir/program/Velmoria-renderer" >"$dir/program/Velmoria.dll"
    chmod +x "$dir/program/Velmoria.dll"
    write_tone "$dir/tone.wav" 1
    write_music_settings "$XDG_CONFIG_HOME/velmoria/Velmoria.ini" "$dir/tone.wav"
    xdotool mousemove 500 400
    session_start=$(now)
    "$dir/program/Velmoria.scr" /s 2>"$dir/shell.log" &
    shell_pid=$!
    find_renderer() { find_linux_renderer; }
    session_drawing() { linux_drawing; }
    run_soak
}

# ---- Windows under Wine ----
# The Linux process of our prefix that hosts a Windows program whose command line holds TEXT.
wine_process() {
    local pid
    for pid in $(pgrep -f "$1"); do
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" &&
            echo "$pid" && return 0
    done
    return 1
}
wine_drawing() {
    grep -aq 'trace:fps:' "$trace" || return 1
    [ -n "${first_frame_time:-}" ] || first_frame_time=$(now)
}
wine_session() {
    platform=wine dir=$work/wine renderer_pid=""
    mkdir -p "$dir/program"
    start_private_display 1024x768 || { say "no Xvfb"; return 1; }
    export WINEPREFIX=$dir/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    "$wine_run" --make-prefix || { say "could not make a Wine prefix"; return 1; }
    "$wine_run" reg add 'HKCU\Software\Orvek\Quendal Saver' /v FrameLimit /t REG_DWORD /d 0 /f \
        >/dev/null 2>&1
    # The session starts a server of its own, not one still ending after `reg`.
    wineserver -w
    cp "$windows_bin/Velmoria.scr" "$windows_bin/Velmoria.dll" "$dir/program/"
    music_file=$dir/music.raw trace=$dir/trace.log
    write_tone "$dir/tone.wav" 1
    write_music_settings "$(wine_user_settings)" "Z:${dir//\//\\}\\tone.wav"
    # Wine's sound goes to ALSA's default device: here a file, paced by a null device.
    printf 'pcm.!default {\n type file\n slave { pcm { type null } }\n file "%s"\n%s}\n' \
        "$music_file" ' format "raw"' >"$dir/alsa.conf"
    xdotool mousemove 500 400
    session_start=$(now)
    ALSA_CONFIG_PATH=$dir/alsa.conf WINEDEBUG=-all,trace+fps \
        "$wine_run" "$dir/program/Velmoria.scr" /s 2>"$trace" &
    shell_pid=$!
    find_renderer() { wine_process 'Velmoria\.dll'; }
    session_drawing() { wine_drawing; }
    run_soak
    wineserver -k 2>/dev/null
}

echo "soak: $minutes min of a saver session, figures 10 s after its first frame and at the end"
echo "  RSS_kB: VmRSS; fds: open descriptors (/proc/PID/fd); threads: /proc/PID/status"
if python3 -c 'import ctypes; ctypes.CDLL("libXRes.so.1")' 2>/dev/null; then
    echo "  X_*: the X server's resources of each process, all its connections (X-Resource" \
        "extension through libXRes); display_windows: the display's windows (xwininfo)"
else
    echo "  X resources per process: not measured (no libXRes.so.1, Debian package libxres1);" \
        "display_windows: the display's windows (xwininfo)"
fi
echo "  frames: swaps counted by the cheap-frames shim (Linux); Wine's fps trace (Wine, ≈)"
[ -z "$windows_bin" ] || echo "  Wine: the processes are the Linux ones hosting Velmoria.scr and" \
    "Velmoria.dll; handle and GDI/USER counts are not measured (Wine's wmic has no HandleCount," \
    "its tasklist prints nothing, GetGuiResources is a stub): the wineserver, where every" \
    "handle's object lives, stands in for them"
( linux_session ) &
linux_job=$!
if [ -n "$windows_bin" ]; then
    ( wine_session ) &
    wait $!
fi
wait "$linux_job"
for platform in linux wine; do
    [ -f "$work/$platform/report" ] && cat "$work/$platform/report"
done
exit 0
