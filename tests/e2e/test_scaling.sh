#!/usr/bin/env bash
# The design is drawn in the screen's own pixels whatever scale is set: at
# 125, 150, 175 and 200 % (Qt's QT_SCALE_FACTOR, and a desktop's Xft.dpi)
# the screen shows the same picture as at 100 %, the whole wheel included,
# with the prize and background pictures as sharp.
# (E2E_SCREEN=3840x2160x24 runs it on a 4K display; E2E_SHOTS=folder keeps
# the screenshots there, to look at.)
set -euo pipefail
source "$(dirname "$0")/lib.sh"
assets="$(cd "$(dirname "$0")/../../assets" && pwd)"
E2E_SCREEN=${E2E_SCREEN:-1920x1080x24} e2e_setup "$1"
for tool in import compare xrdb; do
  command -v "$tool" >/dev/null || e2e_fail "$tool is not installed"
done

# The built-in banners as prize pictures and one as the background, the
# largest wheel of the options: every kind of picture, and the wheel's
# bottom edge at 891, below a 1080-pixel screen's height at 125 % and more.
mkdir -p "$E2E_DIR/奖品图片"
for n in 1 2 3 4 5 6 7 8; do cp "$assets/prize$(( (n - 1) % 4 + 5 )).jpg" "$E2E_DIR/奖品图片/$n.jpg"; done
cp "$assets/prize5.jpg" "$E2E_DIR/底图.jpg"
printf '[zbt]\r\nlx=真\r\n计次=4\r\n' | e2e_write config.a

# The whole display once the program has drawn it: two shots in a row
# that are alike.
shoot() { # file
  local previous="$E2E_DIR/previous.png" _
  import -window root "$previous"
  for _ in $(seq 100); do
    sleep 0.2
    import -window root "$1"
    [ "$(compare -metric AE "$1" "$previous" null: 2>&1)" = 0 ] && return 0
    cp "$1" "$previous"
  done
  e2e_fail "the screen never settled"
}

difference() { # a b: root mean square error, 0 (alike) to 1
  compare -metric RMSE "$1" "$2" null: 2>&1 | sed 's/.*(\(.*\))/\1/'
}

e2e_start
shoot "$E2E_DIR/100.png"
e2e_stop

check() { # name
  shoot "$E2E_DIR/$1.png"
  e2e_stop
  local d
  d=$(difference "$E2E_DIR/100.png" "$E2E_DIR/$1.png")
  echo "$1: RMSE $d against 100 %"
  awk -v d="$d" 'BEGIN { exit !(d < 0.002) }' || e2e_fail "at $1 the screen differs from 100 % (RMSE $d)"
}

for factor in 1.25 1.5 1.75 2; do
  QT_SCALE_FACTOR=$factor e2e_start
  check "QT_SCALE_FACTOR=$factor"
done
# What a Linux desktop sets for 175 %.
echo "Xft.dpi: 168" | xrdb -merge
e2e_start
check "Xft.dpi=168"
if [ -n "${E2E_SHOTS:-}" ]; then
  cp "$E2E_DIR"/[0-9QX]*.png "$E2E_SHOTS"/ || e2e_fail "cannot keep the screenshots in $E2E_SHOTS"
fi
echo "PASS: every scale shows the picture of 100 %"
