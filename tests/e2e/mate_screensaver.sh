#!/usr/bin/env bash
# MATE's screen saver: Debian's mate-screensaver daemon on an X server of its own, in a D-Bus
# session of an ordinary user with a PulseAudio server (a null sink) in the user's runtime folder
# /run/user/<uid>. The package's files (the build tree installed as CPack gathers it) stand where
# the package puts them, in a mount namespace of the test's own: the hacks' folder bound over
# /usr/libexec/xscreensaver, the share folder first in XDG_DATA_DIRS. MATE's menu library lists
# the entry; with the one theme screensavers-velmoria chosen, --activate runs the hack in the
# daemon's window and it draws there, the music playing as one stream at the sound server although
# the daemon hands the hack no XDG_RUNTIME_DIR; --deactivate, and the daemon's death, end every
# process of ours and the music.
#   mate_screensaver.sh BUILD_DIR WORK
set -uo pipefail
build=$1 work=$2
source "$(dirname "$0")/common.sh"
require_tools mate-screensaver mate-screensaver-command dbus-run-session pulseaudio pactl Xvfb \
    import cmake unshare setpriv
/usr/bin/python3 -c 'import gi; gi.require_version("MateMenu", "2.0")' 2>/dev/null ||
    { echo "SKIP: MATE's menu library for Python (gir1.2-matemenu-2.0) is not installed"; exit 77; }
[ "$(id -u)" = 0 ] || { echo "SKIP: needs root (a user of its own, bind mounts)"; exit 77; }
if [ -z "${VELMORIA_MATE_NAMESPACE:-}" ]; then
    unshare --mount true 2>/dev/null || { echo "SKIP: no mount namespaces here"; exit 77; }
    exec env VELMORIA_MATE_NAMESPACE=1 unshare --mount --propagation private "$0" "$@"
fi
rm -rf "$work" && mkdir -p "$work"
hacks=/usr/libexec/xscreensaver

case_name="package"
# The package's files as CPack gathers them: the build tree installed under a root of our own.
saver_root=$(mktemp -d /tmp/velmoria-mate.XXXXXX)
private_folders+=("$saver_root")
chmod 755 "$saver_root"
DESTDIR="$saver_root/root" cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1 || {
    fail "cmake --install failed: $(tail -n 5 "$work/install.log")"
    finish "MATE screen saver"
}
mkdir -p "$hacks" && mount --bind "$saver_root/root$hacks" "$hacks" || {
    fail "could not bind the package's hacks over $hacks"
    finish "MATE screen saver"
}

# The user, its home and its runtime folder as logind makes it (on a tmpfs of the namespace).
ordinary_user velmoria-mate || { fail "no user velmoria-mate"; finish "MATE screen saver"; }
uid=$(id -u velmoria-mate)
mkdir -p /run/user && mount -t tmpfs -o mode=755 velmoria-run /run/user &&
    install -d -m 700 -o velmoria-mate -g velmoria-mate "/run/user/$uid" ||
    { fail "no runtime folder"; finish "MATE screen saver"; }
home="$saver_root/home"
write_tone "$saver_root/tone.wav" 30
write_music_settings "$home/.config/velmoria/Velmoria.ini" "$saver_root/tone.wav"
chown -R velmoria-mate: "$home"
# Runs a command as that user in its session: `mate_command CMD...` only sets the array mate_cmd,
# for starting it in the background ($! is then the program: env and setpriv replace themselves).
mate_command() {
    mate_cmd=(env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME="$home" LANG=C.UTF-8 DISPLAY="$DISPLAY"
        XDG_RUNTIME_DIR="/run/user/$uid" XDG_DATA_DIRS="$saver_root/root/usr/share:/usr/share"
        XDG_CURRENT_DESKTOP=MATE NO_AT_BRIDGE=1 ${bus:+DBUS_SESSION_BUS_ADDRESS="$bus"}
        "${as_user[@]}" "$@")
}
as_mate() {
    mate_command "$@"
    "${mate_cmd[@]}"
}

start_private_display 1024x768 -ac || { fail "no Xvfb"; finish "MATE screen saver"; }
# Streams playing at the sound server.
streams() { as_mate pactl list short sink-inputs 2>/dev/null | wc -l; }
playing() { [ "$(streams)" -ge 1 ]; }
silent() { [ "$(streams)" = 0 ]; }
bus=""

case_name="daemon"
# Its own D-Bus session: the daemon and the settings it reads, the address left for the test.
mate_command dbus-run-session -- sh -c 'echo "$DBUS_SESSION_BUS_ADDRESS" >"$1/bus" &&
    gsettings set org.mate.screensaver mode single &&
    gsettings set org.mate.screensaver themes "[\"screensavers-velmoria\"]" &&
    gsettings set org.mate.screensaver lock-enabled false &&
    gsettings set org.mate.screensaver idle-activation-enabled false &&
    exec mate-screensaver --no-daemon --debug' sh "$home"
"${mate_cmd[@]}" >"$work/daemon.log" 2>&1 &
session=$!
wait_until 20 test -s "$home/bus" || fail "no D-Bus session"
bus=$(cat "$home/bus" 2>/dev/null)
daemon_answers() { as_mate mate-screensaver-command --query >/dev/null 2>&1; }
wait_for 20 daemon_answers || fail "the daemon did not start: $(tail -n 3 "$work/daemon.log")"
# The session ends its bus when the daemon ends, but not when it is ended itself.
daemon=$(pgrep -u velmoria-mate -f '^mate-screensaver --no-daemon')
private_display_pids=("${daemon:-$session}" "${private_display_pids[@]}")

case_name="sound server"
mate_command pulseaudio -n --daemonize=no --exit-idle-time=-1 --realtime=no --high-priority=no \
    --log-target=stderr --load=module-native-protocol-unix \
    --load="module-null-sink sink_name=velmoria_null"
"${mate_cmd[@]}" >"$work/pulseaudio.log" 2>&1 &
private_display_pids=("$!" "${private_display_pids[@]}")
wait_until 20 test -S "/run/user/$uid/pulse/native" ||
    fail "PulseAudio did not start: $(tail -n 3 "$work/pulseaudio.log")"

case_name="listed"
# As the daemon reads its themes: MATE's menu of screen savers, entries it would hide left out.
mate_command
mate_menu_lists screensavers-velmoria.desktop "${mate_cmd[@]}" ||
    fail "MATE's menu of screen savers does not list screensavers-velmoria.desktop"

# Our processes: the hack (the shell) and the renderer, as the daemon started them.
ours() { pgrep -u velmoria-mate -f "^$hacks/(velmoria|Velmoria)"; }
shells() { pgrep -u velmoria-mate -f "^$hacks/velmoria"; }
renderers() { pgrep -u velmoria-mate -f "^$hacks/Velmoria.dll"; }
# Blanks the screen and waits for the hack to draw in the daemon's window and for the music to
# play, as one stream at the sound server.
activate() {
    as_mate mate-screensaver-command --activate >/dev/null 2>&1 || fail "--activate was refused"
    wait_for 30 renderers >/dev/null || {
        fail "no renderer: $(grep -i "theme" "$work/daemon.log" | tail -n 1)"
        return 1
    }
    local host
    host=$(tr '\0' '\n' <"/proc/$(shells | head -n 1)/environ" 2>/dev/null |
        sed -n 's/^XSCREENSAVER_WINDOW=//p')
    [ -n "$host" ] || { fail "the hack was given no XSCREENSAVER_WINDOW"; return 1; }
    wait_for_drawing 20 "$host" || fail "only ${lit:-0} lit pixels in the daemon's window $host"
    [ "$(renderers | wc -l)" = 1 ] || fail "$(renderers | wc -l) renderers, not one"
    wait_for 15 playing || fail "no stream at the sound server"
    sleep 1
    [ "$(streams)" = 1 ] || fail "$(streams) streams at the sound server, not one"
    return 0
}
ended() { [ -z "$(ours)" ]; }

case_name="activate"
activate && {
    case_name="deactivate"
    as_mate mate-screensaver-command --deactivate >/dev/null 2>&1
    wait_for 10 ended || fail "--deactivate left the processes $(ours | tr '\n' ' ')"
    wait_for 5 silent || fail "the music plays on: $(streams) streams"
}
grep -q "Could not find information for theme" "$work/daemon.log" &&
    fail "$(grep -m 1 "Could not find information for theme" "$work/daemon.log")"

case_name="the daemon's death"
activate && {
    kill -KILL "$daemon"
    wait_for 10 ended || fail "the daemon's death left the processes $(ours | tr '\n' ' ')"
    wait_for 5 silent || fail "the music plays on: $(streams) streams"
}
case_name=""
finish "MATE screen saver"
