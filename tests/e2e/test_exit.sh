#!/usr/bin/env bash
# 退出 from the popup menu on the real program: Cancel keeps it running and
# writes nothing; OK ends the process with exit status 0, again writing
# nothing (every setting was stored when it changed). The same holds in the
# middle of a roll.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_setup "$1"
e2e_start

# Right click on the empty window area at x, 700, then the last item of the
# menu. Each call needs its own x: a --sync move to where the pointer
# already is waits for a motion that never comes.
choose_exit() {
  e2e_open_menu "$1" 700
  xdotool key Up Return
  e2e_wait_dialog '^确定退出吗？$' "退出 asked nothing" >/dev/null
}

# Polls until `cmd` fails, at most 60 s.
wait_until_not() {
  for _ in $(seq 600); do
    "$@" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}

before=$(md5sum <"$E2E_DIR/config.a")

choose_exit 40
xdotool key Escape
e2e_wait_only_main "Cancel left the box open"
kill -0 "$E2E_APP_PID" 2>/dev/null || e2e_fail "Cancel ended the program"

# OK: the program ends by itself, with status 0, having written nothing.
expect_exit_zero() {
  xdotool key Return
  wait_until_not kill -0 "$E2E_APP_PID" || e2e_fail "OK did not end the program"
  local status=0
  wait "$E2E_APP_PID" || status=$?
  E2E_APP_PID=
  [ "$status" -eq 0 ] || e2e_fail "exit status $status: $(tail -n 5 "$E2E_DIR/stderr.txt")"
  [ "$(md5sum <"$E2E_DIR/config.a")" = "$before" ] || e2e_fail "exiting wrote config.a"
  [ ! -e "$E2E_DIR/jieguo.a" ] || e2e_fail "exiting wrote jieguo.a"
}

choose_exit 60
expect_exit_zero

# Again during a roll, by probability so that the box has tickets: the
# space bar starts it, and it is still running (nothing counted) when the
# program ends.
printf '[zbt]\r\nlx=真\r\n' | e2e_write config.a
e2e_start
before=$(md5sum <"$E2E_DIR/config.a")
xdotool windowfocus --sync "$E2E_WINDOW"
xdotool key space
choose_exit 80
# A refused start would have shown its message under the default caption.
xdotool search --onlyvisible --name '^信息：$' >/dev/null 2>&1 && e2e_fail "the roll did not start"
expect_exit_zero
echo "PASS: 退出 with Cancel, then OK and exit status 0, also during a roll"
