#!/usr/bin/env bash
# Builds the program and starts it. Without a display it starts a virtual
# one (Xvfb on :99) and says how to look at it.
# LUNORA_BUILD_DIR (default build) and LUNORA_CONFIGURE_ONLY=1 are for the
# check that the README's two commands work in its order.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${LUNORA_BUILD_DIR:-build}

bash scripts/deps.sh
# Only the program is built, but the tests stay configured: scripts/test.sh
# may follow in the same folder.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUNORA_BUILD_TESTS=ON \
  -DLUNORA_BUILD_BENCH=ON -DLUNORA_SANITIZE=OFF -DLUNORA_BUILD_FUZZ=OFF
[ "${LUNORA_CONFIGURE_ONLY:-0}" = 1 ] && exit 0
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target lunora

if [ -z "${DISPLAY:-}" ]; then
  export DISPLAY=:99
  if ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
    Xvfb "$DISPLAY" -screen 0 1920x1080x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    for _ in $(seq 50); do xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && break; sleep 0.1; done
  fi
  echo "No display was set: lunora runs on the virtual display $DISPLAY (1920x1080)."
  echo "See it with:  DISPLAY=$DISPLAY import -window root lunora.png"
fi
export QT_MEDIA_BACKEND=${QT_MEDIA_BACKEND:-gstreamer}
exec "$build/run/lunora"
