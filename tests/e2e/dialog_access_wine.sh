#!/usr/bin/env bash
# The settings dialog ("Velmoria.scr /c" under Wine) by keyboard and through Active
# Accessibility, on an X server of its own: dialog-access-client checks every control's role,
# name, value and state, the objects the focused panel and gradient buttons answer with, the Tab
# order, the arrows over the music kinds, Space on "...", a focus mark only after keyboard use
# and Escape storing nothing; then Return on the kinds stores them.
#
#   dialog_access_wine.sh VELMORIA_SCR DIALOG_ACCESS_CLIENT WORKDIR
source "$(dirname "$0")/common.sh"
program=$1
client=$2
work=$3
rm -rf "$work" && mkdir -p "$work"
require_tools wine
start_private_display || { echo "SKIP: no Xvfb"; exit 77; }
japanese_locale "$work/locale"
mkdir -p "$work/program" && cp "$program" "$work/program/Velmoria.scr"
ini=$(wine_user_settings)
mkdir -p "$(dirname "$ini")"
# Kind 音楽CD, track 7, a music file that is there (in code page 932, as the program writes).
mkdir -p "$work/music" && : >"$work/music/theme.mp3"
file=$(WINEDEBUG=-all winepath -w "$work/music/theme.mp3" 2>/dev/null | tr -d '\r')
printf '[Section]\r\nBGM\x8b\xe6\x95\xaa=1\r\nBGM\xd8\xcb\xdf\xb0\xc4=7\r\nBGM\xcc\xa7\xb2\xd9=%s\r\n' \
    "$file" >"$ini"
cp "$ini" "$work/before.ini"

dialog_pid=""
start_dialog() {
    wine_japanese "$work/program/Velmoria.scr" /c >"$work/dialog.out" 2>&1 &
    dialog_pid=$!
    wait_until 60 sh -c 'xdotool search --onlyvisible --name "^<Velmoria>\$" >/dev/null 2>&1' ||
        { fail "no dialog window"; return 1; }
}
client() { wine_japanese "$client" "$@" 2>&1 | tr -d '\r'; return "${PIPESTATUS[0]}"; }
expect_closed() {
    ended_within 20 "$dialog_pid" || { fail "the dialog did not end after $1"; kill "$dialog_pid"; }
}

case_name="tree and keys"
if start_dialog; then
    client keys "$(WINEDEBUG=-all winepath -w "$ini" 2>/dev/null | tr -d '\r')" "$file" ||
        fail "the client found faults"
    expect_closed Escape
    cmp -s "$ini" "$work/before.ini" || fail "Escape changed the settings file"
fi

case_name="Return stores"
if start_dialog; then
    client store || fail "the client found faults"
    expect_closed Return
    printf '[Section]\r\nBGM\x8b\xe6\x95\xaa=0\r\nBGM\xd8\xcb\xdf\xb0\xc4=7\r\nBGM\xcc\xa7\xb2\xd9=%s\r\n' \
        "$file" >"$work/expected.ini"
    cmp -s "$ini" "$work/expected.ini" || fail "the INI is not the expected bytes: $(xxd "$ini" | head -n 4)"
fi
case_name=""
finish "settings dialog by keyboard and Active Accessibility (wine)"
