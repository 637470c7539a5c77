#!/usr/bin/env bash
# Takes the README's screenshot: the program on a 1920 × 1080 virtual display
# with the built-in banners as prize pictures, in the middle of a roll.
# Usage: bash scripts/screenshot.sh [build-folder] [output.png]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=${2:-docs/screenshot.png}

dir=$(mktemp -d)
trap 'kill $app $xvfb 2>/dev/null; rm -rf "$dir"' EXIT
cp "$build/run/lunora" "$dir/"
mkdir -p "$dir/奖品图片"
for n in 5 6 7 8; do cp "assets/prize$n.jpg" "$dir/奖品图片/$n.jpg"; done
for n in 1 2 3 4; do cp "assets/prize$((n + 4)).jpg" "$dir/奖品图片/$n.jpg"; done
printf '[zbt]\r\nlx=\xd5\xe6\r\n\xbc\xc6\xb4\xce=4\r\n' >"$dir/config.a" # lx=真, 计次=4

Xvfb :97 -screen 0 1920x1080x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
sleep 1
export DISPLAY=:97 QT_MEDIA_BACKEND=gstreamer
(cd "$dir" && exec ./lunora) >/dev/null 2>&1 &
app=$!
xdotool search --sync --onlyvisible --name 'Lunora' >/dev/null
sleep 1
xdotool key space
sleep 1.3
import -window root "$dir/full.png"
# Small enough for the README, large enough to read the titles.
convert "$dir/full.png" -resize 1280x720 "$out"
echo "wrote $out"
