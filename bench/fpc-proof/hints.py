"""The compiler's own "Unit X not used in Y" hints (-vh, message 5023) beside
what quorvel-cli --unused reports for the same sources: which hints it finds
too, which not and why, and what it reports that the compiler does not."""
import collections
import os
import re

import corpus

_HINT = re.compile(r'^(.*)\((\d+),(\d+)\) Hint: Unit "([^"]+)" not used in ')
_RESULT = re.compile(r"^  \[(OK|=|!!)\] ")
_NOTE = re.compile(r"^  \[(UNUSED|SKIP)\] (.*?) \u2014 (\S+)(.*)$")
_STARTS = re.compile(r"^\s*(initialization|finalization)\b", re.I | re.M)
_ACTS_UNNAMED = re.compile(r"\bhelper\s+for\b|^\s*operator\b|^\s*class\s+operator\b", re.I | re.M)


def _common_prefix(a, b):
    return len(os.path.commonprefix([a.split("/"), b.split("/")]))


def compiler_hints(src, results):
    """{(file, unit)}: file relative to src, unit folded, from every compile's
    output. fpc names only the file's base name: of the files of that name, the
    one nearest to the file whose compile gave the hint."""
    by_name = collections.defaultdict(list)
    for root, _, names in os.walk(src):
        for name in names:
            by_name[name.lower()].append(os.path.relpath(os.path.join(root, name), src))
    found = set()
    for compiled, result in results.items():
        for line in result.get("unused_hints", []):
            m = _HINT.match(line)
            if not m:
                continue
            candidates = by_name.get(os.path.basename(m.group(1)).lower(), [])
            if candidates:
                path = max(candidates, key=lambda c: _common_prefix(c, compiled))
                found.add((path, m.group(4).lower()))
    return found


def reported(files, log_text):
    """({(file, unit): kept}, {file: skipped a clause}) from quorvel-cli's log,
    whose file lines come in the order of `files`."""
    units, skipped, pending, index = {}, set(), [], 0
    for line in log_text.splitlines():
        if _RESULT.match(line):
            if index < len(files):
                for tag, rest in pending:
                    if tag == "SKIP":
                        skipped.add(files[index])
                    else:
                        units[(files[index], rest[0].lower())] = rest[1].endswith(": kept")
            pending, index = [], index + 1
            continue
        m = _NOTE.match(line)
        if m:
            pending.append((m.group(1), (m.group(3), m.group(4))))
    return units, skipped


def _unit_sources(src):
    """Unit name -> its sources in the copy and in the installed trees (the RTL is only there)."""
    by_name = collections.defaultdict(list)
    for top in (src, corpus.FPC_SRC, corpus.LAZARUS_SRC):
        for root, _, names in os.walk(top):
            for name in names:
                stem, ext = os.path.splitext(name)
                if ext.lower() in (".pas", ".pp"):
                    by_name[stem.lower()].append(os.path.join(root, name))
    return by_name


def _texts(paths):
    for path in paths:
        with open(path, encoding="latin-1") as f:
            yield f.read()


def _acts_unnamed(paths):
    return any(_ACTS_UNNAMED.search(re.split(r"\bimplementation\b", text, maxsplit=1, flags=re.I)[0])
               for text in _texts(paths))


def _has_start_code(paths):
    return any(_STARTS.search(text) for text in _texts(paths))


def compare(src, files, hints, units, skipped, built):
    """Counts and, for the details, the pairs behind each."""
    listed = set(files)
    sources = _unit_sources(src)
    reasons = collections.defaultdict(list)
    for rel, unit in sorted(hints):
        if (rel, unit) in units:
            reasons["found too" + (" (kept: start code)" if units[(rel, unit)] else "")].append((rel, unit))
        elif rel not in listed:
            reasons["missed: not a file formatted (include file or other kind)"].append((rel, unit))
        elif rel in skipped:
            reasons["missed: clause left as written (compiler directives)"].append((rel, unit))
        elif unit not in sources:
            reasons["missed: no source of the unit in the tree"].append((rel, unit))
        elif _acts_unnamed(sources[unit]):
            reasons["missed: the unit declares a helper or an operator"].append((rel, unit))
        else:
            reasons["missed: a name the unit declares is spelled in the file"].append((rel, unit))
    for (rel, unit) in sorted(set(units) - hints):
        if units[(rel, unit)]:
            reasons["reported and kept for start code (no hint: fpc gives none for such a unit)"].append((rel, unit))
        elif not built.get(rel, {}).get("ok"):
            reasons["reported, no hint: the file does not compile as shipped"].append((rel, unit))
        elif _has_start_code(sources.get(unit, [])):
            reasons["reported: its start code runs through a unit the file needs (fpc: no hint)"].append((rel, unit))
        else:
            reasons["reported, no hint from the compiler"].append((rel, unit))
    return reasons


def write(results_dir, reasons, hint_count, reported_count):
    lines = ["compiler's unit-not-used hints: %d; units quorvel-cli --unused reports: %d" % (hint_count, reported_count)]
    lines += ["  %-70s %6d" % (reason, len(pairs)) for reason, pairs in sorted(reasons.items())]
    summary = "\n".join(lines)
    with open(os.path.join(results_dir, "hints-summary.txt"), "w") as f:
        f.write(summary + "\n")
    with open(os.path.join(results_dir, "hints-details.txt"), "w") as f:
        for reason, pairs in sorted(reasons.items()):
            f.write("%s (%d)\n" % (reason, len(pairs)))
            for rel, unit in pairs:
                f.write("  %s: %s\n" % (rel, unit))
    return summary
