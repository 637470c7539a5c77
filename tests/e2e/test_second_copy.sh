#!/usr/bin/env bash
# One copy per run folder: a second start in the same folder brings the
# first copy's window to the front (here from behind another program's
# window, under a window manager) and ends; a copy killed outright leaves a
# lock that does not stop the next start.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_setup "$1"
command -v xmessage >/dev/null || e2e_fail "xmessage is not installed"
e2e_start_wm
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

# Killed outright, the first copy leaves its lock file behind.
kill -9 "$first"
wait "$first" 2>/dev/null || true
E2E_APP_PID=
[ -f "$E2E_DIR/lunora.lock" ] || e2e_fail "no lock file was left to test with"
e2e_start
echo "PASS: a second start hands over to the first copy; a killed copy's lock does not count"
