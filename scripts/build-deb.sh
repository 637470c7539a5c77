#!/usr/bin/env bash
# Builds the Debian package: the program in /usr/bin with its desktop entry
# and icons, keeping each user's data in ~/.local/share/lunora; dependencies
# from dpkg-shlibdeps. Install it with: apt install ./build-deb/lunora_*.deb
# Prints the package's path as the last line.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v dpkg-shlibdeps >/dev/null || { echo "dpkg-shlibdeps is missing (package dpkg-dev)" >&2; exit 1; }
cmake -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUNORA_DEB=ON \
  -DLUNORA_BUILD_TESTS=OFF -DLUNORA_BUILD_BENCH=OFF >/dev/null
cmake --build build-deb -j "$(nproc 2>/dev/null || echo 2)"
rm -f build-deb/lunora_*.deb
(cd build-deb && cpack -G DEB >/dev/null)
deb=$(ls build-deb/lunora_*.deb)
# The operator's guide is in the documentation folder, byte order mark first.
[ "$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/lunora/使用说明.txt 2>/dev/null \
  | head -c 3 | od -An -tx1 | tr -d ' ')" = efbbbf ] \
  || { echo "$deb: no /usr/share/doc/lunora/使用说明.txt with its byte order mark" >&2; exit 1; }
echo "$deb"
