#!/usr/bin/env bash
# Windowed mode under a real window manager: the window, frame and title bar
# included, is the screen less 20 pixels each way, so none of it runs off
# the screen. Once stored, and again when chosen from the popup menu.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_setup "$1"
e2e_start_wm

# The window manager's frame around the program's window: left, top, width,
# height on the screen.
frame_geometry() {
  local client frame
  client=$(xdotool search --onlyvisible --name 'Lunora软件V2.0' | head -n 1)
  [ -n "$client" ] || return 1
  frame=$(xwininfo -id "$client" -tree | awk '/Parent window id/ {print $4}')
  xwininfo -id "$frame" | awk '
    /Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
    /Width:/ {w = $NF} /Height:/ {h = $NF}
    END {print x, y, w, h}'
}

inner_size() {
  local client
  client=$(xdotool search --onlyvisible --name 'Lunora软件V2.0' | head -n 1)
  xwininfo -id "$client" | awk '/Width:/ {w = $NF} /Height:/ {h = $NF} END {print w, h}'
}

# The frame settles after the window manager has framed the window.
expect_frame() {
  local want=$1 got= i
  for i in $(seq 600); do
    got=$(frame_geometry || true)
    [ "$got" = "$want" ] && return 0
    sleep 0.1
  done
  e2e_fail "frame is '$got', expected '$want'"
}

# The Xvfb screen of lib.sh is 1280 x 1024.
printf '[zbt]\r\n界面大小=窗口\r\n' | e2e_write config.a
e2e_start
expect_frame "0 0 1260 1004"
read -r inner_w inner_h < <(inner_size)
[ "$inner_h" -lt 1004 ] || e2e_fail "no title bar: the inside is ${inner_w}x$inner_h"
e2e_stop

# Full screen first, then 界面大小 > 窗口 from the popup menu.
printf '[zbt]\r\n界面大小=全屏\r\n' | e2e_write config.a
e2e_start
expect_frame "0 0 1280 1024"
e2e_open_menu 40 1000
# 奖项设置 其它设置 主标题 副标题 中奖结果 转盘样式 字体颜色设置 背景图控制
# 背景音乐控制 界面大小 (转盘放大 is hidden), then 全屏 窗口 in its submenu.
before=$(e2e_windows)
xdotool key Down Down Down Down Down Down Down Down Down Down Right
e2e_wait_new_window "$before" "界面大小 opened no submenu"
xdotool key Down Return
expect_frame "0 0 1260 1004"
e2e_read config.a | grep -q '界面大小=窗口' || e2e_fail "窗口 was not stored"
echo "PASS: windowed mode fits the screen with its frame"
