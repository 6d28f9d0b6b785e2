#!/usr/bin/env bash
# The settings-file operations of a case list run through the Win32 profile functions (the
# Windows build under Wine, with code page 932 as its ANSI code page) and through ours (the
# Linux build); every read and the bytes of every file written must agree.
set -uo pipefail
linux_script=$(realpath "$1") windows_script=$(realpath "$2") cases=$(realpath "$3") work=$(realpath -m "$4")
source "$(dirname "$0")/../e2e/common.sh"
rm -rf "$work" && mkdir -p "$work/linux/folder.d" "$work/windows/folder.d"
japanese_locale "$work/locale"

(cd "$work/linux" && "$linux_script" "$cases") >"$work/linux.out" || { echo "FAIL: the Linux run"; exit 1; }
cp "$cases" "$work/cases.txt"
(cd "$work/windows" && wine_japanese "$windows_script" \
    '..\cases.txt') >"$work/windows.out" 2>/dev/null ||
    { echo "FAIL: the Windows run"; exit 1; }

operations=$(grep -c '^\(get\|set\)|' "$work/windows.out")
if [ "$operations" -lt 50 ]; then
    echo "FAIL: the Windows run reported $operations operations"
    exit 1
fi
if ! diff -u "$work/windows.out" "$work/linux.out"; then
    echo "FAIL: the platforms differ (- Windows, + Linux)"
    exit 1
fi
echo "settings-file differential: $operations operations agree"
