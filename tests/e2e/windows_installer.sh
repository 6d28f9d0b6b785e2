#!/usr/bin/env bash
# The Windows installer under Wine, in a Wine prefix of its own (a copy of the test prefix), on
# an X server of its own: "/S" installs both programs in the system folder (and no settings
# file), the uninstall entry and the current saver, also under a desktop shell, where it frees
# only blocks it was given; the installed saver runs a session (the renderer draws, moving the
# mouse ends it, the shell ends with it); "/c" takes its starting values from a file beside the
# program and "設定" writes the user's own file in %APPDATA%, leaving that file alone; installing over a running session, preview or dialog ends it and
# leaves the built files in place; the silent uninstaller removes files and entries, also while a
# session or a preview runs; another program whose windows carry our titles (answering, refusing
# to close, or hung) keeps them, and installing and uninstalling beside it take seconds; a copy
# that fails (a folder in the way, a busy file, a hung program of ours) fails the installer with
# a non-zero exit.
#
#   windows_installer.sh SETUP_EXE SHELL_WINDOW_EXE BYSTANDER_EXE WORKDIR
source "$(dirname "$0")/common.sh"
# The work folder is emptied and holds a Wine prefix: never run with one missing.
[ $# -eq 4 ] && [ -n "$4" ] || {
    echo "usage: windows_installer.sh SETUP_EXE SHELL_WINDOW_EXE BYSTANDER_EXE WORKDIR"
    exit 2
}
setup=$1
shell_window=$2
bystander=$3
work=$4
rm -rf "$work" && mkdir -p "$work"
[ -f "$setup" ] || { echo "SKIP: no installer (makensis missing)"; exit 77; }
start_private_display || { echo "SKIP: no Xvfb"; exit 77; }
japanese_locale "$work/locale"
export WINEPREFIX="$work/prefix"
cp -a "${VELMORIA_TEST_PREFIX:-$e2e_root/build/wineprefix}" "$WINEPREFIX" 2>/dev/null ||
    "$wine_run" --make-prefix
trap 'wineserver -k >/dev/null 2>&1; stop_private_processes' EXIT
built=$(dirname "$setup")
system="$WINEPREFIX/drive_c/windows/system32"
installed='C:\windows\system32\Velmoria.scr'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmoria'
user_ini=$(wine_user_settings)
cp "$setup" "$work/Velmoria-setup.exe"

registry_value() {  # KEY NAME: the value's data, or nothing
    "$wine_run" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
        awk -v name="$2" '$1 == name { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'
}
current_saver() { registry_value 'HKCU\Control Panel\Desktop' SCRNSAVE.EXE; }

# The silent installer, ended after SECONDS (default 180); its exit code is the script's to check.
install() { timeout "${1:-180}" "$wine_run" "$work/Velmoria-setup.exe" /S >/dev/null 2>&1; }
expect_installed() {
    local file
    for file in Velmoria.scr Velmoria.dll; do
        cmp -s "$system/$file" "$built/$file" || fail "$file in the system folder is not the built one"
    done
    [ "$(registry_value "$uninstall_key" DisplayName)" = "Velmoria screen saver" ] ||
        fail "no uninstall entry"
}
# The quiet uninstall command of the entry. The uninstaller copies itself to the temporary
# folder and runs from there: its work is waited for (at most SECONDS, default 120).
uninstall() {
    local command program
    command=$(registry_value "$uninstall_key" QuietUninstallString)
    program=$(printf '%s' "$command" | sed -n 's/^"\([^"]*\)" \/S$/\1/p')
    [ -n "$program" ] || { fail "the quiet uninstall command is '$command'"; return; }
    timeout 60 "$wine_run" "$program" /S >/dev/null 2>&1
    wait_until "${1:-120}" sh -c "[ ! -e '$system/Velmoria.scr' ] && [ ! -e '$system/Velmoria.dll' ] &&
        [ ! -e '$WINEPREFIX/drive_c/Program Files/Velmoria' ]" || fail "the uninstaller left files"
}
expect_uninstalled() {
    local file
    for file in Velmoria.scr Velmoria.dll Velmoria.ini; do
        [ -e "$system/$file" ] && fail "$file is still in the system folder"
    done
    [ -n "$(registry_value "$uninstall_key" DisplayName)" ] && fail "the uninstall entry is still there"
    [ -n "$(current_saver)" ] && fail "SCRNSAVE.EXE still names Velmoria"
}

# Our programs, started from the system folder; `running` is the shell's process.
renderer_shown() { xdotool search --onlyvisible --name '^Skorvane_VC$' >/dev/null 2>&1; }
start_session() {
    xdotool mousemove 300 300
    "$wine_run" "$installed" /s >/dev/null 2>&1 &
    running=$!
    wait_until 60 renderer_shown || fail "the installed saver's renderer showed no window"
}
# A preview in a host window of the window tool, as the display settings show one.
preview_shown() { "$wine_run" "$shell_window" child "$host_id" >/dev/null 2>&1; }
start_preview() {
    rm -f "$work/host.id"
    "$wine_run" "$shell_window" host 152x112 >"$work/host.id" 2>/dev/null &
    host_pid=$!
    wait_until 30 test -s "$work/host.id" || fail "no host window"
    host_id=$(head -n 1 "$work/host.id" | tr -d '\r')
    "$wine_run" "$installed" /p "$host_id" >/dev/null 2>&1 &
    running=$!
    wait_until 30 preview_shown || fail "the installed preview did not show"
}
# The settings dialog, as the display settings' button opens it.
dialog_shown() { xdotool search --onlyvisible --name '^<Velmoria>$' >/dev/null 2>&1; }
start_dialog() {
    wine_japanese "$installed" /c >/dev/null 2>&1 &
    running=$!
    wait_until 60 dialog_shown || fail "the installed dialog did not show"
}
start_running() { "start_$1"; }
# The program started last has ended, and no renderer is left; the preview's host goes too.
expect_ended() {
    wait_until 30 sh -c "! kill -0 $running 2>/dev/null" || { fail "the running $1 lives on"; kill "$running"; }
    wait "$running" 2>/dev/null
    wait_until 30 sh -c '! xdotool search --name "^Skorvane_VC\$" >/dev/null 2>&1' ||
        fail "a renderer window is left"
    if [ "$1" = preview ]; then
        "$wine_run" "$shell_window" close "$host_id" >/dev/null 2>&1
        wait_until 30 sh -c "! kill -0 $host_pid 2>/dev/null" || kill "$host_pid" 2>/dev/null
        wait "$host_pid" 2>/dev/null
    fi
}
seconds_since() { echo $(($(date +%s) - $1)); }
end_process() {
    kill "$1" 2>/dev/null
    wait_until 10 sh -c "! kill -0 $1 2>/dev/null" || kill -9 "$1" 2>/dev/null
    wait "$1" 2>/dev/null
}
# What a Wine relay trace of GlobalAlloc, GlobalReAlloc and GlobalFree (WINEDEBUG=+pid,+relay)
# shows wrong: a block freed that its process was not given (or freed twice), a free that
# failed, a heap error.
bad_frees() {
    awk '
        function first_argument(text) {
            sub(/^[^(]*\(/, "", text)
            sub(/[,)].*$/, "", text)
            return text
        }
        function return_value(text) {
            sub(/^.* retval=/, "", text)
            sub(/ .*$/, "", text)
            return text
        }
        {
            line = tolower($0)
            process = substr(line, 1, index(line, ":") - 1)
        }
        line ~ /:call kernel32\.globalrealloc\(/ { delete live[process " " first_argument(line)] }
        line ~ /:ret  kernel32\.global(re)?alloc\(\) retval=/ { live[process " " return_value(line)] = 1 }
        line ~ /:call kernel32\.globalfree\(/ {
            block = first_argument(line)
            if (block !~ /^0+$/ && !((process " " block) in live)) {
                print "freed " block ", not a block given"
            }
            delete live[process " " block]
        }
        line ~ /:ret  kernel32\.globalfree\(\) retval=/ && return_value(line) !~ /^0+$/ {
            print "a free failed"
        }
        line ~ /:err:heap:/ { print $0 }' "$1"
}
# The user's settings file in code page 932: kind, track, no music file.
settings_bytes() {
    printf '[Section]\r\nBGM\x8b\xe6\x95\xaa=%s\r\nBGM\xd8\xcb\xdf\xb0\xc4=%s\r\n' "$1" "$2"
    [ -n "${3:-}" ] && printf 'BGM\xcc\xa7\xb2\xd9=\r\n'
}

case_name="install"
install || fail "the installer ended with $?"
expect_installed
[ -e "$system/Velmoria.ini" ] && fail "the installer made a settings file in the system folder"
[ "$(current_saver)" = "$installed" ] || fail "Velmoria is not the current saver: '$(current_saver)'"

# Under a desktop shell (the bystander holds the shell window, as Explorer does) the installer
# compares the shell's account with its own, here the same: Velmoria becomes the current saver.
# Wine's trace of that install shows every block freed one the process was given: the token
# buffers are freed, not the SIDs inside them.
case_name="install under a desktop shell"
"$wine_run" reg delete 'HKCU\Control Panel\Desktop' /v SCRNSAVE.EXE /f >/dev/null 2>&1
"$wine_run" "$bystander" shell >"$work/shell.out" 2>/dev/null &
shell_pid=$!
if wait_until 30 test -s "$work/shell.out"; then
    "$wine_run" reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /f \
        /d 'kernel32.GlobalAlloc;kernel32.GlobalReAlloc;kernel32.GlobalFree' >/dev/null 2>&1
    WINEDEBUG=+pid,+relay timeout 180 "$wine_run" "$work/Velmoria-setup.exe" /S \
        >/dev/null 2>"$work/relay.log" || fail "the installer ended with $?"
    "$wine_run" reg delete 'HKCU\Software\Wine\Debug' /v RelayInclude /f >/dev/null 2>&1
    [ "$(current_saver)" = "$installed" ] || fail "Velmoria is not the current saver: '$(current_saver)'"
    grep -q 'Call KERNEL32.GlobalFree' "$work/relay.log" || fail "no trace of the install"
    problems=$(bad_frees "$work/relay.log")
    [ -z "$problems" ] || fail "the install freed what it was not given: $(paste -sd ';' <<<"$problems")"
else
    fail "the bystander could not hold the desktop's shell window"
fi
end_process "$shell_pid"

case_name="installed session"
start_session
wait_for_drawing 30 || fail "the renderer drew nothing"
sleep 1
xdotool mousemove 700 600  # further than the mouse threshold
wait_until 20 sh -c "! kill -0 $running 2>/dev/null" || { fail "the shell did not end"; kill "$running"; }
wait "$running" 2>/dev/null

# An administrator's starting values beside the program: the dialog opens with them, and "設定"
# writes the user's own file, the folder made for it.
case_name="installed dialog"
rm -rf "$(dirname "$user_ini")"
settings_bytes 1 4 >"$system/Velmoria.ini"
cp "$system/Velmoria.ini" "$work/defaults.ini"
wine_japanese "$installed" /c >/dev/null 2>&1 &
dialog=$!
window=""
wait_until 60 dialog_shown && window=$(xdotool search --onlyvisible --name '^<Velmoria>$' | head -n 1)
if [ -n "$window" ]; then
    read -r cx cy < <(xwininfo -id "$window" | awk '/Absolute upper-left X:/ { x = $4 }
        /Absolute upper-left Y:/ { y = $4 } END { print x, y }')
    wait_for_pixel $((cx + 490)) $((cy + 123)) DCDCFA 15 || fail "the dialog was not drawn"
    sleep 0.5
    xdotool mousemove $((cx + 362)) $((cy + 212)) click 1  # "設定"
    wait_until 15 sh -c "! kill -0 $dialog 2>/dev/null" || { fail "設定 did not close the dialog"; kill "$dialog"; }
    settings_bytes 1 4 with-file >"$work/expected.ini"
    cmp -s "$user_ini" "$work/expected.ini" ||
        fail "the user's settings file is not what 設定 wrote: $(xxd "$user_ini" 2>&1 | head -n 3)"
    cmp -s "$system/Velmoria.ini" "$work/defaults.ini" || fail "設定 changed the file beside the program"
else
    fail "the installed saver showed no dialog"
    kill "$dialog"
fi
wait "$dialog" 2>/dev/null

# Installing over a copy that runs from older files: the copy is ended, the built files are in
# place, and the starting values beside the program are kept byte for byte.
for what in session preview dialog; do
    case_name="install over a running $what"
    printf 'old' >>"$system/Velmoria.scr"
    printf 'old' >>"$system/Velmoria.dll"
    start_running "$what"
    install || fail "the installer ended with $?"
    expect_installed
    expect_ended "$what"
    cmp -s "$system/Velmoria.ini" "$work/defaults.ini" || fail "the file beside the program changed"
done

# Uninstalling while a copy runs: the copy is ended and nothing is left, not even the entry.
for what in session preview; do
    case_name="uninstall while a $what runs"
    [ -e "$system/Velmoria.scr" ] || install || fail "the installer ended with $?"
    start_running "$what"
    uninstall
    expect_ended "$what"
    expect_uninstalled
done
[ -f "$user_ini" ] || fail "the uninstaller removed the user's own settings"

# Another program whose windows carry our titles (see bystander): a top-level "<Velmoria>" and a
# "Preview Window" inside a window of its own. Installing and uninstalling beside it leave its
# windows alone, unasked, whether it answers, refuses to close or has hung, and neither waits on
# it. A copy of ours, started first (ours do not start while a "<Velmoria>" is open), is closed.
bystander_kept() {
    kill -0 "$bystander_pid" 2>/dev/null || { fail "the other program ended"; return; }
    "$wine_run" "$shell_window" exists "<Velmoria>" >/dev/null 2>&1 ||
        fail "the other program's <Velmoria> window was closed"
    "$wine_run" "$shell_window" child "$bystander_host" >"$work/child.out" 2>&1 ||
        fail "the other program's Preview Window was closed: $(tr -d '\r' <"$work/child.out")"
    ! grep -q '^asked to close' "$work/bystander.out" ||
        fail "the other program was asked to close $(grep -c '^asked' "$work/bystander.out") times:" \
            "$(grep -m 2 '^asked' "$work/bystander.out" | tr -d '\r' | paste -sd ,)"
}
for pair in normal:dialog refusing:preview hung:session; do
    mode=${pair%%:*} what=${pair#*:}
    case_name="install beside another program's windows ($mode), our $what running"
    [ -e "$system/Velmoria.scr" ] || install || fail "the installer ended with $?"
    start_running "$what"
    rm -f "$work/bystander.out"
    "$wine_run" "$bystander" "$mode" >"$work/bystander.out" 2>/dev/null &
    bystander_pid=$!
    wait_until 30 test -s "$work/bystander.out" || fail "the other program showed no windows"
    bystander_host=$(head -n 1 "$work/bystander.out" | tr -d '\r')
    kill -0 "$running" 2>/dev/null || fail "our $what ended before the install"
    # A generous ceiling: an installer that waits on the other program takes minutes.
    started=$(date +%s)
    install 90 || fail "the installer ended with $?"
    echo "installing beside the $mode program took $(seconds_since "$started") s"
    expect_installed
    expect_ended "$what"
    bystander_kept
    case_name="uninstall beside another program's windows ($mode)"
    started=$(date +%s)
    uninstall 90
    echo "uninstalling beside the $mode program took $(seconds_since "$started") s"
    expect_uninstalled
    bystander_kept
    end_process "$bystander_pid"
done

# A file that cannot be written fails the install with exit code 2: a folder where a program
# should go; a program file held by a running program that is not ours (the window tool under
# that name, whose window is not one of ours); one held by a hung program of ours (the bystander
# under our name), which is waited for a while and then given up.
for blocker in folder busy hung; do
    case_name="failing copy ($blocker)"
    rm -rf "$system/Velmoria.dll" "$system/Velmoria.scr"
    blocker_pid=""
    case $blocker in
        folder) mkdir "$system/Velmoria.dll" ;;
        busy)
            blocker_file=Velmoria.dll blocker_program=$shell_window
            cp "$shell_window" "$system/Velmoria.dll"
            "$wine_run" 'C:\windows\system32\Velmoria.dll' open "Not Velmoria" >/dev/null 2>&1 &
            blocker_pid=$!
            wait_until 30 "$wine_run" "$shell_window" exists "Not Velmoria" ||
                fail "the blocker did not start"
            ;;
        hung)
            blocker_file=Velmoria.scr blocker_program=$bystander
            cp "$bystander" "$system/Velmoria.scr"
            rm -f "$work/hung.out"
            "$wine_run" "$installed" hung >"$work/hung.out" 2>/dev/null &
            blocker_pid=$!
            wait_until 30 test -s "$work/hung.out" || fail "the blocker did not start"
            ;;
    esac
    started=$(date +%s)
    install
    code=$?
    echo "installing over the $blocker file took $(seconds_since "$started") s"
    [ "$code" = 2 ] || fail "the installer ended with $code, not 2"
    [ -n "$(registry_value "$uninstall_key" DisplayName)" ] && fail "a failed install registered an uninstaller"
    if [ -n "$blocker_pid" ]; then
        cmp -s "$system/$blocker_file" "$blocker_program" || fail "the busy file was changed"
        end_process "$blocker_pid"
    fi
    rm -rf "$system/Velmoria.dll" "$system/Velmoria.scr"
done
case_name=""
finish "Windows installer"
