#!/usr/bin/env bash
# session-figures: a saver run's timings on an X server of its own, for the Linux build and, when
# given, the Windows build under Wine. For RUNS runs (default 5) it gives the median time from
# `Velmoria.scr /s` to the renderer's first drawn frame (the screen polled), and from the
# renderer window's disappearance to the shell's end (polled every 10 ms); and the shell's CPU
# time over 10 s of a running session.
#   bench/session_figures.sh LINUX_BIN_DIR [WINDOWS_BIN_DIR] [RUNS]
set -uo pipefail
linux_bin=$(realpath "$1") windows_bin=${2:+$(realpath "$2")} runs=${3:-5}
source "$(dirname "$0")/../tests/e2e/common.sh"
start_private_display || { echo "session-figures: no Xvfb"; exit 1; }
work=$(mktemp -d)
trap 'stop_private_processes; rm -rf "$work"' EXIT
export XDG_CACHE_HOME="$work/cache" XDG_CONFIG_HOME="$work/config" VELMORIA_REGISTRY="$work/none.reg"

now_ms() { echo $(($(date +%s%N) / 1000000)); }
renderer_up() { xdotool search --name '^Skorvane_VC$' >/dev/null 2>&1; }
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }

# One platform: how to start the shell ("linux" or "wine") and its program folder.
measure() {
    local platform=$1 folder=$2
    : >"$work/first-frame" && : >"$work/to-exit"
    for _ in $(seq "$runs"); do
        xdotool mousemove 10 10
        local start
        start=$(now_ms)
        if [ "$platform" = wine ]; then
            "$wine_run" "$folder/Velmoria.scr" /s >/dev/null 2>&1 &
        else
            "$folder/Velmoria.scr" /s >/dev/null 2>&1 &
        fi
        local shell=$!
        wait_until 60 renderer_up && wait_for_drawing 60 || { echo "no frame"; kill "$shell"; return 1; }
        echo $(($(now_ms) - start)) >>"$work/first-frame"
        if [ -z "${cpu_done:-}" ] && [ "$platform" = linux ]; then
            sleep 2
            local before after
            before=$(awk '{ print $14 + $15 }' "/proc/$shell/stat")
            sleep 10
            after=$(awk '{ print $14 + $15 }' "/proc/$shell/stat")
            echo "  shell CPU over 10 s of a session: $(((after - before) * 1000 / $(getconf CLK_TCK))) ms"
            cpu_done=1
        fi
        sleep 1
        xdotool key x
        while renderer_up; do sleep 0.01; done
        local gone
        gone=$(now_ms)
        while kill -0 "$shell" 2>/dev/null; do sleep 0.01; done
        echo $(($(now_ms) - gone)) >>"$work/to-exit"
        wait "$shell"
    done
    echo "  /s to the first drawn frame: median $(median <"$work/first-frame") ms"
    echo "  renderer window gone to the shell's end: median $(median <"$work/to-exit") ms" \
        "(all: $(tr '\n' ' ' <"$work/to-exit"))"
}

echo "Linux ($runs runs)"
measure linux "$linux_bin"
if [ -n "$windows_bin" ]; then
    export WINEPREFIX=${WINEPREFIX:-$e2e_root/build/wineprefix} WINEDEBUG=-all
    echo "Windows under Wine ($runs runs)"
    measure wine "$windows_bin"
fi
