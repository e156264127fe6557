"""Compares a pass with the build as shipped: what no longer compiles, which
objects hold other code, and which programs initialise their units in
another order.

Code: two objects are the same when their bytes are, or else when their
normalised dumps are. The dump is, per section, its raw contents (machine
code or data) and its relocation records (so a call that now reaches
another unit's routine shows as another symbol); sections are sorted by
name, since fpc may emit them in the order of the units it loaded. Offsets
inside a section are kept: fpc puts every routine and table in a section
of its own, so they start at 0. (A disassembly says nothing more for
equality and takes minutes on the largest objects.)

A program's tables of thread variables and resource strings are compared
as sets of entries; they follow the load order of the units.

Initialisation order: the program's object holds the table INITFINAL; its
relocation records, by offset, name INIT$_$UNIT or FINALIZE$_$UNIT for each
unit that has either, in the order the program runs them. Units without
either run nothing and are not in it.
"""
import difflib
import json
import os
import re
import subprocess
from concurrent.futures import ThreadPoolExecutor

import build
import clauses

# Units that install a memory manager, a thread manager, a string manager
# or a tracer: whatever runs before them runs without them.
KEEP_FIRST = ["cmem", "cthreads", "cwstring", "heaptrc", "lineinfo", "lnfodwrf",
              "fastmm4", "fastmm5", "sharemem", "simplesharemem", "madexcept"]


def _objdump(args, path):
    run = subprocess.run(["objdump", "-w"] + args + [path], capture_output=True,
                         text=True, errors="replace")
    return run.stdout


def _sections(dump, opener):
    """Splits a dump at lines starting with opener into [(section, lines)]."""
    blocks, name, lines = [], None, []
    for line in dump.splitlines():
        m = opener.match(line)
        if m:
            if name is not None:
                blocks.append((name, lines))
            name, lines = m.group(1), []
        elif name is not None:
            lines.append(line)
    if name is not None:
        blocks.append((name, lines))
    return blocks


# fpc names a generic specialisation with a checksum that also depends on
# the units loaded before it in the same compile, so one source can give
# other names in another sequence of compiles. The names are compared
# without it; what the code calls or refers to still differs by its other
# symbols.
_SPECIALISATION_CRC = re.compile(r"\$crc[0-9a-f]{1,8}", re.I)
_SPECIALISATION_CRC_BYTES = re.compile(rb"\$crc[0-9a-f]{1,8}", re.I)


def _without_crc(text):
    return _SPECIALISATION_CRC.sub("$crc", text)


def _contents(lines):
    """The bytes of an `objdump -s` section, names without checksum, as hex."""
    data = bytearray()
    for line in lines:
        words = line.split()
        for w in words[1:5]:
            if not re.fullmatch(r"[0-9a-f]{2,8}", w):
                break
            data += bytes.fromhex(w)
    return _SPECIALISATION_CRC_BYTES.sub(b"$crc", bytes(data)).hex()


_DATA = re.compile(r"Contents of section (\S+):")
_RELOC = re.compile(r"RELOCATION RECORDS FOR \[(\S+)\]:")


# A program's tables of its units' thread variables and resource strings
# list the units in the order they were loaded; the program walks them
# whole, so only which entries they hold matters. INITFINAL is compared as
# the initialisation order instead.
UNORDERED_TABLES = {".data.n_FPC_THREADVARTABLES", ".data.n_FPC_RESOURCESTRINGTABLES",
                    ".data.n_FPC_WIDEINITTABLES", ".data.n_FPC_RESSTRINITTABLES"}
INIT_TABLE = ".data.n_INITFINAL"


def _relocation_targets(lines):
    return "\n".join(sorted(line.split()[-1] for line in lines[1:] if line.strip()))


def normalised_parts(path):
    """{"bytes of SECTION" / "relocations of SECTION": normalised text}."""
    parts = {}
    for label, args, opener in (("bytes", ["-s"], _DATA), ("relocations", ["-r"], _RELOC)):
        for name, lines in _sections(_objdump(args, path), opener):
            if name == INIT_TABLE:
                continue
            if label == "bytes":
                text = _contents(lines)
            elif label == "relocations" and name in UNORDERED_TABLES:
                text = _relocation_targets(lines)
            else:
                text = _without_crc("\n".join(lines))
            key = "%s of %s" % (label, _without_crc(name))
            parts[key] = parts[key] + "\n" + text if key in parts else text
    return parts


def normalised_dump(path):
    parts = normalised_parts(path)
    return "\n".join("%s\n%s" % (k, parts[k]) for k in sorted(parts))


def code_difference(a, b):
    """'' when the two objects hold the same code, else their first
    differing lines of the normalised dump, old then new."""
    with open(a, "rb") as fa, open(b, "rb") as fb:
        if fa.read() == fb.read():
            return ""
    old, new = normalised_parts(a), normalised_parts(b)
    if old == new:
        return ""
    differing = sorted(k for k in old.keys() | new.keys() if old.get(k) != new.get(k))
    # Call frame information follows the code; name the code that changed.
    shown = [k for k in differing if "debug_frame" not in k] or differing
    relocations = [k for k in shown if k.startswith("relocations")]
    key = (relocations or shown)[0]
    if key not in old or key not in new:
        return "%d sections differ, e.g. %s only %s" % (
            len(differing), key, "as shipped" if key in old else "now")
    diff = [l for l in difflib.unified_diff(old[key].splitlines(), new[key].splitlines(), lineterm="", n=0)
            if l[:1] in "-+" and not l.startswith(("---", "+++"))]
    if key.startswith("bytes"):
        return "%d sections differ, e.g. %s" % (len(differing), key)
    return "%d sections differ, e.g. %s: %s" % (
        len(differing), key, " | ".join(" ".join(l.split()) for l in diff[:2]))


_INITFINAL = re.compile(r"^([0-9a-f]+)\s+\S+\s+(INIT|FINALIZE)\$_\$(\S+)")


def init_order(path):
    """The units a program initialises, in order, from its INITFINAL table."""
    entries = {}
    for line in _objdump(["-r", "-j", INIT_TABLE], path).splitlines():
        m = _INITFINAL.match(line.strip())
        if m:
            entries.setdefault(int(m.group(1), 16) // 16, m.group(3).lower())
    return [entries[k] for k in sorted(entries)]


def _program_clauses(work, rel):
    path = os.path.join(work, "pristine", rel)
    if not os.path.exists(path):  # renamed in the copy (the scope names' pass)
        path = os.path.join(work, "src", rel)
    with open(path, "rb") as f:
        return clauses.read_clauses(f.read().decode("latin-1"))[:1]


def _keep_first_moved(old, new, units):
    """Keep-first units that now have a unit before them that had not before."""
    moved = []
    for unit in units:
        if unit in old and unit in new:
            if not set(new[:new.index(unit)]) <= set(old[:old.index(unit)]):
                moved.append(unit)
    return moved


def _compare_file(work, name, groups_by_name, kinds, rel, base_r, pass_r, base_name="base"):
    g = groups_by_name[base_r["group"]]
    row = {"file": rel, "kind": kinds.get(rel), "broken": not pass_r["ok"],
           "error": pass_r["error"], "code_changed": False, "difference": "", "init_changed": False,
           "keep_first": [], "keep_first_moved": []}
    if row["broken"]:
        return row
    a, b = build.object_path(work, base_name, g, rel), build.object_path(work, name, g, rel)
    if os.path.exists(a) != os.path.exists(b):
        row["code_changed"], row["difference"] = True, "object only in one build"
    elif os.path.exists(a):
        row["difference"] = code_difference(a, b)
        row["code_changed"] = bool(row["difference"])
        if kinds.get(rel) in ("program", "library"):
            old, new = init_order(a), init_order(b)
            row["init_changed"] = old != new
            # Only units the program names itself: one that a library unit
            # brings in runs where that unit's own clause puts it.
            named = {n.lower() for names, _ in _program_clauses(work, rel) for n in names}
            row["keep_first"] = [u for u in KEEP_FIRST if u in old and u in named]
            row["keep_first_moved"] = _keep_first_moved(old, new, row["keep_first"])
            if row["init_changed"]:
                row["init_order"] = [old, new]
    return row


def compare_pass(work, name, groups, kinds, base_name="base"):
    """Compares the pass `name` with the build `base_name` (as shipped)."""
    results = os.path.join(work, "results")
    with open(os.path.join(results, base_name + ".json")) as f:
        base = json.load(f)
    with open(os.path.join(results, name + ".json")) as f:
        built = json.load(f)
    by_name = {g.name: g for g in groups}
    todo, objects = [], set()
    for f in sorted(f for f, r in base.items() if r["ok"] and f in built):
        # Two files of a group with one name (a Linux and a generic
        # variant) share an object: compare it once.
        obj = build.object_path(work, base_name, by_name[base[f]["group"]], f)
        if obj not in objects:
            objects.add(obj)
            todo.append(f)
    with ThreadPoolExecutor(max_workers=2) as pool:
        rows = list(pool.map(lambda f: _compare_file(work, name, by_name, kinds, f, base[f], built[f], base_name),
                             todo))
    with open(os.path.join(results, name + "-files.json"), "w") as f:
        json.dump(rows, f, indent=1)
    programs = [r for r in rows if r["kind"] in ("program", "library")]
    return {
        "compiled": len(rows),
        "units": sum(r["kind"] == "unit" for r in rows),
        "programs": len(programs),
        "broken": sum(r["broken"] for r in rows),
        "distinct_errors": len({r["error"] for r in rows if r["broken"]}),
        "code_changed": sum(r["code_changed"] for r in rows),
        "init_changed": sum(r["init_changed"] for r in programs),
        "with_keep_first": sum(bool(r["keep_first"]) for r in programs),
        "keep_first_moved": sum(bool(r["keep_first_moved"]) for r in programs),
    }


def write_details(work, name):
    """The files behind the counts, causes first, as text."""
    with open(os.path.join(work, "results", name + "-files.json")) as f:
        rows = json.load(f)
    broken = [r for r in rows if r["broken"]]
    causes = {}
    for r in broken:
        causes.setdefault(r["error"], []).append(r["file"])
    lines = ["== %d no longer compile, %d distinct first errors (most files first)" % (len(broken), len(causes))]
    for error, files in sorted(causes.items(), key=lambda kv: (-len(kv[1]), kv[0])):
        lines.append("%4d  %s   [e.g. %s]" % (len(files), error, files[0]))
    changed = [r for r in rows if r["code_changed"]]
    lines.append("== %d compile into other code (first difference: as shipped | now)" % len(changed))
    lines += ["  %s: %s" % (r["file"], r["difference"]) for r in changed]
    moved = [r for r in rows if r["keep_first_moved"]]
    lines.append("== %d programs where a keep-first unit no longer initialises first" % len(moved))
    lines += ["  %s: %s" % (r["file"], ", ".join(r["keep_first_moved"])) for r in moved]
    reordered = [r for r in rows if r["init_changed"]]
    lines.append("== %d programs with another initialisation order" % len(reordered))
    lines += ["  %s" % r["file"] for r in reordered]
    text = "\n".join(lines) + "\n"
    with open(os.path.join(work, "results", name + "-details.txt"), "w") as f:
        f.write(text)
    return text


def write_summary(work, name, summary, clause_counts):
    if clause_counts is not None:
        summary["clauses"] = {k: v for k, v in clause_counts.items() if k != "names_changed"}
        summary["clauses"]["names_changed"] = len(clause_counts["names_changed"])
    with open(os.path.join(work, "results", name + "-summary.json"), "w") as f:
        json.dump(summary, f, indent=1)


ROWS = [
    ("units and programs compiled as shipped", lambda s: s["compiled"]),
    ("  of them programs", lambda s: s["programs"]),
    ("no longer compile", lambda s: s["broken"]),
    ("  distinct first errors", lambda s: s["distinct_errors"]),
    ("compile into other code", lambda s: s["code_changed"]),
    ("programs with another init order", lambda s: s["init_changed"]),
    ("programs using a keep-first unit", lambda s: s["with_keep_first"]),
    ("  one no longer initialised first", lambda s: s["keep_first_moved"]),
    ("clauses (2+ units, no directive)", lambda s: s.get("clauses", {}).get("clauses", "")),
    ("  alphabetical as shipped", lambda s: s.get("clauses", {}).get("alphabetical_before", "")),
    ("  reordered by formatting", lambda s: s.get("clauses", {}).get("reordered", "")),
    ("  alphabetical after formatting", lambda s: s.get("clauses", {}).get("alphabetical_after", "")),
    ("  unit list changed (must be 0)", lambda s: s.get("clauses", {}).get("names_changed", "")),
    ("formatting time, s", lambda s: s.get("format_seconds", "")),
]


def table(work):
    """The summary of every pass run so far, as text; also written to summary.txt."""
    results = os.path.join(work, "results")
    names = sorted(f[:-len("-summary.json")] for f in os.listdir(results) if f.endswith("-summary.json"))
    summaries = {}
    for n in names:
        with open(os.path.join(results, n + "-summary.json")) as f:
            summaries[n] = json.load(f)
    width = max(len(r[0]) for r in ROWS)
    lines = ["%-*s" % (width, "") + "".join("%14s" % n for n in names)]
    for label, get in ROWS:
        lines.append("%-*s" % (width, label) + "".join("%14s" % get(summaries[n]) for n in names))
    for n in names:
        if "cli" in summaries[n]:
            lines.append("%s: %s (%s)" % (n, summaries[n]["cli"], summaries[n].get("format_result", "")))
    text = "\n".join(lines) + "\n"
    with open(os.path.join(results, "summary.txt"), "w") as f:
        f.write(text)
    return text
