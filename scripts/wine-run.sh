#!/usr/bin/env bash
# Runs a Windows program under Wine in a prefix of its own, without a display
# unless QUORVEL_WINE_DISPLAY_FILE names a file holding an X display number
# (scripts/xvfb-fixture.sh writes one), for programs with windows.
# Usage: scripts/wine-run.sh PREFIX PROGRAM [ARGUMENTS...]
#        scripts/wine-run.sh PREFIX --stop   (ends that prefix's Wine server)
# The first start in a new prefix creates it (about 12 s); later starts take a
# few seconds. A UTF-8 locale makes Wine pass non-ASCII names and arguments
# through unchanged; the Windows side still sees its ANSI code page 1252.
# QUORVEL_WINE_LOCALE picks another locale, and with it another code page
# (ja_JP.UTF-8: 932).
set -euo pipefail
prefix=$1
shift
export WINEPREFIX=$prefix WINEDEBUG=-all WINEARCH=win64
export WINEDLLOVERRIDES="mscoree,mshtml="  # no dialogs offering to fetch .NET or Gecko
unset DISPLAY WAYLAND_DISPLAY
if [[ -n "${QUORVEL_WINE_DISPLAY_FILE:-}" ]]; then
  [[ -s "$QUORVEL_WINE_DISPLAY_FILE" ]] || { echo "wine-run.sh: no display in $QUORVEL_WINE_DISPLAY_FILE" >&2; exit 1; }
  export DISPLAY=":$(cat "$QUORVEL_WINE_DISPLAY_FILE")"
fi
if [[ "${1:-}" == "--stop" ]]; then
  wineserver -k 2>/dev/null || true
  exit 0
fi
mkdir -p "$prefix"
exec env LC_ALL="${QUORVEL_WINE_LOCALE:-C.UTF-8}" wine "$@"  # env: the shell need not know the locale
