#!/usr/bin/env bash
# Proves one ordering rule with the compiler: builds and runs a small program
# of several units, formats the copy, builds and runs it again; the output
# must not change. Then checks that the program's clauses came out as the
# case expects: "sorted" (fully alphabetical) or "kept" (not alphabetical).
# "log" instead checks the tool's log: the options come first, then "--",
# then fragments each line must hold ("!fragment": no line may hold it).
# Usage: run-case.sh QUORVEL_CLI CASE_FOLDER sorted|kept [CLI_OPTIONS...]
#        run-case.sh QUORVEL_CLI CASE_FOLDER log CLI_OPTIONS... -- FRAGMENTS...
# Exit 77 (skipped) when the Free Pascal compiler is not installed.
set -euo pipefail

cli=$1 case_dir=$2 expect=$3
shift 3
options=() fragments=()
if [[ $expect == log ]]; then
  while [[ $# -gt 0 && $1 != -- ]]; do options+=("$1"); shift; done
  [[ $# -gt 0 ]] && shift
  fragments=("$@")
else
  options=(-q "$@")
fi

if ! command -v fpc >/dev/null; then
  echo "SKIPPED: fpc (Free Pascal) is not installed; scripts/install-deps.sh installs it"
  exit 77
fi
[[ -f "$case_dir/prog.pas" ]] || { echo "no prog.pas in $case_dir"; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Units several cases share lie in cases/shared; a case's own file of the
# same name (in any letter case) wins.
mkdir -p "$work/src"
cp -r "$case_dir"/. "$work/src"
for unit in "$(dirname "$case_dir")"/shared/*; do
  [[ -e $unit ]] || continue
  own=$(find "$work/src" -maxdepth 1 -iname "$(basename "$unit")" | head -n 1)
  [[ -n $own ]] || cp "$unit" "$work/src/"
done

# Prints the program's output; the compiler's own configuration finds its RTL.
build_and_run() {
  local out=$work/out-$1
  rm -rf "$out" && mkdir -p "$out"
  if ! fpc -vew -FU"$out" -FE"$out" "$work/src/prog.pas" >"$work/fpc-$1.log" 2>&1; then
    echo "fpc failed ($1):"
    cat "$work/fpc-$1.log"
    return 1
  fi
  "$out/prog"
}

before=$(build_and_run before)
"$cli" "${options[@]}" "$work/src" >"$work/cli.log" 2>&1 || { echo "quorvel-cli failed:"; cat "$work/cli.log"; exit 1; }
after=$(build_and_run after)

status=0
if [[ "$before" != "$after" ]]; then
  echo "The program's output changed after formatting."
  echo "--- before"; echo "$before"; echo "--- after"; echo "$after"
  diff -u "$case_dir/prog.pas" "$work/src/prog.pas" || true
  status=1
fi

if [[ $expect == log ]]; then
  for fragment in "${fragments[@]}"; do
    if [[ $fragment == !* ]]; then
      grep -qF -- "${fragment#!}" "$work/cli.log" || continue
      echo "The log should not hold \"${fragment#!}\":"
    else
      grep -qF -- "$fragment" "$work/cli.log" && continue
      echo "The log should hold \"$fragment\":"
    fi
    cat "$work/cli.log"
    status=1
  done
  [[ $status -eq 0 ]] && echo "same output ($(echo "$before" | wc -l) lines), log as expected"
  exit $status
fi

# Fully alphabetical: plain order finds nothing more to change.
if "$cli" -q --check --no-keep-names --no-keep-first "$work/src/prog.pas" >/dev/null 2>&1; then
  sorted=yes
else
  sorted=no
fi
if [[ "$expect" == sorted && $sorted == no ]]; then
  echo "The program's clause should end up alphabetical but kept an order:"
  diff -u "$case_dir/prog.pas" "$work/src/prog.pas" || true
  status=1
elif [[ "$expect" == kept && $sorted == yes ]]; then
  echo "The program's clause should keep its order but was sorted:"
  diff -u "$case_dir/prog.pas" "$work/src/prog.pas" || true
  status=1
fi
[[ $status -eq 0 ]] && echo "same output ($(echo "$before" | wc -l) lines), clause $expect"
exit $status
