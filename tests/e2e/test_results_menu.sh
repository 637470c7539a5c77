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
  e2e_open_menu "$1" 700
  # 奖项设置, 其它设置, 主标题, 副标题, 中奖结果 (转盘放大 is hidden)
  xdotool key Down Down Down Down Down Return
  e2e_wait_dialog '请输入密码' "no password prompt" >/dev/null
}

open_results_prompt 40
xdotool type --delay 40 'wrong'
xdotool key Return
# The refusal "密码不正确！" is a message box under the default caption.
e2e_wait_dialog '^信息：$' "no refusal message" >/dev/null
xdotool search --onlyvisible --name '^中奖结果$' >/dev/null 2>&1 && e2e_fail "a wrong password opened the results"
xdotool key Return
e2e_wait_only_main "the refusal left a window open"

open_results_prompt 60
xdotool type --delay 40 'lucky8'
xdotool key Return
e2e_wait_window '^中奖结果$' "the results window did not open" >/dev/null
# Showing the results must not touch the file.
[ "$(e2e_read jieguo.a | tr -d '\r' | sed -n 's/^j8=//p')" = 12 ] || e2e_fail "jieguo.a changed"
grep -q 'lucky8' "$E2E_DIR/config.a" && e2e_fail "the password is stored in clear"
echo "PASS: results behind the password"
