#!/usr/bin/env bash
# quorvel-cli on one big unit against `tr -d '\r'` over the same file: a
# generated unit (two clauses of 2,000 dotted names, then short procedures,
# CR LF, no byte-order mark) of about 50 MB and one of about 5 MB. Every
# command reads the file and writes its output to a file on the same disk;
# median wall time of several runs, the commands interleaved, and the peak
# resident memory as a multiple of the file's size.
# Goals: each mode at most 3 x tr and 3 x the file's size in memory; the
# cost per byte of the 5 MB and the 50 MB unit within 20 % of each other
# (what each pays beyond a unit with the same clauses and no procedures).
# Usage: bench/big-file.sh BUILD_DIR [REPETITIONS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:?usage: bench/big-file.sh BUILD_DIR [REPETITIONS]}")
repetitions=${2:-7}
cli="$build/bin/quorvel-cli"
[[ -x "$cli" ]] || { echo "big-file: no $cli; build it first" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$cli" "$work" "$repetitions" <<'PYTHON'
import os, random, shutil, statistics, sys, time

cli, work, repetitions = sys.argv[1], sys.argv[2], int(sys.argv[3])

def generate(path, procedures):
    random.seed(1)
    names = [f"Vendor.Lib{i % 37}.Unit{i:05d}" for i in range(2000)]
    random.shuffle(names)
    head = ["unit Big;", "", "interface", "", "uses " + ", ".join(names) + ";", "", "implementation", "",
            "uses " + ", ".join(sorted(names, reverse=True)) + ";", ""]
    with open(path, "wb") as out:
        out.write("\r\n".join(head).encode() + b"\r\n")
        for start in range(0, procedures, 10000):
            out.write("".join(f"procedure P{i};\r\nbegin\r\n  Total := Total + {i};\r\nend;\r\n\r\n"
                              for i in range(start, min(start + 10000, procedures))).encode())
        out.write(b"end.\r\n")

peak_file = os.path.join(work, "peak")

def run(argv, stdin=None, stdout=None):
    """Wall time and peak resident memory of one run (GNU time's, so that the
    memory of this script, which starts it, does not count)."""
    argv = ["/usr/bin/time", "-f", "%M", "-o", peak_file] + argv
    actions = []
    if stdin: actions.append((os.POSIX_SPAWN_OPEN, 0, stdin, os.O_RDONLY, 0))
    actions.append((os.POSIX_SPAWN_OPEN, 1, stdout or "/dev/null", os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644))
    start = time.perf_counter()
    pid = os.posix_spawn(argv[0], argv, os.environ, file_actions=actions)
    _, status, usage = os.wait4(pid, 0)
    wall = time.perf_counter() - start
    code = os.waitstatus_to_exitcode(status)
    if code not in (0, 1): sys.exit(f"big-file: {argv} exited with {code}")
    return wall, int(open(peak_file).read().split()[-1]) * 1024

def modes(source):
    copy = os.path.join(work, "copy.pas")
    out = os.path.join(work, "out.pas")
    def in_place(*options):
        def prepare():
            shutil.copyfile(source, copy)
            for stale in (copy + ".bak",):
                if os.path.exists(stale): os.remove(stale)
        return prepare, ([cli, "-q", *options, copy], None, None)
    return {
        "tr -d '\\r'": (None, (["/usr/bin/tr", "-d", "\\r"], source, out)),
        "quorvel-cli -": (None, ([cli, "-"], source, out)),
        "quorvel-cli FILE": in_place(),
        "quorvel-cli --backup FILE": in_place("--backup"),
        "quorvel-cli --check FILE": (None, ([cli, "--check", "-q", source], None, None)),
    }

def measure(source):
    table = modes(source)
    results = {name: [] for name in table}
    for _ in range(repetitions):
        for name, (prepare, (argv, stdin, stdout)) in table.items():
            if prepare: prepare()
            results[name].append(run(argv, stdin, stdout))
    return {name: (statistics.median(r[0] for r in rows), max(r[1] for r in rows)) for name, rows in results.items()}

sizes = {}
figures = {}
for label, procedures in (("tiny", 0), ("5 MB", 83000), ("50 MB", 830000)):
    path = os.path.join(work, f"big-{label.replace(' ', '')}.pas")
    generate(path, procedures)
    sizes[label] = os.path.getsize(path)
    figures[label] = measure(path)

mb = 1024 * 1024
for label, rows in list(figures.items())[1:]:
    size = sizes[label]
    tr_time = rows["tr -d '\\r'"][0]
    print(f"big-file: {label} unit ({size / mb:.1f} MB), median of {repetitions} runs")
    for name, (wall, peak) in rows.items():
        ratio = "" if name.startswith("tr") else f"  {wall / tr_time:5.2f} x tr (goal 3)"
        print(f"  {name:28} {wall:7.3f} s{ratio}  peak {peak / mb:6.1f} MB = {peak / size:4.2f} x file (goal 3)")
# The time of the unit without procedures (start-up, the clauses) is what
# every size pays once; the rest is the cost that must grow with the bytes.
print(f"  cost per byte beyond the {sizes['tiny'] / 1024:.0f} KB unit's time, 50 MB vs 5 MB unit (goal 0.80 to 1.20):")
for name in figures["5 MB"]:
    base = figures["tiny"][name][0]
    small = (figures["5 MB"][name][0] - base) / (sizes["5 MB"] - sizes["tiny"])
    large = (figures["50 MB"][name][0] - base) / (sizes["50 MB"] - sizes["tiny"])
    print(f"    {name:26} {large / small:5.2f}  ({small * 1e9:.2f} vs {large * 1e9:.2f} ns/byte)")
PYTHON
