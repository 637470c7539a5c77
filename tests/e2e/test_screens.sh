#!/usr/bin/env bash
# A laptop with a projector beside it: two screens of one X display, made
# with RandR monitors. The window comes up full screen on the primary
# screen, goes to the projector from the popup menu, plays the fireworks
# there, comes back there at the next start, leaves it when it is unplugged
# and returns when it is plugged in again, and follows a change of size.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
E2E_SCREEN=3840x1080x24 e2e_setup "$1"
command -v xrandr >/dev/null || e2e_fail "xrandr is not installed"

# A window's place and size on the display: left, top, width, height.
geometry() {
  xwininfo -id "$1" 2>/dev/null | awk '
    /Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
    /Width:/ {w = $NF} /Height:/ {h = $NF}
    END {print x, y, w, h}'
}

expect_window() { # "left top width height" what
  local got= _
  for _ in $(seq 600); do
    got=$(geometry "$E2E_WINDOW")
    [ "$got" = "$1" ] && return 0
    sleep 0.1
  done
  e2e_fail "$2: the window is at '$got', expected '$1'"
}

stored_screen() { e2e_read config.a | tr -d '\r' | sed -n 's/^屏幕=//p'; }

# The panel is the primary screen (the first monitor); the projector is
# smaller, to its right.
xrandr --setmonitor PANEL 1920/508x1080/286+0+0 screen >/dev/null
xrandr --setmonitor PROJECTOR 1280/339x1024/271+1920+0 none >/dev/null
printf '[zbt]\r\nlx=真\r\n' | e2e_write config.a
e2e_start
expect_window "0 0 1920 1080" "at the first start"
[ -z "$(stored_screen)" ] || e2e_fail "a screen was stored without being chosen"

# 奖项设置 其它设置 主标题 副标题 中奖结果 转盘样式 字体颜色设置 背景图控制
# 背景音乐控制 界面大小, then 全屏 窗口 移到下一个屏幕 in its submenu.
e2e_open_menu 40 1000
before=$(e2e_windows)
xdotool key Down Down Down Down Down Down Down Down Down Down Right
e2e_wait_new_window "$before" "界面大小 opened no submenu"
xdotool key Down Down Return
expect_window "1920 0 1280 1024" "after 移到下一个屏幕"
[ "$(stored_screen)" = PROJECTOR@1920,0 ] || e2e_fail "the projector was not stored: '$(stored_screen)'"

# The fireworks of a landing cover the projector, not the panel.
e2e_wait_only_main "the menu stayed open"
xdotool windowfocus --sync "$E2E_WINDOW"
xdotool key space
sleep 1
xdotool key space
e2e_wait_new_window "$E2E_BASELINE" "no fireworks after the landing"
fireworks=$(comm -13 <(echo "$E2E_BASELINE") <(e2e_windows | sort) | head -n 1)
[ "$(geometry "$fireworks")" = "1920 0 1280 1024" ] \
  || e2e_fail "the fireworks are at '$(geometry "$fireworks")', not on the projector"
e2e_wait_only_main "the fireworks did not close"

e2e_stop
e2e_start
expect_window "1920 0 1280 1024" "at the next start"

# Unplugged: the panel takes the window, and the choice is kept.
xrandr --delmonitor PROJECTOR >/dev/null
expect_window "0 0 1920 1080" "after the projector was unplugged"
[ "$(stored_screen)" = PROJECTOR@1920,0 ] || e2e_fail "unplugging forgot the projector"
# Plugged in again, at another resolution: the window goes back to it.
xrandr --setmonitor PROJECTOR 1600/423x900/238+1920+0 none >/dev/null
expect_window "1920 0 1600 900" "after the projector was plugged in again"

# A screen that changes its size: with the monitors gone, the display's own
# output is the one screen, first 3840 x 1080, then switched to 1920 x 1080.
xrandr --delmonitor PROJECTOR >/dev/null
xrandr --delmonitor PANEL >/dev/null
expect_window "0 0 3840 1080" "on the display's own screen"
xrandr --newmode lunora-test 148.5 1920 2008 2052 2200 1080 1084 1089 1125 >/dev/null
xrandr --addmode screen lunora-test
xrandr --output screen --mode lunora-test
expect_window "0 0 1920 1080" "after the screen became smaller"
kill -0 "$E2E_APP_PID" || e2e_fail "the program ended"
echo "PASS: the window and its fireworks follow the screen they are on"
