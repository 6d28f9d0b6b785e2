#!/usr/bin/env bash
# wayland-x11-frames: the renderer's frame cost on Wayland against X11, in one run on this machine
# at one output size (1024 x 768), both through Mesa's software rasteriser: window-frame-bench on
# an Xvfb of its own, then on a headless sway of its own (run as an ordinary user when started
# as root, as the Wayland e2e does). Prints both figures and the ratio Wayland / X11.
#   bench/wayland_x11_frames.sh BUILD_DIR [FRAMES]
set -uo pipefail
build=$(realpath "$1") frames=${2:-300}
source "$(dirname "$0")/../tests/e2e/common.sh"
bench=$build/bench/window-frame-bench make_sprite=$build/tools/make-sprite
[ -x "$bench" ] || { echo "wayland-x11-frames: no $bench (a build with Wayland)"; exit 1; }
work=$(mktemp -d)
private_folders+=("$work")
# The scene with the shell's sprite, as the saver shows it.
"$make_sprite" "$work/sprite.bmp" || exit 1

start_private_display 1024x768 || { echo "wayland-x11-frames: no Xvfb"; exit 1; }
env LIBGL_ALWAYS_SOFTWARE=1 VELMORIA_REGISTRY="$work/none.reg" "$bench" x11 "$frames" \
    "$work/sprite.bmp" | tee "$work/x11.txt" || exit 1

start_private_sway "/tmp/velmoria-bench-wayland-$$" "$bench" ||
    { echo "wayland-x11-frames: sway did not start"; exit 1; }
cp "$work/sprite.bmp" "$wayland_home/sprite.bmp"
[ "$(id -u)" != 0 ] || chown "$wayland_user:" "$wayland_home/sprite.bmp"
wayland_extra_env=(LIBGL_ALWAYS_SOFTWARE=1)
on_wayland "$wayland_bin/window-frame-bench" wayland "$frames" "$wayland_home/sprite.bmp" |
    tee "$work/wayland.txt" || exit 1

cost() { sed -n 's/.*frame cost *\([0-9.]*\) ms.*/\1/p' "$1"; }
awk -v w="$(cost "$work/wayland.txt")" -v x="$(cost "$work/x11.txt")" \
    'BEGIN { printf "ratio Wayland / X11 (median frame cost): %.2f\n", w / x }'
