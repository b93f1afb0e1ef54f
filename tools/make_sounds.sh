#!/usr/bin/env bash
# Makes the game's own sound effects and its Ogg music with SoX (Debian's
# "sox" package, with "libsox-fmt-mp3" for nothing here but kept optional).
# Only needed to change them: the files it writes are committed.
#   tools/make_sounds.sh [gamedata-folder]
set -euo pipefail
DATA=${1:-$(cd "$(dirname "$0")/../gamedata" && pwd)}
mkdir -p "$DATA/sounds" "$DATA/music"
cd "$DATA/sounds"

# Buttons: a short tick (16-bit WAV) and a soft blip (mu-law AU).
sox -n -r 22050 -c 1 -b 16 click.wav synth 0.035 square 1800 fade 0 0.035 0.03 vol 0.4
sox -n -r 8000 -c 1 -e u-law -t au hover.snd synth 0.06 sine 1200 fade 0 0.06 0.05 vol 0.5
# The hint bulb filling (Ogg).
sox -n -r 22050 -c 1 -C 3 Glow.ogg synth 0.7 sine 660:1320 fade 0.05 0.7 0.4 vol 0.6
# Revealed lines, one step up the scale each (8-bit WAV).
steps=(0 2 4 5 7 9 11 12 14 16)
for n in $(seq 1 10); do
  sox -n -r 22050 -c 1 -b 8 "reveal$n.wav" synth 0.18 pluck "%$((steps[n - 1] + 3))" fade 0 0.18 0.1 vol 0.7
done
# A solved picture of 15, 20 and 25 cells a side ("reveal" + the size; 5 and
# 10 are the plucks above): a rising chime, longer for the larger board.
sox -n -r 22050 -c 1 -b 16 reveal15.wav synth 0.9 pluck E4 pluck G4 pluck B4 delay 0 0.12 0.24 remix - fade 0 0.9 0.5 vol 0.6
sox -n -r 22050 -c 1 -b 16 reveal20.wav synth 1.2 pluck C4 pluck E4 pluck G4 pluck C5 delay 0 0.12 0.24 0.36 remix - fade 0 1.2 0.6 vol 0.6
sox -n -r 22050 -c 1 -b 16 reveal25.wav synth 1.5 pluck C4 pluck E4 pluck G4 pluck C5 pluck E5 delay 0 0.12 0.24 0.36 0.48 remix - fade 0 1.5 0.7 vol 0.55
# A soft hum for looping (whole cycles of 110 Hz, so the loop is seamless).
sox -n -r 22050 -c 1 -b 16 hum.wav synth 1 sine 110 sine 165 remix - vol 0.3

# The logo: a letter dropping in (filtered noise), the ball's bounces (a
# soft falling thump) and its landing (a thump under a small chime).
sox -R -n -r 22050 -c 1 -b 16 whoosh.wav synth 0.35 pinknoise fade q 0.12 0.35 0.2 bandpass 900 1.2 norm -8
sox -n -r 22050 -c 1 -b 16 bounce.wav synth 0.16 sine 220:80 fade 0 0.16 0.12 norm -6
sox -n -r 22050 -c 1 -b 16 land.wav synth 0.5 sine 180:70 sine 1320 remix 1v0.8,2v0.25 fade 0 0.5 0.45 norm -6
# The sound-effect volume's sample: a soft bell.
sox -R -n -r 22050 -c 1 -b 16 Bell.wav synth 0.6 pluck E5 pluck B5 remix - fade 0 0.6 0.5 norm -8

# Menu music: a slow arpeggio, stereo Ogg.
cd "$DATA/music"
notes=(A3 C4 E4 A4 F3 A3 C4 F4 C4 E4 G4 C5 G3 B3 D4 G4)
parts=()
for i in "${!notes[@]}"; do
  part=$(mktemp --suffix=.wav)
  sox -n -r 22050 -c 2 "$part" synth 0.5 pluck "${notes[$i]}" fade 0 0.5 0.3 vol 0.6
  parts+=("$part")
done
sox "${parts[@]}" "${parts[@]}" -C 0 menu.ogg reverb 30
rm -f "${parts[@]}"
