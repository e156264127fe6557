#!/usr/bin/env bash
# A virtual screen for Windows programs with windows under Wine (CTest fixture).
# Usage: scripts/xvfb-fixture.sh start DIR   starts Xvfb on a free display and
#                                            writes its number to DIR/display
#        scripts/xvfb-fixture.sh stop DIR    ends the Xvfb that start began
# scripts/wine-run.sh uses the screen when QUORVEL_WINE_DISPLAY_FILE names DIR/display.
set -euo pipefail
action=$1
dir=$2
mkdir -p "$dir"
case $action in
  start)
    "$0" stop "$dir"
    rm -f "$dir/display"
    # -displayfd: Xvfb picks a free display and says which once it accepts clients.
    setsid Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3> "$dir/display.tmp" \
      > "$dir/xvfb.log" 2>&1 < /dev/null &
    echo $! > "$dir/xvfb.pid"
    for _ in $(seq 100); do
      [[ -s $dir/display.tmp ]] && break
      sleep 0.1
    done
    [[ -s $dir/display.tmp ]] || { echo "Xvfb did not start:" >&2; cat "$dir/xvfb.log" >&2; exit 1; }
    tr -d '\n' < "$dir/display.tmp" > "$dir/display"
    rm -f "$dir/display.tmp"
    echo "Xvfb on :$(cat "$dir/display")"
    ;;
  stop)
    if [[ -f $dir/xvfb.pid ]]; then
      kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true
      rm -f "$dir/xvfb.pid"
    fi
    ;;
  *) echo "usage: $0 start|stop DIR" >&2; exit 2 ;;
esac
