# Shared by the end-to-end tests: a private X display, a temporary run
# folder holding a copy of the program, and clean-up on every exit.
# Usage: source lib.sh; e2e_setup <lunora-binary>

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
  cp "$binary" "$E2E_DIR/lunora"
  local fifo="$E2E_DIR/display.fifo"
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  E2E_XVFB_PID=$!
  local number
  read -r -t 20 number <"$fifo" || e2e_fail "Xvfb did not start"
  export DISPLAY=":$number"
  export QT_QPA_PLATFORM=xcb
  export QT_MEDIA_BACKEND=gstreamer
  unset WAYLAND_DISPLAY
}

# Runs a window manager (openbox) on the test's display, for tests of what a
# frame changes, and waits until it manages the screen.
e2e_start_wm() {
  command -v openbox >/dev/null || e2e_fail "openbox is not installed"
  openbox --sm-disable >"$E2E_DIR/openbox.log" 2>&1 &
  E2E_WM_PID=$!
  local i
  for i in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    sleep 0.1
  done
  e2e_fail "openbox did not start"
}

# Starts the program and waits for its main window; sets E2E_WINDOW.
e2e_start() {
  (cd "$E2E_DIR" && exec ./lunora >"$E2E_DIR/lunora.log" 2>&1) &
  E2E_APP_PID=$!
  E2E_WINDOW=$(timeout 30 xdotool search --sync --onlyvisible --name 'Lunora软件V2.0' | head -n 1)
  [ -n "$E2E_WINDOW" ] || e2e_fail "the main window did not appear"
  sleep 0.5
}

e2e_stop() {
  [ -n "${E2E_APP_PID:-}" ] || return 0
  kill "$E2E_APP_PID" 2>/dev/null
  wait "$E2E_APP_PID" 2>/dev/null
  E2E_APP_PID=
}

# A data file of the run folder as UTF-8.
e2e_read() { iconv -f GBK -t UTF-8 "$E2E_DIR/$1"; }

# Writes UTF-8 text from stdin as a GBK data file of the run folder.
e2e_write() { iconv -f UTF-8 -t GBK >"$E2E_DIR/$1"; }
