#!/usr/bin/env bash
# Ctrl+drags the main title of the real program under Xvfb, checks that
# config.a records the new place, restarts the program and checks that the
# title comes back there (same screen as before the restart, different from
# the screen before the drag).
# Usage: test_title_drag.sh <path-to-lunora>
set -euo pipefail

program=${1:?usage: test_title_drag.sh <path-to-lunora>}
[ -x "$program" ] || { echo "not an executable: $program" >&2; exit 2; }

work=$(mktemp -d)
xvfb_pid=
app_pid=
cleanup() {
  if [ -n "$app_pid" ]; then kill "$app_pid" 2>/dev/null || true; wait "$app_pid" 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir "$work/run"
cp "$program" "$work/run/lunora"

# A display of our own; Xvfb writes the number it took.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -n1 "$work/display")"
export QT_QPA_PLATFORM=xcb
export QT_MEDIA_BACKEND=gstreamer

start_program() {
  "$work/run/lunora" >>"$work/lunora.log" 2>&1 &
  app_pid=$!
  timeout 120 xdotool search --sync --onlyvisible --name "Lunora软件V2.0" >/dev/null \
    || fail "the main window did not appear: $(tail -n 20 "$work/lunora.log")"
}

stop_program() {
  kill "$app_pid" 2>/dev/null || true
  wait "$app_pid" 2>/dev/null || true
  app_pid=
}

# A screenshot once the window is painted (an empty screen has one colour)
# and the screen has stopped changing.
settled_shot() { # out.png
  local previous="$work/previous.png"
  import -window root "$previous"
  for _ in $(seq 120); do
    sleep 0.5
    import -window root "$1"
    if [ "$(identify -format %k "$1")" -gt 100 ] && compare -metric AE "$previous" "$1" null: 2>/dev/null; then
      return 0
    fi
    cp "$1" "$previous"
  done
  fail "the screen never settled"
}

# Edges of text drawn over other text may blend a shade differently after a
# drag than after a fresh paint; anything more than that is a difference.
same_image() { compare -fuzz 15% -metric AE "$1" "$2" null: 2>/dev/null; }

# The value of a key of config.a, which is GBK text.
config_value() { # key
  [ -f "$work/run/config.a" ] || return 0
  iconv -f GBK -t UTF-8 "$work/run/config.a" | tr -d '\r' | sed -n "s/^$1=//p" | head -n1
}

start_program
settled_shot "$work/before.png"

# The main title starts at its design place (8, 15) and spans the screen's
# width; (300, 50) lies on it and on nothing above it.
xdotool mousemove 300 50
xdotool keydown ctrl
xdotool mousedown 1
for step in 1 2 3 4 5 6; do
  xdotool mousemove $((300 + step * 10)) $((50 + step * 15))
done
xdotool mouseup 1
xdotool keyup ctrl

expected_left=$((8 + 60))
expected_top=$((15 + 90))
for _ in $(seq 300); do
  [ "$(config_value 主标题顶边)" = "$expected_top" ] && break
  sleep 0.1
done
[ "$(config_value 主标题左边)" = "$expected_left" ] \
  || fail "主标题左边 is '$(config_value 主标题左边)', expected $expected_left"
[ "$(config_value 主标题顶边)" = "$expected_top" ] \
  || fail "主标题顶边 is '$(config_value 主标题顶边)', expected $expected_top"

settled_shot "$work/dragged.png"
same_image "$work/before.png" "$work/dragged.png" && fail "the title did not move on screen"

stop_program
start_program
settled_shot "$work/restarted.png"
same_image "$work/dragged.png" "$work/restarted.png" \
  || fail "after a restart the screen differs from the one left behind"
[ "$(config_value 主标题左边)" = "$expected_left" ] || fail "the restart changed 主标题左边"

stop_program
echo "title drag: 1 passed, 0 failed"
