#!/usr/bin/env bash
# A capital Q typed into the program's own input box is a Q: "QQ" entered as
# the main title through the popup menu is stored as "QQ" and the next draw
# is not designated. Once the box is closed, Shift+Q from another program
# designates again. The roll speed is 1e12 ms, which rolls at a second: the
# stop still lands and counts.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_setup "$1"
command -v xmessage >/dev/null || e2e_fail "xmessage is not installed"
history="$E2E_DIR/中奖记录.csv"

lines() { [ -f "$history" ] && grep -c $'\r$' "$history" || echo 0; }
cell() { sed -n "$1p" "$history" | tr -d '\r' | cut -d, -f"$2"; } # line column
config_value() { e2e_read config.a | tr -d '\r' | sed -n "s/^$1=//p"; }

# By quantity, the first ticket is slot 1's, and slot 8 holds nearly all.
printf '[zbt]\r\n主标题=A\r\n滚动速度=1e12\r\nlx=假\r\n一=1\r\n二=0\r\n三=0\r\n四=0\r\n五=0\r\n六=0\r\n七=0\r\n八=1000000\r\n' \
  | e2e_write config.a
e2e_start

e2e_open_menu 40 700
# 奖项设置, 其它设置, 主标题 (转盘放大 is hidden)
xdotool key Down Down Down Return
e2e_wait_dialog '^请输入主标题$' "no main title box" >/dev/null
xdotool key ctrl+a
xdotool type --delay 80 'QQ'
xdotool key Return
e2e_wait_only_main "the main title box stayed open"
[ "$(config_value 主标题)" = QQ ] || e2e_fail "the main title is stored as '$(config_value 主标题)'"

e2e_draw
e2e_wait_only_main "the fireworks did not close by themselves"
[ "$(lines)" = 2 ] || e2e_fail "the history has $(lines) lines after one draw"
[ "$(cell 2 2),$(cell 2 6)" = "8,否" ] || e2e_fail "typing Q designated the draw: $(sed -n 2p "$history")"

# The box is gone: Shift+Q in another program designates again.
xmessage -name other 'another program' &
other_pid=$!
other=$(e2e_wait_window other "xmessage did not show")
xdotool windowfocus --sync "$other"
xdotool key shift+q
kill "$other_pid" 2>/dev/null || true
e2e_draw
[ "$(cell 3 2),$(cell 3 6)" = "1,是" ] || e2e_fail "Shift+Q from another program no longer designates: $(sed -n 3p "$history")"
echo "PASS: a typed Q is a Q, and the hot key still works elsewhere"
