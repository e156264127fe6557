#!/usr/bin/env bash
# How long `quorvel-cli --check` takes on one small program with no option,
# as a pre-commit hook runs it: the compilers' whole source trees (Debian's
# Free Pascal and Lazarus sources) are found and searched, without the
# catalog's cache, on the run that fills it, and on later runs; and with
# --no-default-units-path for scale. Median wall time and peak memory.
# Goal: at most 0.1 s with the cache filled.
# Usage: bench/catalog-one-file.sh BUILD_DIR [REPETITIONS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:?usage: bench/catalog-one-file.sh BUILD_DIR [REPETITIONS]}")
repetitions=${2:-9}
cli="$build/bin/quorvel-cli"
[[ -x "$cli" ]] || { echo "catalog-one-file: no $cli; build it first" >&2; exit 1; }
bash scripts/install-deps.sh --corpus

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'program p;\nuses Windows, SysUtils, Classes;\nbegin\n  DeleteFile(%s);\nend.\n' "'x'" > "$work/p.dpr"

python3 - "$cli" "$work" "$repetitions" <<'PYTHON'
import os, shutil, statistics, sys, time

cli, work, repetitions = sys.argv[1], sys.argv[2], int(sys.argv[3])
program = os.path.join(work, "p.dpr")
cache = os.path.join(work, "cache")

def run(cache_dir, options=()):
    argv = [cli, "--check", "-q"] + list(options) + [program]
    env = dict(os.environ, QUORVEL_CACHE_DIR=cache_dir)
    start = time.perf_counter()
    pid = os.posix_spawn(argv[0], argv, env, file_actions=[(os.POSIX_SPAWN_OPEN, 1, "/dev/null", os.O_WRONLY, 0)])
    _, status, usage = os.wait4(pid, 0)
    if os.waitstatus_to_exitcode(status) not in (0, 1):
        sys.exit("catalog-one-file: quorvel-cli failed; run it by hand to see why")
    return time.perf_counter() - start, usage.ru_maxrss / 1024

def filling():
    shutil.rmtree(cache, ignore_errors=True)
    return run(cache)

run("none")  # warms the system's file cache
results = {"no cache": [], "filling the cache": [], "cache filled": [], "no trees": []}
for _ in range(repetitions):
    results["no cache"].append(run("none"))
    results["filling the cache"].append(filling())
    results["cache filled"].append(run(cache))
    results["no trees"].append(run("none", ["--no-default-units-path"]))
print(f"catalog-one-file: one program, the Free Pascal and Lazarus trees found; median of {repetitions}")
for name, runs in results.items():
    wall = statistics.median(r[0] for r in runs)
    peak = max(r[1] for r in runs)
    print(f"  {name:18} {wall:6.3f} s  peak {peak:6.1f} MB")
PYTHON
