#!/usr/bin/env bash
# A whole saver run, natively (linux) or under Wine (wine): `Velmoria.scr /s` with the settings
# choosing a WAV file, an MP3 file, then no music. Each time the sprite file is written anew and
# is our sprite, the renderer's window appears and draws, the music plays, a second start ends
# at once, a key ends the renderer and then the shell, and the music stops. The
# music is watched through a sink writing to a file that grows (Linux) or through winmm's
# command trace (Wine, with the null ALSA device). Then: without the renderer program the shell
# ends by itself; and (Linux) SIGTERM to the shell stops its music and ends it.
# Ending from outside: SIGTERM and a lost X connection (Linux), a log-off (Windows) stop the
# music and end the shell.
# With EXIT_MARKER (a library loaded with LD_PRELOAD that leaves a file from an exit handler),
# a lost connection ends each program at once, without its exit handlers, which would run in the
# middle of the Xlib, GL or GStreamer call that the loss interrupted.
#   session.sh linux|wine SCR RENDERER MAKE_SPRITE SHELL_WINDOW WORK [EXIT_MARKER]
set -uo pipefail
platform=$1 scr=$2 renderer=$3 make_sprite=$4 shell_window=$5 work=$(realpath -m "$6")
exit_marker=${7:-}
source "$(dirname "$0")/common.sh"
require_display
command -v lame >/dev/null 2>&1 || { echo "SKIP: lame is not installed: cannot make an MP3"; exit 77; }
rm -rf "$work" && mkdir -p "$work/program" "$work/music files"
cp "$scr" "$work/program/Velmoria.scr"
cp "$renderer" "$work/program/Velmoria.dll"
"$make_sprite" "$work/expected-sprite.bmp"

python3 - "$work" <<'PY'
import struct, sys, wave
def write(path, seconds):
    with wave.open(path, "wb") as out:
        out.setnchannels(1); out.setsampwidth(2); out.setframerate(44100)
        out.writeframes(b"".join(struct.pack("<h", 6000 if i % 100 < 50 else -6000)
                                 for i in range(int(44100 * seconds))))
write(sys.argv[1] + "/music files/loop me.wav", 1.0)
write(sys.argv[1] + "/tone.wav", 20.0)
PY
lame --quiet -b 64 "$work/tone.wav" "$work/music files/my song.mp3" || { echo "FAIL: lame"; exit 1; }

if [ "$platform" = wine ]; then
    sprite="$WINEPREFIX/drive_c/q_sarn/Skorvane.bmp"
    ini=$(wine_user_settings)
    mkdir -p "$(dirname "$ini")"
    native() { printf 'Z:%s' "${1//\//\\}"; }
    printf 'pcm.!default {\n    type null\n}\n' >"$work/alsa-null.conf"
    # winmm's commands and sounds, traced on the shell's standard error. Started in the
    # background only: the process becomes the shell itself.
    run_scr() {
        ALSA_CONFIG_PATH="$work/alsa-null.conf" WINEDEBUG=trace+mci,trace+winmm \
            exec "$wine_run" "$1/Velmoria.scr" "${@:2}" 2>"$work/trace.log"
    }
    second_start() { timeout 20 "$wine_run" "$work/program/Velmoria.scr" /s >/dev/null 2>&1; }
else
    export XDG_CACHE_HOME="$work/cache" XDG_CONFIG_HOME="$work/config"
    export VELMORIA_REGISTRY="$work/none.reg"
    sprite="$XDG_CACHE_HOME/q_sarn/Skorvane.bmp"
    ini="$XDG_CONFIG_HOME/velmoria/Velmoria.ini"
    mkdir -p "$(dirname "$ini")"
    native() { printf '%s' "$1"; }
    export VELMORIA_AUDIO_SINK="audioconvert ! audio/x-raw,format=S16LE ! filesink sync=true location=$work/music.raw"
    run_scr() { exec "$1/Velmoria.scr" "${@:2}" 2>"$work/trace.log"; }
    second_start() { timeout 20 "$work/program/Velmoria.scr" /s >/dev/null 2>&1; }
fi

# The settings the dialog would have written: kind 2 with a file, or kind 0.
settings() {
    local kind=$1 file=${2:-}
    printf '[Section]\r\nBGM\x8b\xe6\x95\xaa=%s\r\nBGM\xd8\xcb\xdf\xb0\xc4=0\r\nBGM\xcc\xa7\xb2\xd9=%s\r\n' \
        "$kind" "$(native "$file")" >"$ini"
}
renderer_windows() { xdotool search --name '^Skorvane_VC$' 2>/dev/null | wc -l; }
music_bytes() { stat -c %s "$work/music.raw" 2>/dev/null || echo 0; }
# Whether the music plays now: the sink's file grows (Linux), or winmm was told to play (Wine).
music_playing() {
    if [ "$platform" = wine ]; then
        grep -aqE 'mciSendStringW \(L"play MP3Play"|PlaySound.*loop me' "$work/trace.log"
    else
        local before
        before=$(music_bytes)
        sleep 0.5
        [ "$(music_bytes)" -gt "$before" ]
    fi
}
# Whether the music has been stopped: the file no longer grows, or winmm was told to stop.
music_stopped() {
    if [ "$platform" = wine ]; then
        case $1 in
            mp3) grep -aqE 'mciSendStringW \(L"close MP3Play"' "$work/trace.log" ;;
            wav) grep -aqiE 'PlaySound.*(\(null\)|00000000)' "$work/trace.log" ;;
        esac
    else
        local before
        before=$(music_bytes)
        sleep 0.5
        [ "$(music_bytes)" -eq "$before" ]
    fi
}

one_run() {
    local music=$1
    case_name="session with $music"
    rm -f "$sprite" "$work/music.raw"
    case $music in
        wav) settings 2 "$work/music files/loop me.wav" ;;
        mp3) settings 2 "$work/music files/my song.mp3" ;;
        none) settings 0 ;;
    esac
    xdotool mousemove 500 400
    run_scr "$work/program" /s &
    local shell=$!
    wait_until 30 test -s "$sprite" || fail "no sprite file"
    cmp -s "$sprite" "$work/expected-sprite.bmp" || fail "the sprite file is not our sprite"
    if ! wait_until 40 sh -c '[ "$(xdotool search --name "^Skorvane_VC$" 2>/dev/null | wc -l)" -gt 0 ]' ||
        ! wait_for_drawing 30; then
        fail "no renderer window that draws"
    fi
    if [ "$music" != none ]; then
        wait_until 10 music_playing || fail "the music does not play"
    elif [ "$platform" = linux ] && [ "$(music_bytes)" -gt 0 ]; then
        fail "music plays though none is chosen"
    fi
    # A second start ends at once and starts no second renderer.
    second_start || fail "a second start did not end at once"
    [ "$(renderer_windows)" -eq 1 ] || fail "$(renderer_windows) renderer windows after a second start"
    # A key ends the renderer, and the shell follows (its watch polls every 100 ms).
    xdotool key x
    wait_until 10 sh -c '[ "$(xdotool search --name "^Skorvane_VC$" 2>/dev/null | wc -l)" -eq 0 ]' ||
        fail "a key did not end the renderer"
    local gone
    gone=$(date +%s%N)
    wait_until 30 sh -c "! kill -0 $shell 2>/dev/null" || fail "the shell did not end after the renderer"
    local ended
    ended=$(date +%s%N)
    [ $((ended - gone)) -lt 1000000000 ] ||
        fail "the shell ended $(((ended - gone) / 1000000)) ms after the renderer"
    wait "$shell"
    local rc=$?
    [ "$rc" -eq 0 ] || fail "the shell ended with $rc"
    if [ "$music" != none ]; then
        music_stopped "$music" || fail "the music did not stop"
    fi
}

for music in wav mp3 none; do
    one_run "$music"
done

# Without the renderer program the session ends by itself, at its first watch tick.
case_name="no renderer program"
mkdir -p "$work/lonely"
cp "$scr" "$work/lonely/Velmoria.scr"
run_scr "$work/lonely" /s &
lonely=$!
wait_until 15 sh -c "! kill -0 $lonely 2>/dev/null" || { fail "the shell did not end by itself"; kill "$lonely"; }
wait "$lonely"

# Ended from outside while an MP3 plays: the music stops and the shell ends with 0. The renderer
# lives on by itself; a key ends it afterwards.
end_from_outside() {
    case_name=$1
    rm -f "$work/music.raw"
    settings 2 "$work/music files/my song.mp3"
    run_scr "$work/program" /s &
    local shell=$!
    wait_until 30 sh -c '[ "$(xdotool search --name "^Skorvane_VC$" 2>/dev/null | wc -l)" -gt 0 ]' &&
        wait_for_drawing 30
    wait_until 30 music_playing || fail "the music does not play"
    session_pid=$shell
    "${@:2}"
    wait_until 30 sh -c "! kill -0 $shell 2>/dev/null" || { fail "the shell did not end"; kill "$shell"; }
    wait "$shell"
    local rc=$?
    [ "$rc" -eq 0 ] || fail "the shell ended with $rc"
    music_stopped mp3 || fail "the music outlived the shell"
    xdotool key x
    wait_until 10 sh -c '[ "$(xdotool search --name "^Skorvane_VC$" 2>/dev/null | wc -l)" -eq 0 ]'
}
terminate_session() { kill -TERM "$session_pid"; }
drop_session_connection() { xdotool windowkill "$(xdotool search --name '^Skorvane_Main$' | head -n 1)"; }
# Whether process PID ran its exit handlers as it ended (the marker's file).
exit_handlers_ran() { [ -e "$work/exit.$1" ]; }
if [ "$platform" = linux ]; then
    # A log-out or a screen-saver daemon's kill; and a connection the X server drops.
    end_from_outside "SIGTERM" terminate_session
    if [ -n "$exit_marker" ]; then
        export LD_PRELOAD=$exit_marker VELMORIA_EXIT_MARKER=$work/exit
    fi
    end_from_outside "lost X connection" drop_session_connection
    [ -n "$exit_marker" ] && exit_handlers_ran "$session_pid" &&
        fail "the shell ran its exit handlers after its connection was lost"
    # The renderer's own connection lost: it ends at once, and the shell with it.
    case_name="renderer's lost X connection"
    rm -f "$work"/exit.*
    run_scr "$work/program" /s &
    shell=$!
    wait_until 30 sh -c '[ "$(xdotool search --name "^Skorvane_VC$" 2>/dev/null | wc -l)" -gt 0 ]' &&
        wait_for_drawing 30 || fail "the renderer did not draw"
    renderer_pid=$(pgrep -P "$shell" -f 'Velmoria\.dll$' | head -n 1)
    xdotool windowkill "$(xdotool search --name '^Skorvane_VC$' | head -n 1)"
    wait_until 10 sh -c "! kill -0 $shell 2>/dev/null" || { fail "the shell did not end"; kill "$shell"; }
    wait "$shell"
    [ -n "$exit_marker" ] && [ -n "$renderer_pid" ] && exit_handlers_ran "$renderer_pid" &&
        fail "the renderer ran its exit handlers after its connection was lost"
    unset LD_PRELOAD VELMORIA_EXIT_MARKER
else
    end_from_outside "log-off" "$wine_run" "$shell_window" log-off Skorvane_Main
fi

case_name=""
finish "session ($platform)"
