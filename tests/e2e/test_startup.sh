#!/usr/bin/env bash
# The real program on a fresh run folder: it creates config.a in GBK, the
# picture folder, and covers the whole screen.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_setup "$1"
e2e_start

[ -d "$E2E_DIR/奖品图片" ] || e2e_fail "no picture folder"
[ -f "$E2E_DIR/config.a" ] || e2e_fail "no config.a"
# GBK bytes of "[zbt]\r\n界面大小=全屏\r\n"
expected=$(printf '[zbt]\r\n\xbd\xe7\xc3\xe6\xb4\xf3\xd0\xa1=\xc8\xab\xc6\xc1\r\n' | od -An -tx1)
actual=$(od -An -tx1 <"$E2E_DIR/config.a")
[ "$expected" = "$actual" ] || e2e_fail "config.a holds: $actual"

eval "$(xdotool getwindowgeometry --shell "$E2E_WINDOW")"
[ "$X" -eq 0 ] && [ "$Y" -eq 0 ] || e2e_fail "window at $X,$Y"
[ "$WIDTH" -eq 1280 ] && [ "$HEIGHT" -eq 1024 ] || e2e_fail "window is ${WIDTH}x$HEIGHT"
kill -0 "$E2E_APP_PID" || e2e_fail "the program ended"
echo "PASS: start-up on a fresh folder"
