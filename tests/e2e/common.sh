# Sourced by the end-to-end and differential scripts: failure counting, the Wine runner, the X
# display, a Japanese locale for Wine, and private X servers with a window manager.
# shellcheck shell=bash

e2e_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
wine_run="$e2e_root/scripts/wine-run"
failures=0

# Counts and prints one failure; `case_name`, when set, names the case.
fail() {
    echo "FAIL${case_name:+ $case_name}: $*"
    failures=$((failures + 1))
}

# Prints the summary line and ends the script: 0 without failures.
finish() {
    echo "$1: $failures failures"
    [ "$failures" -eq 0 ]
    exit $?
}

# Ends the script as skipped (CTest's SKIP_RETURN_CODE 77) without an X server in DISPLAY.
require_display() {
    if [ -z "${DISPLAY:-}" ] || ! xwininfo -root >/dev/null 2>&1; then
        echo "SKIP: no X server in DISPLAY"
        exit 77
    fi
}

# Polls a command every 0.05 s until it succeeds or SECONDS have passed.
wait_until() {
    local seconds=$1
    shift
    local tries=$((seconds * 20))
    while [ "$tries" -gt 0 ]; do
        "$@" && return 0
        sleep 0.05
        tries=$((tries - 1))
    done
    return 1
}

# How many pixels of the screen (or of the window given) are lit: every other pixel of every
# other row is looked at.
lit_pixels() {
    import -window "${1:-root}" -depth 8 rgb:- 2>/dev/null | python3 -c '
import sys
data = sys.stdin.buffer.read()
print(sum(1 for i in range(0, len(data) - 2, 6) if data[i] | data[i + 1] | data[i + 2]))'
}

# A window's place and size on the screen: "X Y WIDTH HEIGHT".
window_geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 }
        /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x, y, w, h }'
}

# The RRGGBB (upper-case hex) of pixel X Y of a screenshot.
pixel() {
    convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | sed -n 's/.*#\([0-9A-F]\{6\}\).*/\1/p'
}

# Waits (up to SECONDS) until screen pixel X Y is RRGGBB: a window has been drawn.
wait_for_pixel() {
    local x=$1 y=$2 colour=$3 tries=$(($4 * 5)) file
    file=$(mktemp --suffix=.png)
    while [ "$tries" -gt 0 ]; do
        import -window root "$file" 2>/dev/null && [ "$(pixel "$file" "$x" "$y")" = "$colour" ] && {
            rm -f "$file"
            return 0
        }
        sleep 0.2
        tries=$((tries - 1))
    done
    rm -f "$file"
    return 1
}

# Waits (up to SECONDS) until the screen, or the window given, shows a drawn frame (over MIN lit
# pixels, default 100): the renderer has read its sprite. The last count is left in `lit`.
wait_for_drawing() {
    local tries=$(($1 * 4))
    while [ "$tries" -gt 0 ]; do
        lit=$(lit_pixels "${2:-root}")
        [ "${lit:-0}" -gt "${3:-100}" ] && return 0
        sleep 0.25
        tries=$((tries - 1))
    done
    return 1
}

# Builds a ja_JP.UTF-8 locale of our own in FOLDER (or takes the one scripts/test has built), so
# that Wine's ANSI code page is 932 without a system locale; wine_japanese then runs a Windows
# program with it.
japanese_locale() {
    japanese_locale_folder=$1
    if [ -d "${VELMORIA_JAPANESE_LOCALE:-}/ja_JP.UTF-8" ]; then
        japanese_locale_folder=$VELMORIA_JAPANESE_LOCALE
        return 0
    fi
    mkdir -p "$japanese_locale_folder"
    [ -d "$japanese_locale_folder/ja_JP.UTF-8" ] ||
        localedef -i ja_JP -f UTF-8 "$japanese_locale_folder/ja_JP.UTF-8" >/dev/null 2>&1 || {
        echo "FAIL: could not build the ja_JP.UTF-8 locale (package locales)"
        exit 1
    }
}
wine_japanese() {
    LOCPATH="$japanese_locale_folder" LC_ALL=ja_JP.UTF-8 "$wine_run" "$@"
}

# Points WINEPREFIX at a copy of the test prefix (in FOLDER) whose display scale is DPI dots per
# inch, as Windows' display settings set it (125 % is 120, 150 % is 144).
wine_prefix_at_dpi() {
    local dpi=$1 folder=$2
    # The running wineserver may replace a registry file while it is copied: a file that
    # vanished is no loss, a copy without the registry is, and is made again.
    local attempt
    for attempt in 1 2 3; do
        rm -rf "$folder"
        cp -a "${VELMORIA_TEST_PREFIX:-$e2e_root/build/wineprefix}" "$folder" 2>/dev/null
        [ -f "$folder/user.reg" ] && [ -f "$folder/system.reg" ] && break
        [ "$attempt" = 3 ] && return 1
        sleep 1
    done
    export WINEPREFIX=$folder
    "$wine_run" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
        >/dev/null 2>&1
}

# The Unix path of the user's own settings file in WINEPREFIX, %APPDATA%\Velmoria\Velmoria.ini.
wine_user_settings() {
    local appdata
    appdata=$("$wine_run" cmd /c 'echo %APPDATA%' 2>/dev/null | tr -d '\r')
    printf '%s/Velmoria/Velmoria.ini\n' "$("$wine_run" winepath -u "$appdata" 2>/dev/null | tr -d '\r')"
}

# Starts an X server of the script's own (WIDTHxHEIGHT, default 1024x768; any further arguments
# go to Xvfb) and points DISPLAY at it; it ends with the script, and so do the processes and
# folders added to private_display_pids and private_folders. Returns 1 when Xvfb is missing or
# does not start.
private_display_pids=()
private_folders=()
start_private_display() {
    command -v Xvfb >/dev/null 2>&1 || return 1
    local number=150
    while [ -e "/tmp/.X${number}-lock" ] || [ -e "/tmp/.X11-unix/X${number}" ]; do
        number=$((number + 1))
    done
    Xvfb ":$number" -noreset -screen 0 "${1:-1024x768}x24" "${@:2}" >/dev/null 2>&1 &
    private_display_pids+=($!)
    export DISPLAY=":$number"
    trap stop_private_processes EXIT
    wait_until 10 xwininfo -root >/dev/null 2>&1
}
stop_private_processes() {
    local pid
    for pid in "${private_display_pids[@]}"; do
        kill "$pid" 2>/dev/null
    done
    wait 2>/dev/null
    [ "${#private_folders[@]}" -eq 0 ] || rm -rf "${private_folders[@]}"
}

# Starts a reparenting window manager from Debian on DISPLAY (openbox, fvwm, ...) and waits until
# it has announced itself (_NET_SUPPORTING_WM_CHECK). Returns 1 when it is not installed.
start_window_manager() {
    local wm=$1
    command -v "$wm" >/dev/null 2>&1 || return 1
    case $wm in
        fvwm) fvwm -f /dev/null >/dev/null 2>&1 & ;;
        *) "$wm" >/dev/null 2>&1 & ;;
    esac
    private_display_pids=("$!" "${private_display_pids[@]}")
    wait_until 10 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"'
}

# Splits the private X server's screen (start it 1824x768) into two RandR monitors: the primary
# 1024 x 768 at 0,0 and a second one of 800 x 600 at 1024,0. With "primary" only the first.
second_monitor=800x600+1024+0
two_monitors() {
    xrandr --setmonitor '*primary' 1024/270x768/203+0+0 screen >/dev/null 2>&1 || return 1
    [ "${1:-}" = primary ] || add_second_monitor
}
add_second_monitor() { xrandr --setmonitor second 800/211x600/158+1024+0 none >/dev/null 2>&1; }

# How many pixels of colour RRGGBB a screenshot shows inside each rectangle WxH+X+Y given (every
# other pixel of every other row), one count a line.
colour_pixels() {
    local file=$1 colour=$2
    shift 2
    convert "$file" -depth 8 rgb:- | python3 -c '
import re, sys
width = int(sys.argv[1]); colour = bytes.fromhex(sys.argv[2]); data = sys.stdin.buffer.read()
for rect in sys.argv[3:]:
    w, h, x0, y0 = map(int, re.split(r"[x+]", rect))
    print(sum(1 for y in range(y0, y0 + h, 2) for x in range(x0, x0 + w, 2)
              if data[(y * width + x) * 3:(y * width + x) * 3 + 3] == colour))' \
        "$(identify -format %w "$file")" "$colour" "$@"
}

# A WAV file of a tone, SECONDS long, and the settings file that plays it.
write_tone() {
    python3 -c 'import sys, wave
w = wave.open(sys.argv[1], "wb"); w.setnchannels(1); w.setsampwidth(2); w.setframerate(22050)
w.writeframes(b"\x00\x30\x00\xd0" * int(22050 * float(sys.argv[2]) / 2))' "$1" "$2"
}
write_music_settings() {  # INI WAV
    mkdir -p "$(dirname "$1")"
    printf '[Section]\r\nBGM\x8b\xe6\x95\xaa=2\r\nBGM\xd8\xcb\xdf\xb0\xc4=0\r\nBGM\xcc\xa7\xb2\xd9=%s\r\n' \
        "$2" >"$1"
}

# How many of the processes PID... have FILE open (a music sink: how many copies play).
file_holders() {
    local file=$1 pid fd count=0
    shift
    for pid in "$@"; do
        for fd in /proc/"$pid"/fd/*; do
            if [ "$(readlink "$fd" 2>/dev/null)" = "$file" ]; then
                count=$((count + 1))
                break
            fi
        done
    done
    echo "$count"
}

# Whether FILE grows within SECONDS (default half a second; a file sink writes in blocks).
file_grows() {
    local before
    before=$(stat -c %s "$1" 2>/dev/null || echo 0)
    sleep "${2:-0.5}"
    [ "$(stat -c %s "$1" 2>/dev/null || echo 0)" -gt "$before" ]
}
