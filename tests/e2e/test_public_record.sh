#!/usr/bin/env bash
# Public mode on the real program: a draw is on the record at its stop
# press. A folder at the history's name when the stop is pressed: nothing
# is counted and the wheel keeps turning; once the name is free the next
# press lands and counts. Killed with SIGKILL 150 ms after a stop press,
# the program leaves that draw counted in jieguo.a and on its line, and both
# checkers pass the file.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_setup "$1"
cp "$(dirname "$1")/lunora-verify" "$E2E_DIR/"
tool="$(cd "$(dirname "$0")/../.." && pwd)/tools/verify_history.py"
history="$E2E_DIR/中奖记录.csv"

lines() { [ -f "$history" ] && grep -c $'\r$' "$history" || echo 0; }
cell() { sed -n "$1p" "$history" | tr -d '\r' | cut -d, -f"$2"; } # line column
press() { xdotool windowfocus --sync "$E2E_WINDOW"; xdotool key space; }

printf '[zbt]\r\n公开抽奖=真\r\nlx=假\r\n三=2\r\n七=5\r\n' | e2e_write config.a
e2e_start
for _ in $(seq 600); do [ "$(lines)" -ge 2 ] && break; sleep 0.1; done
[ "$(cell 2 2)" = 承诺 ] || e2e_fail "no commitment at start-up"

# The history's name taken by a folder across a stop press.
press
sleep 0.5
mv "$history" "$history.aside"
mkdir "$history"
press
sleep 1
[ "$(e2e_counted)" = 0 ] || e2e_fail "a stop was counted with no record: $(e2e_read jieguo.a)"
xdotool getwindowname "$E2E_WINDOW" >/dev/null || e2e_fail "the window went away"
rmdir "$history"
mv "$history.aside" "$history"
press
for _ in $(seq 600); do [ "$(e2e_counted)" = 1 ] && break; sleep 0.1; done
[ "$(e2e_counted)" = 1 ] || e2e_fail "the stop after the folder went was not counted"
[ "$(cell 3 7)" = 1 ] || e2e_fail "the first draw's line: $(sed -n 3p "$history")"
e2e_wait_new_window "$E2E_BASELINE" "no fireworks after the stop"
e2e_wait_only_main "the fireworks did not close by themselves"

# SIGKILL 150 ms after the second draw's stop press.
press
sleep 0.5
press
sleep 0.15
kill -KILL "$E2E_APP_PID"
wait "$E2E_APP_PID" 2>/dev/null || true
E2E_APP_PID=
[ "$(lines)" = 4 ] || e2e_fail "the killed draw has no line: $(cat "$history")"
slot=$(cell 4 2)
[ "$(cell 4 7)" = 2 ] || e2e_fail "the killed draw's number: $(sed -n 4p "$history")"
[ "$(e2e_count "$slot")" = "$(cell 4 5)" ] || e2e_fail "j$slot is not the line's count: $(e2e_read jieguo.a)"
[ "$(e2e_counted)" = 2 ] || e2e_fail "jieguo.a holds $(e2e_counted) wins, expected 2"
[[ "$(cell 4 9)" =~ ^[0-9]{16}$ ]] || e2e_fail "停止时刻 is not in microseconds: $(cell 4 9)"

verify=$(cd "$E2E_DIR" && ./lunora-verify) || e2e_fail "lunora-verify: $verify"
tool_out=$(cd "$E2E_DIR" && python3 "$tool") || e2e_fail "verify_history.py: $tool_out"
[ "$verify" = "$tool_out" ] || e2e_fail "the checkers differ: '$verify' and '$tool_out'"
grep -qF "public draws verified: 2" <<<"$verify" || e2e_fail "expected 2 public draws in: $verify"
echo "PASS: a held history stops no roll and counts nothing; a draw killed 150 ms after its stop is counted and on its line"
