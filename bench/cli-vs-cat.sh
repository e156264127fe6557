#!/usr/bin/env bash
# quorvel-cli --check against cat over the same files: every .pas, .dpr and
# .dpk file of Debian's Free Pascal and Lazarus source packages, warm cache,
# the two interleaved over several repetitions. Reports the median wall time
# of each, the ratio, and the tool's peak memory (resident set).
# Goal: at most 1.3 times the time of cat; peak memory 150 MB with names kept
# (under 50 MB plus twice the largest file in plain order); the report of
# unneeded units (--unused) at most 1.2 times the time of --check.
# With BASELINE_BUILD_DIR, that build's tool runs too, interleaved with the
# others, so that a change is measured against its base under the same load.
# Usage: bench/cli-vs-cat.sh BUILD_DIR [REPETITIONS] [BASELINE_BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
usage="usage: bench/cli-vs-cat.sh BUILD_DIR [REPETITIONS] [BASELINE_BUILD_DIR]"
build=$(realpath "${1:?$usage}")
repetitions=${2:-9}
cli="$build/bin/quorvel-cli"
[[ -x "$cli" ]] || { echo "cli-vs-cat: no $cli; build it first" >&2; exit 1; }
baseline=""
if [[ -n "${3:-}" ]]; then
  baseline="$(realpath "$3")/bin/quorvel-cli"
  [[ -x "$baseline" ]] || { echo "cli-vs-cat: no $baseline; build it first" >&2; exit 1; }
fi

bash scripts/install-deps.sh --corpus
list=$(mktemp)
trap 'rm -f "$list"' EXIT
dpkg -L fpc-source-3.2.2 lazarus-src-2.2 | grep -iE '\.(pas|dpr|dpk)$' |
  while IFS= read -r file; do [[ -f "$file" ]] && printf '%s\n' "$file"; done > "$list"

python3 - "$cli" "$list" "$repetitions" "$baseline" <<'PYTHON'
import os, statistics, sys, time

cli, list_file, repetitions, baseline = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]
files = [line for line in open(list_file, encoding="utf-8", errors="surrogateescape").read().split("\n") if line]
sizes = [os.path.getsize(f) for f in files]
mb = 1024 * 1024

def run(argv):
    """Wall time, peak resident memory, exit code and CPU time of one run, output to /dev/null."""
    start = time.perf_counter()
    pid = os.posix_spawn(argv[0], argv, os.environ,
                         file_actions=[(os.POSIX_SPAWN_OPEN, 1, "/dev/null", os.O_WRONLY, 0)])
    _, status, usage = os.wait4(pid, 0)
    return (time.perf_counter() - start, usage.ru_maxrss * 1024, os.waitstatus_to_exitcode(status),
            usage.ru_utime + usage.ru_stime)

commands = {
    "cat": ["/bin/cat"] + files,
    # The compilers' trees are found and searched; the catalog's listing and
    # what it read come from its cache after the first run.
    "quorvel-cli --check": [cli, "--check", "-q"] + files,
    "quorvel-cli --check -j 1": [cli, "--check", "-q", "-j", "1"] + files,
    "--check, no cache": ["/usr/bin/env", "QUORVEL_CACHE_DIR=none", cli, "--check", "-q"] + files,
    "--check, files' folders only": [cli, "--check", "-q", "--no-default-units-path"] + files,
    "--check, --plain-order": [cli, "--check", "-q", "--plain-order"] + files,
    # The report of unneeded units on top of the name rule: goal at most 1.2
    # times the time of --check.
    "--check --unused": [cli, "--check", "-q", "--unused"] + files,
}
if baseline:
    commands.update({
        "baseline --check": [baseline, "--check", "-q"] + files,
        "baseline --check -j 1": [baseline, "--check", "-q", "-j", "1"] + files,
        "baseline, no cache": ["/usr/bin/env", "QUORVEL_CACHE_DIR=none", baseline, "--check", "-q"] + files,
        "baseline --check --unused": [baseline, "--check", "-q", "--unused"] + files,
    })
for argv in commands.values():
    run(argv)  # warms the cache
results = {name: [] for name in commands}
for _ in range(repetitions):
    for name, argv in commands.items():
        results[name].append(run(argv))

print(f"cli-vs-cat: {len(files)} files, {sum(sizes) / mb:.1f} MB, largest {max(sizes) / mb:.1f} MB; "
      f"median of {repetitions} warm runs")
cat_time = statistics.median(r[0] for r in results["cat"])
cat_cpu = statistics.median(r[3] for r in results["cat"])
memory_goal = 150 * mb
# CPU time too: on a shared machine it says more than the wall clock.
print(f"  {'cat':26} {cat_time:7.3f} s  cpu {cat_cpu:.3f} s")
for name in list(commands)[1:]:
    wall = statistics.median(r[0] for r in results[name])
    peak = max(r[1] for r in results[name])
    codes = sorted({r[2] for r in results[name]})
    cpu = statistics.median(r[3] for r in results[name])
    print(f"  {name:26} {wall:7.3f} s  cpu {cpu:.3f} s  {wall / cat_time:5.2f} x cat (goal 1.30)  "
          f"peak {peak / mb:5.1f} MB (goal < {memory_goal / mb:.1f})  exit {codes}")
    if any(code not in (0, 1) for code in codes):
        sys.exit(f"cli-vs-cat: {name} failed on some file (exit 2); run it without -q to see which")
check_time = statistics.median(r[0] for r in results["quorvel-cli --check"])
unused_time = statistics.median(r[0] for r in results["--check --unused"])
print(f"  --unused on top of --check: {unused_time / check_time:5.2f} x (goal 1.20)")
if baseline:
    base_check = statistics.median(r[0] for r in results["baseline --check"])
    base_unused = statistics.median(r[0] for r in results["baseline --check --unused"])
    print(f"  the same for the baseline:  {base_unused / base_check:5.2f} x")
PYTHON
