# Shared by the end-to-end tests: a private X display, a temporary run
# folder holding a copy of the program, and clean-up on every exit.
# Usage: source lib.sh; e2e_setup <lunora-binary>
# (E2E_SCREEN=WxHxDEPTH chooses another size of display than 1280x1024x24.)

# Window titles are Chinese: xdotool matches them only in a locale that
# can spell them. A caller's own (the Wine run's GBK) is kept.
export LC_ALL=${LC_ALL:-C.UTF-8}

e2e_fail() { echo "FAIL: $*" >&2; exit 1; }

# Each step runs even when one before it finds its process gone already.
e2e_cleanup() {
  [ -n "${E2E_APP_PID:-}" ] && kill "$E2E_APP_PID" 2>/dev/null || true
  [ -n "${E2E_WM_PID:-}" ] && kill "$E2E_WM_PID" 2>/dev/null || true
  [ -n "${E2E_XVFB_PID:-}" ] && kill "$E2E_XVFB_PID" 2>/dev/null || true
  [ -n "${E2E_DIR:-}" ] && rm -rf "$E2E_DIR"
  return 0
}

e2e_setup() {
  local binary=$1
  for tool in Xvfb xdotool iconv; do
    command -v "$tool" >/dev/null || e2e_fail "$tool is not installed"
  done
  E2E_DIR=$(mktemp -d)
  trap e2e_cleanup EXIT
  # The pictures the program keeps decoded between runs stay in the test's
  # folder, not in the user's cache.
  export XDG_CACHE_HOME="$E2E_DIR/cache"
  cp "$binary" "$E2E_DIR/lunora"
  e2e_display
  export QT_QPA_PLATFORM=xcb
  export QT_MEDIA_BACKEND=gstreamer
  unset WAYLAND_DISPLAY
}

# Starts the private X display (Xvfb) and sets DISPLAY to it.
e2e_display() {
  local fifo="$E2E_DIR/display.fifo" number
  mkfifo "$fifo"
  # -noreset: by default the server resets whenever its last client leaves,
  # and a client connecting during that reset is refused. Every xdotool
  # look is such a client, so without it the program's start failed now and
  # then with "could not connect to display".
  Xvfb -displayfd 3 -screen 0 "${E2E_SCREEN:-1280x1024x24}" -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
  E2E_XVFB_PID=$!
  read -r -t 20 number <"$fifo" || e2e_fail "Xvfb did not start"
  rm -f "$fifo"
  export DISPLAY=":$number"
}

# Runs a window manager (openbox) on the test's display, for tests of what a
# frame changes, and waits until it manages the screen.
e2e_start_wm() {
  command -v openbox >/dev/null || e2e_fail "openbox is not installed"
  openbox --sm-disable >"$E2E_DIR/openbox.log" 2>&1 &
  E2E_WM_PID=$!
  local i
  for i in $(seq 600); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    kill -0 "$E2E_WM_PID" 2>/dev/null || break
    sleep 0.1
  done
  e2e_fail "openbox did not start: $(tail -n 5 "$E2E_DIR/openbox.log")"
}

# xdotool ends on the first X error, and a search meets one whenever a
# window goes away while it looks (a menu closing, a box being answered). So
# every look here is repeated until it gives an answer, never trusted once.

# Waits until a visible window's title matches the pattern; prints its id.
# Given the program's process, fails at once when that process has ended.
e2e_wait_window() { # pattern [what, for the failure] [pid]
  local id _
  for _ in $(seq 600); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) || true
    [ -n "$id" ] && { echo "$id"; return 0; }
    if [ -n "${3:-}" ] && ! kill -0 "$3" 2>/dev/null; then
      e2e_fail "the program ended before its window showed: $(cat "$E2E_DIR/stderr.txt")"
    fi
    sleep 0.1
  done
  e2e_fail "${2:-no window titled $1}"
}

# Waits until a window titled by the pattern shows and has the keyboard
# focus, so that keys typed next reach it; prints its id.
e2e_wait_dialog() { # pattern [what, for the failure]
  local id _
  id=$(e2e_wait_window "$@") || exit 1
  for _ in $(seq 600); do
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  e2e_fail "${2:-the window titled $1} never took the keyboard focus"
}

# Waits until no visible window's title matches the pattern: three looks in
# a row find none, so one look cut short by an X error does not count.
e2e_wait_gone() { # pattern [what, for the failure]
  local empty=0 _
  for _ in $(seq 600); do
    if xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; then
      empty=0
    else
      empty=$((empty + 1))
      [ "$empty" -ge 3 ] && return 0
    fi
    sleep 0.1
  done
  e2e_fail "${2:-the window titled $1 stayed}"
}

# The program's visible windows (menus and fireworks too), one id a line:
# Qt names every window's class after the program, while a search by
# process also returns windows that carry no process id at all. A look that
# misses the main window was cut short and is repeated.
e2e_windows() {
  local out _
  for _ in $(seq 100); do
    out=$(xdotool search --onlyvisible --classname "${E2E_CLASS:-^lunora\$}" 2>/dev/null) || true
    grep -qx "$E2E_WINDOW" <<<"$out" && { echo "$out"; return 0; }
    sleep 0.1
  done
  e2e_fail "cannot list the program's windows"
}

# Waits until the program shows a window that is not in the list given.
e2e_wait_new_window() { # "ids before" [what, for the failure]
  local _
  for _ in $(seq 600); do
    [ -n "$(comm -13 <(sort <<<"$1") <(e2e_windows | sort))" ] && return 0
    sleep 0.1
  done
  e2e_fail "${2:-no new window appeared}"
}

# Waits until the program shows only what it showed at start: menus, boxes
# and fireworks are gone.
e2e_wait_only_main() { # [what, for the failure]
  local baseline=$E2E_BASELINE _
  for _ in $(seq 600); do
    [ "$(e2e_windows | sort)" = "$baseline" ] && return 0
    sleep 0.1
  done
  e2e_fail "${1:-a window besides the main one stayed open}"
}

# Right click at x, y and wait for the popup menu; keys then go to it.
e2e_open_menu() { # x y
  local before
  before=$(e2e_windows)
  xdotool mousemove --sync "$1" "$2" click 3
  e2e_wait_new_window "$before" "the right click opened no menu"
}

# Starts the program and waits for its main window; sets E2E_WINDOW and
# E2E_BASELINE, the windows it shows with nothing open over it.
e2e_start() {
  (cd "$E2E_DIR" && exec ./lunora >"$E2E_DIR/stderr.txt" 2>&1) &
  E2E_APP_PID=$!
  E2E_WINDOW=$(e2e_wait_window '^Lunora软件V2.0$' "the main window did not appear" "$E2E_APP_PID") \
    || e2e_fail "its log ends: $(tail -n 5 "$E2E_DIR/stderr.txt")"
  E2E_BASELINE=$(e2e_windows | sort)
}

e2e_stop() {
  [ -n "${E2E_APP_PID:-}" ] || return 0
  kill "$E2E_APP_PID" 2>/dev/null || true
  wait "$E2E_APP_PID" 2>/dev/null || true
  E2E_APP_PID=
}

# A data file of the run folder as UTF-8.
e2e_read() { iconv -f GBK -t UTF-8 "$E2E_DIR/$1"; }

# Writes UTF-8 text from stdin as a GBK data file of the run folder.
e2e_write() { iconv -f UTF-8 -t GBK >"$E2E_DIR/$1"; }

# The wins jieguo.a counts for one slot (empty before its first), and in all.
e2e_count() { e2e_read jieguo.a 2>/dev/null | tr -d '\r' | sed -n "s/^j$1=//p"; }
e2e_counted() {
  { e2e_read jieguo.a 2>/dev/null || true; } | tr -d '\r' | sed -n 's/^j[0-9]=//p' | awk '{s += $1} END {print s + 0}'
}

e2e_wait_count() { # slot expected
  local _
  for _ in $(seq 600); do [ "$(e2e_count "$1")" = "$2" ] && return 0; sleep 0.1; done
  e2e_fail "j$1 is '$(e2e_count "$1")', expected $2"
}

# An operator's draw: the space bar starts a roll, the wheel turns a moment,
# and the second press stops it whenever it comes. Returns once the landing
# is counted.
e2e_draw() {
  local before _
  before=$(e2e_counted)
  xdotool windowactivate --sync "$E2E_WINDOW" 2>/dev/null || xdotool windowfocus --sync "$E2E_WINDOW"
  xdotool key space
  sleep 1
  xdotool key space
  for _ in $(seq 600); do [ "$(e2e_counted)" -gt "$before" ] && return 0; sleep 0.1; done
  e2e_fail "a draw was not counted (still $before)"
}
