#!/usr/bin/env bash
# Builds static Qt 6.4.2 (qtbase) and QScintilla 2.13.3 for 64-bit Windows with
# Debian's mingw-w64, from Debian's own source packages, into a cache folder
# outside the work tree. A finished cache is reused; an interrupted build
# resumes where it stopped (Ninja), and a cache counts as finished only once
# its stamp file exists, which is written last.
#
# Usage: scripts/build-qt-windows.sh [--print-prefix | --check]
#   --print-prefix  print the cache folder for this set of options and exit
#   --check         exit 0 when that cache is complete, 1 when not; builds nothing
# QUORVEL_QT_CACHE  the folder the caches live in (default ~/.cache/quorvel)
# JOBS              parallel compile jobs (default 2; the build runs under nice -n 19)
set -euo pipefail

# All in one function: bash reads it whole before running it, so editing this
# file while a build runs does not change the running build.
main() {
  here=$(cd "$(dirname "$0")/.." && pwd)
  qt_version=6.4.2
  qsci_version=2.13.3
  jobs=${JOBS:-2}
  cache_root=${QUORVEL_QT_CACHE:-$HOME/.cache/quorvel}

  # Everything that shapes the result goes into the folder's name, so a change
  # of options builds a new cache instead of mixing two.
  qt_options=(
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
    -DFEATURE_sql=OFF -DFEATURE_dbus=OFF
    # the Windows platform plugin's tablet input needs wintab.h, which Debian's tarball lacks
    -DFEATURE_tabletevent=OFF
    -DINPUT_openssl=no -DFEATURE_schannel=ON
  )
  toolchain=$here/cmake/mingw-w64.cmake
  hash=$( { printf '%s\n' "$qt_version" "$qsci_version" "${qt_options[@]}"; cat "$toolchain"; } \
          | sha256sum | cut -c1-10)
  # QScintilla's build is cheap: a change of its project rebuilds only it.
  qsci_project_hash=$(sha256sum "$here/cmake/qscintilla-windows/CMakeLists.txt" | cut -c1-10)
  prefix=$cache_root/qt-$qt_version-mingw-static-$hash
  work=$cache_root/work-$hash
  stamp=$prefix/quorvel-cache-complete

  if [[ "${1:-}" == "--print-prefix" ]]; then
    echo "$prefix"
    return 0
  fi
  complete() { [[ -f $stamp && "$(cat "$work/qsci-installed" 2>/dev/null)" == "$qsci_project_hash" ]]; }
  if [[ "${1:-}" == "--check" ]]; then
    complete
    exit
  fi
  if complete; then
    echo "Qt for Windows: using $prefix"
    return 0
  fi

  mkdir -p "$work" "$prefix"
  times=$work/times.txt
  step() { echo "== $(date -u +%H:%M:%S) $*"; }
  elapsed() { local s=$1; echo "$(( (SECONDS - s) / 60 )) min $(( (SECONDS - s) % 60 )) s"; }

  # --- fetch: apt's own client with a private list, state and cache; the
  # system's apt set-up is neither read for sources nor written.
  src=$work/src
  if [[ ! -f $src/fetched ]]; then
    step "fetching Debian source packages qt6-base and qscintilla2"
    mkdir -p "$src/lists/partial" "$src/cache/archives/partial"
    mirror=$(awk '/^URIs:/ {print $2; exit}' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
    mirror=${mirror:-http://deb.debian.org/debian}
    echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror bookworm main" > "$src/sources.list"
    apt_private=(-o Dir::Etc::SourceList="$src/sources.list" -o Dir::Etc::SourceParts=/dev/null
                 -o Dir::State::Lists="$src/lists" -o Dir::Cache="$src/cache"
                 -o APT::Sandbox::User=root)
    apt-get "${apt_private[@]}" update -q
    (cd "$src" && apt-get "${apt_private[@]}" source --download-only qt6-base qscintilla2)
    touch "$src/fetched"
  fi

  # Unpacked beside and then moved into place, so a folder that is there is whole.
  unpack() {
    local tarball=$1 folder=$2
    [[ -d $folder ]] && return 0
    step "unpacking ${tarball##*/}"
    rm -rf "$work/unpacking"
    mkdir "$work/unpacking"
    tar -C "$work/unpacking" -xf "$tarball"
    mv "$work/unpacking/${folder##*/}" "$folder"
    rm -rf "$work/unpacking"
  }
  qt_src=$work/qtbase-everywhere-src-$qt_version
  unpack "$(echo "$src"/qt6-base_"$qt_version"*.orig.tar.xz)" "$qt_src"
  qsci_src=$work/qscintilla2-$qsci_version+dfsg
  unpack "$(echo "$src"/qscintilla2_"$qsci_version"*.orig.tar.gz)" "$qsci_src"

  # The installed Qt remembers its toolchain file: keep a copy inside the cache
  # so the cache does not depend on this checkout staying where it is.
  # Copied only when new: a newer file would make the Qt build configure anew.
  cmp -s "$toolchain" "$prefix/mingw-w64.cmake" || cp "$toolchain" "$prefix/mingw-w64.cmake"
  mkdir -p "$prefix/mingw-w64"
  for module in "$here"/cmake/mingw-w64/*; do
    cmp -s "$module" "$prefix/mingw-w64/${module##*/}" || cp "$module" "$prefix/mingw-w64/"
  done

  # --- qtbase
  for need in /usr/lib/x86_64-linux-gnu/cmake/Qt6/Qt6Config.cmake /usr/lib/qt6/libexec/moc; do
    [[ -e $need ]] || { echo "error: $need is missing: run scripts/install-deps.sh first" >&2; exit 1; }
  done
  command -v x86_64-w64-mingw32-g++-posix > /dev/null \
    || { echo "error: the mingw-w64 compiler is missing: run scripts/install-deps.sh first" >&2; exit 1; }
  qt_build=$work/qtbase-build
  if [[ ! -f $work/qt-installed ]]; then
    if [[ ! -f $qt_build/build.ninja ]]; then
      step "configuring qtbase (a few minutes, mostly one core)"
      start=$SECONDS
      nice -n 19 cmake -S "$qt_src" -B "$qt_build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-w64.cmake" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DCMAKE_INSTALL_PREFIX="$prefix" "${qt_options[@]}"
      echo "qtbase configure: $(elapsed $start)" >> "$times"
    fi
  fi

  # --- QScintilla, static, from the sources its qmake project lists. It needs
  # only Qt's headers and moc, which the configured Qt build tree already has,
  # so it is compiled before Qt itself and installed beside it afterwards.
  qsci_build=$work/qscintilla-build
  if [[ "$(cat "$work/qsci-built" 2>/dev/null)" != "$qsci_project_hash" ]]; then
    rm -rf "$qsci_build" "$stamp" "$work/qsci-installed"
    step "building QScintilla $qsci_version"
    start=$SECONDS
    # The build tree's package files use helpers that only the install puts
    # beside them: they are in the Qt sources' cmake folder.
    qt_cmake=("$qt_build/bin/qt-cmake" -DCMAKE_MODULE_PATH="$qt_src/cmake")
    [[ -f $work/qt-installed ]] && qt_cmake=("$prefix/bin/qt-cmake")
    "${qt_cmake[@]}" -S "$here/cmake/qscintilla-windows" -B "$qsci_build" -G Ninja \
      -DQSCINTILLA_SOURCE_DIR="$qsci_src" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix"
    nice -n 19 cmake --build "$qsci_build" -j "$jobs"
    echo "QScintilla build: $(elapsed $start)" >> "$times"
    echo "$qsci_project_hash" > "$work/qsci-built"
  fi

  if [[ ! -f $work/qt-installed ]]; then
    step "building qtbase with $jobs jobs under nice -n 19 (roughly 40-60 minutes on 2 cores)"
    start=$SECONDS
    # What the window links (with the compiled-in resources of those modules,
    # targets of their own) comes first, so that part is ready early; the rest
    # (other plugins, print support) only completes the installable tree.
    # Ninja's status line ([done/total]) is the progress.
    nice -n 19 cmake --build "$qt_build" -j "$jobs" --target \
      Core Gui Widgets Network Test OpenGL EntryPointImplementation QWindowsIntegrationPlugin QSchannelBackendPlugin \
      Gui_resources_1 Gui_resources_2 Widgets_resources_1 Widgets_resources_2 Widgets_resources_3 \
      QWindowsIntegrationPlugin_resources_1 QWindowsIntegrationPlugin_resources_2
    echo "qtbase, the window's part: $(elapsed $start)" >> "$times"
    nice -n 19 cmake --build "$qt_build" -j "$jobs"
    echo "qtbase build: $(elapsed $start)" >> "$times"
    cmake --install "$qt_build" > "$work/qt-install.log"
    touch "$work/qt-installed"
  fi
  if [[ "$(cat "$work/qsci-installed" 2>/dev/null)" != "$qsci_project_hash" ]]; then
    cmake --install "$qsci_build" > "$work/qsci-install.log"
    echo "$qsci_project_hash" > "$work/qsci-installed"
  fi

  cp "$times" "$prefix/build-times.txt"
  touch "$stamp"
  step "Qt for Windows ready in $prefix"
  cat "$prefix/build-times.txt"
}
main "$@"; exit  # on one line: bash reads no further in a file that changed meanwhile
