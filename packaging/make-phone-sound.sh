#!/bin/sh
# Makes phone.mp3, the announcement sound a new installation starts with: two short rings
# of a two-tone bell, 1.2 s in all, 5 kB. The file is kept in the repository; this is how it
# was made (needs the Debian packages sox and lame, which the build does not use).
set -eu
cd "$(dirname "$0")"
wav=$(mktemp --suffix=.wav)
trap 'rm -f "$wav"' EXIT
# -D: no dither, so the same file comes out every time.
sox -D -n -r 22050 -c 1 -b 16 "$wav" \
    synth 0.4 sine 1000 sine mix 1400 fade 0.01 0.4 0.05 pad 0 0.2 repeat 1 gain -3
lame --quiet -m m -b 32 --noreplaygain "$wav" phone.mp3
