#!/usr/bin/env bash
# The programs at display scales above 100 %. Under Wine at 120 and 144 DPI (LogPixels, as the
# display settings' 125 % and 150 % set it): the settings dialog's client is its 96-DPI size
# times DPI / 96, every pixel drawn off the background lies inside a control's box (nothing runs
# past its label), no caption is cut, the marks' and buttons' rings are round(DPI / 96) pixels
# wide, and clicks land on the scaled marks and buttons; the renderer still covers the screen
# and draws. On Linux, GTK at GDK_SCALE=2: the dialog twice the size, its text drawn at the full
# resolution (not a doubled picture). Screenshots are left in WORK.
#   display_scale.sh WINDOWS_SCR WINDOWS_DLL LINUX_SCR DIALOG_LAYOUT WORK
source "$(dirname "$0")/common.sh"
windows_scr=$1 windows_dll=$2 linux_scr=$3 dialog_layout=$4 work=$(realpath -m "$5")
rm -rf "$work" && mkdir -p "$work"
start_private_display || { echo "SKIP: no Xvfb"; exit 77; }
japanese_locale "$work/locale"
export GSETTINGS_BACKEND=memory XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache"
ink_check="$(dirname "$0")/dialog_ink.py"
trap 'wineserver -k >/dev/null 2>&1; stop_private_processes' EXIT

# Settings with an audio CD and track 7: the CD mark selected, the track box filled.
settings() { mkdir -p "$(dirname "$1")" && printf '[Section]\r\nBGM\x8b\xe6\x95\xaa=1\r\nBGM\xd8\xcb\xdf\xb0\xc4=7\r\n' >"$1"; }
# A control's box from the layout: x y w h.
box() { awk -v s="$2" -v n="$3" '$1 == s && $2 == n { print $3, $4, $5, $6 }' "$1/layout.txt"; }
click_middle() {  # LAYOUT SURFACE NAME
    local x y w h
    read -r x y w h < <(box "$1" "$2" "$3")
    xdotool mousemove $((cx + x + w / 2)) $((cy + y + h / 2)) click 1
    sleep 0.5
}
# Waits for the dialog; sets dialog_window and its client's place and size (cx cy cw ch).
find_dialog() {
    dialog_window=""
    wait_until 60 sh -c 'xdotool search --onlyvisible --name "^<Velmoria>\$" >/dev/null 2>&1' &&
        dialog_window=$(xdotool search --onlyvisible --name '^<Velmoria>$' | head -n 1)
    [ -n "$dialog_window" ] || return 1
    read -r cx cy cw ch < <(window_geometry "$dialog_window")
}
shot() {  # NAME: the client area, and the whole screen for the checks
    import -window root "$work/$1-screen.png" 2>/dev/null
    convert "$work/$1-screen.png" -crop "${cw}x${ch}+${cx}+${cy}" +repage "$work/$1.png"
}

wine_dialog_at() {
    local dpi=$1 layout="$work/layout-$1" program="$work/program-$1"
    case_name="dialog at $dpi DPI"
    mkdir -p "$layout" "$program"
    "$dialog_layout" "$dpi" "$layout" || { fail "dialog-layout $dpi"; return; }
    wine_prefix_at_dpi "$dpi" "$work/prefix-$dpi" || { fail "no Wine prefix to copy"; return; }
    cp "$windows_scr" "$program/Velmoria.scr"
    settings "$(wine_user_settings)"
    wine_japanese "$program/Velmoria.scr" /c >/dev/null 2>&1 &
    local pid=$!
    find_dialog || { fail "no dialog"; kill "$pid"; return; }
    local want_w want_h
    read -r _ _ want_w want_h < <(box "$layout" client -)
    [ "${cw}x${ch}" = "${want_w}x${want_h}" ] || fail "client ${cw}x${ch}, not ${want_w}x${want_h}"
    # Drawn: the gradient's middle row at the right margin.
    wait_for_pixel $((cx + cw - 6)) $((cy + ch / 2)) \
        "$(convert "$layout/form.ppm" -crop "1x1+$((cw - 6))+$((ch / 2))" -depth 8 txt:- |
            sed -n 's/.*#\([0-9A-F]\{6\}\).*/\1/p')" 15 || fail "the dialog was not drawn"
    xdotool mousemove 0 0
    sleep 1
    shot "wine-$dpi"
    python3 "$ink_check" "$work/wine-$dpi-screen.png" "$cx" "$cy" "$layout" 1 || fail "as above"
    # "MP3、WAV" at its scaled place selects the file kind.
    click_middle "$layout" panel kind-2
    xdotool mousemove 0 0
    sleep 0.5
    shot "wine-$dpi-mp3"
    python3 "$ink_check" "$work/wine-$dpi-mp3-screen.png" "$cx" "$cy" "$layout" 2 ||
        fail "after the click on MP3、WAV, as above"
    click_middle "$layout" form cancel-button
    wait_until 15 sh -c "! kill -0 $pid 2>/dev/null" || { fail "ｷｬﾝｾﾙ did not close the dialog"; kill "$pid"; }
    wait "$pid" 2>/dev/null
    case_name=""
}

wine_renderer_at() {
    local dpi=$1 program="$work/program-$1"
    case_name="renderer at $dpi DPI"
    cp "$windows_dll" "$program/Velmoria.dll"
    xdotool mousemove 300 300
    "$wine_run" "$program/Velmoria.scr" /s >/dev/null 2>&1 &
    local pid=$! window=""
    wait_until 60 sh -c 'xdotool search --onlyvisible --name "^Skorvane_VC\$" >/dev/null 2>&1' &&
        window=$(xdotool search --onlyvisible --name '^Skorvane_VC$' | head -n 1)
    if [ -z "$window" ]; then
        fail "no renderer window"
    else
        local geometry
        geometry=$(window_geometry "$window")
        [ "$geometry" = "0 0 1024 768" ] || fail "the renderer's window is at $geometry, not the screen"
        wait_for_drawing 30 || fail "the renderer drew nothing"
        import -window root "$work/renderer-$dpi.png" 2>/dev/null
    fi
    sleep 1
    xdotool mousemove 700 600  # further than the mouse threshold
    wait_until 20 sh -c "! kill -0 $pid 2>/dev/null" || { fail "the saver did not end"; kill "$pid"; }
    wait "$pid" 2>/dev/null
    case_name=""
}

if [ -f "$windows_scr" ]; then
    for dpi in ${VELMORIA_SCALE_DPIS:-120 144}; do
        wine_dialog_at "$dpi"
        [ "$dpi" = 144 ] && wine_renderer_at "$dpi"
        wineserver -k >/dev/null 2>&1
    done
fi

# GTK scales by whole factors: at GDK_SCALE=2 the same layout, twice the pixels.
case_name="GTK at scale 2"
settings "$XDG_CONFIG_HOME/velmoria/Velmoria.ini"
GDK_SCALE=2 "$linux_scr" /c >/dev/null 2>&1 &
gtk_pid=$!
if find_dialog; then
    [ "${cw}x${ch}" = 992x492 ] || fail "client ${cw}x${ch}, not 992x492"
    wait_for_pixel $((cx + 980)) $((cy + 246)) DCDCFA 15 || fail "the dialog was not drawn"
    xdotool mousemove 0 0
    sleep 1
    shot gtk-2
    # The CD mark (kind 1) is selected: blue in its middle, at twice its place.
    colour=$(pixel "$work/gtk-2.png" $(((12 + 28 + 6) * 2)) $(((16 + 56 + 6) * 2)))
    [ $((16#${colour:4:2})) -gt $((16#${colour:0:2} + 60)) ] || fail "the CD mark is $colour, not blue"
    # "BGM" drawn at the full resolution: some pair of neighbouring columns differs, which a
    # picture doubled from 96 DPI never shows.
    convert "$work/gtk-2.png" -crop "222x26+$(((12 + 20) * 2))+$(((16 + 24) * 2))" -depth 8 \
        "rgb:$work/title.rgb"
    python3 - "$work/title.rgb" <<'PY' || fail "the title is a doubled picture, not drawn at scale 2"
import sys
data = open(sys.argv[1], "rb").read()
width, height = 222, 26
# Where the text's dark ink is, column by column (the background may be filtered either way).
column = lambda x: tuple(sum(data[(y * width + x) * 3:(y * width + x) * 3 + 3]) < 240 for y in range(height))
sys.exit(0 if any(column(x) != column(x + 1) for x in range(0, width - 1, 2)) else 1)
PY
else
    fail "no GTK dialog"
fi
kill "$gtk_pid" 2>/dev/null
wait_until 10 sh -c "! kill -0 $gtk_pid 2>/dev/null" || { fail "SIGTERM did not end the dialog"; kill -KILL "$gtk_pid"; }
wait "$gtk_pid" 2>/dev/null
case_name=""
finish "display scale"
