#!/usr/bin/env bash
# The portable archive, made by cpack from this build into a temporary
# folder, holds the operator's guide beside the program as Notepad reads it:
# UTF-8 with a byte order mark and CRLF line ends.
# Usage: test_tarball_guide.sh <cpack> <build folder>
set -euo pipefail
# cpack stores the guide's Chinese name only in a UTF-8 locale.
export LC_ALL=C.UTF-8
cpack=$1
build=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$cpack" -G TGZ --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 \
  || fail "cpack made no archive: $(tail -n 5 "$out/cpack.log")"
archive=$(echo "$out"/lunora-*.tar.gz)
guide=$(tar -tzf "$archive" | grep -x '[^/]*/使用说明.txt') \
  || fail "no 使用说明.txt beside the program in $(basename "$archive")"
tar -xzf "$archive" -C "$out" "$guide"
[ "$(head -c 3 "$out/$guide" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "使用说明.txt has no byte order mark"
if LC_ALL=C grep -qv $'\r$' "$out/$guide"; then fail "使用说明.txt has a line without CRLF"; fi
echo "PASS: $(basename "$archive") holds $guide, byte order mark and CRLF"
