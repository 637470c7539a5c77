#!/usr/bin/env bash
# Builds everything and runs every test: core tests, offscreen window tests
# and end-to-end tests of the real program under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
# No sound device in CI: the media backend must not need one.
export QT_MEDIA_BACKEND=gstreamer
ctest --test-dir build --output-on-failure -j "$jobs" --timeout 300
