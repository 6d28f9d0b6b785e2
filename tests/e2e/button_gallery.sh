#!/usr/bin/env bash
# The gradient button end to end: the gallery on an X server of its own, bare and then under
# openbox, driven by xdotool and read back from screenshots. Hovering shows the orange ring and
# the reversed gradient, leaving brings the idle look back, a click prints one "Click", a press
# taken out and back prints none, Enter and Space print none, and the disabled button neither
# clicks nor loses its grey frame.
#
#   button_gallery.sh linux|wine GALLERY WORKDIR
source "$(dirname "$0")/common.sh"
platform=$1
gallery=$2
work=$3
mkdir -p "$work"
start_private_display || { echo "SKIP: no Xvfb"; exit 77; }

run_gallery() {
    if [ "$platform" = wine ]; then
        exec "$wine_run" "$gallery"
    else
        exec "$gallery"
    fi
}

brightness() {
    local c=$1
    echo $((16#${c:0:2} + 16#${c:2:2} + 16#${c:4:2}))
}
shot() { import -window root "$work/$1.png" && echo "$work/$1.png"; }
clicks() { grep -c "^Click $1" "$out"; }

# One gallery run on the current display; `where` names the environment.
run_cases() {
    local where=$1
    out="$work/$where.out"
    run_gallery >"$out" 2>"$work/$where.err" &
    local pid=$!
    wait_until 60 grep -q '^ready' "$out" || { fail "$where: the gallery did not come up"; kill "$pid"; return; }
    local name x y w h
    while read -r _ name x y w h; do
        printf -v "${name}_x" %s "$x"
        printf -v "${name}_y" %s "$y"
    done < <(grep '^button ' "$out")
    # Ring 3's top and bottom at the middle of the "set" button; the gradient beside the caption.
    local ring_x=$((set_x + 38)) ring_top=$((set_y + 2)) ring_bottom=$((set_y + 22))
    local face_x=$((set_x + 6)) face_top=$((set_y + 4)) face_bottom=$((set_y + 20))
    local image

    case_name="$where idle"
    xdotool mousemove 5 5
    # On a busy machine the window is drawn a while after it says ready.
    wait_for_pixel "$ring_x" "$ring_top" F3F3EE 60
    sleep 0.2
    image=$(shot "$where-idle")
    [ "$(pixel "$image" "$ring_x" "$ring_top")" = F3F3EE ] || fail "ring 3 top $(pixel "$image" "$ring_x" "$ring_top"), not F3F3EE"
    [ "$(brightness "$(pixel "$image" "$face_x" "$face_top")")" -gt "$(brightness "$(pixel "$image" "$face_x" "$face_bottom")")" ] ||
        fail "the face is not lighter at the top"

    case_name="$where hover"
    xdotool mousemove $((set_x + 38)) $((set_y + 12))
    wait_for_pixel "$ring_x" "$ring_top" FFF0CF 10
    sleep 0.3
    image=$(shot "$where-hover")
    [ "$(pixel "$image" "$ring_x" "$ring_top")" = FFF0CF ] || fail "ring 3 top $(pixel "$image" "$ring_x" "$ring_top"), not the orange FFF0CF"
    [ "$(pixel "$image" "$ring_x" "$ring_bottom")" = E59700 ] || fail "ring 3 bottom $(pixel "$image" "$ring_x" "$ring_bottom"), not E59700"
    [ "$(brightness "$(pixel "$image" "$face_x" "$face_top")")" -lt "$(brightness "$(pixel "$image" "$face_x" "$face_bottom")")" ] ||
        fail "the gradient is not reversed"

    case_name="$where leave"
    xdotool mousemove $((set_x + 38)) $((set_y + 34))  # the gallery's own background
    # Two ticks of the leave timer; the ceiling is generous for a busy machine.
    wait_for_pixel "$ring_x" "$ring_top" F3F3EE 5 || fail "not idle again after leaving"

    case_name="$where click"
    xdotool mousemove $((set_x + 38)) $((set_y + 12)) click 1
    wait_until 15 grep -q '^Click set' "$out"
    sleep 0.3
    [ "$(clicks set)" = 1 ] || fail "$(clicks set) clicks printed, not 1"

    case_name="$where press, out, wait, back, release"
    xdotool mousemove $((set_x + 38)) $((set_y + 12)) mousedown 1
    sleep 0.2
    xdotool mousemove 5 5
    sleep 0.4
    xdotool mousemove $((set_x + 38)) $((set_y + 12))
    sleep 0.2
    xdotool mouseup 1
    sleep 0.4
    [ "$(clicks set)" = 1 ] || fail "the cancelled press clicked"

    case_name="$where keys"
    xdotool key Return space
    sleep 0.4
    [ "$(clicks set)" = 1 ] || fail "Enter or Space clicked"

    case_name="$where disabled"
    xdotool mousemove $((cancel_x + 38)) $((cancel_y + 12)) click 1
    sleep 0.4
    [ "$(clicks cancel)" = 0 ] || fail "the disabled button clicked"
    image=$(shot "$where-disabled")
    [ "$(pixel "$image" $((cancel_x + 38)) $((cancel_y + 1)))" = C9C7BA ] || fail "the grey frame is gone"

    case_name="$where right button"
    xdotool mousemove $((odd_x + 29)) $((odd_y + 9))
    sleep 0.3
    xdotool click 3
    wait_until 15 grep -q '^Click odd' "$out" || fail "a right click on a hovered button did not click"
    case_name=""

    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
}

run_cases bare
if start_window_manager openbox; then
    run_cases openbox
else
    fail "openbox is not installed"
fi
finish "button gallery ($platform)"
