#!/usr/bin/env bash
# Builds the Qt kit the Windows build links against: Debian's own qtbase
# 6.4.2 source, cross-compiled with MinGW-w64 and Debian's host tools (moc,
# rcc, uic). Only what the program and its tests load is built.
#
# The kit goes to a cache folder outside the checkout, named by the Qt
# version and a hash of this script and the toolchain file, so a change to
# either makes a new kit and an unchanged one is reused. Prints the kit's
# folder as the last line.
#
#   scripts/windows-kit.sh           build if missing, print the folder
#   scripts/windows-kit.sh --path    print the folder only (nothing built)
set -euo pipefail
cd "$(dirname "$0")/.."

qt_version=6.4.2
toolchain=$PWD/cmake/mingw-w64.cmake
hash=$(cat "$0" "$toolchain" | sha256sum | cut -c1-12)
cache=${LUNORA_CACHE:-$HOME/.cache/lunora}
kit=$cache/qt-$qt_version-mingw-$hash

if [[ ${1:-} == --path ]]; then
  echo "$kit"
  exit 0
fi
if [[ -f $kit/.complete ]]; then
  echo "$kit"
  exit 0
fi

need_packages=()
command -v x86_64-w64-mingw32-g++-posix >/dev/null || need_packages+=(g++-mingw-w64-x86-64-posix)
[[ -x /usr/lib/qt6/libexec/moc ]] || need_packages+=(qt6-base-dev-tools)
command -v ninja >/dev/null || need_packages+=(ninja-build)
command -v dpkg-source >/dev/null || need_packages+=(dpkg-dev)
if ((${#need_packages[@]})); then
  echo "Installing: ${need_packages[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${need_packages[@]}"
fi
host_version=$(/usr/lib/qt6/bin/qmake6 -query QT_VERSION 2>/dev/null || echo unknown)
if [[ $host_version != "$qt_version" ]]; then
  echo "The host tools are Qt $host_version; the kit needs Qt $qt_version's" >&2
  exit 1
fi

# Debian's source package: needs a deb-src entry for the running suite.
sources=$cache/src
src=$sources/qtbase-$qt_version
if [[ ! -f $src/CMakeLists.txt ]]; then
  mkdir -p "$sources"
  if ! apt-cache showsrc qt6-base >/dev/null 2>&1 || [[ -z $(apt-cache showsrc qt6-base 2>/dev/null) ]]; then
    suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
    echo "Adding a deb-src entry for $suite"
    printf '%s\n' "Types: deb-src" "URIs: http://deb.debian.org/debian" \
      "Suites: $suite $suite-updates" "Components: main" \
      "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" \
      > /etc/apt/sources.list.d/lunora-deb-src.sources
    apt-get update -qq
  fi
  (cd "$sources" && apt-get source -qq --download-only qt6-base)
  dsc=$(ls "$sources"/qt6-base_"$qt_version"*.dsc | head -n1)
  rm -rf "$src.tmp"
  dpkg-source --no-check -x "$dsc" "$src.tmp" >/dev/null
  mv "$src.tmp" "$src"
fi

build=$cache/build-qt-$qt_version-mingw-$hash
rm -rf "$build" "$kit"
start=$SECONDS
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

# The bundled zlib, libpng, libjpeg, pcre2, freetype and harfbuzz are used,
# so the DLLs need nothing beside the MinGW runtime. Debian's tarball has no
# wintab (removed for its licence): tablet events off. OpenGL stays on: with
# it off 6.4.2's Windows plugin does not compile; it is loaded dynamically.
cmake -S "$src" -B "$build" -G Ninja "${launcher[@]}" \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$kit" \
  -DQT_HOST_PATH=/usr \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DQT_QMAKE_TARGET_MKSPEC=win32-g++ \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
  -DBUILD_SHARED_LIBS=ON \
  -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_icu=OFF \
  -DFEATURE_network=OFF -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF \
  -DFEATURE_xml=OFF -DFEATURE_openssl=OFF -DFEATURE_zstd=OFF \
  -DFEATURE_tabletevent=OFF -DFEATURE_vulkan=OFF \
  -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
  -DFEATURE_system_pcre2=OFF -DFEATURE_system_freetype=OFF \
  -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_doubleconversion=OFF \
  -DFEATURE_jpeg=ON -DFEATURE_gif=ON -DFEATURE_ico=ON \
  -DINPUT_opengl=dynamic
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)"
cmake --install "$build" >/dev/null
touch "$kit/.complete"
echo "Qt $qt_version for MinGW-w64 built in $((SECONDS - start)) s"
rm -rf "$build"
echo "$kit"
