#!/usr/bin/env bash
# Configures the Windows cross build: with the window when the static Qt for
# Windows is in its cache (scripts/build-qt-windows.sh builds it, `make
# windows` calls that), else the command-line tool alone, saying so.
# Usage: scripts/windows-configure.sh BUILD_DIR LINUX_CLI
#   LINUX_CLI  the Linux quorvel-cli the Windows one is compared with
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$1
linux_cli=$2

if bash "$here/scripts/build-qt-windows.sh" --check; then
  kind=window
else
  kind=cli
fi
# A build folder keeps the toolchain it was first configured with: when the
# kind changes, its CMake cache starts anew (the compiled objects stay).
if [[ -f $build/CMakeCache.txt && "$(cat "$build/quorvel-windows-kind" 2>/dev/null)" != "$kind" ]]; then
  rm -rf "$build/CMakeCache.txt" "$build/CMakeFiles"
fi

common=(-S "$here" -B "$build" -G Ninja -DQUORVEL_BUILD_BENCH=OFF -DQUORVEL_LINUX_CLI="$linux_cli")
if [[ $kind == window ]]; then
  qt_prefix=$(bash "$here/scripts/build-qt-windows.sh" --print-prefix)
  # qt-cmake sets Qt's toolchain file, which then loads ours.
  "$qt_prefix/bin/qt-cmake" "${common[@]}" -DQT_CHAINLOAD_TOOLCHAIN_FILE="$here/cmake/mingw-w64.cmake" \
    -DQUORVEL_BUILD_UI=ON
else
  cmake "${common[@]}" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64.cmake" -DQUORVEL_BUILD_UI=OFF
fi
echo "$kind" > "$build/quorvel-windows-kind"
