#!/usr/bin/env bash
# Cross-builds the Windows program and its test executables with MinGW-w64
# against the Qt kit of scripts/windows-kit.sh (made first when missing),
# then packs build-windows/lunora-<version>-windows-x86_64.zip: everything
# the program loads, so the unzipped folder runs on a bare Windows machine
# and is its run folder. Prints the ZIP's path as the last line.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

# What this script and the kit's own script run, installed when missing, so
# that a machine that has run nothing else builds the ZIP: the kit's script
# asks Debian's qmake6 (qmake6-bin) for the host tools' version, and Qt's
# toolchain file loads the host's CMake packages (qt6-base-dev, -dev-tools).
packages=(cmake ninja-build zip dpkg-dev g++-mingw-w64-x86-64-posix
  qt6-base-dev qt6-base-dev-tools qmake6-bin qt6-translations-l10n)
bash "$root/scripts/install-missing.sh" "${packages[@]}"

kit=$(bash scripts/windows-kit.sh | tail -n1)
out=$root/build-windows
build=$out/build
triple=x86_64-w64-mingw32
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

# Qt's own toolchain file finds the kit and Debian's host tools (moc, rcc)
# and then loads ours for the compilers. ctest runs the test executables
# under Wine (scripts/wine-test.sh), in a Wine prefix of this build.
cmake -S . -B "$build" -G Ninja "${launcher[@]}" \
  -DCMAKE_TOOLCHAIN_FILE="$kit/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/wine-test.sh;--prefix=$build/wine-prefix;--kit=$kit" \
  -DCMAKE_BUILD_TYPE=Release \
  -DLUNORA_BUILD_TESTS=ON -DLUNORA_BUILD_BENCH=ON >/dev/null
jobs=$(nproc 2>/dev/null || echo 2)
# The program first and packed, then the test executables and the
# held-file benchmark (scripts/test-windows.sh runs both).
cmake --build "$build" -j "$jobs" --target lunora lunora-verify

version=$(sed -n 's/^project(lunora VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=lunora-$version-windows-x86_64
stage=$out/$name
rm -rf "$stage" "$out/$name.zip"
mkdir -p "$stage"

# Where the DLLs a binary imports come from: the kit, then the compiler's
# runtime. Anything else it imports is the system's own.
dll_dirs=("$kit/bin" "$(dirname "$($triple-g++-posix -print-file-name=libstdc++-6.dll)")"
  "/usr/$triple/lib")
find_dll() {
  local d
  for d in "${dll_dirs[@]}"; do
    [[ -f $d/$1 ]] && { echo "$d/$1"; return 0; }
  done
  return 0 # not ours: a system DLL
}
# Copies a binary into a folder of the stage and, one after another, every
# DLL it needs that is not the system's, beside the program.
deploy() { # file, folder inside the stage
  local queue=("$1") dest=$2 file dll found
  while ((${#queue[@]})); do
    file=${queue[0]}
    queue=("${queue[@]:1}")
    cp "$file" "$stage/$dest/"
    dest=.
    while read -r dll; do
      [[ -f $stage/$dll ]] && continue
      found=$(find_dll "$dll")
      [[ -n $found ]] && queue+=("$found")
    done < <($triple-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p')
  done
}

deploy "$build/run/lunora.exe" .
# The history's checker, a console program: cmd.exe waits for it and takes
# its exit status, which it does not for the GUI program.
deploy "$build/run/lunora-verify.exe" .
cp tools/verify_history.py "$stage/verify_history.py"
# The plugins Qt loads at run time: the screen, pictures and window style.
for plugin in platforms/qwindows.dll imageformats/qjpeg.dll imageformats/qgif.dll \
  imageformats/qico.dll styles/qwindowsvistastyle.dll; do
  mkdir -p "$stage/$(dirname "$plugin")"
  deploy "$kit/plugins/$plugin" "$(dirname "$plugin")"
done
# Qt's zh_CN translations: the .qm files are the same on every system.
mkdir -p "$stage/translations"
for qm in qtbase_zh_CN.qm qt_zh_CN.qm; do
  cp "/usr/share/qt6/translations/$qm" "$stage/translations/"
done
# Paths relative to the program: plugins beside it, translations below it.
printf '%s\r\n' "[Paths]" "Prefix = ." "Plugins = ." "Translations = translations" > "$stage/qt.conf"
cp README.md "$stage/README.md"
cp docs/使用说明.txt "$stage/"
find "$stage" \( -name '*.exe' -o -name '*.dll' \) -exec $triple-strip --strip-unneeded {} +

# libarchive (cmake -E tar) marks non-ASCII names as UTF-8, which Windows'
# own unzipping needs for 使用说明.txt; Info-ZIP's zip leaves the mark off.
(cd "$out" && LC_ALL=C.UTF-8 cmake -E tar cf "$name.zip" --format=zip "$name")
echo "$name.zip: $(du -k "$out/$name.zip" | cut -f1) KiB, $(find "$stage" -type f | wc -l) files" >&2

cmake --build "$build" -j "$jobs"
echo "$out/$name.zip"
