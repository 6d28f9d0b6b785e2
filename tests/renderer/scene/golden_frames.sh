#!/usr/bin/env bash
# Golden frames through velmoria-record: frames of a textured and of an untextured run agree with
# the reference PNGs within png-compare's tolerance; a second run, with a registry full of odd
# values (which no frame depends on), gives byte-identical frames.
# With VELMORIA_UPDATE_GOLDEN=1 it writes the references instead.
set -euo pipefail
record=$1 make_sprite=$2 compare=$3 golden=$4 work=$5
rm -rf "$work" && mkdir -p "$work"
size=320x240
failures=0

"$make_sprite" "$work/sprite.bmp"
VELMORIA_REGISTRY="$work/no-registry.reg" \
    "$record" --size $size --frames 300 --every 100 --sprite "$work/sprite.bmp" --out "$work/first" \
    2>/dev/null
cat >"$work/odd.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Orvek\Quendal Saver]
"Particle1"=dword:00000000
"Particle2"=dword:ffffffff
"Particle3"="0"
"Rotate"=hex:01,02,03,04,05
"QualHi"=dword:00000007

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Screen Savers]
"Mouse Threshold"="50"
REG
VELMORIA_REGISTRY="$work/odd.reg" \
    "$record" --size $size --frames 300 --every 100 --sprite "$work/sprite.bmp" --out "$work/second" \
    2>/dev/null
VELMORIA_REGISTRY="$work/no-registry.reg" \
    "$record" --size $size --frames 100 --every 100 --sprite "$work/missing.bmp" \
    --out "$work/untextured" 2>"$work/untextured.stderr"
grep -q "missing.bmp" "$work/untextured.stderr" || {
    echo "FAIL: no loader message for the missing sprite"
    failures=$((failures + 1))
}

if [ "${VELMORIA_UPDATE_GOLDEN:-0}" = 1 ]; then
    for n in 00100 00200 00300; do cp "$work/first/frame-$n.png" "$golden/textured-$n.png"; done
    cp "$work/untextured/frame-00100.png" "$golden/untextured-00100.png"
    echo "references written to $golden"
    exit 0
fi

for n in 00100 00200 00300; do
    cmp -s "$work/first/frame-$n.png" "$work/second/frame-$n.png" || {
        echo "FAIL: frame $n differs between two runs"
        failures=$((failures + 1))
    }
    "$compare" "$golden/textured-$n.png" "$work/first/frame-$n.png" || failures=$((failures + 1))
done
"$compare" "$golden/untextured-00100.png" "$work/untextured/frame-00100.png" ||
    failures=$((failures + 1))
# The untextured squares are fully lit, so that frame must not pass for the textured one.
if "$compare" "$golden/textured-00100.png" "$work/untextured/frame-00100.png" >/dev/null; then
    echo "FAIL: the untextured frame agrees with the textured reference"
    failures=$((failures + 1))
fi
echo "golden frames: $failures failures"
[ "$failures" -eq 0 ]
