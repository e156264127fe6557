#!/usr/bin/env bash
# One folder of sources through the Linux quorvel-cli and the Windows
# quorvel-cli.exe (under Wine), mode by mode: the files must end with the same
# bytes, standard output and error must hold the same lines apart from path
# separators and the run's time, and the exit codes must agree. Then the
# Windows tool once more on a terminal, where Wine gives it a real console.
# Usage: compare-linux-windows.sh LINUX_CLI WINDOWS_EXE WINE_RUNNER...
set -euo pipefail
linux_cli=$1 windows_exe=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Every kind of file a run meets: encodings, names outside ASCII, a clause left
# for a directive, one already in order, bytes that are no UTF-8.
make_sources() {
  local src=$1/src
  mkdir -p "$src/Café" "$src/日本" "$src/sub"
  printf 'unit U;\r\ninterface\r\nuses B, A;\r\nimplementation\r\nend.\r\n' >"$src/Café/Grüße.pas"
  printf '\xef\xbb\xbfunit V;\ninterface\nuses Zeta, {kept} Beta, Alpha;\nimplementation\nuses SysUtils, Classes;\nend.\n' \
    >"$src/日本/Ünit.pas"
  printf 'unit W;\r\ninterface\r\nuses D, C; { \xe9\xfc\x80 }\r\nimplementation\r\nend.\r\n' >"$src/ansi.pas"
  printf '\xff\xfeu\x00n\x00i\x00t\x00 \x00X\x00;\x00\n\x00u\x00s\x00e\x00s\x00 \x00Q\x00,\x00 \x00P\x00;\x00\n\x00' >"$src/sub/utf16.pas"
  printf 'program P;\nuses B, {$IFDEF X} C, {$ENDIF} A;\nbegin\nend.\n' >"$src/P.dpr"
  printf 'package K;\nrequires rtl;\ncontains A in '"'"'A.pas'"'"';\nend.\n' >"$src/K.dpk"
  printf 'unit S;\ninterface\nuses\n  A,\n  B;\nimplementation\nend.\n' >"$src/Sorted.pas"
  printf '\xef\xbb\xbfunit Bad; \xc3\x28\n' >"$src/bad.pas"
}

# Runs one side in its own copy; what it printed goes beside the copy. The
# compilers installed on each side differ, so neither side searches them.
run_side() {  # name mode... -- command...
  local side=$1 mode=$2
  shift 2
  local dir=$work/$side
  (cd "$dir/tree" && set +e; "$@" --no-default-units-path $mode src >"$dir/out" 2>"$dir/err"; echo $? >"$dir/code")
  for f in out err; do
    sed -e 's#\\#/#g' -e 's/^=== Starting format: .* ===$/=== Starting format: (time) ===/' "$dir/$f" >"$dir/$f.lines"
  done
}

failures=0
for mode in "--check" "--diff" "--backup" "--wrapped --wrap-at 20 -j 1" "-q --no-recursive"; do
  for side in linux windows; do
    rm -rf "$work/$side" && mkdir -p "$work/$side/tree" && make_sources "$work/$side/tree"
  done
  run_side linux "$mode" "$linux_cli"
  run_side windows "$mode" "$@" "$windows_exe"
  for what in code out.lines err.lines; do
    if ! diff -u "$work/linux/$what" "$work/windows/$what" >"$work/difference"; then
      echo "quorvel-cli $mode: $what differs (- Linux, + Windows):"; cat "$work/difference"; failures=$((failures + 1))
    fi
  done
  if ! diff -r "$work/linux/tree" "$work/windows/tree" >"$work/difference"; then
    echo "quorvel-cli $mode: files differ:"; cat "$work/difference"; failures=$((failures + 1))
  fi
  echo "quorvel-cli $mode: exit $(cat "$work/linux/code") on both, $(wc -l <"$work/linux/out") output lines"
done
# A console takes the lines as UTF-16 whatever its code page (1252 here):
# names outside it must show as they are. `script` gives the run a terminal.
rm -rf "$work/windows" && mkdir -p "$work/windows/tree" && make_sources "$work/windows/tree"
console=$(cd "$work/windows/tree" && { script -qec "$(printf '%q ' "$@" "$windows_exe") --check src" /dev/null || true; } |
  tr -d '\r')
for shown in '  [OK] Grüße.pas' 'Would change: src\日本\Ünit.pas'; do
  if ! grep -qF "$shown" <<<"$console"; then
    echo "the console does not show \"$shown\":"; echo "$console"; failures=$((failures + 1))
  fi
done
echo "console: $(grep -c . <<<"$console") lines, names outside code page 1252 shown whole"
exit $((failures > 0))
