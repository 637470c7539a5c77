#!/usr/bin/env bash
# Compiles every source that a Windows build compiles, as the MinGW-w64
# compiler sees it, with the warnings of the real build. No Windows Qt is
# available here, so this checks syntax and types only (-fsyntax-only)
# against this machine's Qt headers; it catches a broken #ifdef Q_OS_WIN
# path long before anyone builds on Windows.
set -euo pipefail
cd "$(dirname "$0")/.."

compiler=x86_64-w64-mingw32-g++-posix
if ! command -v "$compiler" >/dev/null; then
  echo "Installing: g++-mingw-w64-x86-64-posix"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends g++-mingw-w64-x86-64-posix
fi

qt=$(qmake6 -query QT_INSTALL_HEADERS 2>/dev/null || echo /usr/include/x86_64-linux-gnu/qt6)
flags=(-std=c++20 -fsyntax-only -Wall -Wextra -Wshadow -Werror
  # Linux Qt headers mark their exports dllimport on Windows; harmless here.
  -Wno-attributes
  -DUNICODE -D_UNICODE -DQT_NO_KEYWORDS -DQT_USE_QSTRINGBUILDER
  -I"$qt" -I"$qt/QtCore" -I"$qt/QtGui" -I"$qt/QtWidgets" -I"$qt/QtMultimedia" -Isrc)

# The Windows build leaves out the other platforms' implementations.
mapfile -t sources < <(ls src/*/*.cpp | grep -vE '_(unix|x11|icu|none)\.cpp$|/sound_qt\.cpp$')
jobs=$(nproc 2>/dev/null || echo 2)
# xargs stops at once when a compile exits with 255.
printf '%s\n' "${sources[@]}" \
  | xargs -P "$jobs" -I{} sh -c '"$0" "$@" {} || { echo "FAILED: {}"; exit 255; }' "$compiler" "${flags[@]}"
echo "Windows syntax check passed: ${#sources[@]} sources"
