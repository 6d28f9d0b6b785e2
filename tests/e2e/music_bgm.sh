#!/usr/bin/env bash
# Skorvane_BGM through the platform's real entry points, natively (linux: our GStreamer layer,
# sound into fakesink) or under Wine (wine: winmm, with an ALSA configuration whose default
# device is of type null): an MP3 whose path holds a blank plays, reaches "stopped" and is
# restarted from 0 by MP3_Check; WAV_Stop stops the looping WAV while the MP3 plays on; without
# a wave-output device no WAV is attempted; "open cdaudio" fails and CD_Check ends polling.
# Uses the DISPLAY and WINEPREFIX it is given.
set -uo pipefail
platform=$1 driver=$2 work=$(realpath -m "$3")
source "$(dirname "$0")/common.sh"
[ "$platform" = wine ] && require_display
rm -rf "$work" && mkdir -p "$work/music files"

# A 5-second tone for the MP3 and a half-second WAV to loop.
python3 - "$work" <<'PY'
import math, struct, sys, wave
def write(path, rate, seconds, value):
    with wave.open(path, "wb") as out:
        out.setnchannels(1); out.setsampwidth(2); out.setframerate(rate)
        out.writeframes(b"".join(struct.pack("<h", value(i)) for i in range(int(rate * seconds))))
write(sys.argv[1] + "/tone.wav", 44100, 5.0, lambda i: 6000 if i % 100 < 50 else -6000)
write(sys.argv[1] + "/music files/loop me.wav", 8000, 0.5,
      lambda i: int(3000 * math.sin(2 * math.pi * 440 * i / 8000)))
PY
if ! command -v lame >/dev/null 2>&1; then
    echo "SKIP: lame is not installed: cannot make an MP3"
    exit 77
fi
lame --quiet -b 64 "$work/tone.wav" "$work/music files/my song.mp3" || { echo "FAIL: lame"; exit 1; }

printf 'pcm.!default {\n    type null\n}\n' >"$work/alsa-null.conf"
: >"$work/alsa-none.conf"
if [ "$platform" = wine ]; then
    # Wine sees the Linux file system as drive Z:.
    native() { printf 'Z:%s' "${1//\//\\}"; }
    # sound: "null" for the null device, "none" for no device at all.
    drive() {
        ALSA_CONFIG_PATH="$work/alsa-$1.conf" timeout 120 "$wine_run" "$driver" "$(native "$2")" \
            2>"$work/$1.err" | tr -d '\r'
    }
else
    native() { printf '%s' "$1"; }
    drive() {
        local sink="fakesink sync=true"
        [ "$1" = none ] && sink=nosuchaudiosinkelement
        VELMORIA_AUDIO_SINK="$sink" VELMORIA_CD_DEVICE="$work/no-drive" timeout 120 "$driver" "$2" \
            2>"$work/$1.err"
    }
fi
mp3=$(native "$work/music files/my song.mp3")
wav=$(native "$work/music files/loop me.wav")

cat >"$work/play.txt" <<SCRIPT
wave-out
file $mp3
mp3-play
mp3-playing
mp3-check
wait MP3Play stopped 15
mp3-playing
mp3-check
mp3-playing
file $wav
wav-play
sleep 300
wav-stop
mp3-playing
mp3-stop
cd-open
cd-check
SCRIPT
cat >"$work/play.expected" <<EXPECTED
wave-out
  waveOutGetNumDevs -> some
= true
file $mp3
mp3-play
  mciSendString open "$mp3" type MPEGVideo Alias MP3Play [0] -> 0
  mciSendString play MP3Play [0] -> 0
= ApiResult 0
mp3-playing
  mciSendString status MP3Play mode [30] -> 0 "playing"
= true
mp3-check
  mciSendString status MP3Play mode [30] -> 0 "playing"
wait MP3Play stopped 15
= true
mp3-playing
  mciSendString status MP3Play mode [30] -> 0 "stopped"
= false
mp3-check
  mciSendString status MP3Play mode [30] -> 0 "stopped"
  mciSendString stop MP3Play [0] -> 0
  mciSendString play MP3Play from 0 [0] -> 0
mp3-playing
  mciSendString status MP3Play mode [30] -> 0 "playing"
= true
file $wav
wav-play
  waveOutGetNumDevs -> some
  PlaySound $wav 9 -> ok
= ApiResult 1
sleep 300
wav-stop
  PlaySound (none) 0 -> ok
= ApiResult 1
mp3-playing
  mciSendString status MP3Play mode [30] -> 0 "playing"
= true
mp3-stop
  mciSendString stop MP3Play [0] -> 0
  mciSendString close MP3Play [0] -> 0
cd-open
  mciSendString open cdaudio [0] -> 266
  mciSendString set cdaudio time format tmsf [0] -> 266
cd-check
  mciSendString status cdaudio current track [512] -> 266
  mciGetErrorString 266 [256] -> text
= CdAlive false
EXPECTED
drive null "$work/play.txt" >"$work/play.out"
diff -u "$work/play.expected" "$work/play.out" ||
    fail "MP3, WAV and CD through the $platform entry points (- expected, + seen); stderr in $work/null.err"

# No wave-output device: the WAV is not handed to the sound player; stopping is harmless.
cat >"$work/silent.txt" <<SCRIPT
file $wav
wav-play
wav-stop
SCRIPT
cat >"$work/silent.expected" <<EXPECTED
file $wav
wav-play
  waveOutGetNumDevs -> 0
= ApiResult -1
wav-stop
  PlaySound (none) 0 -> ok
= ApiResult 1
EXPECTED
drive none "$work/silent.txt" >"$work/silent.out"
diff -u "$work/silent.expected" "$work/silent.out" ||
    fail "WAV without a wave-output device on $platform (- expected, + seen)"

if [ "$failures" -gt 0 ]; then
    exit 1
fi
echo "music ($platform): MP3 restart, WAV stop, no-device WAV and CD failure as expected"
