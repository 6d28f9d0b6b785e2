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

# Polls a slower command (a screenshot, a D-Bus call) every 0.2 s until it succeeds or SECONDS
# of the clock have passed.
wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.2
    done
}

# Waits (up to SECONDS) until PID has ended, and reaps it; its exit code is left in `status`.
ended_within() {
    wait_until "$1" sh -c '! kill -0 "$1" 2>/dev/null' sh "$2" || return 1
    wait "$2" 2>/dev/null
    status=$?
}

# Ends the script as skipped (77) unless every program named is on the PATH.
require_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 || {
            echo "SKIP: $tool is not installed"
            exit 77
        }
    done
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
    # Xvfb takes a free display number itself and writes it to the file: two scripts starting at
    # once never pick the same one (a server that fails to start would leave one script talking
    # to the other's server, which goes when that script ends).
    local number_file
    number_file=$(mktemp)
    Xvfb -displayfd 3 -noreset -screen 0 "${1:-1024x768}x24" "${@:2}" 3>"$number_file" \
        >/dev/null 2>&1 &
    private_display_pids+=($!)
    trap stop_private_processes EXIT
    wait_until 20 test -s "$number_file" || { rm -f "$number_file"; return 1; }
    export DISPLAY=":$(head -n 1 "$number_file")"
    rm -f "$number_file"
    wait_until 10 xwininfo -root >/dev/null 2>&1
}
# Commands run first at the end, for what a kill of one process does not end (a desktop session).
private_cleanups=()
stop_private_processes() {
    local pid cleanup
    for cleanup in "${private_cleanups[@]}"; do
        $cleanup
    done
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

# Swaps a renderer made, as counted by the cheap-frames shim (tests/support/cheap_frames_shim.c)
# in FILE; 0 before the first.
swap_count() { cat "$1" 2>/dev/null || echo 0; }
# Frames a second over SECONDS from the shim's count in FILE, with one decimal.
swap_rate() {
    local first last
    first=$(swap_count "$1")
    sleep "$2"
    last=$(swap_count "$1")
    python3 -c 'import sys; print("%.1f" % ((int(sys.argv[2]) - int(sys.argv[1])) / float(sys.argv[3])))' \
        "$first" "$last" "$2"
}
# Processor time (user and system) of PID so far, in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo 0; }
# Whether decimal A is at most (le) or above (gt) B.
number_is() { python3 -c 'import sys; a, op, b = float(sys.argv[1]), sys.argv[2], float(sys.argv[3]); sys.exit(0 if (a <= b if op == "le" else a > b) else 1)' "$1" "$2" "$3"; }

# Whether a window of ours titled TITLE (escaped as in its lock file's name) is in the title
# registry of the private Wayland desktop: its lock file holds a read lock of an open file
# description. F_OFD_GETLK asks which lock a write lock would meet, taking none.
title_held() {
    local file=$wayland_runtime/velmoria-window-$1.lock
    [ -e "$file" ] && python3 -c '
import fcntl, os, struct, sys
F_OFD_GETLK = 36
fd = os.open(sys.argv[1], os.O_RDONLY | os.O_NONBLOCK | os.O_NOFOLLOW)
lock = fcntl.fcntl(fd, F_OFD_GETLK, struct.pack("hhqqixxxx", fcntl.F_WRLCK, 0, 0, 0, 0))
sys.exit(0 if struct.unpack("hhqqixxxx", lock)[0] == fcntl.F_RDLCK else 1)' "$file"
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

# ---- Wayland: Debian's sway, headless, without an X server ----
# sway refuses to run as root, and CI runs as root: then the compositor and our programs run as
# a fixed system user (made when missing), with a runtime folder of their own (0700) and the
# programs copied where that user can read them. `on_wayland CMD...` runs a command there.
wayland_user=velmoria-wayland

# Gives FOLDER to that user when the script runs as root, and sets `as_test_user` to the
# command prefix that runs a program as them (empty otherwise: the script's own user then).
own_as_test_user() {
    ordinary_user "$wayland_user" || return 1
    as_test_user=("${as_user[@]}")
    [ "$(id -u)" != 0 ] || chown -R "$wayland_user:" "$1"
}

# Ends the script as skipped without sway and the tools that drive it.
require_sway() {
    require_tools sway swaymsg grim wtype
}

# Starts sway headless in FOLDER (made afresh, removed at the end) with one output HEADLESS-1 of
# 1024 x 768 over a green (#00FF00) desktop, and copies PROGRAM... into FOLDER/bin. Sets
# wayland_root, wayland_bin, wayland_home and wayland_runtime. Returns 1 when sway does not start.
start_private_sway() {
    wayland_root=$1
    wayland_display="" wayland_ipc=""
    shift
    rm -rf "$wayland_root"
    mkdir -p "$wayland_root/bin" "$wayland_root/run" "$wayland_root/home/.cache/q_sarn" \
        "$wayland_root/home/.config/velmoria"
    private_folders+=("$wayland_root")
    wayland_bin=$wayland_root/bin
    wayland_home=$wayland_root/home
    wayland_runtime=$wayland_root/run
    cp "$@" "$wayland_bin/"
    printf '%s\n' 'xwayland disable' 'output HEADLESS-1 mode 1024x768 position 0 0' \
        'output * bg #00FF00 solid_color' \
        >"$wayland_root/sway.conf"
    chmod 755 "$wayland_root" "$wayland_bin"
    chmod 700 "$wayland_runtime"
    own_as_test_user "$wayland_root" || return 1
    wayland_as=("${as_test_user[@]}")
    wayland_command env WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
        sway -c "$wayland_root/sway.conf"
    "${wayland_cmd[@]}" >"$wayland_root/sway.log" 2>&1 &
    private_display_pids=("$!" "${private_display_pids[@]}")
    trap stop_private_processes EXIT
    wait_until 20 sh -c 'ls "$1"/wayland-? && ls "$1"/sway-ipc.*' sh "$wayland_runtime" \
        >/dev/null 2>&1 || return 1
    wayland_display=$(basename "$(ls "$wayland_runtime"/wayland-? | head -n 1)")
    wayland_ipc=$(ls "$wayland_runtime"/sway-ipc.* | head -n 1)
    wait_until 20 on_wayland swaymsg -t get_outputs >/dev/null 2>&1
}

# What start_private_sway prepares, for a compositor started otherwise: FOLDER made afresh
# (removed at the end) with PROGRAM... copied into FOLDER/bin, the wayland_* variables set, no
# compositor yet. Returns 1 when the user cannot be made.
prepare_wayland_root() {
    wayland_root=$1 wayland_display="" wayland_ipc=""
    shift
    rm -rf "$wayland_root"
    mkdir -p "$wayland_root/bin" "$wayland_root/run" "$wayland_root/home/.cache/q_sarn" \
        "$wayland_root/home/.config/velmoria"
    private_folders+=("$wayland_root")
    trap stop_private_processes EXIT
    wayland_bin=$wayland_root/bin wayland_home=$wayland_root/home wayland_runtime=$wayland_root/run
    cp "$@" "$wayland_bin/"
    chmod 755 "$wayland_root" "$wayland_bin"
    chmod 700 "$wayland_runtime"
    own_as_test_user "$wayland_root" || return 1
    wayland_as=("${as_test_user[@]}")
}

# Runs a command as the compositor's user, in its session only: no X display, its own runtime,
# home and XDG folders. `wayland_command CMD...` only sets the array wayland_cmd to that command,
# for starting it in the background as a child of the script ("${wayland_cmd[@]}" &: $! is then
# the program itself, since env and setpriv replace themselves by it).
wayland_command() {
    wayland_cmd=(env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME="$wayland_home" LANG=C.UTF-8
        XDG_RUNTIME_DIR="$wayland_runtime" XDG_CACHE_HOME="$wayland_home/.cache"
        XDG_CONFIG_HOME="$wayland_home/.config" VELMORIA_REGISTRY="$wayland_home/none.reg"
        ${wayland_display:+WAYLAND_DISPLAY="$wayland_display"}
        ${wayland_ipc:+SWAYSOCK="$wayland_ipc"} "${wayland_extra_env[@]}" "${wayland_as[@]}" "$@")
}
on_wayland() {
    wayland_command "$@"
    "${wayland_cmd[@]}"
}
wayland_extra_env=()

# A screenshot of the whole layout, or of output NAME, into FILE (grim, read back as root).
# Takes screenshots into FILE with `SHOOTER FILE [ARGS...]` every 0.5 s until CONDITION (a shell
# condition on $counts, the shot's pixel kinds) holds, up to SECONDS * 2 tries (a slow shooter
# gets longer); the last shot stays in FILE.
shot_until() {  # SECONDS FILE CONDITION SHOOTER [ARGS...]
    local tries=$(($1 * 2)) file=$2 condition=$3 shooter=$4
    shift 4
    while [ "$tries" -gt 0 ]; do
        if "$shooter" "$file" "$@"; then
            counts=$(pixel_kinds "$file")
            eval "$condition" && return 0
        fi
        sleep 0.5
        tries=$((tries - 1))
    done
    return 1
}
# The animation over a #00FF00 desktop: none of it left, mostly black, trails of both colours.
animated='[ "$(kind_count green "$counts")" -eq 0 ] &&
    [ "$(kind_count black "$counts")" -gt "$(($(kind_count all "$counts") / 2))" ] &&
    [ "$(kind_count blue "$counts")" -gt 20 ] && [ "$(kind_count orange "$counts")" -gt 5 ]'

wayland_shot() {
    on_wayland grim ${2:+-o "$2"} "$wayland_root/shot.png" 2>/dev/null &&
        cp "$wayland_root/shot.png" "$1"
}

# Counts of a screenshot's pixels (every other of every other row) by kind, as "NAME=COUNT"
# words: black, green (the desktop, #00FF00 exactly), blue (a blue trail: blue well above red)
# and orange (red high, green between, blue low), and all.
pixel_kinds() {
    convert "$1" -depth 8 rgb:- | python3 -c '
import sys
data = sys.stdin.buffer.read()
width = int(sys.argv[1])
counts = dict(all=0, black=0, green=0, blue=0, orange=0)
for y in range(0, len(data) // (3 * width), 2):
    row = y * width * 3
    for i in range(row, row + width * 3, 6):
        r, g, b = data[i], data[i + 1], data[i + 2]
        counts["all"] += 1
        if r < 8 and g < 8 and b < 8: counts["black"] += 1
        elif (r, g, b) == (0, 255, 0): counts["green"] += 1
        elif b > 96 and b > r + 40: counts["blue"] += 1
        elif r > 150 and 50 < g < r - 30 and b < g: counts["orange"] += 1
print(" ".join("%s=%d" % kv for kv in counts.items()))' "$(identify -format %w "$1")"
}
# One count of pixel_kinds' output: kind_count KIND "COUNTS".
kind_count() { sed -n "s/.*\b$1=\([0-9]*\).*/\1/p" <<<"$2"; }

# ---- An ordinary user for daemons run as root in CI ----
# Makes the system user NAME (and its group) when missing and sets the array as_user to the
# command prefix that runs a program as it (empty when the script is not root). Returns 1 when
# the user cannot be made.
ordinary_user() {
    as_user=()
    [ "$(id -u)" = 0 ] || return 0
    id "$1" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$1" ||
        return 1
    as_user=(setpriv --reuid="$1" --regid="$1" --init-groups)
}

# Whether MATE's menu of screen savers lists the entry ID (screensavers-NAME.desktop) as
# mate-screensaver reads it, through MATE's menu library: entries hidden by NoDisplay, Hidden,
# OnlyShowIn/NotShowIn or a TryExec that is not there are left out. Any further arguments go
# before the command (env, setpriv).
mate_menu_lists() {
    local id=$1
    shift
    "$@" /usr/bin/python3 -c '
import sys, gi
gi.require_version("MateMenu", "2.0")
from gi.repository import MateMenu
tree = MateMenu.Tree.new("mate-screensavers.menu", MateMenu.TreeFlags.NONE)
tree.load_sync()
def ids(directory):
    items = directory.iter()
    while True:
        kind = items.next()
        if kind == MateMenu.TreeItemType.INVALID:
            return
        if kind == MateMenu.TreeItemType.ENTRY:
            yield items.get_entry().get_desktop_file_id()
        elif kind == MateMenu.TreeItemType.DIRECTORY:
            yield from ids(items.get_directory())
sys.exit(0 if sys.argv[1] in ids(tree.get_root_directory()) else 1)' "$id"
}
