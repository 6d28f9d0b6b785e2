#!/usr/bin/env bash
# ini-tool set with the three Japanese keys writes the same bytes on Linux and on Windows (under
# Wine, with code page 932 as its ANSI code page), and ini-tool get reads them back (in UTF-8
# on Linux, in the ANSI code page on Windows).
set -uo pipefail
linux_tool=$(realpath "$1") windows_tool=$(realpath "$2") work=$(realpath -m "$3")
source "$(dirname "$0")/../e2e/common.sh"
rm -rf "$work" && mkdir -p "$work"
japanese_locale "$work/locale"
# Run in the work folder, so that the Windows side names its file .\windows.ini.
wine_tool() { (cd "$work" && wine_japanese "$windows_tool" "$@" 2>/dev/null); }

# What the settings dialog's OK writes: kind, track, file; the path's ソ and 表 end in 0x5C.
path='C:\音楽\ソ表.mp3'
for step in "BGM区分 2" "BGMﾘﾋﾟｰﾄ 3" "BGMﾌｧｲﾙ $path"; do
    key=${step%% *} value=${step#* }
    "$linux_tool" set "$work/linux.ini" Section "$key" "$value" || fail "Linux set $key"
    wine_tool set '.\windows.ini' Section "$key" "$value" ||
        fail "Windows set $key"
done

printf '[Section]\r\nBGM\x8b\xe6\x95\xaa=2\r\nBGM\xd8\xcb\xdf\xb0\xc4=3\r\nBGM\xcc\xa7\xb2\xd9=C:\\\x89\xb9\x8a\x79\\\x83\x5c\x95\x5c.mp3\r\n' \
    >"$work/expected.ini"
cmp "$work/expected.ini" "$work/linux.ini" || { fail "Linux bytes"; od -An -tx1 "$work/linux.ini"; }
cmp "$work/expected.ini" "$work/windows.ini" || { fail "Windows bytes"; od -An -tx1 "$work/windows.ini"; }

got=$("$linux_tool" get "$work/linux.ini" section "bgmﾌｧｲﾙ")
[ "$got" = "$path" ] || fail "Linux get gave '$got'"
got=$(wine_tool get '.\windows.ini' section "bgmﾌｧｲﾙ" | iconv -f CP932 -t UTF-8)
[ "$got" = "$path" ] || fail "Windows get gave '$got'"

finish "ini-tool bytes"
