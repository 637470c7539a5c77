#!/usr/bin/env bash
# The results through the popup menu, as an operator reaches them: right
# click, 中奖结果, the password, and the results window opens. A wrong
# password opens nothing.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_setup "$1"

# The password "lucky8", stored enciphered as the program stores it.
printf '[zbt]\r\npassword=QKABJGFIFMBCBD\r\n' | e2e_write config.a
printf '[zjjg]\r\nj1=3\r\nj2=0\r\nj3=7\r\nj4=1\r\nj5=0\r\nj6=2\r\nj7=0\r\nj8=12\r\n' | e2e_write jieguo.a
e2e_start

open_results_prompt() {
  xdotool mousemove --sync 40 700 click 3
  sleep 0.7
  # 奖项设置, 其它设置, 主标题, 副标题, 中奖结果 (转盘放大 is hidden)
  xdotool key Down Down Down Down Down Return
  timeout 10 xdotool search --sync --onlyvisible --name '请输入密码' >/dev/null \
    || e2e_fail "no password prompt"
  sleep 0.3
}

open_results_prompt
xdotool type --delay 40 'wrong'
xdotool key Return
sleep 1
xdotool search --onlyvisible --name '^中奖结果$' >/dev/null && e2e_fail "a wrong password opened the results"
# The refusal "密码不正确！" is a message box under the default caption.
xdotool search --onlyvisible --name '信息：' >/dev/null || e2e_fail "no refusal message"
xdotool key Return
sleep 0.5

open_results_prompt
xdotool type --delay 40 'lucky8'
xdotool key Return
timeout 10 xdotool search --sync --onlyvisible --name '^中奖结果$' >/dev/null \
  || e2e_fail "the results window did not open"
# Showing the results must not touch the file.
[ "$(e2e_read jieguo.a | tr -d '\r' | sed -n 's/^j8=//p')" = 12 ] || e2e_fail "jieguo.a changed"
grep -q 'lucky8' "$E2E_DIR/config.a" && e2e_fail "the password is stored in clear"
echo "PASS: results behind the password"
