#!/usr/bin/env bash
# Builds Debian's Pascal sources with fpc as shipped and after quorvel-cli
# formatted them, then prints what formatting changed.
# Usage: bench/fpc-proof/run.sh [--scopes PACKAGE] QUORVEL_CLI PASS_NAME [WORK_DIR] [-- CLI_OPTIONS...]
#   WORK_DIR  default /tmp/fpc-proof; the build as shipped ("base") and the
#             control build are made once there and kept for later passes.
#   --scopes  the units of PACKAGE renamed Proof.<unit> and named so in its
#             clauses, then --remove-unit-scopes; compared with that copy's build.
# Example: bench/fpc-proof/run.sh build/bin/quorvel-cli plain -- --plain-order
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
package=
if [[ ${1:-} == --scopes ]]; then package=${2:?--scopes needs a package}; shift 2; fi
[[ $# -ge 2 ]] || { sed -n '2,9p' "$0"; exit 2; }
cli=$1 name=$2
shift 2
work=/tmp/fpc-proof
if [[ $# -gt 0 && $1 != -- ]]; then work=$1; shift; fi
[[ ${1:-} == -- ]] && shift

[[ -x $cli ]] || { echo "$cli: not an executable" >&2; exit 2; }
command -v fpc >/dev/null || { echo "fpc not found: run scripts/install-deps.sh --corpus" >&2; exit 2; }

if [[ ! -f $work/results/base.json ]]; then
  python3 "$here/fpc_proof.py" prepare "$work"
fi
if [[ -n $package ]]; then
  # Its own base: the renamed copy built once, then formatted and built again.
  python3 "$here/fpc_proof.py" scopes "$work" "$name" "$cli" "$package" -- "$@"
  exit
fi
if [[ ! -f $work/results/control-summary.json ]]; then
  python3 "$here/fpc_proof.py" control "$work"
fi
python3 "$here/fpc_proof.py" pass "$work" "$name" "$cli" -- "$@"
