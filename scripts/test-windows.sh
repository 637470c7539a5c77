#!/usr/bin/env bash
# The Windows build under Wine (Debian's wine64) with the Chinese ANSI code
# page (LC_ALL=zh_CN.GBK gives code page 936):
#  1. ctest of the Windows build: every test executable under Wine through
#     scripts/wine-test.sh, in a fresh Wine prefix;
#  2. what only the unzipped ZIP shows, in a fresh prefix under Xvfb: its
#     files and start-up, a second start, a start from inside the archive,
#     the Windows hot key, files held by another program across landings,
#     the data files it wrote read through the system's profile functions,
#     every fireworks show on Wine's own windows, and the roll's pace with
#     jieguo.a held by another process (figures only).
# Tests that cannot work under Wine are named with the reason and skipped.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

# What the Wine run needs, installed when missing: a machine that has only
# built the ZIP has none of it.
packages=(wine64 xvfb xdotool openbox unzip locales x11-utils)
bash "$root/scripts/install-missing.sh" "${packages[@]}"

zip=$(bash scripts/build-windows.sh | tail -n1)
kit=$(bash scripts/windows-kit.sh --path)
build=$root/build-windows/build
source "$root/scripts/wine-test.sh"
for tool in "$wine" "$wineserver" Xvfb xdotool openbox unzip localedef iconv xmessage; do
  command -v "$tool" >/dev/null || { echo "test-windows: $tool is missing" >&2; exit 1; }
done
wine_locale
# The platform is the tests' own choice: ctest names it for the window tests.
unset QT_QPA_PLATFORM

work=$(mktemp -d)
logs=$root/build-windows/wine-logs
# A failed run keeps every log it wrote in build-windows/wine-logs.
cleanup() {
  local status=$?
  [[ -n ${WINEPREFIX:-} ]] && "$wineserver" -k 2>/dev/null || true
  if ((status != 0)); then
    rm -rf "$logs"
    mkdir -p "$logs"
    cp "$build/Testing/Temporary/LastTest.log" "$logs/" 2>/dev/null || true
    find "$work" -maxdepth 1 -type f -name '*.log' -exec cp {} "$logs/" \; 2>/dev/null || true
    echo "test-windows: logs kept in build-windows/wine-logs" >&2
  fi
  e2e_cleanup 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL (Wine): $*" >&2; exit 1; }

# ---- 1. The test executables, through ctest ---------------------------------
# Each executable's output is in ctest's log: its totals, its skips with
# their reasons, and a crash of Wine at exit that made it run again.
summarise() { # seconds
  awk -v seconds="$1" '
    /^[0-9]+\/[0-9]+ Test: / { name = $3; order[++n] = name }
    /^Totals: / { totals[name] = $0; split($0, f, /[ ,]+/); p[name] = f[2]; x[name] = f[4]; s[name] = f[6] }
    /^SKIP / { skips = skips "  " name ": " $0 "\n" }
    /^wine-test: every test passed, then the Wine process crashed/ { crashed = crashed " " name; c++ }
    END {
      for (i = 1; i <= n; i++) {
        k = order[i]; P += p[k]; X += x[k]; S += s[k]
        printf "%-32s %s\n", k, (k in totals) ? totals[k] : "(no totals)"
      }
      printf "%s== Wine test executables: %d run in %d s, %d passed, %d failed, %d skipped;", skips, n, seconds, P, X, S
      printf " crashed on exit and ran again: %d (%s)\n", c, substr(crashed, 2)
    }' "$build/Testing/Temporary/LastTest.log"
}
echo "== Windows test executables under Wine ($("$wine" --version), code page 936)"
rm -rf "$build/wine-prefix" "$build/wine-prefix.lock"
started=$SECONDS
ctest_rc=0
ctest --test-dir "$build" -j "$(nproc 2>/dev/null || echo 2)" --timeout 300 --no-tests=error \
  >"$work/ctest.log" 2>&1 || ctest_rc=$?
summarise $((SECONDS - started))
WINEPREFIX=$build/wine-prefix "$wineserver" -k 2>/dev/null || true
# A failed executable fails the run at the end, after the ZIP's own test.
if ((ctest_rc != 0)); then
  sed -n '/tests failed out of/,$p' "$work/ctest.log"
  echo "FAIL (Wine): test executables (the failures' output is in build-windows/wine-logs/LastTest.log)" >&2
fi

# ---- 2. The unzipped ZIP in a fresh prefix -----------------------------------
wine_prefix "$work/prefix-zip" nofonts
unset WINEPATH
mkdir "$work/unzipped"
unzip -q "$zip" -d "$work/unzipped"
app=$(echo "$work"/unzipped/lunora-*)
[[ -f $app/lunora.exe ]] || fail "no lunora.exe in the ZIP"
# The operator's guide: unzip writes names in this GBK locale's bytes only
# when the ZIP marks them as UTF-8, as a Chinese Windows needs to show them.
[[ $(head -c 3 "$app/$(iconv -f UTF-8 -t GBK <<<使用说明).txt" 2>/dev/null | od -An -tx1 | tr -d ' ') == efbbbf ]] \
  || fail "no 使用说明.txt (UTF-8 name, byte order mark) in the ZIP"

# The end-to-end library's display, window manager, waits and draws, on
# the unzipped folder as the run folder. Wine names the program's windows'
# class after the .exe.
source "$root/tests/e2e/lib.sh"
e2e_fail() { fail "$@"; }
E2E_DIR=$app
export E2E_CLASS='^lunora\.exe$'
e2e_display
e2e_start_wm

start_app() { # sets E2E_APP_PID, E2E_WINDOW, E2E_BASELINE; the start-up time in startup_s
  local t0
  t0=$(date +%s.%N)
  (cd "$app" && exec "$wine" ./lunora.exe >"$work/lunora.log" 2>&1) &
  E2E_APP_PID=$!
  E2E_WINDOW=$(e2e_wait_window '^Lunora软件V2.0$') || { cat "$work/lunora.log"; fail "the main window did not appear"; }
  startup_s=$(echo "$t0 $(date +%s.%N)" | awk '{printf "%.2f", $2 - $1}')
  E2E_BASELINE=$(e2e_windows | sort)
}
stop_app() {
  kill "$E2E_APP_PID" 2>/dev/null || true
  "$wineserver" -k 2>/dev/null || true
  wait "$E2E_APP_PID" 2>/dev/null || true
  E2E_APP_PID=
}
alive() { kill -0 "$E2E_APP_PID" 2>/dev/null || { cat "$work/lunora.log"; fail "lunora.exe ended: $*"; }; }
# The fireworks of a landing close by themselves.
fireworks_over() { # what
  e2e_wait_only_main "the fireworks $1 did not close"
  alive "after the fireworks $1"
}
activate() { xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1"; }

echo "== The ZIP under Wine: $(basename "$zip")"
start_app
echo "start-up to the main window shown, Wine: $startup_s s (first start of a fresh prefix)"
expected=$(printf '[zbt]\r\n\xbd\xe7\xc3\xe6\xb4\xf3\xd0\xa1=\xc8\xab\xc6\xc1\r\n' | od -An -tx1)
[[ $(od -An -tx1 <"$app/config.a") == "$expected" ]] || fail "config.a holds: $(od -An -tx1 <"$app/config.a")"
# Wine names files on Linux in the locale's encoding: GBK here.
[[ -d $app/$(printf '奖品图片' | iconv -f UTF-8 -t GBK) ]] || fail "no picture folder"
eval "$(xdotool getwindowgeometry --shell "$E2E_WINDOW")"
((WIDTH == 1280 && HEIGHT == 1024)) || fail "the window is ${WIDTH}x$HEIGHT, not full screen"

# A second start in the same folder ends by itself and leaves one copy.
# Whether Wine hands the foreground across its processes is recorded.
xmessage -name other 'another program' &
other_pid=$!
activate "$(e2e_wait_window other "xmessage did not show")"
second_rc=0
(cd "$app" && timeout 120 "$wine" ./lunora.exe >"$work/second.log" 2>&1) || second_rc=$?
((second_rc == 0)) || { cat "$work/second.log"; fail "the second start ended with $second_rc"; }
alive "after a second start in its folder"
mains=$(xdotool search --onlyvisible --name '^Lunora软件V2.0$' 2>/dev/null | wc -l)
((mains == 1)) || fail "$mains main windows after a second start"
for _ in $(seq 100); do
  [[ $(xdotool getactivewindow 2>/dev/null) == "$E2E_WINDOW" ]] && break
  sleep 0.1
done
if [[ $(xdotool getactivewindow 2>/dev/null) == "$E2E_WINDOW" ]]; then
  echo "second start: the first copy's window came to the front"
else
  echo "KNOWN WINE LIMIT: the second start ended, but the first copy's window did not come to the front"
fi
kill "$other_pid" 2>/dev/null || true
# Killed with the Wine server: its lock stays and must not stop the next start.
stop_app

# Started from inside an archive, as Explorer opens a ZIP: a copy in the
# system's temporary folder says to unzip first and writes nothing there.
# The folder GetTempPathW gives, as Wine sees it (Wine 8 keeps it in
# C:\users\<name>\Temp, Windows in ...\AppData\Local\Temp).
win_temp=$("$wine" cmd /c echo %TEMP% 2>/dev/null | tr -d '\r' || true)
unix_temp=$("$wine" winepath -u "$win_temp" 2>/dev/null | tr -d '\r' || true)
[[ -d $unix_temp ]] || fail "no temporary folder in the Wine prefix"
inside=$unix_temp/Temp1_$(basename "$zip")/$(basename "$app")
mkdir -p "$inside"
(cd "$app" && cp -r lunora.exe ./*.dll qt.conf platforms imageformats styles translations "$inside/")
before=$(cd "$inside" && find . | sort)
(cd "$inside" && exec "$wine" ./lunora.exe >"$work/archive.log" 2>&1) &
archive_pid=$!
activate "$(e2e_wait_window '^信息：$' "no box when started from inside the archive")"
xdotool key Return
archive_rc=0
wait "$archive_pid" || archive_rc=$?
((archive_rc == 1)) || fail "started from inside the archive, it ended with $archive_rc"
[[ $(cd "$inside" && find . | sort) == "$before" ]] || fail "started from inside the archive, it wrote: $(cd "$inside" && find . -newer lunora.exe)"
echo "started from inside the archive: told to unzip first, nothing written"
"$wineserver" -k 2>/dev/null || true

# By quantity: slot 2 holds the first ticket, slot 8 nearly all of them.
# Shift+Q with the program focused designates the next draw through the
# system's hot key (RegisterHotKey), which only the real program shows.
printf '[zbt]\r\nlx=假\r\n一=0\r\n二=1\r\n三=0\r\n四=0\r\n五=0\r\n六=0\r\n七=0\r\n八=1000000\r\n' | e2e_write config.a
start_app
echo "start-up to the main window shown, Wine: $startup_s s (second start)"
wine_startup=$startup_s
activate "$E2E_WINDOW"
xdotool key shift+q
e2e_draw
e2e_wait_count 2 1
fireworks_over "of the designated draw"

# Another program holds a data file across landings, as a virus scanner
# (jieguo.a) or a spreadsheet (the history, read-only sharing) does. Every
# win is counted once, every line is kept, and no window comes up.
hold_pid=
hold() { # file (UTF-8 name) sharing milliseconds
  local name marker=$work/held.marker
  name=$(printf '%s' "$1" | iconv -f UTF-8 -t GBK)
  rm -f "$marker"
  (wine_dll_path "$kit" && exec "$wine" "$build/tests/windows/win_holdfile.exe" "$(winpath "$app/$name")" \
    "$2" "$3" "$(winpath "$marker")" >/dev/null 2>&1) &
  hold_pid=$!
  for _ in $(seq 300); do [[ -f $marker ]] && return 0; sleep 0.1; done
  fail "the holding program did not hold $1"
}
history_lines() { grep -c '^20' "$app/$(printf '中奖记录.csv' | iconv -f UTF-8 -t GBK)"; }
for ms in 1500 10000; do
  before=$(e2e_counted)
  hold jieguo.a readwrite "$ms"
  e2e_draw # returns once the win is stored, at the latest after the hold
  wait "$hold_pid" || fail "the holding program failed"
  sleep 1
  (($(e2e_counted) == before + 1)) || fail "jieguo.a held ${ms} ms: $((before + 1)) wins expected, $(e2e_counted) counted"
  e2e_wait_only_main "a window came up while jieguo.a was held ${ms} ms"
  alive "after jieguo.a was held ${ms} ms"
  echo "jieguo.a held ${ms} ms across a landing: the win counted once, no window"
done
lines=$(history_lines)
hold 中奖记录.csv read 20000
e2e_draw
fireworks_over "with the history held (1)"
e2e_draw
fireworks_over "with the history held (2)"
wait "$hold_pid" || fail "the holding program failed"
e2e_draw
for _ in $(seq 600); do (($(history_lines) == lines + 3)) && break; sleep 0.1; done
(($(history_lines) == lines + 3)) || fail "history held over two landings: $((lines + 3)) lines expected, $(history_lines) found"
e2e_wait_only_main "a window came up while the history was held"
echo "history held with read-only sharing over two landings: all three lines kept, no window"
grep -iE 'X Error|BadLength|BadRequest' "$work/lunora.log" && fail "X errors in the log"
(($(e2e_counted) == 6)) || fail "6 draws made, $(e2e_counted) counted"
echo "draws counted: 6 of 6"

# A second start while the first copy hangs (stopped) shows a box within
# 10 s and ends; the first copy, continued, still draws.
kill -STOP "$E2E_APP_PID"
t0=$(date +%s.%N)
(cd "$app" && exec timeout 60 "$wine" ./lunora.exe >"$work/hung.log" 2>&1) &
hung_pid=$!
box=$(e2e_wait_window '^信息：$' "no box from a second start while the first copy hangs")
box_s=$(echo "$t0 $(date +%s.%N)" | awk '{printf "%.1f", $2 - $1}')
activate "$box"
xdotool key Return
hung_rc=0
wait "$hung_pid" || hung_rc=$?
kill -CONT "$E2E_APP_PID"
((hung_rc == 0)) || { cat "$work/hung.log"; fail "the second start beside a hung copy ended with $hung_rc"; }
awk -v s="$box_s" 'BEGIN { exit !(s <= 10) }' || fail "the box beside a hung copy took $box_s s"
alive "after being stopped and continued"
e2e_draw
fireworks_over "after being continued"
(($(e2e_counted) == 7)) || fail "7 draws made, $(e2e_counted) counted"
echo "second start beside a stopped first copy: its box after $box_s s, it ended; the first copy, continued, drew"
stop_app

# The history checker names a Chinese file rightly when its output goes to
# a file (UTF-8); on Wine's console it uses the wide console calls.
verify_out=$work/verify.txt
# Wine reads its arguments in the locale's encoding, GBK here.
(cd "$app" && "$wine" ./lunora-verify.exe "$(printf '中奖记录 副本.csv' | iconv -f UTF-8 -t GBK)" >"$verify_out" 2>&1) \
  && fail "lunora-verify passed a missing file"
LC_ALL=C grep -qF "中奖记录 副本.csv" "$verify_out" || { cat "$verify_out"; fail "lunora-verify did not name 中奖记录 副本.csv in its redirected output"; }
echo "lunora-verify.exe, output redirected: names 中奖记录 副本.csv in UTF-8"

# The data files the program wrote, read through the system's profile
# functions; then each show on Wine's own windows, on the real Windows
# platform plugin. Both through the tests' own wrapper, in this prefix.
wine_zip_test() { # log exe arguments...
  local log=$1
  shift
  "$root/scripts/wine-test.sh" --prefix="$WINEPREFIX" --kit="$kit" "$@" >"$log" 2>&1 || true
  grep -E '^(PASS|FAIL|QINFO|Totals|   Loc)|X Error' "$log" || true
}
LUNORA_INTEROP_RUNDIR=$(winpath "$app") wine_zip_test "$work/interop.log" \
  "$build/tests/windows/win_test_profileinterop.exe" filesTheProgramWrote
grep -q '^PASS   : TestProfileInterop::filesTheProgramWrote()' "$work/interop.log" \
  || fail "the program's data files read differently through the profile functions"
wine_zip_test "$work/shows.log" "$build/tests/windows/win_test_shows.exe"
grep -q '^Totals: [0-9]* passed, 0 failed' "$work/shows.log" || fail "a fireworks show failed on Wine's windows"
grep -q 'X Error' "$work/shows.log" && fail "X errors during the fireworks shows"

# The roll's pace while another process (holdfile.exe beside the
# benchmark) holds jieguo.a for 1.5 s across a landing, and without a hold,
# on Wine's own windows: its figures are printed, no time is asserted; it
# fails when a win was not counted exactly once.
heldbench=$build/bench/bench_gui_heldfile.exe
write_qt_conf "$(dirname "$heldbench")" "$kit"
heldbench_rc=0
(wine_dll_path "$kit" && cd "$work" && exec timeout 600 "$wine" "$heldbench" -platform windows) \
  >"$work/heldbench.log" 2>&1 || heldbench_rc=$?
tr -d '\r' <"$work/heldbench.log" | sed -n 's/^\(held\|free\): /held-file benchmark, Wine, jieguo.a \1: /p'
((heldbench_rc == 0)) || { tr -d '\r' <"$work/heldbench.log"; fail "the held-file benchmark ended with $heldbench_rc"; }
"$wineserver" -k 2>/dev/null || true

# The Linux build in the same run, for comparison.
if [[ -x $root/build/run/lunora ]]; then
  mkdir -p "$work/linux"
  cp "$root/build/run/lunora" "$work/linux/"
  t0=$(date +%s.%N)
  (cd "$work/linux" && QT_QPA_PLATFORM=xcb QT_MEDIA_BACKEND=gstreamer LC_ALL=C.UTF-8 exec ./lunora >/dev/null 2>&1) &
  linux_pid=$!
  E2E_APP_PID=$linux_pid E2E_CLASS='^lunora$' e2e_wait_window '^Lunora软件V2.0$' >/dev/null
  t1=$(date +%s.%N)
  kill "$linux_pid" 2>/dev/null || true
  wait "$linux_pid" 2>/dev/null || true
  echo "start-up to the main window shown: Wine $wine_startup s, Linux $(echo "$t0 $t1" | awk '{printf "%.2f", $2 - $1}') s"
fi
((ctest_rc == 0)) || fail "test executables (ctest ended with $ctest_rc)"
echo "PASS: the Windows build under Wine"
