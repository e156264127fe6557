#!/usr/bin/env bash
# Quorvel.exe itself under Wine, on the test run's Xvfb screen: it starts and
# shows its window (a screenshot of each start is kept for a look by eye),
# closing it writes the options to %APPDATA%\Quorvel\Quorvel.ini of the Wine
# user, and the next start reads that file: what it writes at its close is
# what it read, with the file's other sections and comments kept.
# Usage: quorvel-exe-test.sh QUORVEL_EXE XVFB_DIR OUT_DIR WINE_RUNNER...
set -euo pipefail
exe=$1 xvfb=$2 out=$3
shift 3
wine=("$@")
export DISPLAY=":$(cat "$xvfb/display")"
mkdir -p "$out"
fail() { echo "FAIL: $*" >&2; exit 1; }

appdata=$("${wine[@]}" cmd /c echo %APPDATA% | tr -d '\r')
[[ $appdata == *:\\* ]] || fail "no APPDATA in the Wine user's environment: \"$appdata\""
ini="$("${wine[@]}" winepath -u "$appdata" | tr -d '\r')/Quorvel/Quorvel.ini"
rm -f "$ini"
# The start-up update check asks a closed port on this machine: no network, no question.
export QUORVEL_UPDATE_URL=http://127.0.0.1:9

# Starts Quorvel.exe, waits for its window, takes a screenshot to $1, and
# closes it as the user would (WM_CLOSE), so it saves its options.
start_and_close() {
  local shot=$1 pid shown=no
  "${wine[@]}" "$exe" &
  pid=$!
  for _ in $(seq 120); do
    if xwininfo -root -tree 2>/dev/null | grep -q '"Quorvel'; then shown=yes; break; fi
    kill -0 "$pid" 2>/dev/null || fail "Quorvel.exe ended before its window showed"
    sleep 0.5
  done
  [[ $shown == yes ]] || { kill "$pid"; fail "no Quorvel window within 60 s"; }
  sleep 3  # the first paint and the (failing) update check
  import -window root "$shot"
  "${wine[@]}" taskkill /im Quorvel.exe > /dev/null
  for _ in $(seq 120); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.5
  done
  kill -0 "$pid" 2>/dev/null && { kill "$pid"; fail "Quorvel.exe did not close within 60 s"; }
  wait "$pid" || fail "Quorvel.exe exited with $?"
}

start_and_close "$out/quorvel-first-start.png"
[[ -f $ini ]] || fail "closing wrote no $appdata\\Quorvel\\Quorvel.ini"
grep -q '^\[Settings\]' "$ini" && grep -q '^WordWrapAt=80' "$ini" && grep -q '^VerticalList=1' "$ini" \
  || fail "unexpected first settings: $(cat "$ini")"

printf '; written by hand\r\n[Other]\r\nKey=1\r\n[Settings]\r\nVerticalList=0\r\nWordWrapAt=77\r\nAutoUpdate=0\r\n' > "$ini"
start_and_close "$out/quorvel-next-start.png"
for kept in '; written by hand' '[Other]' 'Key=1' 'VerticalList=0' 'WordWrapAt=77' 'AutoUpdate=0'; do
  tr -d '\r' < "$ini" | grep -qxF "$kept" || fail "\"$kept\" not kept: $(cat "$ini")"
done
echo "Quorvel.exe started twice; screenshots in $out"
