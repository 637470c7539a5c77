#!/usr/bin/env bash
# Fails when a folder of src/ depends on one above it, through an #include or
# through the libraries its CMake target links. The folders, bottom to top:
#
#   core        Qt Core only
#   platform    core's interfaces only (the header-only lunora_core_interface)
#   widgets     core, platform
#   display     widgets, platform, core
#   editors     display, widgets, platform, core
#   lottery     display, widgets, platform, core
#   mainwindow  everything below
#   app         everything below; links mainwindow alone
#   verify      core only: the console checker of the draw history
#
# An include without a folder ("wave.h") must name a file of the including
# file's own folder.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A allowed=(
  [core]="core"
  [platform]="platform core"
  [widgets]="widgets platform core"
  [display]="display widgets platform core"
  [editors]="editors display widgets platform core"
  [lottery]="lottery display widgets platform core"
  [mainwindow]="mainwindow editors lottery display widgets platform core"
  [app]="app mainwindow editors lottery display widgets platform core"
  [verify]="verify platform core"
)
# The library each folder may link, beside its own and the compile settings.
declare -A links=(
  [core]="lunora_core_interface"
  [platform]="lunora_core_interface"
  [widgets]="lunora_platform lunora_codec lunora_files lunora_core lunora_core_interface"
  [display]="lunora_widgets lunora_platform lunora_codec lunora_files lunora_core lunora_core_interface"
  [editors]="lunora_display lunora_widgets lunora_platform lunora_codec lunora_files lunora_core lunora_core_interface"
  [lottery]="lunora_display lunora_widgets lunora_platform lunora_codec lunora_files lunora_core lunora_core_interface"
  [mainwindow]="lunora_editors lunora_lottery lunora_display lunora_widgets lunora_platform lunora_codec lunora_files lunora_core lunora_core_interface"
  [app]="lunora_mainwindow"
  [verify]="lunora_console lunora_core lunora_core_interface"
)
# The targets each folder defines.
declare -A own=(
  [core]="lunora_core lunora_core_interface"
  [platform]="lunora_platform lunora_codec lunora_files lunora_console"
  [widgets]="lunora_widgets"
  [display]="lunora_display"
  [editors]="lunora_editors"
  [lottery]="lunora_lottery"
  [mainwindow]="lunora_mainwindow"
  [app]="lunora"
  [verify]="lunora-verify"
)
# The headers of the core that the platform may include: the ones the
# interface target carries.
core_interface=$(sed -n 's/^set(LUNORA_CORE_INTERFACE_HEADERS \(.*\))/\1/p' src/core/CMakeLists.txt)

failures=0
fail() {
  echo "check-layers: $*" >&2
  failures=$((failures + 1))
}
has() { # word list: is word one of list?
  local w
  for w in $2; do [ "$w" = "$1" ] && return 0; done
  return 1
}

for dir in src/*/; do
  folder=$(basename "$dir")
  [ -n "${allowed[$folder]+x}" ] || { fail "src/$folder/ is not in the layer table"; continue; }
  while IFS= read -r hit; do
    [ -n "$hit" ] || continue
    file=${hit%%:*}
    rest=${hit#*:}
    line=${rest%%:*}
    target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]([^">]*)[">].*/\1/' <<<"${rest#*:}")
    if [[ $target != */* ]]; then
      # Only the quoted form names the project's own files.
      if grep -Eq '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' <<<"${rest#*:}" && [ ! -f "$dir$target" ]; then
        fail "$file:$line: \"$target\" is not in src/$folder/; name its folder"
      fi
      continue
    fi
    top=${target%%/*}
    [ -n "${allowed[$top]+x}" ] || continue # Qt or the system
    if ! has "$top" "${allowed[$folder]}"; then
      fail "$file:$line: src/$folder/ may not include $target"
    elif [ "$folder" = platform ] && [ "$top" = core ] && ! has "${target#core/}" "$core_interface"; then
      fail "$file:$line: the platform may include only the core's interfaces ($core_interface), not $target"
    fi
  done < <(grep -HnE '^[[:space:]]*#[[:space:]]*include' "$dir"*.h "$dir"*.cpp 2>/dev/null || true)

  cmake="${dir}CMakeLists.txt"
  [ -f "$cmake" ] || { fail "src/$folder/ has no CMakeLists.txt"; continue; }
  linked=$(sed 's/#.*//' "$cmake" | tr '\n' ' ' | grep -oE 'target_link_libraries\([^)]*\)' |
    grep -oE '\blunora_[A-Za-z0-9_]+' | sort -u || true)
  for lib in $linked; do
    [ "$lib" = lunora_build_flags ] && continue # compile settings, not a layer
    has "$lib" "${own[$folder]}" && continue
    has "$lib" "${links[$folder]}" || fail "$cmake links $lib, which src/$folder/ may not use"
  done
done

if [ "$failures" -gt 0 ]; then
  echo "check-layers: $failures dependencies go against the layers" >&2
  exit 1
fi
echo "check-layers: every folder of src/ depends only downward"
