#!/usr/bin/env bash
# The Windows installer under Wine, in a Wine prefix of its own (a copy of the test prefix), on
# an X server of its own: "/S" installs both programs in the system folder, the settings file
# beside them, the uninstall entry and the current saver; the installed saver runs a session
# (the renderer draws, moving the mouse ends it, the shell ends with it); "/c" shows the dialog and its
# "設定" is kept in the system folder; the silent uninstaller removes files and entries.
#
#   windows_installer.sh SETUP_EXE WORKDIR
source "$(dirname "$0")/common.sh"
setup=$1
work=$2
rm -rf "$work" && mkdir -p "$work"
[ -f "$setup" ] || { echo "SKIP: no installer (makensis missing)"; exit 77; }
start_private_display || { echo "SKIP: no Xvfb"; exit 77; }
japanese_locale "$work/locale"
export WINEPREFIX="$work/prefix"
cp -a "${VELMORIA_TEST_PREFIX:-$e2e_root/build/wineprefix}" "$WINEPREFIX" 2>/dev/null ||
    "$wine_run" --make-prefix
trap 'wineserver -k >/dev/null 2>&1; stop_private_processes' EXIT
system="$WINEPREFIX/drive_c/windows/system32"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmoria'
registry_value() {  # KEY NAME: the value's data, or nothing
    "$wine_run" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
        awk -v name="$2" '$1 == name { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'
}

case_name="install"
cp "$setup" "$work/Velmoria-setup.exe"
timeout 120 "$wine_run" "$work/Velmoria-setup.exe" /S || fail "the installer ended with $?"
for file in Velmoria.scr Velmoria.dll Velmoria.ini; do
    [ -f "$system/$file" ] || fail "no $file in the system folder"
done
cmp -s "$system/Velmoria.scr" "$(dirname "$setup")/Velmoria.scr" || fail "Velmoria.scr is not the built one"
[ "$(registry_value "$uninstall_key" DisplayName)" = "Velmoria screen saver" ] ||
    fail "no uninstall entry"
uninstaller=$(registry_value "$uninstall_key" QuietUninstallString)
[ -n "$uninstaller" ] || fail "no quiet uninstall command"
[ "$(registry_value 'HKCU\Control Panel\Desktop' SCRNSAVE.EXE)" = 'C:\windows\system32\Velmoria.scr' ] ||
    fail "Velmoria is not the current saver: '$(registry_value 'HKCU\Control Panel\Desktop' SCRNSAVE.EXE)'"

case_name="installed session"
xdotool mousemove 300 300
"$wine_run" 'C:\windows\system32\Velmoria.scr' /s >/dev/null 2>&1 &
session=$!
wait_until 60 sh -c 'xdotool search --onlyvisible --name "^Skorvane_VC\$" >/dev/null 2>&1' ||
    fail "the installed saver's renderer showed no window"
wait_for_drawing 30 || fail "the renderer drew nothing"
sleep 1
xdotool mousemove 700 600  # further than the mouse threshold
wait_until 20 sh -c "! kill -0 $session 2>/dev/null" || { fail "the shell did not end"; kill "$session"; }
wait "$session" 2>/dev/null

case_name="installed dialog"
wine_japanese 'C:\windows\system32\Velmoria.scr' /c >/dev/null 2>&1 &
dialog=$!
window=""
wait_until 60 sh -c 'xdotool search --onlyvisible --name "^<Velmoria>\$" >/dev/null 2>&1' &&
    window=$(xdotool search --onlyvisible --name '^<Velmoria>$' | head -n 1)
if [ -n "$window" ]; then
    read -r cx cy < <(xwininfo -id "$window" | awk '/Absolute upper-left X:/ { x = $4 }
        /Absolute upper-left Y:/ { y = $4 } END { print x, y }')
    wait_for_pixel $((cx + 490)) $((cy + 123)) DCDCFA 15 || fail "the dialog was not drawn"
    xdotool mousemove $((cx + 12 + 50)) $((cy + 16 + 61)) click 1  # "音楽CD"
    sleep 0.5
    xdotool mousemove $((cx + 362)) $((cy + 212)) click 1  # "設定"
    wait_until 15 sh -c "! kill -0 $dialog 2>/dev/null" || { fail "設定 did not close the dialog"; kill "$dialog"; }
    printf '[Section]\r\nBGM\x8b\xe6\x95\xaa=1\r\nBGM\xd8\xcb\xdf\xb0\xc4=0\r\nBGM\xcc\xa7\xb2\xd9=\r\n' >"$work/expected.ini"
    cmp -s "$system/Velmoria.ini" "$work/expected.ini" ||
        fail "the installed settings file is not what 設定 wrote: $(xxd "$system/Velmoria.ini" | head -n 3)"
else
    fail "the installed saver showed no dialog"
    kill "$dialog"
fi
wait "$dialog" 2>/dev/null

case_name="uninstall"
# The uninstaller copies itself to the temporary folder and runs from there: wait for its work.
program=$(printf '%s' "$uninstaller" | sed -n 's/^"\([^"]*\)" \/S$/\1/p')
[ -n "$program" ] || fail "the quiet uninstall command is '$uninstaller'"
timeout 60 "$wine_run" "$program" /S >/dev/null 2>&1
wait_until 30 sh -c "[ ! -e '$system/Velmoria.scr' ] && [ ! -e '$WINEPREFIX/drive_c/Program Files/Velmoria' ]" ||
    fail "the uninstaller left files"
for file in Velmoria.scr Velmoria.dll Velmoria.ini; do
    [ -e "$system/$file" ] && fail "$file is still there"
done
[ -n "$(registry_value "$uninstall_key" DisplayName)" ] && fail "the uninstall entry is still there"
[ -n "$(registry_value 'HKCU\Control Panel\Desktop' SCRNSAVE.EXE)" ] && fail "SCRNSAVE.EXE still names Velmoria"
case_name=""
finish "Windows installer"
