#!/usr/bin/env bash
# Without any display the program cannot open its window: it says so on
# stderr and ends with status 1 (not an abort), before anything is written
# to the run folder.
set -uo pipefail
source "$(dirname "$0")/lib.sh"

E2E_DIR=$(mktemp -d)
trap e2e_cleanup EXIT
cp "$1" "$E2E_DIR/lunora"

(cd "$E2E_DIR" && exec env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
  timeout 60 ./lunora >"$E2E_DIR/lunora.log" 2>&1)
status=$?
[ "$status" -ne 124 ] || e2e_fail "the program waited instead of ending"
[ "$status" -eq 1 ] || e2e_fail "the program ended with status $status"
grep -q "no display found" "$E2E_DIR/lunora.log" \
  || e2e_fail "no message about the display: $(cat "$E2E_DIR/lunora.log")"
[ ! -e "$E2E_DIR/config.a" ] || e2e_fail "config.a was written"
[ ! -e "$E2E_DIR/奖品图片" ] || e2e_fail "the picture folder was made"
echo "PASS: no display ends with status $status and a message, nothing written"
