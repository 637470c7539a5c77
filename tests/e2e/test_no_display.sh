#!/usr/bin/env bash
# Without a display the program cannot open its window: it says so on stderr
# and ends with status 1 (not an abort), before anything is written to the
# run folder. Both when no display is named and when the one named cannot be
# reached.
set -uo pipefail
source "$(dirname "$0")/lib.sh"

E2E_DIR=$(mktemp -d)
trap e2e_cleanup EXIT
cp "$1" "$E2E_DIR/lunora"

# A display number nobody serves: no socket file and no lock file for it.
absent=
for n in $(seq 900 999); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { absent=":$n"; break; }
done
[ -n "$absent" ] || e2e_fail "no free display number to name"

expect_refusal() { # what, message, env arguments...
  local what=$1 message=$2 status
  shift 2
  (cd "$E2E_DIR" && exec env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" \
    timeout 60 ./lunora >"$E2E_DIR/stderr.txt" 2>&1)
  status=$?
  [ "$status" -ne 124 ] || e2e_fail "$what: the program waited instead of ending"
  [ "$status" -eq 1 ] || e2e_fail "$what: the program ended with status $status: $(cat "$E2E_DIR/stderr.txt")"
  grep -q "$message" "$E2E_DIR/stderr.txt" \
    || e2e_fail "$what: no message about the display: $(cat "$E2E_DIR/stderr.txt")"
  [ ! -e "$E2E_DIR/config.a" ] || e2e_fail "$what: config.a was written"
  [ ! -e "$E2E_DIR/奖品图片" ] || e2e_fail "$what: the picture folder was made"
}

expect_refusal "no display" "no display found"
expect_refusal "display $absent" "cannot open the display $absent" DISPLAY="$absent"
expect_refusal "display $absent, X11 named" "cannot open the display $absent" DISPLAY="$absent" QT_QPA_PLATFORM=xcb
echo "PASS: no display, or one that cannot be reached: status 1 and a message, nothing written"
