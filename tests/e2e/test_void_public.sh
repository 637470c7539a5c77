#!/usr/bin/env bash
# The public mode switched from the menu and a draw voided, as an operator
# does it: 公开抽奖 on (the commitment is on the record at once), two
# public draws, 作废上次中奖 in the results window (the count goes down and
# the void names draw 2), the next draw is draw 3, and 公开抽奖 off.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_setup "$1"
history="$E2E_DIR/中奖记录.csv"

lines() { [ -f "$history" ] && grep -c $'\r$' "$history" || echo 0; }
wait_lines() { # count
  for _ in $(seq 600); do [ "$(lines)" -ge "$1" ] && return 0; sleep 0.1; done
  e2e_fail "the history has $(lines) lines, expected $1"
}
cell() { sed -n "$1p" "$history" | tr -d '\r' | cut -d, -f"$2"; } # line column
stored() { e2e_read config.a | tr -d '\r' | sed -n 's/^公开抽奖=//p'; }

# The menu entry by keys, then the password prompt (no password is set).
menu_entry() { # downs
  e2e_open_menu 60 60
  for _ in $(seq "$1"); do xdotool key Down; done
  xdotool key Return
  e2e_wait_dialog '请输入密码' "no password prompt" >/dev/null
  xdotool key Return
}
# 奖项设置, 其它设置, 主标题, 副标题, 中奖结果, 转盘样式, 字体颜色设置,
# 背景图控制, 背景音乐控制, 界面大小, 公开抽奖 (转盘放大 is hidden)
switch_public() { menu_entry 11; }
# A public draw is counted at its stop, before its landing: the next press
# must wait for the fireworks to come and go.
public_draw() {
  e2e_draw
  e2e_wait_new_window "$E2E_BASELINE" "no fireworks after the stop"
  e2e_wait_only_main "the fireworks did not close by themselves"
}

# By quantity slot 8 holds nearly every ticket.
printf '[zbt]\r\nlx=假\r\n一=1\r\n八=1000000\r\n' | e2e_write config.a
e2e_start
switch_public
wait_lines 2
[ "$(cell 2 2)" = 承诺 ] || e2e_fail "no commitment when switched on: $(sed -n 2p "$history")"
[ "$(stored)" = 真 ] || e2e_fail "公开抽奖 is stored as '$(stored)'"
e2e_wait_only_main "the prompt stayed"
public_draw
public_draw
wait_lines 4
[ "$(cell 4 7)" = 2 ] || e2e_fail "the second public draw: $(sed -n 4p "$history")"
slot=$(cell 4 2)
before=$(e2e_count "$slot")

menu_entry 5
results=$(e2e_wait_window '^中奖结果$' "the results window did not open")
# 按钮_作废 at (320, 216), 132 x 29 in the window.
xdotool mousemove --window "$results" --sync 386 230 click 1
e2e_wait_dialog '^确定作废吗？$' "no confirmation" >/dev/null
xdotool key Return
wait_lines 5
[ "$(cell 5 2),$(cell 5 7)" = "作废,2" ] || e2e_fail "the void's line: $(sed -n 5p "$history")"
[ "$(e2e_count "$slot")" = $((before - 1)) ] || e2e_fail "j$slot is $(e2e_count "$slot"), expected $((before - 1))"
[ "$(cell 5 5)" = $((before - 1)) ] || e2e_fail "the void's count: $(sed -n 5p "$history")"
[ -n "${E2E_SHOT:-}" ] && import -window root "$E2E_SHOT"
xdotool key Escape
e2e_wait_only_main "the results window stayed"

public_draw
wait_lines 6
[ "$(cell 6 7)" = 3 ] || e2e_fail "the draw after the void: $(sed -n 6p "$history")"
switch_public
wait_lines 7
[ "$(cell 7 2)" = 公开抽奖结束 ] || e2e_fail "no end line: $(sed -n 7p "$history")"
[ "$(stored)" = 假 ] || e2e_fail "公开抽奖 is stored as '$(stored)'"
echo "PASS: public mode from the menu, a draw voided on the record, the next key used"
