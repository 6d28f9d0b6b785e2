#!/usr/bin/env bash
# The same MCI command sequence through Skorvane_BGM on the Linux layer and on winmm under Wine
# (with an ALSA configuration whose default device is of type null): every code and reply must
# agree, except for the commands marked below with the reason they legitimately differ, which
# are left out of the comparison and listed. Uses the DISPLAY and WINEPREFIX it is given.
set -uo pipefail
linux_driver=$(realpath "$1") windows_driver=$(realpath "$2") work=$(realpath -m "$3")
source "$(dirname "$0")/../e2e/common.sh"
require_display
if ! command -v lame >/dev/null 2>&1; then
    echo "SKIP: lame is not installed: cannot make an MP3"
    exit 77
fi
rm -rf "$work" && mkdir -p "$work/files"
cd "$work/files" || exit 1

python3 - <<'PY'
import struct, wave
with wave.open("tone.wav", "wb") as out:
    out.setnchannels(1); out.setsampwidth(2); out.setframerate(44100)
    samples = (6000 if i % 100 < 50 else -6000 for i in range(2 * 44100))
    out.writeframes(b"".join(struct.pack("<h", s) for s in samples))
PY
lame --quiet -b 64 tone.wav "my song.mp3" || { echo "FAIL: lame"; exit 1; }
echo 'this is not an mp3 file at all' >"not music.mp3"
printf 'pcm.!default {\n    type null\n}\n' >"$work/alsa-null.conf"

# One driver action a line; "ACTION || REASON" marks an action whose outcome differs.
# Positions are left out: they follow the clock.
cat >"$work/sequence.txt" <<'SEQUENCE'
send open "my song.mp3" type MPEGVideo Alias MP3Play
send status MP3Play mode
send status MP3Play length
send status MP3Play ready || Wine's MPEGVideo device (mciqtz32) has no "ready" item (261); ours answers "true"
send play MP3Play
send status MP3Play mode
mp3-playing
wait MP3Play stopped 10
send status MP3Play mode
mp3-check
mp3-playing
send stop MP3Play
send status MP3Play mode
send play MP3Play from 0
send status MP3Play mode
send stop MP3Play
send play MP3Play from 0 to 300
wait MP3Play stopped 5
send status MP3Play mode
send play MP3Play from 5000 || Wine does not check a play range against the length (0); ours refuses it (282, out of range)
send play MP3Play to 5000 || Wine does not check a play range against the length (0); ours refuses it (282, out of range)
send status MP3Play loudness || Wine's MPEGVideo driver answers an unknown item with 261; ours with 259 (unrecognized keyword)
send status MP3Play mode position || Wine answers two items at once ("milliseconds"); ours refuses them (284, cannot be used together)
send play MP3Play backwards || Wine's MPEGVideo driver answers an unknown keyword with 261; ours with 259
send status MP3Play || Wine's MPEGVideo driver answers a status without item with 261; ours with 273 (missing parameter)
send pause MP3Play || not sent by the module: our layer understands only its commands (261); Wine pauses
send resume MP3Play || not sent by the module: our layer understands only its commands (261); Wine resumes
send seek MP3Play to start || not sent by the module: our layer understands only its commands (261); Wine seeks
send set MP3Play time format milliseconds
send set MP3Play time format tmsf || Wine's MPEGVideo driver answers 261; ours 293 (invalid time format)
send play MP3Play notify
send play MP3Play wait
send open "my song.mp3" type MPEGVideo Alias MP3Play
mp3-stop
send status MP3Play mode || Wine tries to open an unknown name as a file (281, no extension); ours answers 263 (not open)
send stop MP3Play || Wine tries to open an unknown name as a file (281, no extension); ours answers 263 (not open)
send close MP3Play
mp3-playing || Wine tries to open an unknown name as a file (281, no extension); ours answers 263 (not open); both empty the mode buffer
send fly MP3Play
send play
send status
send close all
send open "missing file.mp3" type MPEGVideo Alias x || Wine's MPEGVideo driver gives 277 (internal) for any file it cannot render; ours 275 (file not found)
send open "not music.mp3" type MPEGVideo Alias x || Wine's MPEGVideo driver gives 277 (internal) for any file it cannot render; ours 296 (invalid file)
send status x mode || Wine tries to open an unknown name as a file (281, no extension); ours answers 263 (not open)
send open "my song.mp3 type MPEGVideo Alias x
send open "my song.mp3"x type MPEGVideo Alias x
file my song.mp3
mp3-play
mp3-playing
mp3-stop
send open cdaudio
send set cdaudio time format tmsf
send status cdaudio current track
send status cdaudio number of tracks
send status cdaudio mode
send status cdaudio position track 3
send play cdaudio
send play cdaudio from 03:00:00:00
send stop cdaudio
send close cdaudio
send 
status status cdaudio current track
status 
play cdaudio|1|2
play cdaudio||
cd-open
cd-check
cd-stop
SEQUENCE

differing=() reasons=()
index=0
while IFS= read -r line; do
    index=$((index + 1))
    case "$line" in
    *" || "*)
        differing+=("$index")
        reasons+=("${line%% || *}: ${line#* || }")
        printf '%s\n' "${line%% || *}"
        ;;
    *) printf '%s\n' "$line" ;;
    esac
done <"$work/sequence.txt" >"$work/script.txt"

VELMORIA_AUDIO_SINK="fakesink sync=true" VELMORIA_CD_DEVICE="$work/no-drive" \
    timeout 300 "$linux_driver" "$work/script.txt" >"$work/linux.out" 2>"$work/linux.err" ||
    { echo "FAIL: the Linux run"; exit 1; }
cp "$work/script.txt" "$work/files/script.txt"
# The module's own texts are code page 932 on Windows.
ALSA_CONFIG_PATH="$work/alsa-null.conf" timeout 300 "$wine_run" "$windows_driver" script.txt \
    2>"$work/windows.err" | tr -d '\r' | iconv -f CP932 -t UTF-8 >"$work/windows.out" ||
    { echo "FAIL: the Windows run"; exit 1; }

# Each action with its trace and outcome is one block; the marked blocks are set aside.
split() {
    awk -v skip=" ${differing[*]} " -v kept="$2" -v left="$3" '
        !/^  / && !/^= / { block++ }
        { print > (index(skip, " " block " ") ? left : kept) }' "$1"
}
split "$work/linux.out" "$work/linux.compared" "$work/linux.differing"
split "$work/windows.out" "$work/windows.compared" "$work/windows.differing"

actions=$(grep -c -v -e '^  ' -e '^= ' "$work/windows.compared")
if [ "$actions" -lt $((index - ${#differing[@]})) ]; then
    echo "FAIL: the Windows run reported $actions of $((index - ${#differing[@]})) actions"
    exit 1
fi
if ! diff -u "$work/windows.compared" "$work/linux.compared"; then
    echo "FAIL: the platforms differ (- Windows under Wine, + Linux)"
    exit 1
fi
echo "music differential: $actions actions agree; ${#differing[@]} differ as listed:"
for reason in "${reasons[@]}"; do
    echo "  $reason"
done
if diff -q "$work/windows.differing" "$work/linux.differing" >/dev/null; then
    echo "note: the listed actions now agree; the list can go"
fi
