#!/usr/bin/env bash
# The files of an event as an organiser leaves them: config.a saved as UTF-8
# by an editor (with and without a byte order mark) starts with its values
# and is stored back in GBK beside a copy of the original, which the log
# tells; 清空中奖 with a new history keeps the rehearsal's history under a
# dated name.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_setup "$1"

config_value() { e2e_read config.a | tr -d '\r' | sed -n "s/^$1=//p"; }

# Only one slot holds prizes, so where the draw lands shows the values were
# read. $1 is the byte order mark or nothing, $2 the title, $3 the slot and
# $4 its key.
start_with_utf8_config() {
  local values="" slot
  for slot in 一 二 三 四 五 六 七 八; do values+="$slot=0"$'\r\n'; done
  values=${values/"${4}=0"/"${4}=5"}
  printf '%s[zbt]\r\n主标题=%s\r\n%s' "$1" "$2" "$values" >"$E2E_DIR/original.a"
  cp "$E2E_DIR/original.a" "$E2E_DIR/config.a"
  e2e_start
  # Start-up's first write converts the file and says so once.
  e2e_wait_dialog '^信息：$' "no word of the conversion" >/dev/null
  xdotool key Return
  e2e_wait_gone '^信息：$' "the conversion's message stayed"
  # The box may have shown before the start took its list of windows.
  E2E_BASELINE=$(e2e_windows | sort)
  e2e_draw
  e2e_wait_count "$3" 1
  cmp -s "$E2E_DIR/original.a" "$E2E_DIR/config.a.utf8" || e2e_fail "config.a.utf8 is not the original"
  [ "$(config_value 主标题)" = "$2" ] || e2e_fail "the title in GBK is '$(config_value 主标题)'"
  [ "$(config_value "$4")" = 5 ] || e2e_fail "the value of $4 in GBK is '$(config_value "$4")'"
  tail -n 1 "$E2E_DIR/中奖记录.csv" | grep -q ",$3,5,按数量,1," || e2e_fail "the history line: $(tail -n 1 "$E2E_DIR/中奖记录.csv")"
}

start_with_utf8_config $'\xEF\xBB\xBF' '彩排·年会' 3 三
# The conversion is in the log beside the data files, for the organiser
# to send after the event; the log's own thread writes it soon after.
logged() { grep -q ' lunora.save info config.a was UTF-8 ' "$E2E_DIR/lunora.log" 2>/dev/null; }
for _ in $(seq 100); do logged && break; sleep 0.1; done
logged || e2e_fail "lunora.log holds: $(cat "$E2E_DIR/lunora.log" 2>/dev/null)"

# 中奖结果 with the empty password, 清空中奖, OK, and OK for a new history.
e2e_open_menu 40 700
xdotool key Down Down Down Down Down Return
e2e_wait_dialog '请输入密码' "no password prompt" >/dev/null
xdotool key Return
results=$(e2e_wait_dialog '^中奖结果$' "the results window did not open")
xdotool mousemove --window "$results" 240 230 click 1
e2e_wait_dialog '^确定清空吗？$' "no question before the clearing" >/dev/null
xdotool key Return
e2e_wait_dialog '^开始新的中奖记录吗？$' "no question about a new history" >/dev/null
xdotool key Return
e2e_wait_dialog '^信息：$' "no word of where the history went" >/dev/null
xdotool key Return

kept=$(find "$E2E_DIR" -maxdepth 1 -name '中奖记录-????????-??????.csv')
[ "$(wc -l <<<"$kept")" = 1 ] && [ -n "$kept" ] || e2e_fail "the old history is not kept: $(ls "$E2E_DIR")"
grep -q ',3,5,按数量,1,' "$kept" || e2e_fail "the kept history lost its win"
[ "$(wc -l <"$E2E_DIR/中奖记录.csv")" = 2 ] && sed -n 2p "$E2E_DIR/中奖记录.csv" | grep -q ',清空中奖,' \
  || e2e_fail "the new history holds: $(cat "$E2E_DIR/中奖记录.csv")"
xdotool key Escape
e2e_stop

start_with_utf8_config '' '正式·年会' 5 五
echo "PASS: UTF-8 config.a read and stored back in GBK; a new history after the rehearsal"
