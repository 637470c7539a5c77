#!/usr/bin/env bash
# Runs the suite of a sanitizer build (folder given as $1, further arguments
# go to ctest). LeakSanitizer's own stop-the-world tracer sometimes crashes
# at a process's exit while GStreamer's threads are still winding down
# ("Tracer caught signal 11" then "LeakSanitizer has encountered a fatal
# error"): the test itself passed and no leak was reported. With this
# compiler's runtime and Debian 12's C library the crash comes from reading
# the thread-local blocks of a module that was loaded and unloaded again (a
# media or platform plugin), and for some tests it comes every time. A test
# whose only failure is that crash runs once more, with thread-local storage
# not scanned for pointers (use_tls=0: our code keeps nothing there; what
# GLib and the loader keep there is in tests/lsan.supp), and says so; any
# other failure, or a failure of the rerun, fails the run.
set -uo pipefail
dir=$1
shift
if ctest --test-dir "$dir" "$@"; then
  exit 0
fi
log=$dir/Testing/Temporary/LastTest.log
failed=$dir/Testing/Temporary/LastTestsFailed.log
[ -f "$log" ] && [ -f "$failed" ] || exit 1

# The output block of one test in ctest's log: from its "Testing:" line to
# the line that ends its output.
output_of() {
  awk -v name="$1" '
    $0 ~ "^[0-9]+/[0-9]+ Testing: " name "$" { on = 1 }
    on { print }
    on && /^<end of output>$/ { exit }' "$log"
}

retry=()
while IFS=: read -r _ name; do
  [ -n "$name" ] || continue
  out=$(output_of "$name")
  if grep -q '^Tracer caught signal' <<<"$out" \
     && grep -q 'LeakSanitizer has encountered a fatal error' <<<"$out" \
     && ! grep -qE '^FAIL!|ERROR: (AddressSanitizer|LeakSanitizer): ' <<<"$out"; then
    retry+=("$name")
  else
    echo "== $name failed for a reason of its own: no retry"
    exit 1
  fi
done <"$failed"

[ ${#retry[@]} -gt 0 ] || exit 1
echo "== LeakSanitizer's tracer crashed at exit of: ${retry[*]}; running them once more"
pattern="^($(IFS='|'; echo "${retry[*]}"))\$"
LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}use_tls=0" ctest --test-dir "$dir" "$@" -R "$pattern"
