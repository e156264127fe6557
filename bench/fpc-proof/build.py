"""Compiles every file of the groups with fpc, one process per file.

Options are fixed so that the same source gives the same object in any
output folder: no configuration file, no debug information, no linking
(the program's object still holds its unit initialisation table).
"""
import glob
import re
import json
import os
import subprocess
import time
from concurrent.futures import ThreadPoolExecutor

from corpus import INSTALLED_UNITS

FPC_OPTIONS = ["-n", "-O2", "-g-", "-Cn", "-vew"]
TIMEOUT_S = 600


def out_dir(work, pass_name, group):
    return os.path.join(work, "out", pass_name, group.name.replace("/", "__").replace(" ", "_"))


def object_path(work, pass_name, group, rel):
    """The object fpc writes for a main file: its base name, lower case.
    A unit without code (only constants or generics) gets none."""
    stem = os.path.splitext(os.path.basename(rel))[0].lower()
    return os.path.join(out_dir(work, pass_name, group), stem + ".o")


def _search_paths(work, pass_name, group, groups, hidden=()):
    src = os.path.join(work, "src")
    libs = [g for g in groups if g.kind == "lib" and g.family == group.family]
    own = next(g for g in libs if g.name == group.package)
    others = [g for g in libs if g is not own]
    units = []
    if group.kind == "prog":
        # Library groups are built by now: their units are read, not rebuilt.
        units += [out_dir(work, pass_name, g) for g in [own] + others]
    dirs = list(group.dirs) + (own.dirs if group.kind == "prog" else [])
    # A unit of another group compiled from its source needs that group's
    # include files too; the group's own folders come first.
    sources = [os.path.join(src, d) for d in dirs]
    sources += [os.path.join(src, d) for g in others for d in g.dirs]
    installed = sorted(glob.glob(os.path.join(INSTALLED_UNITS, "*")))
    units += sources + [u for u in installed if os.path.basename(u) not in hidden]
    return units, sources


_POSITIONED = re.compile(r"\(\d+(,\d+)?\) (Error|Fatal):")


def _first_error(output):
    """The first message that names a place in a source, else the first fatal one."""
    lines = [l.strip() for l in output.splitlines()]
    for line in lines:
        if _POSITIONED.search(line):
            return line
    for line in lines:
        if ("Fatal:" in line and "Compilation aborted" not in line) or "Error:" in line:
            return line
    return lines[-1] if lines else "no message"


def _unit_built(out, rel):
    stem = os.path.splitext(os.path.basename(rel))[0].lower()
    return os.path.exists(os.path.join(out, stem + ".ppu"))


_UNUSED_HINT = re.compile(r'Hint: Unit "[^"]+" not used in ')


def compile_group(work, pass_name, group, groups, kinds, only=None, hidden=(), extra_options=()):
    """Compiles the group's files in order; returns {file: result}. The
    installed units of the packages in `hidden` are not searched. The
    compiler's "unit not used" hints, where extra_options ask for hints, are
    kept with the file whose compile gave them."""
    out = out_dir(work, pass_name, group)
    os.makedirs(out, exist_ok=True)
    units, includes = _search_paths(work, pass_name, group, groups, hidden)
    args = FPC_OPTIONS + list(extra_options) + group.options + ["-FU" + out]
    args += ["-Fu" + u for u in units] + ["-Fi" + i for i in includes]
    results = {}
    for rel in group.files:
        if only is not None and rel not in only:
            continue
        if kinds.get(rel) == "unit" and _unit_built(out, rel):
            # Built without error as a dependency of an earlier file of
            # this group: the same object a build of its own would give.
            results[rel] = {"group": group.name, "ok": True, "error": "", "seconds": 0}
            continue
        started = time.monotonic()
        try:
            run = subprocess.run(["nice", "-n", "10", "fpc"] + args + [os.path.join(work, "src", rel)],
                                 cwd=os.path.join(work, "src"), capture_output=True, text=True,
                                 errors="replace", timeout=TIMEOUT_S)
            ok = run.returncode == 0
            error = "" if ok else _first_error(run.stdout + run.stderr)
            hints = [l.strip() for l in run.stdout.splitlines() if _UNUSED_HINT.search(l)]
        except subprocess.TimeoutExpired:
            ok, error, hints = False, "timed out after %d s" % TIMEOUT_S, []
        results[rel] = {"group": group.name, "ok": ok, "error": error,
                        "seconds": round(time.monotonic() - started, 2)}
        if hints:
            results[rel]["unused_hints"] = hints
    return results


def compile_pass(work, pass_name, groups, kinds, only=None, jobs=2, log=print, extra_options=()):
    """Library groups first (largest first), then program groups; returns all results."""
    results = {}
    for kind in ("lib", "prog"):
        todo = sorted((g for g in groups if g.kind == kind), key=lambda g: -len(g.files))
        with ThreadPoolExecutor(max_workers=jobs) as pool:
            for part in pool.map(lambda g: compile_group(work, pass_name, g, groups, kinds, only,
                                                            extra_options=extra_options), todo):
                results.update(part)
        done = sum(1 for r in results.values() if r["ok"])
        log("  %s: %s groups compiled, %d of %d files so far" % (pass_name, kind, done, len(results)))
    with open(os.path.join(work, "results", pass_name + ".json"), "w") as f:
        json.dump(results, f, indent=1, sort_keys=True)
    return results
