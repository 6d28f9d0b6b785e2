# Sourced after common.sh: GNOME Shell headless (one virtual 1024 x 768 monitor over a green
# desktop, XWayland on) in a D-Bus session of its own, with a private system bus that answers its
# login-manager calls with "no such service", as the ordinary test user. Input goes through
# Mutter's remote desktop, screenshots through the shell (tests/support/gnome_remote.py).
# shellcheck shell=bash

# Ends the script as skipped without GNOME Shell and the tools that drive it.
require_gnome_shell() {
    require_tools gnome-shell dbus-run-session dbus-daemon Xwayland gsettings setsid
    /usr/bin/python3 -c 'from gi.repository import Gio' 2>/dev/null || {
        echo "SKIP: python3-gi is not installed"
        exit 77
    }
}

# Starts GNOME Shell in FOLDER (made afresh, removed at the end), copies PROGRAM... and the
# remote-control script into FOLDER/bin and leaves the shell on its desktop, the overview closed
# and the pointer at 0,0. Sets gnome_root, gnome_bin, gnome_home and gnome_runtime; ends the
# script as skipped, with the shell's last words, when it does not come up.
start_gnome_shell() {
    gnome_root=$1
    shift
    gnome_bin=$gnome_root/bin gnome_home=$gnome_root/home gnome_runtime=$gnome_root/run
    gnome_env=()
    rm -rf "$gnome_root"
    mkdir -p "$gnome_bin" "$gnome_runtime" "$gnome_home/.cache/q_sarn" "$gnome_home/.config"
    private_folders+=("$gnome_root")
    cp "$@" "$(dirname "${BASH_SOURCE[0]}")/../support/gnome_remote.py" "$gnome_bin/"
    cat >"$gnome_root/system-bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$gnome_root/system-bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
EOF
    chmod 755 "$gnome_root" "$gnome_bin"
    chmod 700 "$gnome_runtime"
    own_as_test_user "$gnome_root" || { echo "SKIP: no test user"; exit 77; }
    # The session bus's address goes to a file, for the script's own calls.
    cat >"$gnome_root/session.sh" <<'EOF'
dbus-daemon --config-file="$1" --nofork &
exec dbus-run-session -- sh -c 'echo "$DBUS_SESSION_BUS_ADDRESS" >"$1.tmp" && mv "$1.tmp" "$1" &&
    exec gnome-shell --wayland --headless --virtual-monitor 1024x768' sh "$2"
EOF
    private_cleanups+=(stop_gnome_shell)
    trap stop_private_processes EXIT
    # A second try: under load the shell now and then hangs in its start (a child it forks
    # waits on a lock it inherited, and XWayland waits on the shell).
    local started=$SECONDS
    launch_gnome_shell || { stop_gnome_shell && launch_gnome_shell; } || {
        echo "SKIP: GNOME Shell did not start here: $(grep -v '^ *[a-z_]*@' "$gnome_root/shell.log" |
            tail -n 5)"
        exit 77
    }
    echo "GNOME Shell ready in $((SECONDS - started)) s"
    # A desktop of one colour (#00FF00, as the sway tests), no hot corner (the pointer is homed
    # there) and no animations to wait for.
    on_gnome gsettings set org.gnome.desktop.background picture-uri "''" &&
        on_gnome gsettings set org.gnome.desktop.background primary-color "'#00ff00'" &&
        on_gnome gsettings set org.gnome.desktop.background color-shading-type "'solid'" &&
        on_gnome gsettings set org.gnome.desktop.interface enable-hot-corners false &&
        on_gnome gsettings set org.gnome.desktop.interface enable-animations false ||
        fail "GNOME's settings could not be changed"
    # One remote-desktop session serves all input, through two FIFOs.
    mkfifo "$gnome_root/input" "$gnome_root/input-done"
    [ "$(id -u)" != 0 ] || chown "$wayland_user:" "$gnome_root/input" "$gnome_root/input-done"
    gnome_command "$gnome_bin/gnome_remote.py" serve "$gnome_root/input" "$gnome_root/input-done"
    "${gnome_cmd[@]}" >"$gnome_root/input.log" 2>&1 &
    private_display_pids=("$!" "${private_display_pids[@]}")
    # Both opened read-write, which does not wait for the other end: a server that never came
    # leaves the calls to time out.
    exec {gnome_input_fd}<>"$gnome_root/input" {gnome_done_fd}<>"$gnome_root/input-done"
    # The shell starts in its overview, a startup banner sometimes taking the first Escape.
    local tries=10
    gnome_input home || return 1
    while ! gnome_shows_desktop; do
        tries=$((tries - 1))
        if [ "$tries" -eq 0 ]; then
            fail "GNOME stays in its overview"
            return 1
        fi
        gnome_input key 0xff1b
        sleep 0.5
    done
    return 0
}

# One start of the shell, in a session of its own (setsid: a script's background job leads no
# process group, so the session's id is the job's) whose every process the end kills: D-Bus
# starts services that leave the shell's process tree. Returns 1 unless it serves its D-Bus
# interfaces and XWayland answers within a minute or so.
launch_gnome_shell() {
    rm -f "$gnome_root/session-bus"
    gnome_env=(DBUS_SYSTEM_BUS_ADDRESS="unix:path=$gnome_root/system-bus")
    gnome_command sh "$gnome_root/session.sh" "$gnome_root/system-bus.conf" "$gnome_root/session-bus"
    setsid "${gnome_cmd[@]}" >"$gnome_root/shell.log" 2>&1 &
    gnome_session=$!
    wait_until 30 test -s "$gnome_root/session-bus" || return 1
    gnome_env+=(DBUS_SESSION_BUS_ADDRESS="$(cat "$gnome_root/session-bus")")
    wait_for 30 on_gnome timeout 10 "$gnome_bin/gnome_remote.py" ready &&
        wait_until 10 grep -q "Using public X11 display" "$gnome_root/shell.log" || return 1
    gnome_env+=("WAYLAND_DISPLAY=$(sed -n "s/.*Using Wayland display name '\(.*\)'.*/\1/p" "$gnome_root/shell.log")"
        XAUTHORITY="$(ls -t "$gnome_runtime"/.mutter-Xwaylandauth.* | head -n 1)"
        DISPLAY="$(sed -n 's/.*Using public X11 display \(:[0-9]*\).*/\1/p' "$gnome_root/shell.log")")
    wait_for 20 on_gnome timeout 5 xwininfo -root >/dev/null 2>&1
}

# Whether the screen is mostly the green desktop (the overview shows it only in thumbnails).
gnome_shows_desktop() {
    local counts
    gnome_shot "$gnome_root/desktop.png" && counts=$(pixel_kinds "$gnome_root/desktop.png") &&
        [ "$(kind_count green "$counts")" -gt "$(($(kind_count all "$counts") * 3 / 4))" ]
}

# Kills every process of the shell's session (the shell, its buses and the services they
# started, XWayland), and our programs started from FOLDER/bin.
stop_gnome_shell() {
    [ -n "${gnome_session:-}" ] || return 0
    local tries=50 pid
    gnome_processes() {
        ps -e -o pid=,sid= | awk -v sid="$gnome_session" '$2 == sid { print $1 }'
        pgrep -f "^$gnome_bin/"
    }
    for pid in $(gnome_processes); do kill "$pid" 2>/dev/null; done
    while [ -n "$(gnome_processes)" ] && [ "$tries" -gt 0 ]; do
        sleep 0.1
        tries=$((tries - 1))
    done
    for pid in $(gnome_processes); do kill -KILL "$pid" 2>/dev/null; done
    gnome_session=""
}

# Runs a command as the shell's user inside its session: its buses, Wayland and XWayland
# displays, runtime, home and XDG folders. `gnome_command CMD...` only sets gnome_cmd to it (for
# starting it in the background: "${gnome_cmd[@]}" & leaves the program itself in $!).
gnome_command() {
    gnome_cmd=(env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME="$gnome_home" LANG=C.UTF-8
        XDG_RUNTIME_DIR="$gnome_runtime" XDG_CACHE_HOME="$gnome_home/.cache"
        XDG_CONFIG_HOME="$gnome_home/.config" VELMORIA_REGISTRY="$gnome_home/none.reg"
        "${gnome_env[@]}" "${gnome_extra_env[@]}" "${as_test_user[@]}" "$@")
}
on_gnome() {
    gnome_command "$@"
    "${gnome_cmd[@]}"
}
gnome_extra_env=()

# Input through the remote-desktop session: gnome_input ACTION... (home, move DX,DY, click,
# key K, pause S; see gnome_remote.py). Returns once it is sent; says what went wrong, if it did.
gnome_input() {
    local answer=""
    echo "$*" >&"$gnome_input_fd" && read -r -t 30 answer <&"$gnome_done_fd"
    [ "$answer" = ok ] || { echo "input $*: ${answer:-no answer}: $(tail -n 3 "$gnome_root/input.log")"; return 1; }
}
# The pointer to X,Y of the screen: homed to 0,0 and moved from there.
gnome_pointer_to() { gnome_input home move "$1,$2"; }
# A screenshot of the whole screen, the shell's own top bar included, into FILE.
gnome_shot() {
    on_gnome "$gnome_bin/gnome_remote.py" shot "$gnome_root/shot.png" 2>/dev/null &&
        cp "$gnome_root/shot.png" "$1"
}
