#!/usr/bin/env bash
# Builds everything and runs every test: core tests, offscreen window tests
# and end-to-end tests of the real program under Xvfb; a syntax check of the
# Windows sources with MinGW-w64. Then the same suite again under
# AddressSanitizer and UndefinedBehaviorSanitizer, a short run of every fuzz
# target on its corpus, and last the Windows build under Wine when its Qt kit
# is in the cache.
# LUNORA_BUILD_DIR (default build) and LUNORA_CONFIGURE_ONLY=1 are for the
# check that the README's two commands work in its order.
set -euo pipefail
cd "$(dirname "$0")/.."
# The tests name Chinese files and search windows by Chinese titles: with
# the C locale (a bare environment), xdotool and cpack see only question
# marks. C.UTF-8 is always there on Debian.
export LC_ALL=C.UTF-8
build=${LUNORA_BUILD_DIR:-build}

bash scripts/deps.sh
# Every folder of src/ may depend only on the folders below it.
bash scripts/check-layers.sh

jobs=$(nproc 2>/dev/null || echo 2)
phase_start=$SECONDS
phase() { # name: prints how long the phase that just ended took
  echo "== $1 took $((SECONDS - phase_start)) s"
  phase_start=$SECONDS
}

# Every option is set here: the folder may hold a cache that scripts/run.sh
# or a developer configured otherwise.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUNORA_BUILD_TESTS=ON \
  -DLUNORA_BUILD_BENCH=ON -DLUNORA_SANITIZE=OFF -DLUNORA_BUILD_FUZZ=OFF
[ "${LUNORA_CONFIGURE_ONLY:-0}" = 1 ] && exit 0
cmake --build "$build" -j "$jobs"
phase "build"
# No sound device in CI: the media backend must not need one.
export QT_MEDIA_BACKEND=gstreamer
ctest --test-dir "$build" --output-on-failure --no-tests=error -j "$jobs" --timeout 300
phase "tests"

# Most operators run Windows: its code paths must at least compile.
bash scripts/check-windows.sh
phase "Windows syntax check"

# Sanitizers: every test again. Leaks are reported, except those of the
# system libraries Qt loads (fonts, sound server, D-Bus), listed in
# tests/lsan.supp.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUNORA_BUILD_TESTS=ON \
  -DLUNORA_SANITIZE=ON -DLUNORA_BUILD_BENCH=OFF -DLUNORA_BUILD_FUZZ=OFF
cmake --build build-asan -j "$jobs"
phase "sanitizer build"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0" \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  bash scripts/ctest-sanitized.sh build-asan --output-on-failure --no-tests=error -j "$jobs" --timeout 900
phase "sanitizer tests"

# Fuzzing needs clang's libFuzzer.
if ! command -v clang++ >/dev/null || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-*.a >/dev/null 2>&1; then
  echo "Installing: clang libclang-rt-dev"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends clang libclang-rt-dev
fi
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DLUNORA_BUILD_FUZZ=ON -DLUNORA_FUZZ_SECONDS=20 -DLUNORA_BUILD_TESTS=OFF -DLUNORA_BUILD_BENCH=OFF \
  -DLUNORA_SANITIZE=OFF
cmake --build build-fuzz --target lunora_fuzz -j "$jobs"
ctest --test-dir build-fuzz --output-on-failure --no-tests=error -j "$jobs"
phase "fuzz build and runs"

# The Windows build under Wine, when its Qt kit has been built on this
# machine (scripts/windows-kit.sh, about half an hour once); without the kit
# only the syntax check above ran.
if [ -f "$(bash scripts/windows-kit.sh --path)/.complete" ]; then
  bash scripts/test-windows.sh
  phase "Windows build and tests under Wine"
else
  echo "== Windows leg skipped: no Qt kit for MinGW-w64 in the cache; build it once with scripts/windows-kit.sh (30-50 min on 2 cores)"
fi
