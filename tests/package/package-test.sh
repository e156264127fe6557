#!/usr/bin/env bash
# Builds the Debian package, installs it with apt-get, runs both installed
# programs, removes the package and checks that none of its files is left.
# Needs root (or sudo) and a system without quorvel installed; downloads
# nothing (the libraries it depends on are those the build linked).
# Usage: tests/package/package-test.sh [BUILD_DIR]   (default: build)
set -euo pipefail

build=$(realpath "${1:-build}")
sudo=""
[[ $(id -u) -ne 0 ]] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
# apt-get may not fetch anything: a missing dependency fails instead.
no_network=(-o Acquire::http::Proxy=http://127.0.0.1:9 -o Acquire::https::Proxy=http://127.0.0.1:9)

fail() { echo "package test: $*" >&2; exit 1; }

if dpkg-query -W -f='${Status}' quorvel 2>/dev/null | grep -q "ok installed"; then
  fail "quorvel is already installed on this system; remove it first (apt-get purge quorvel)"
fi

work=$(mktemp -d)
installed=0
cleanup() {
  [[ $installed -eq 1 ]] && $sudo apt-get purge -y -qq quorvel >/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

echo "== build the package"
rm -f "$build"/quorvel_*_amd64.deb
cmake --build "$build" --target package -j 2 >"$work/package.log" || { cat "$work/package.log"; fail "cpack failed"; }
debs=("$build"/quorvel_*_amd64.deb)
[[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || fail "expected one quorvel_*_amd64.deb in $build"
deb=${debs[0]}
version=$(dpkg-deb -f "$deb" Version)
[[ $(basename "$deb") == "quorvel_${version}_amd64.deb" ]] || fail "$deb is not named after its version $version"
dpkg-deb -f "$deb" Depends | grep -q "libqt6widgets6" || fail "$deb: Depends does not name the Qt libraries"

echo "== lintian"
# Errors and warnings fail; the remaining notes are information only (see the README).
lintian --fail-on error,warning "$deb" >"$work/lintian.txt" 2>&1 \
  || { cat "$work/lintian.txt"; fail "lintian found errors or warnings in $deb"; }
grep -v "running with root privileges" "$work/lintian.txt" || true

echo "== install $(basename "$deb")"
$sudo apt-get install -y -qq "${no_network[@]}" "$deb" >"$work/install.log" || { cat "$work/install.log"; fail "apt-get install failed"; }
installed=1
dpkg-query -L quorvel >"$work/files"

echo "== installed files"
for f in /usr/bin/quorvel /usr/bin/quorvel-cli; do [[ -x $f ]] || fail "$f missing"; done
desktop=/usr/share/applications/example.quorvel.Quorvel.desktop
desktop-file-validate "$desktop" || fail "$desktop is not valid"
appstreamcli validate --no-net /usr/share/metainfo/example.quorvel.Quorvel.metainfo.xml \
  || fail "the AppStream data is not valid"
for size in 16 22 24 32 48 64 128 256 512; do
  icon=/usr/share/icons/hicolor/${size}x${size}/apps/example.quorvel.Quorvel.png
  [[ $(identify -format '%wx%h' "$icon") == "${size}x${size}" ]] || fail "$icon is not ${size}x${size}"
done
for page in quorvel quorvel-cli; do
  man -w "$page" >/dev/null || fail "no manual page for $page"
done

echo "== quorvel-cli"
[[ $(quorvel-cli --version) == "quorvel-cli $version" ]] || fail "quorvel-cli --version does not say $version"
mkdir -p "$work/src/sub"
printf 'unit Tidy;\ninterface\nuses\n   Alpha,\n   Beta;\nimplementation\nend.\n' >"$work/src/Tidy.pas"
printf 'unit Messy;\ninterface\nuses Zeta, Alpha;\nimplementation\nend.\n' >"$work/src/sub/Messy.pas"
cp "$work/src/sub/Messy.pas" "$work/Messy.before"
status=0
quorvel-cli --check "$work/src" >"$work/check.out" 2>&1 || status=$?
[[ $status -eq 1 ]] || { cat "$work/check.out"; fail "--check exited $status, not 1, over a folder with an unsorted clause"; }
grep -q "Would change: .*Messy.pas" "$work/check.out" || fail "--check did not name Messy.pas"
grep -q "Would change: .*Tidy.pas" "$work/check.out" && fail "--check named the formatted Tidy.pas"
cmp -s "$work/src/sub/Messy.pas" "$work/Messy.before" || fail "--check changed Messy.pas"
quorvel-cli -q "$work/src" || fail "formatting the folder failed"
quorvel-cli --check "$work/src" >/dev/null || fail "--check still finds changes after formatting"

echo "== the window under Xvfb"
# Settings with the update check off, so that the window stays off the network.
mkdir -p "$work/config/Quorvel" "$work/runtime"
chmod 700 "$work/runtime"
printf '[Settings]\nAutoUpdate=0\nVerticalList=0\n' >"$work/config/Quorvel/Quorvel.ini"
XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" \
  http_proxy=http://127.0.0.1:9 https_proxy=http://127.0.0.1:9 \
  xvfb-run -a -s "-screen 0 1400x900x24" bash -c '
    quorvel & pid=$!
    sleep 4
    kill -0 $pid || exit 3
    xwininfo -root -tree >"$1/windows.txt"
    import -window root "$1/window.png"
    kill $pid; wait $pid || true' _ "$work" || fail "the window did not stay up under Xvfb"
grep -q '"Quorvel": ("quorvel" "Quorvel")' "$work/windows.txt" \
  || { cat "$work/windows.txt"; fail "no window titled Quorvel of class Quorvel"; }
[[ $(ls "$work/config") == Quorvel ]] || fail "the window kept its settings elsewhere than Quorvel/: $(ls "$work/config")"
colours=$(identify -format '%k' "$work/window.png")
[[ $colours -gt 50 ]] || fail "the screenshot shows $colours colours: no window drawn"
if [[ -n ${QUORVEL_SCREENSHOT:-} ]]; then cp "$work/window.png" "$QUORVEL_SCREENSHOT"; fi

echo "== remove"
$sudo apt-get purge -y -qq quorvel >"$work/remove.log" || { cat "$work/remove.log"; fail "apt-get purge failed"; }
installed=0
left=0
while IFS= read -r path; do
  [[ -e $path || -L $path ]] || continue
  # A folder may stay when another package owns it too, or something else lives in it.
  if [[ -d $path && ! -L $path ]] && { dpkg-query -S "$path" >/dev/null 2>&1 || [[ -n $(ls -A "$path") ]]; }; then
    continue
  fi
  echo "left behind: $path" >&2
  left=1
done <"$work/files"
[[ $left -eq 0 ]] || fail "files of the package are left after purge"
echo "package test passed: $(basename "$deb")"
