#!/usr/bin/env bash
# One copy per run folder: a second start in the same folder brings the
# first copy's window to the front (here from behind another program's
# window, under a window manager) and ends; when the first copy does not
# answer (stopped here), the second says so in a box instead of vanishing,
# and the first, continued, still draws; a copy killed outright leaves a
# lock that does not stop the next start.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_setup "$1"
command -v xmessage >/dev/null || e2e_fail "xmessage is not installed"
e2e_start_wm
printf '[zbt]\r\nlx=假\r\n一=5\r\n二=0\r\n三=0\r\n四=0\r\n五=0\r\n六=0\r\n七=0\r\n八=0\r\n' | e2e_write config.a
e2e_start
first=$E2E_APP_PID

xmessage -name other 'another program' &
other_pid=$!
other=$(e2e_wait_window other "xmessage did not show")
xdotool windowactivate --sync "$other"

# Ends by itself: timeout only keeps a hanging copy from hanging the test.
rc=0
(cd "$E2E_DIR" && timeout 60 ./lunora >"$E2E_DIR/second.log" 2>&1) || rc=$?
[ "$rc" -eq 0 ] || e2e_fail "the second start ended with $rc: $(cat "$E2E_DIR/second.log")"
for _ in $(seq 600); do
  [ "$(xdotool getactivewindow 2>/dev/null)" = "$E2E_WINDOW" ] && break
  sleep 0.1
done
[ "$(xdotool getactivewindow 2>/dev/null)" = "$E2E_WINDOW" ] || e2e_fail "the first copy's window did not come to the front"
kill -0 "$first" || e2e_fail "the first copy ended"
mains=$(xdotool search --onlyvisible --name '^Lunora软件V2.0$' 2>/dev/null | wc -l)
[ "$mains" -eq 1 ] || e2e_fail "$mains main windows are shown"
kill "$other_pid" 2>/dev/null || true

# The first copy stopped: its window is there but takes no events.
kill -STOP "$first"
# Without a time limit: the box is waited for below, and the display going
# away at the end ends a copy that hangs.
(cd "$E2E_DIR" && exec ./lunora >"$E2E_DIR/second.log" 2>&1) &
second=$!
box=$(e2e_wait_window '^信息：$' "the second start showed no box" "$second")
[ "$(xdotool getwindowpid "$box" 2>/dev/null)" = "$second" ] || e2e_fail "the box is not the second start's"
xdotool windowactivate --sync "$box" 2>/dev/null || xdotool windowfocus --sync "$box"
xdotool key Return
rc=0
wait "$second" || rc=$?
[ "$rc" -eq 0 ] || e2e_fail "the second start ended with $rc after its box: $(cat "$E2E_DIR/second.log")"
! grep -q '^lunora:' "$E2E_DIR/second.log" || e2e_fail "the second start printed: $(cat "$E2E_DIR/second.log")"
kill -CONT "$first"
e2e_draw
kill -0 "$first" || e2e_fail "the first copy ended"

# Killed outright, the first copy leaves its lock file behind.
kill -9 "$first"
wait "$first" 2>/dev/null || true
E2E_APP_PID=
[ -f "$E2E_DIR/lunora.lock" ] || e2e_fail "no lock file was left to test with"
e2e_start
echo "PASS: a second start hands over to the first copy, or says in a box that it does not answer; a killed copy's lock does not count"
