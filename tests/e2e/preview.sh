#!/usr/bin/env bash
# The preview, natively (linux) or under Wine (wine): `Velmoria.scr /p HOST` inside a host window
# made by the window tool, of 152 x 112 and of 300 x 200. The still covers exactly the host: at
# 152 x 112 its pixels are the still's own, at 300 x 200 it shows blue and orange with black
# corners; closing the host ends the shell; two previews run at once. Under Wine the pixels are
# looked at in a host of the tool's own process (Wine draws no window inside another process's
# window), and the preview of the real program is checked by its place in the host.
#   preview.sh linux|wine SCR SHELL_WINDOW STILL_BMP BMP_DUMP WORK
set -uo pipefail
platform=$1 scr=$2 shell_window=$3 still=$4 bmp_dump=$5 work=$(realpath -m "$6")
source "$(dirname "$0")/common.sh"
require_display
rm -rf "$work" && mkdir -p "$work"
"$bmp_dump" "$still" >"$work/still.txt" || { echo "FAIL: cannot read $still"; exit 1; }

# VELMORIA_TEST_DPI: the Windows programs at that display scale, in a prefix of their own.
if [ "$platform" = wine ] && [ -n "${VELMORIA_TEST_DPI:-}" ]; then
    wine_prefix_at_dpi "$VELMORIA_TEST_DPI" "$work/prefix" || { echo "FAIL: no Wine prefix to copy"; exit 1; }
    trap 'wineserver -k >/dev/null 2>&1' EXIT
fi
if [ "$platform" = wine ]; then
    tool() { "$wine_run" "$shell_window" "$@" 2>/dev/null; }
    preview() { exec "$wine_run" "$scr" /p "$1" >/dev/null 2>&1; }
else
    tool() { "$shell_window" "$@"; }
    preview() { exec "$scr" /p "$1" >/dev/null 2>&1; }
fi

# Starts a host window of SIZE (the tool's MODE: host, or here with the preview inside it);
# sets host_id (its handle) and host_pid.
start_host() {
    local mode=$1 size=$2
    rm -f "$work/host.id"
    tool "$mode" "$size" >"$work/host.id" &
    host_pid=$!
    wait_until 20 test -s "$work/host.id" || fail "no host window"
    host_id=$(head -n 1 "$work/host.id" | tr -d '\r')
}
close_host() {
    tool close "$host_id" >/dev/null 2>&1
    wait_until 10 sh -c "! kill -0 $host_pid 2>/dev/null" || kill "$host_pid" 2>/dev/null
    wait "$host_pid" 2>/dev/null
    # Wine's own window for it goes a moment later.
    wait_until 10 sh -c '! xdotool search --name "^Preview Host$" >/dev/null 2>&1'
}
# The X window that shows the host (under Wine, Wine's window for it).
host_x_window() {
    if [ "$platform" = wine ]; then
        xdotool search --name '^Preview Host$' 2>/dev/null | head -n 1
    else
        echo "$host_id"
    fi
}
# Checks a screenshot of the host against the still: CHECK is "exact" (same pixels) or
# "colours" (blue and orange present, the corners black, the size W x H).
check_pixels() {
    local check=$1 width=$2 height=$3 window
    window=$(host_x_window)
    import -window "$window" -depth 8 "rgb:$work/shot.rgb" 2>/dev/null || { fail "no screenshot"; return; }
    local size
    size=$(xwininfo -id "$window" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
    [ "$size" = "${width}x${height}" ] || fail "the host is $size, not ${width}x${height}"
    python3 - "$check" "$width" "$height" "$work/shot.rgb" "$work/still.txt" <<'PY' || fail "the preview's pixels: see above"
import sys
check, width, height, shot, still = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4], sys.argv[5]
data = open(shot, "rb").read()
if len(data) != width * height * 3:
    sys.exit(print(f"screenshot of {len(data)} bytes for {width}x{height}") or 1)
pixel = lambda x, y: tuple(data[(y * width + x) * 3:(y * width + x) * 3 + 3])
if check == "exact":
    lines = open(still).read().split()
    w, h, rows = int(lines[0]), int(lines[1]), lines[2:]
    off = 0
    for y in range(h):
        row = rows[h - 1 - y]  # bottom row first
        for x in range(w):
            want = tuple(int(row[x * 6 + i:x * 6 + i + 2], 16) for i in (0, 2, 4))
            if pixel(x, y) != want:
                off += 1
    if off:
        sys.exit(print(f"{off} pixels differ from the still") or 1)
else:
    px = [pixel(x, y) for y in range(height) for x in range(width)]
    blue = sum(1 for r, g, b in px if b > 150 and b > r + 40)
    orange = sum(1 for r, g, b in px if r > 90 and r > b + 40 and g > b)
    corners = [pixel(0, 0), pixel(width - 1, 0), pixel(0, height - 1), pixel(width - 1, height - 1)]
    if blue < 20 or orange < 10 or any(sum(c) for c in corners):
        sys.exit(print(f"blue {blue}, orange {orange}, corners {corners}") or 1)
PY
}

host_lit() { [ "$(lit_pixels "$host_id")" -gt 50 ]; }
place=""
placed_in_host() {
    place=$(tool child "$host_id" | tr -d '\r')
    [ "$place" = "0,0 $1" ]
}

# The program's preview in a host of another process: on Linux looked at directly; under Wine
# by its place inside the host. Closing the host ends it.
case_name="preview in a host of another program"
for size in 152x112 300x200; do
    width=${size%x*} height=${size#*x}
    start_host host "$size"
    preview "$host_id" &
    shell=$!
    if [ "$platform" = wine ]; then
        wait_until 20 placed_in_host "$size" || fail "the preview sits at '$place' in the $size host"
    else
        wait_until 20 host_lit || fail "nothing shows in the host"
        [ "$size" = 152x112 ] && check_pixels exact "$width" "$height"
        [ "$size" = 300x200 ] && check_pixels colours "$width" "$height"
    fi
    close_host
    wait_until 10 sh -c "! kill -0 $shell 2>/dev/null" || { fail "the preview outlived its host"; kill "$shell"; }
    wait "$shell"
    rc=$?
    [ "$rc" -eq 0 ] || fail "the preview ended with $rc"
done

# Under Wine: the pixels, with the preview drawn in a host of the tool's own process.
if [ "$platform" = wine ]; then
    case_name="preview pixels (host in the same process)"
    for size in 152x112 300x200; do
        start_host here "$size"
        sleep 2
        [ "$size" = 152x112 ] && check_pixels exact 152 112
        [ "$size" = 300x200 ] && check_pixels colours 300 200
        close_host
    done
fi

# Two previews at once: neither blocks the other.
case_name="two previews"
start_host host 152x112
first_host=$host_id first_host_pid=$host_pid
start_host host 300x200
second_host=$host_id second_host_pid=$host_pid
preview "$first_host" &
first=$!
preview "$second_host" &
second=$!
sleep 3
for pair in "$first:$first_host" "$second:$second_host"; do
    pid=${pair%%:*} host=${pair#*:}
    kill -0 "$pid" 2>/dev/null || fail "a preview ended beside the other"
    if [ "$platform" = wine ]; then
        tool child "$host" >/dev/null || fail "no preview in host $host"
    fi
done
tool close "$first_host" >/dev/null 2>&1
tool close "$second_host" >/dev/null 2>&1
for pid in "$first_host_pid" "$second_host_pid" "$first" "$second"; do
    wait_until 10 sh -c "! kill -0 $pid 2>/dev/null" || { fail "process $pid lives on"; kill "$pid"; }
done
wait

case_name=""
finish "preview ($platform)"
