#!/usr/bin/env bash
# Ctrl+drags the main title of the real program under Xvfb, checks that
# config.a records the new place, restarts the program and checks that the
# title comes back there (same screen as before the restart, different from
# the screen before the drag).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_setup "$1"
for tool in import compare identify; do
  command -v "$tool" >/dev/null || e2e_fail "$tool is not installed"
done
# A screenshot once the window is painted (an empty screen has one colour)
# and the screen has stopped changing.
settled_shot() { # out.png
  local previous="$E2E_DIR/previous.png"
  import -window root "$previous"
  for _ in $(seq 120); do
    sleep 0.5
    import -window root "$1"
    if [ "$(identify -format %k "$1")" -gt 100 ] && compare -metric AE "$previous" "$1" null: 2>/dev/null; then
      return 0
    fi
    cp "$1" "$previous"
  done
  e2e_fail "the screen never settled"
}

# Edges of text drawn over other text may blend a shade differently after a
# drag than after a fresh paint; anything more than that is a difference.
same_image() { compare -fuzz 15% -metric AE "$1" "$2" null: 2>/dev/null; }

# The value of a key of config.a, which is GBK text.
config_value() { # key
  [ -f "$E2E_DIR/config.a" ] || return 0
  e2e_read config.a | tr -d '\r' | sed -n "s/^$1=//p" | head -n1
}

e2e_start
settled_shot "$E2E_DIR/before.png"

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
for _ in $(seq 600); do
  [ "$(config_value 主标题顶边)" = "$expected_top" ] && break
  sleep 0.1
done
[ "$(config_value 主标题左边)" = "$expected_left" ] \
  || e2e_fail "主标题左边 is '$(config_value 主标题左边)', expected $expected_left"
[ "$(config_value 主标题顶边)" = "$expected_top" ] \
  || e2e_fail "主标题顶边 is '$(config_value 主标题顶边)', expected $expected_top"

settled_shot "$E2E_DIR/dragged.png"
same_image "$E2E_DIR/before.png" "$E2E_DIR/dragged.png" && e2e_fail "the title did not move on screen"

e2e_stop
e2e_start
settled_shot "$E2E_DIR/restarted.png"
same_image "$E2E_DIR/dragged.png" "$E2E_DIR/restarted.png" \
  || e2e_fail "after a restart the screen differs from the one left behind"
[ "$(config_value 主标题左边)" = "$expected_left" ] || e2e_fail "the restart changed 主标题左边"

e2e_stop
echo "title drag: 1 passed, 0 failed"
