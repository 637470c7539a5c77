#!/usr/bin/env bash
# Runs one Windows test executable under Wine (Debian's wine64) as a Chinese
# Windows would: ctest's emulator for the Windows build, which
# scripts/build-windows.sh sets up as CMAKE_CROSSCOMPILING_EMULATOR.
#   wine-test.sh --prefix=DIR --kit=DIR [--] program.exe [arguments...]
# - the Wine prefix DIR, made on first use, with a fonts folder that the
#   offscreen platform reads (QT_QPA_FONTDIR, set in the prefix's registry);
# - WINEPATH: the Qt kit's DLLs and the MinGW runtime's, and a qt.conf
#   beside the program for the kit's plugins and Debian's Qt translations;
# - the ANSI code page 936: LC_ALL=zh_CN.GBK, from a private locale folder;
# - a working folder of its own for each run, removed afterwards.
# Wine now and then dies of SIGSEGV as a test executable ends after every
# test passed: that run is named and made once more, and a second crash
# fails. Sourced, it only defines the Wine set-up for scripts/test-windows.sh.

wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)

# A private GBK locale, so nothing of the machine's own is changed.
wine_locale() {
  export LOCPATH=${LUNORA_CACHE:-$HOME/.cache/lunora}/locale
  [[ -d $LOCPATH/zh_CN.GBK ]] || { mkdir -p "$LOCPATH"; localedef -i zh_CN -f GBK "$LOCPATH/zh_CN.GBK"; }
  # Wine's C library reads LOCPATH; this shell's own never saw it, and says so.
  export LC_ALL=zh_CN.GBK 2>/dev/null
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
}

winpath() { local p=${1//\//\\}; echo "Z:$p"; }

# The DLLs a test executable loads: the kit's, then the compiler's runtime.
wine_dll_path() { # kit
  local triple=x86_64-w64-mingw32
  WINEPATH="$(winpath "$1/bin");$(winpath "$(dirname "$($triple-g++-posix -print-file-name=libstdc++-6.dll)")");"
  export WINEPATH+="$(winpath "/usr/$triple/lib");"
}

# Makes the prefix when it is missing and exports WINEPREFIX. Tests run side
# by side: the first makes it while the others wait on its lock. The fonts
# folder is for the offscreen platform; the ZIP's prefix goes without.
wine_prefix() { # folder [nofonts]
  export WINEPREFIX=$1
  mkdir -p "$(dirname "$1")"
  (
    flock 9
    [[ -f $WINEPREFIX/lunora-ready ]] && exit 0
    rm -rf "$WINEPREFIX"
    DISPLAY= "$wine" wineboot -i >/dev/null 2>&1
    "$wineserver" -w
    [[ ${2:-} == nofonts ]] && { touch "$WINEPREFIX/lunora-ready"; exit 0; }
    # The offscreen platform draws text with the fonts of one folder. Wine
    # passes no QT_* variable from Linux, but it does pass what the
    # prefix's registry sets for the user.
    mkdir -p "$WINEPREFIX/lunora-fonts"
    find /usr/share/fonts -type f \( -name '*.ttf' -o -name '*.ttc' -o -name '*.otf' \) \
      -exec ln -sf {} "$WINEPREFIX/lunora-fonts/" \;
    "$wine" reg add 'HKCU\Environment' /v QT_QPA_FONTDIR /d "$(winpath "$WINEPREFIX/lunora-fonts")" /f \
      >/dev/null 2>&1
    "$wineserver" -w
    touch "$WINEPREFIX/lunora-ready"
  ) 9>"$1.lock"
}

# One run of the executable; its output on stdout, its status returned.
# Wine does not hand a Qt test's output to a pipe, so the test writes its own
# log, printed afterwards.
wine_run_once() { # exe arguments...
  local exe=$1 dir rc=0
  shift
  dir=$(mktemp -d "$WINEPREFIX.run.XXXXXX")
  (cd "$dir" && "$wine" "$exe" "$@" -o "$(winpath "$dir/log"),txt" \
    >"$dir/console" 2>&1) || rc=$?
  [[ -f $dir/log ]] && tr -d '\r' <"$dir/log"
  tr -d '\r' <"$dir/console"
  rm -rf "$dir"
  return "$rc"
}

# The executables find the kit's plugins and Debian's Qt translations (the
# same .qm files the ZIP carries) through a qt.conf beside them; written by
# renaming, as tests beside each other start at once.
write_qt_conf() { # folder kit
  local tmp=$1/qt.conf.$$
  printf '%s\r\n' "[Paths]" "Prefix = $(winpath "$2" | tr '\\' /)" \
    "Translations = $(winpath /usr/share/qt6/translations | tr '\\' /)" >"$tmp"
  if cmp -s "$tmp" "$1/qt.conf"; then rm -f "$tmp"; else mv -f "$tmp" "$1/qt.conf"; fi
}

wine_test_main() {
  local prefix= kit= rc=0 out
  while [[ $# -gt 0 && $1 == --* ]]; do
    case $1 in
      --prefix=*) prefix=${1#*=} ;;
      --kit=*) kit=${1#*=} ;;
      --) shift; break ;;
      *) echo "wine-test: unknown option $1" >&2; return 2 ;;
    esac
    shift
  done
  if [[ -z $prefix || -z $kit || $# -eq 0 ]]; then
    echo "usage: wine-test.sh --prefix=DIR --kit=DIR program.exe [arguments...]" >&2
    return 2
  fi
  local exe
  exe=$(realpath "$1")
  shift
  wine_locale
  wine_prefix "$prefix"
  wine_dll_path "$kit"
  write_qt_conf "$(dirname "$exe")" "$kit"
  # Wine hands no QT_* variable to the program: the platform ctest names
  # is given on the command line.
  local args=("$@")
  [[ -n ${QT_QPA_PLATFORM:-} ]] && args+=(-platform "$QT_QPA_PLATFORM")
  out=$(wine_run_once "$exe" "${args[@]}") || rc=$?
  if ((rc == 139)) && grep -qE '^Totals: [0-9]+ passed, 0 failed' <<<"$out"; then
    printf '%s\n' "$out"
    echo "wine-test: every test passed, then the Wine process crashed on exit; running it again"
    rc=0
    out=$(wine_run_once "$exe" "${args[@]}") || rc=$?
  fi
  printf '%s\n' "$out"
  if ! grep -qE '^Totals: ' <<<"$out"; then
    echo "wine-test: no totals: the test ended early (status $rc)"
    ((rc != 0)) || rc=1
  fi
  return "$rc"
}

if [[ ${BASH_SOURCE[0]} == "$0" ]]; then
  set -euo pipefail
  wine_test_main "$@"
fi
