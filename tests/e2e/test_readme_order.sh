#!/usr/bin/env bash
# The README's two commands, in its order, in one folder: scripts/run.sh
# configures the build first, then scripts/test.sh must still find every test
# there (a cache with the tests switched off once made its first phase run
# nothing and pass).
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
build=$(mktemp -d)
trap 'rm -rf "$build"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cd "$repo"
LUNORA_BUILD_DIR="$build" LUNORA_CONFIGURE_ONLY=1 bash scripts/run.sh >/dev/null \
  || fail "scripts/run.sh did not configure"
LUNORA_BUILD_DIR="$build" LUNORA_CONFIGURE_ONLY=1 bash scripts/test.sh >/dev/null \
  || fail "scripts/test.sh did not configure"

listed=$(ctest --test-dir "$build" -N)
for kind in core_test_ gui_test_ e2e_test_; do
  grep -q " $kind" <<<"$listed" || fail "no $kind tests after run.sh then test.sh"
done
grep -q "LUNORA_BUILD_BENCH:BOOL=ON" "$build/CMakeCache.txt" || fail "benchmarks are not built"
# An empty test folder is an error, not a pass.
empty=$(mktemp -d)
trap 'rm -rf "$build" "$empty"' EXIT
if ctest --test-dir "$empty" --no-tests=error >/dev/null 2>&1; then
  fail "ctest passes with no tests"
fi
echo "PASS: run.sh then test.sh configure every test ($(grep -c 'Test *#' <<<"$listed") listed)"
