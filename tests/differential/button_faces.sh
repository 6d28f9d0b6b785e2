#!/usr/bin/env bash
# Every gradient-button face (six pictures, both gradient directions, the gallery's three sizes)
# drawn by the Linux build through Cairo and by the Windows build through GDI under Wine, plus
# faces under 8 pixels; the two must be identical pixel for pixel.
set -euo pipefail
linux_gallery=$1 windows_gallery=$2 work=$3
source "$(dirname "$0")/../e2e/common.sh"
rm -rf "$work" && mkdir -p "$work/linux" "$work/windows"
"$linux_gallery" --faces "$work/linux"
"$wine_run" "$windows_gallery" --faces "Z:${work//\//\\}\\windows" 2>/dev/null
for size in "7 25" "77 7" "9 9" "3 2" "1 1"; do
    read -r w h <<<"$size"
    "$linux_gallery" --face Normal "$w" "$h" normal "$work/linux/tiny-${w}x$h.bmp"
    "$wine_run" "$windows_gallery" --face Normal "$w" "$h" normal \
        "Z:${work//\//\\}\\windows\\tiny-${w}x$h.bmp" 2>/dev/null
done
count=0
differ=0
for file in "$work"/linux/*.bmp; do
    name=$(basename "$file")
    count=$((count + 1))
    if ! cmp -s "$file" "$work/windows/$name"; then
        echo "DIFFERS: $name"
        differ=$((differ + 1))
    fi
done
echo "$count faces compared, $differ differ"
[ "$count" -eq 41 ] && [ "$differ" -eq 0 ]
