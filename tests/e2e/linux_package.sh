#!/usr/bin/env bash
# The Debian package, made with CPack from the build tree and extracted into a temporary root
# (never installed here): its name, control fields and files; its desktop entries, xscreensaver
# configuration and manual pages well formed (desktop-file-validate, lintian), the saver entry
# listed by MATE's screen saver (its menu library); and the extracted shell, started through its
# link on the PATH, runs a session with the renderer beside it. Then
# Debian's xscreensaver on a screen of two RandR monitors, given the extracted hack as its
# saver: -activate starts one copy per monitor, each drawing into its own window of the daemon,
# none ending (no crash notice), the music played once; -deactivate, or SIGTERM to the hacks,
# ends the shells and the renderers within a second and stops the music.
#
#   linux_package.sh BUILD_DIR WORKDIR
source "$(dirname "$0")/common.sh"
build=$1
work=$2
rm -rf "$work" && mkdir -p "$work"

case_name="package"
(cd "$build" && cpack -G DEB -B "$work/cpack" >"$work/cpack.log" 2>&1) || {
    fail "cpack failed: $(tail -n 5 "$work/cpack.log")"
    finish "Linux package"
}
deb=$(ls "$work"/cpack/velmoria_*_amd64.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || { fail "no velmoria_<version>_amd64.deb"; finish "Linux package"; }
dpkg-deb -f "$deb" Package | grep -qx velmoria || fail "the package is not named velmoria"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libgtk-3-0 libgstreamer1.0-0 gstreamer1.0-plugins-good fonts-ipafont-gothic libx11-6 \
    libwayland-client0 libwayland-egl1; do
    [[ "$depends" == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done

root="$work/root"
dpkg-deb -x "$deb" "$root"
hacks="$root/usr/libexec/xscreensaver"
for file in "$hacks/Velmoria.scr" "$hacks/Velmoria.dll" \
    "$root/usr/share/xscreensaver/config/velmoria.xml" \
    "$root/usr/share/applications/screensavers/velmoria.desktop" \
    "$root/usr/share/applications/velmoria-settings.desktop" \
    "$root/usr/share/icons/hicolor/48x48/apps/velmoria.png" \
    "$root/usr/share/man/man6/velmoria.6.gz" "$root/usr/share/man/man6/velmoria-renderer.6.gz" \
    "$root/usr/share/doc/velmoria/copyright" "$root/usr/share/doc/velmoria/changelog.gz" \
    "$root/usr/lib/systemd/user/velmoria-idle.service" "$root/usr/bin/velmoria-idle" \
    "$root/usr/share/man/man6/velmoria-idle.6.gz"; do
    [ -e "$file" ] || fail "missing ${file#"$root"}"
done
[ "$(readlink "$hacks/velmoria")" = Velmoria.scr ] || fail "the hack velmoria is no link to the shell"
[ "$(readlink -f "$root/usr/bin/velmoria")" = "$(readlink -f "$hacks/Velmoria.scr")" ] ||
    fail "velmoria on the PATH is not the shell"

case_name="files"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate --no-hints "$root/usr/share/applications/screensavers/velmoria.desktop" \
        "$root/usr/share/applications/velmoria-settings.desktop" >"$work/desktop.log" 2>&1 ||
        fail "desktop-file-validate: $(cat "$work/desktop.log")"
else
    fail "desktop-file-validate is not installed"
fi
# The saver entry as mate-screensaver reads it, through MATE's menu library in a MATE session,
# with the programs it names taken into the extracted root (a TryExec not there hides it).
if [ ! -e /etc/xdg/menus/mate-screensavers.menu ]; then
    fail "MATE's menu of screen savers is not installed (mate-screensaver-common)"
elif /usr/bin/python3 -c 'import gi; gi.require_version("MateMenu", "2.0")' 2>/dev/null; then
    mkdir -p "$work/menu/data/applications/screensavers" "$work/menu/home"
    sed "s#=/usr/#=$root/usr/#" "$root/usr/share/applications/screensavers/velmoria.desktop" \
        >"$work/menu/data/applications/screensavers/velmoria.desktop"
    mate_menu_lists screensavers-velmoria.desktop env XDG_CURRENT_DESKTOP=MATE \
        XDG_DATA_DIRS="$work/menu/data" XDG_DATA_HOME="$work/menu/home" \
        XDG_CONFIG_DIRS=/etc/xdg XDG_CONFIG_HOME="$work/menu/home" ||
        fail "MATE's screen saver does not list velmoria.desktop"
else
    fail "MATE's menu library for Python is not installed (gir1.2-matemenu-2.0)"
fi
# The user unit as systemd reads it: unknown keys and commands it cannot run are errors. Its
# program is the extracted one.
if command -v systemd-analyze >/dev/null; then
    mkdir -p "$work/unit"
    sed "s#=/usr/bin/#=$root/usr/bin/#" "$root/usr/lib/systemd/user/velmoria-idle.service" \
        >"$work/unit/velmoria-idle.service"
    grep -qx "ExecStart=$root/usr/bin/velmoria-idle" "$work/unit/velmoria-idle.service" ||
        fail "velmoria-idle.service does not run /usr/bin/velmoria-idle"
    systemd-analyze verify --man=no "$work/unit/velmoria-idle.service" \
        >"$work/unit.log" 2>&1 || fail "velmoria-idle.service: $(cat "$work/unit.log")"
fi
"$root/usr/bin/velmoria-idle" --help | grep -q 'usage: velmoria-idle' ||
    fail "velmoria-idle does not run from the package"
python3 -c 'import sys, xml.etree.ElementTree as t
s = t.parse(sys.argv[1]).getroot()
assert s.tag == "screensaver" and s.get("name") == "velmoria" and s.get("gl") == "yes"
assert s.find("command").get("arg") == "-root"' "$root/usr/share/xscreensaver/config/velmoria.xml" ||
    fail "velmoria.xml is not the hack's configuration"
for page in velmoria velmoria-renderer velmoria-idle; do
    warnings=$(zcat "$root/usr/share/man/man6/$page.6.gz" | groff -man -ww -z 2>&1)
    [ -z "$warnings" ] || fail "$page(6): $warnings"
done
if command -v lintian >/dev/null; then
    lintian "$deb" 2>/dev/null | grep -E '^[EW]:' >"$work/lintian.log"
    [ -s "$work/lintian.log" ] && fail "lintian: $(cat "$work/lintian.log")"
else
    fail "lintian is not installed"
fi

case_name="extracted session"
start_private_display || { fail "no Xvfb"; finish "Linux package"; }
export XDG_CACHE_HOME="$work/cache" XDG_CONFIG_HOME="$work/config" VELMORIA_REGISTRY="$work/none.reg"
"$root/usr/bin/velmoria" /s >"$work/session.out" 2>&1 &
session=$!
wait_until 30 sh -c 'xdotool search --onlyvisible --name "^Skorvane_VC\$" >/dev/null 2>&1' ||
    fail "the shell found no renderer beside it"
wait_for_drawing 20 || fail "the renderer drew nothing"
xdotool mousemove 10 10 && sleep 0.3 && xdotool mousemove 700 600
wait_until 15 sh -c "! kill -0 $session 2>/dev/null" || { fail "the session did not end"; kill "$session"; }
wait "$session" 2>/dev/null

# The real xscreensaver daemon, configured to run the extracted hack as its one saver. It runs
# no hacks as root, so under root it runs as nobody, on an X server that lets anybody connect,
# with the hack and its home in a folder of /tmp that nobody can reach.
case_name="xscreensaver"
command -v xscreensaver >/dev/null || { fail "xscreensaver is not installed"; finish "Linux package"; }
start_private_display 1824x768 -ac || { fail "no Xvfb"; finish "Linux package"; }
two_monitors || fail "xrandr could not make two monitors"
saver_root=$(mktemp -d /tmp/velmoria-xscreensaver.XXXXXX)
private_folders+=("$saver_root")
chmod 755 "$saver_root"
dpkg-deb -x "$deb" "$saver_root/root"
hacks="$saver_root/root/usr/libexec/xscreensaver"
saver_home="$saver_root/home"
mkdir -p "$saver_home/config/velmoria"
as_saver_user() { "$@"; }
if [ "$(id -u)" = 0 ]; then
    as_saver_user() { setpriv --reuid=nobody --regid=nogroup --clear-groups "$@"; }
fi
# The settings choose a 20 s WAV file; the music goes to a file that grows while it plays.
write_tone "$saver_home/tone.wav" 20
write_music_settings "$saver_home/config/velmoria/Velmoria.ini" "$saver_home/tone.wav"
# The hack's line as the configuration file names it: GL, "velmoria -root".
hack_line=$(python3 -c 'import sys, xml.etree.ElementTree as t
s = t.parse(sys.argv[1]).getroot()
print(("GL: " if s.get("gl") == "yes" else "") + sys.argv[2] + "/" + s.get("name") + " " +
      s.find("command").get("arg"))' "$saver_root/root/usr/share/xscreensaver/config/velmoria.xml" "$hacks")
printf 'timeout: 0:30:00\nlock: False\nfade: False\nunfade: False\nsplash: False\n%s\n%s\n%s\n' \
    'dpmsEnabled: False' 'mode: one' 'selected: 0' >"$saver_home/.xscreensaver"
printf 'programs: %s \\n\n' "$hack_line" >>"$saver_home/.xscreensaver"
chown -R "$(as_saver_user id -u):$(as_saver_user id -g)" "$saver_home"
sink="$saver_home/music.raw"
(
    cd "$saver_home" && unset XSCREENSAVER_WINDOW &&
        exec env HOME="$saver_home" XDG_CACHE_HOME="$saver_home/cache" \
            XDG_CONFIG_HOME="$saver_home/config" VELMORIA_REGISTRY="$saver_home/none.reg" \
            VELMORIA_AUDIO_SINK="audioconvert ! audio/x-raw,format=S16LE ! filesink sync=true location=$sink" \
            setpriv --reuid="$(as_saver_user id -u)" --regid="$(as_saver_user id -g)" --clear-groups \
            xscreensaver -no-splash -verbose
) >"$work/xscreensaver.log" 2>&1 &
private_display_pids=("$!" "${private_display_pids[@]}")
wait_until 20 sh -c 'xscreensaver-command -version >/dev/null 2>&1' || fail "the daemon did not start"

hack_processes() { pgrep -f "^$hacks/" | wc -l; }
sink_grows() { file_grows "$sink"; }
# Blanks the screen and waits for a copy of the hack on each monitor to draw into its window of
# the daemon and for the music to play, from one copy.
activate() {
    local logged
    logged=$(wc -l <"$work/xscreensaver.log")
    xscreensaver-command -activate >/dev/null 2>&1 || fail "-activate was refused"
    wait_until 30 sh -c "[ \"\$(pgrep -fc '^$hacks/Velmoria.dll')\" -ge 2 ]" || {
        fail "xscreensaver started $(pgrep -fc "^$hacks/Velmoria.dll") renderers, not one per monitor: $(tail -n 3 "$work/xscreensaver.log")"
        return 1
    }
    local hack host hosts=()
    for hack in $(pgrep -f "^$hacks/velmoria"); do
        host=$(tr '\0' '\n' <"/proc/$hack/environ" 2>/dev/null | sed -n 's/^XSCREENSAVER_WINDOW=//p')
        [ -n "$host" ] || fail "the hack was given no XSCREENSAVER_WINDOW"
        hosts+=("${host:-root}")
    done
    [ "$(printf '%s\n' "${hosts[@]}" | sort -u | wc -l)" = 2 ] ||
        fail "the copies were given the windows ${hosts[*]}, not one each"
    for host in "${hosts[@]}"; do
        wait_for_drawing 15 "$host" || fail "only ${lit:-0} lit pixels in xscreensaver's window $host"
    done
    wait_until 10 sink_grows || fail "the music does not play"
    local playing
    playing=$(file_holders "$sink" $(pgrep -f "^$hacks/velmoria"))
    [ "$playing" = 1 ] || fail "$playing copies play the music"
    [ "$(pgrep -fc "^$hacks/velmoria")" = 2 ] || fail "a copy of the hack has ended"
    tail -n +$((logged + 1)) "$work/xscreensaver.log" | grep -E "(exited|crashed)" &&
        fail "xscreensaver saw a copy end"
    return 0
}

activate && {
    xscreensaver-command -deactivate >/dev/null 2>&1
    wait_until 5 sh -c "[ \"\$(pgrep -fc '^$hacks/')\" = 0 ]" ||
        fail "-deactivate left $(hack_processes) of the hack's processes after five seconds"
    file_grows "$sink" 3 && fail "the music plays on after -deactivate"
}
case_name="xscreensaver, SIGTERM"
rm -f "$sink"
activate && {
    pkill -TERM -f "^$hacks/velmoria"
    wait_until 5 sh -c "[ \"\$(pgrep -fc '^$hacks/')\" = 0 ]" ||
        fail "SIGTERM left $(hack_processes) of the hack's processes after five seconds"
    file_grows "$sink" 3 && fail "the music plays on after SIGTERM"
    xscreensaver-command -deactivate >/dev/null 2>&1
}
xscreensaver-command -exit >/dev/null 2>&1
case_name=""
finish "Linux package"
