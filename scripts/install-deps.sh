#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the window need.
# Only packages that dpkg reports missing are installed: naming an installed
# package in apt-get install would upgrade it.
# Usage: scripts/install-deps.sh [--corpus]
#   --corpus  also the Debian Pascal source trees used by corpus checks and benchmarks
set -euo pipefail

packages=(
  build-essential cmake ninja-build g++ clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
  qt6-base-dev libqscintilla2-qt6-dev libgl-dev
  xvfb xauth x11-apps imagemagick fontconfig fonts-dejavu-core ca-certificates time
  # the Debian package, its checks and the pre-commit hooks
  dpkg-dev desktop-file-utils appstream lintian man-db x11-utils pre-commit
  # the Windows build of the tool and its tests under Wine (make windows, make test)
  g++-mingw-w64-x86-64-posix googletest wine wine64
  # the Free Pascal compiler: the ordering tests (tests/fpc) and bench/fpc-proof build with it
  fpc
)
corpus=(fpc-source-3.2.2 lazarus-src-2.2)
[[ "${1:-}" == "--corpus" ]] && packages+=("${corpus[@]}")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[[ $(id -u) -ne 0 ]] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
