#!/usr/bin/env bash
# An operator's draw on the real program: the space bar starts and stops a
# roll and jieguo.a counts the win; Shift+Q pressed while another program has
# the focus arms the designation, and the next landing is on the first
# ticket's slot.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_setup "$1"
command -v xmessage >/dev/null || e2e_fail "xmessage is not installed"

# By quantity: slot 1 has no stock, so the first ticket is slot 2's; slot 8
# holds nearly every ticket, so a random draw practically never gives slot 2.
printf '[zbt]\r\nlx=假\r\n一=0\r\n二=1\r\n三=0\r\n四=0\r\n五=0\r\n六=0\r\n七=0\r\n八=1000000\r\n' | e2e_write config.a
e2e_start

e2e_draw
e2e_wait_count 8 1
[ -z "$(e2e_count 2)" ] || e2e_fail "slot 2 won without a designation"

# Another program takes the focus; Shift+Q there still reaches us.
xmessage -name other 'another program' &
other_pid=$!
other=$(e2e_wait_window other "xmessage did not show")
xdotool windowfocus --sync "$other"
xdotool key shift+q
# The hot key reaches the program through its own X connection, ahead of
# anything typed later.
e2e_wait_only_main "the fireworks of the first draw did not close by themselves"
kill "$other_pid" 2>/dev/null || true

e2e_draw
e2e_wait_count 2 1
[ "$(e2e_count 8)" = 1 ] || e2e_fail "slot 8 counted again"
kill -0 "$E2E_APP_PID" || e2e_fail "the program ended"
echo "PASS: space bar draws and the hot key designates"
