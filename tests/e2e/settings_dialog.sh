#!/usr/bin/env bash
# The settings dialog end to end ("Velmoria.scr /c"), on an X server of its own, bare and then
# under openbox, driven by xdotool and read back from screenshots and the INI file: the title and
# client size, the gradient down the right margin row by row, the strip on the panel, the marks
# following clicks, "なし" then "設定" writing the INI bytes (the same bytes on both platforms),
# "ｷｬﾝｾﾙ" leaving the file as it was, a second start ending at once, the file picker driven by
# typing a path, and the link starting the system's handler (a test handler of our own); on
# Windows, the starting values from a file beside the program, which "設定" leaves alone. On
# Linux, with the primary monitor right of another, the dialog opens on the primary monitor.
#
#
# With "keyboard" (Linux), the dialog as a keyboard and screen-reader user meets it instead: its
# controls' roles, names and states through AT-SPI, Tab and Shift+Tab through them, the arrows
# choosing a kind, Space, Return and Escape, and the focus marks shown only after the keyboard
# moved the focus.
#
#   settings_dialog.sh linux|wine VELMORIA_SCR WORKDIR [keyboard]
source "$(dirname "$0")/common.sh"
platform=$1
program=$2
work=$3
mode=${4:-}
if [ "$mode" = keyboard ]; then
    # AT-SPI lives on the session bus: a private one, with the accessibility bus it starts.
    require_tools dbus-run-session xdotool
    [ -x /usr/libexec/at-spi-bus-launcher ] || { echo "SKIP: at-spi2-core is not installed"; exit 77; }
    atspi_python=""
    for candidate in python3 /usr/bin/python3; do
        "$candidate" -c 'import gi; gi.require_version("Atspi", "2.0")' 2>/dev/null &&
            atspi_python=$candidate && break
    done
    [ -n "$atspi_python" ] || { echo "SKIP: no AT-SPI for Python (python3-gi, gir1.2-atspi-2.0)"; exit 77; }
    if [ -z "${VELMORIA_PRIVATE_BUS:-}" ]; then
        VELMORIA_PRIVATE_BUS=1 exec dbus-run-session -- "$0" "$@" 2> >(grep -v '^dbus-daemon' >&2)
    fi
fi
rm -rf "$work" && mkdir -p "$work"
start_private_display || { echo "SKIP: no Xvfb"; exit 77; }

# The settings file is the user's own: %APPDATA%\Velmoria on Windows (a file beside the program
# only gives starting values), under XDG_CONFIG_HOME on Linux.
# GTK keeps its file chooser settings in memory: the test has no session bus for dconf.
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_CACHE_HOME="$work/cache"
export GSETTINGS_BACKEND=memory
if [ "$platform" = wine ]; then
    japanese_locale "$work/locale"
    mkdir -p "$work/program" && cp "$program" "$work/program/Velmoria.scr"
    program="$work/program/Velmoria.scr"
    ini=$(wine_user_settings)
    rm -rf "$(dirname "$ini")"
else
    ini="$XDG_CONFIG_HOME/velmoria/Velmoria.ini"
    mkdir -p "$(dirname "$ini")"
fi

# The link's handler: the default for https, which writes down the address it was given.
mkdir -p "$XDG_DATA_HOME/applications" "$XDG_CONFIG_HOME"
cat >"$work/record-url" <<EOF
#!/bin/sh
printf '%s\n' "\$1" >>"$work/urls"
EOF
chmod +x "$work/record-url"
cat >"$XDG_DATA_HOME/applications/velmoria-test-browser.desktop" <<EOF
[Desktop Entry]
Type=Application
Name=Velmoria test browser
Exec=$work/record-url %u
MimeType=x-scheme-handler/https;x-scheme-handler/http;
EOF
printf '[Default Applications]\nx-scheme-handler/https=velmoria-test-browser.desktop\nx-scheme-handler/http=velmoria-test-browser.desktop\n' \
    >"$XDG_CONFIG_HOME/mimeapps.list"

# A music file to pick, and one the settings name.
mkdir -p "$work/music" && : >"$work/music/theme.mp3" && : >"$work/music/a.wav"
# A path as the program spells it.
native_path() {
    if [ "$platform" = wine ]; then
        WINEDEBUG=-all winepath -w "$1" 2>/dev/null
    else
        printf '%s\n' "$1"
    fi
}

# The settings in code page 932: kind, track, and (when given) the file.
write_settings() {
    printf '[Section]\r\nBGM\x8b\xe6\x95\xaa=%s\r\nBGM\xd8\xcb\xdf\xb0\xc4=%s\r\n' "$1" "$2" >"${3:-$ini}"
}
# One key's value, read with Python's code page 932 decoder.
stored() {
    python3 - "$ini" "$1" <<'EOF'
import sys
for line in open(sys.argv[1], "rb").read().decode("cp932").split("\r\n"):
    if line.startswith(sys.argv[2] + "="):
        print(line.split("=", 1)[1])
EOF
}

dialog_pid=""
start_dialog() {
    if [ "$platform" = wine ]; then
        wine_japanese "$program" /c >"$work/dialog.out" 2>&1 &
    else
        "$program" /c >"$work/dialog.out" 2>&1 &
    fi
    dialog_pid=$!
    window=""
    wait_until 60 sh -c 'xdotool search --onlyvisible --name "^<Velmoria>\$" >/dev/null 2>&1' &&
        window=$(xdotool search --onlyvisible --name '^<Velmoria>$' | head -n 1)
    [ -n "$window" ] || {
        kill -0 "$dialog_pid" 2>/dev/null && state="still running" || state="ended"
        fail "no dialog window (the program $state: $(tail -n 3 "$work/dialog.out"))"
        return 1
    }
    # The client's top-left corner on the screen, and its size.
    read -r cx cy cw ch < <(window_geometry "$window")
    # Drawn: the gradient's middle row at the right margin.
    wait_for_pixel $((cx + 490)) $((cy + 123)) DCDCFA 15 || fail "the dialog was not drawn"
    sleep 0.5
}
expect_closed() {
    wait_until 15 sh -c "! kill -0 $dialog_pid 2>/dev/null" || {
        fail "the dialog did not close after $1"
        kill "$dialog_pid" 2>/dev/null
    }
    wait "$dialog_pid" 2>/dev/null
}
click() { xdotool mousemove $((cx + $1)) $((cy + $2)) click 1; sleep 0.4; }
# Places on the panel, in the client.
panel() { echo $((12 + $1)) $((16 + $2)); }
shot() { import -window root "$work/$1.png" && echo "$work/$1.png"; }
# A mark's middle: blue when it shows the selected picture.
mark_is_selected() {
    local c
    c=$(pixel "$1" $((cx + 12 + 28 + 5)) $((cy + 16 + $2 + 5)))
    [ $((16#${c:4:2})) -gt $((16#${c:0:2} + 60)) ]
}
expect_marks() {  # IMAGE and the selected kind
    local kind row rows=(76 56 96)
    for kind in 0 1 2; do
        row=${rows[$kind]}
        if [ "$kind" = "$2" ]; then
            mark_is_selected "$1" "$row" || fail "mark $kind is not selected"
        else
            mark_is_selected "$1" "$row" && fail "mark $kind is selected"
        fi
    done
}

run_cases() {
    local where=$1 image

    case_name="$where look"
    write_settings 1 7
    cp "$ini" "$work/before.ini"
    start_dialog || return
    [ "$(xdotool getwindowname "$window")" = "<Velmoria>" ] || fail "title $(xdotool getwindowname "$window")"
    [ "${cw}x${ch}" = 496x246 ] || fail "client ${cw}x${ch}, not 496x246"
    image=$(shot "$where-look")
    # The right margin, row by row, against the formula.
    convert "$image" -crop "1x246+$((cx + 490))+$cy" -depth 8 txt:- |
        sed -n 's/.*#\([0-9A-F]\{6\}\).*/\1/p' >"$work/column.txt"
    python3 -c 'import math
k = 246 / 3.142
for y in range(246):
    v = round(abs(math.sin(y / k)) * 220)
    print("%02X%02X%02X" % (v, v, v + 30))' >"$work/expected-column.txt"
    cmp -s "$work/column.txt" "$work/expected-column.txt" ||
        fail "the gradient differs from the formula: $(diff "$work/column.txt" "$work/expected-column.txt" | head -n 4 | tr '\n' ' ')"
    # The strip: brushed grey, lighter at the panel's left than at its right.
    local left right
    left=$(pixel "$image" $((cx + 12 + 4)) $((cy + 16 + 10)))
    right=$(pixel "$image" $((cx + 12 + 464)) $((cy + 16 + 160)))
    [ $((16#${left:0:2})) -ge 212 ] && [ $((16#${right:0:2})) -le 200 ] &&
        [ $((16#${right:0:2})) -ge 170 ] || fail "no metal strip: $left at the left, $right at the right"
    expect_marks "$image" 1
    # A second start while the dialog is open ends at once.
    if [ "$platform" = wine ]; then
        timeout 30 "$wine_run" "$program" /c >/dev/null 2>&1 || fail "a second start did not end"
    else
        timeout 30 "$program" /c >/dev/null 2>&1 || fail "a second start did not end"
    fi
    [ "$(xdotool search --onlyvisible --name '^<Velmoria>$' | wc -l)" = 1 ] || fail "a second dialog opened"

    case_name="$where cancel"
    click $(panel 50 101)  # "MP3、WAV"
    expect_marks "$(shot "$where-mp3")" 2
    click 442 212  # "ｷｬﾝｾﾙ"
    expect_closed "ｷｬﾝｾﾙ"
    cmp -s "$ini" "$work/before.ini" || fail "ｷｬﾝｾﾙ changed the settings file"

    case_name="$where none then set"
    start_dialog || return
    click $(panel 50 81)  # "なし"
    expect_marks "$(shot "$where-none")" 0
    click 362 212  # "設定"
    expect_closed "設定"
    printf '[Section]\r\nBGM\x8b\xe6\x95\xaa=0\r\nBGM\xd8\xcb\xdf\xb0\xc4=7\r\nBGM\xcc\xa7\xb2\xd9=\r\n' \
        >"$work/expected.ini"
    cmp -s "$ini" "$work/expected.ini" || fail "the INI is not the expected bytes: $(xxd "$ini" | head -n 4)"
    case_name=""
}

# Windows: with no file of the user's own, the program folder's gives the starting values; "設定"
# makes the user's folder and file and leaves the program folder's as it was.
starting_values() {
    case_name="starting values"
    local beside="$work/program/Velmoria.ini"
    write_settings 1 7 "$beside"
    cp "$beside" "$work/beside-before.ini"
    start_dialog || return
    expect_marks "$(shot starting-values)" 1
    click 362 212  # "設定"
    expect_closed "設定"
    printf '[Section]\r\nBGM\x8b\xe6\x95\xaa=1\r\nBGM\xd8\xcb\xdf\xb0\xc4=7\r\nBGM\xcc\xa7\xb2\xd9=\r\n' \
        >"$work/expected.ini"
    cmp -s "$ini" "$work/expected.ini" ||
        fail "the user's file is not the expected bytes: $(xxd "$ini" 2>&1 | head -n 4)"
    cmp -s "$beside" "$work/beside-before.ini" || fail "the program folder's file changed"
    rm -f "$beside"
    case_name=""
}

pick_and_store() {
    case_name="file picker"
    # The file of the settings exists, so the picker opens in its folder, where the name alone
    # is typed (the GTK chooser's completion of folder names would race a typed full path).
    write_settings 0 0
    printf 'BGM\xcc\xa7\xb2\xd9=%s\r\n' "$(native_path "$work/music/a.wav")" >>"$ini"
    start_dialog || return
    click $(panel 50 101)  # "MP3、WAV"
    click $(panel 132 102)  # "..."
    if ! wait_until 30 sh -c 'xdotool search --onlyvisible --name "^ﾌｧｲﾙを開く\$" >/dev/null 2>&1'; then
        fail "no file dialog titled ﾌｧｲﾙを開く"
        kill "$dialog_pid"
        return
    fi
    sleep 1.5
    local path
    path=$(native_path "$work/music/theme.mp3")
    xdotool type --delay 100 theme.mp3
    sleep 0.5
    xdotool key Return
    wait_until 15 sh -c '! xdotool search --onlyvisible --name "^ﾌｧｲﾙを開く\$" >/dev/null 2>&1' ||
        fail "the file dialog did not close"
    sleep 0.5
    # The path box shows text now: dark pixels inside its border.
    local dark
    dark=$(convert "$(shot picked)" -crop "405x29+$((cx + 12 + 46))+$((cy + 16 + 118))" \
        -colorspace gray -threshold 30% -negate -format '%[fx:mean*w*h]' info:)
    [ "${dark%.*}" -gt 40 ] || fail "the path box shows no path ($dark dark pixels)"
    click 362 212  # "設定"
    expect_closed "設定"
    [ "$(stored "BGM区分")" = 2 ] || fail "kind $(stored "BGM区分"), not 2"
    [ "$(stored "BGMﾌｧｲﾙ")" = "$path" ] || fail "file '$(stored "BGMﾌｧｲﾙ")', not '$path'"
    case_name=""
}

follow_link() {
    case_name="link"
    rm -f "$work/urls"
    start_dialog || return
    xdotool windowfocus "$window"
    click 40 214
    wait_until 30 test -s "$work/urls" || fail "the link's handler did not run"
    [ "$(head -n 1 "$work/urls" 2>/dev/null)" = "https://velmoria.org/" ] ||
        fail "the handler got '$(head -n 1 "$work/urls" 2>/dev/null)'"
    click 442 212
    expect_closed "ｷｬﾝｾﾙ"
    case_name=""
}

# Centred across the primary monitor and a third of the way down it, where it lies: 800 +
# (1024 - 496) / 2 and (768 - 246) / 3 for the client of a bare server.
on_primary_monitor() {
    case_name="$1 primary monitor right of another"
    write_settings 0
    start_dialog || return
    if [ "$1" = bare ]; then
        [ "$cx,$cy" = 1064,174 ] || fail "the dialog is at $cx,$cy, not 1064,174"
    else
        [ "$cx" -ge 800 ] && [ $((cx + cw)) -le 1824 ] && [ $((cy + ch)) -le 768 ] ||
            fail "the dialog at $cx,$cy is not on the primary monitor"
    fi
    click 442 212
    expect_closed "ｷｬﾝｾﾙ"
    case_name=""
}

# The dialog through AT-SPI and the keyboard.
atspi() { "$atspi_python" "$(dirname "$0")/dialog_atspi.py" "$@" || fail "$*"; }
# Waits for the focus or the checked kind to be NAME; when it does not come, the case ends
# there with its dialog.
atspi_wait() {
    "$atspi_python" "$(dirname "$0")/dialog_atspi.py" "$@" && return 0
    fail "$*"
    kill "$dialog_pid" 2>/dev/null
    wait "$dialog_pid" 2>/dev/null
    return 1
}
key() { xdotool key "$1"; }
# How many pixels of a client rectangle (X Y W H) differ between two screenshots.
changed_pixels() {
    local crop="[$4x$5+$((cx + $2))+$((cy + $3))]"
    compare -metric AE "$work/$1-rest.png$crop" "$work/$1.png$crop" null: 2>&1 |
        awk '{ print int($1) }'
}
# The window takes the keys typed.
start_focused_dialog() {
    cp "$work/before.ini" "$ini"
    start_dialog || return
    xdotool windowfocus "$window"
}

keyboard_walk() {
    local path=$1 name ring face
    case_name="keyboard tree"
    start_focused_dialog || return
    atspi tree 1 "$path"
    atspi_wait focus 音楽CD || return
    shot kb-rest >/dev/null

    case_name="keyboard Tab order"
    for name in 曲目をﾘﾋﾟｰﾄ 設定 ｷｬﾝｾﾙ https://velmoria.org/ 音楽CD; do
        key Tab
        atspi_wait focus "$name" || return
    done
    key shift+Tab
    atspi_wait focus https://velmoria.org/ || return
    key Tab
    atspi_wait focus 音楽CD || return

    case_name="keyboard focus marks"
    sleep 0.3
    shot kb >/dev/null
    # Not shown at rest though the kinds had the focus; shown now around "音楽CD", and "設定"
    # shows that it is the default.
    ring=$(changed_pixels kb $((12 + 43)) $((16 + 55)) 45 15)
    face=$(changed_pixels kb 324 200 77 25)
    [ "${ring:-0}" -ge 20 ] || fail "no focus mark around 音楽CD after Tab ($ring pixels changed)"
    [ "${face:-0}" -ge 20 ] || fail "設定 does not show that it is the default ($face pixels changed)"

    case_name="keyboard arrows"
    key Down
    atspi_wait checked なし || return
    atspi_wait focus なし || return
    key Down
    atspi_wait checked MP3、WAV || return
    cmp -s "$ini" "$work/before.ini" || fail "choosing a kind wrote the settings"
    # "..." is enabled with the file kind, and the track box is skipped.
    key Tab
    atspi_wait focus ... || return
    key Tab
    atspi_wait focus 設定 || return

    case_name="keyboard Space on 設定"
    key space
    expect_closed "Space on 設定"
    [ "$(stored "BGM区分")" = 2 ] || fail "kind '$(stored "BGM区分")', not 2"
    [ "$(stored "BGMﾘﾋﾟｰﾄ")" = 7 ] || fail "track '$(stored "BGMﾘﾋﾟｰﾄ")', not 7"
}

keyboard_link_then_escape() {
    case_name="keyboard link, then Escape"
    rm -f "$work/urls"
    start_focused_dialog || return
    key shift+Tab
    atspi_wait focus https://velmoria.org/ || return
    key Return
    wait_until 30 test -s "$work/urls" || fail "Return on the link did not open it"
    key Escape
    expect_closed Escape
    cmp -s "$ini" "$work/before.ini" || fail "Escape changed the settings file"
}

keyboard_return_on_kinds() {
    case_name="keyboard Return on the kinds"
    start_focused_dialog || return
    key Up  # from the top around to the bottom
    atspi_wait checked MP3、WAV || return
    key Return
    expect_closed "Return on the kinds"
    [ "$(stored "BGM区分")" = 2 ] || fail "kind '$(stored "BGM区分")', not 2"
}

keyboard_cases() {
    local path="$work/music/a.wav"
    xdotool mousemove 0 0  # no button under the pointer
    mkdir -p "$(dirname "$ini")"
    write_settings 1 7
    printf 'BGM\xcc\xa7\xb2\xd9=%s\r\n' "$path" >>"$ini"
    cp "$ini" "$work/before.ini"
    keyboard_walk "$path"
    keyboard_link_then_escape
    keyboard_return_on_kinds
    case_name=""
}
if [ "$mode" = keyboard ]; then
    keyboard_cases
    finish "settings dialog by keyboard ($platform)"
fi

[ "$platform" = wine ] && starting_values
mkdir -p "$(dirname "$ini")"
run_cases bare
pick_and_store
follow_link
if start_window_manager openbox; then
    run_cases openbox
else
    fail "openbox is not installed"
fi
if [ "$platform" = linux ]; then
    stop_private_processes
    private_display_pids=()
    start_private_display 1824x768 || fail "no private X server"
    xrandr --setmonitor left 800/211x600/158+0+0 none >/dev/null 2>&1 &&
        xrandr --setmonitor '*primary' 1024/270x768/203+800+0 screen >/dev/null 2>&1 ||
        fail "xrandr could not make two monitors"
    on_primary_monitor bare
    start_window_manager openbox && on_primary_monitor openbox
fi
finish "settings dialog ($platform)"
