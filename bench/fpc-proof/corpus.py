"""Which Pascal sources the proof compiles, and in which groups.

A group is compiled file by file, in a fixed order, into one output folder of
its own: a library group is a package's source folders, a program group is
one folder of examples, tests or tools. Library groups are compiled first;
program groups then read their compiled units.
"""
import json
import os
import re
import shutil

import clauses
from dataclasses import dataclass, field, asdict

FPC_SRC = "/usr/share/fpcsrc/3.2.2"
LAZARUS_SRC = "/usr/lib/lazarus/2.2.6"
INSTALLED_UNITS = "/usr/lib/x86_64-linux-gnu/fpc/3.2.2/units/x86_64-linux"

# Packages of the FPC tree whose sources are copied; most of them build on
# Linux from their sources alone. Files that do not compile as shipped are
# dropped by the first build, so a package that partly fails still counts.
# Left out to keep a pass near half an hour on two busy cores: ports with
# few uses clauses (pasjpeg, numlib), text-mode UI (fv), fppkg, and the
# console and Unicode parts of the run-time library.
FPC_PACKAGES = [
    "fcl-async", "fcl-base", "fcl-db", "fcl-extra", "fcl-fpcunit", "fcl-image",
    "fcl-js", "fcl-json", "fcl-net", "fcl-passrc", "fcl-pdf", "fcl-process",
    "fcl-registry", "fcl-report", "fcl-res", "fcl-sdo", "fcl-sound", "fcl-stl",
    "fcl-web", "fcl-xml", "rtl-objpas", "rtl-extra", "rtl-generics",
    "hash", "paszlib", "regexpr", "symbolic", "chm", "fpindexer", "odata",
    "webidl", "pastojs", "libtar", "unzip", "bzip2", "fpmkunit",
]
LAZARUS_COMPONENTS = ["lazutils", "codetools"]

# Folders written for other systems: their include files would shadow the
# Linux ones, and their units do not build here.
FOREIGN = {
    "win", "win32", "win64", "wince", "windows", "winall", "os2", "emx",
    "go32v2", "msdos", "amiga", "amicommon", "morphos", "aros", "netware",
    "netwlibc", "darwin", "macos", "macosx", "beos", "haiku", "wii", "nds",
    "gba", "symbian", "embedded", "palmos", "atari", "freebsd", "netbsd",
    "openbsd", "solaris", "aix", "android", "ios", "wasi", "wasm", "jvm",
    "nativent", "win16", "i8086", "msxdos", "freertos", "sinclairql",
    "human68k", "morphunits", "qnx", "bsd", "dragonfly",
}
# Inputs of the code tools' own tests: fragments written to exercise a
# parser, not programs.
SKIPPED = {"codetools/tests/fpctests", "codetools/tests/laztests", "codetools/tests/fpcsrctest",
           "codetools/tests/moduletests", "codetools/examples/scanexamples"}
NOT_LIBRARY = {"examples", "example", "tests", "test", "demo", "demos",
               "docs", "doc", "utils", "tools", "ide", "languages"}
SOURCE_EXT = (".pas", ".pp", ".lpr", ".dpr")
# Folders listed last so that the Linux include files win over fallbacks.
LAST = {"dummy", "generic"}


@dataclass
class Group:
    name: str
    kind: str                 # "lib" or "prog"
    family: str               # "compiler" or "packages": which units it may see
    package: str              # library group it belongs to (itself for "lib")
    dirs: list                # folders of the copy, relative to its root
    files: list = field(default_factory=list)   # relative paths, compiled in order
    options: list = field(default_factory=list)   # extra fpc options


_HEADER = re.compile(r"\s*(unit|program|library|package)\b", re.I)


def header_kind(path):
    """'unit', 'program', 'library' or None, from the first word after comments."""
    with open(path, "rb") as f:
        text = f.read(65536).decode("latin-1")
    i, n = 0, len(text)
    if text.startswith("\xef\xbb\xbf"):
        i = 3
    while i < n:
        if text[i].isspace():
            i += 1
        elif text.startswith("//", i):
            j = text.find("\n", i)
            i = n if j < 0 else j + 1
        elif text[i] == "{":
            j = text.find("}", i)
            i = n if j < 0 else j + 1
        elif text.startswith("(*", i):
            j = text.find("*)", i + 2)
            i = n if j < 0 else j + 2
        else:
            m = _HEADER.match(text, i)
            return m.group(1).lower() if m and m.group(1).lower() != "package" else None
    return None


def _is_foreign(rel_parts):
    return any(p.lower() in FOREIGN for p in rel_parts)


def _sources_in(folder):
    return sorted(f for f in os.listdir(folder)
                  if f.lower().endswith(SOURCE_EXT) and os.path.isfile(os.path.join(folder, f)))


def _walk_dirs(root, top):
    """Folders below root/top (top included), sorted, foreign systems left out."""
    out = []
    for cur, dirs, _ in os.walk(os.path.join(root, top)):
        dirs.sort()
        rel = os.path.relpath(cur, root)
        if _is_foreign(rel.split(os.sep)) or rel in SKIPPED:
            dirs[:] = []
            continue
        out.append(rel)
    return out


def _order_lib_dirs(dirs):
    return sorted(dirs, key=lambda d: (os.path.basename(d).lower() in LAST, d))


def _classify(root, family, package, lib_tops, all_dirs, options=()):
    """One library group for the package plus one program group per other folder."""
    lib_dirs, prog_dirs = [], []
    for d in all_dirs:
        parts = [p.lower() for p in d.split(os.sep)]
        inside_lib = any(d == t or d.startswith(t + os.sep) for t in lib_tops)
        if inside_lib and not (set(parts) & NOT_LIBRARY):
            lib_dirs.append(d)
        else:
            prog_dirs.append(d)
    groups = [Group(package, "lib", family, package, _order_lib_dirs(lib_dirs),
                    options=list(options))]
    for d in prog_dirs:
        # Named apart from the library group: a package's own top folder
        # (with its build script) is a program folder too.
        groups.append(Group("programs in " + d, "prog", family, package, [d], options=list(options)))
    return groups


def _build_order(root, rel):
    """Programs first, then units by how many units they name: one compile
    of a file that uses much builds most of the group in one process, and
    the units it built are not compiled again."""
    path = os.path.join(root, rel)
    with open(path, "rb") as f:
        used = sum(len(names) for names, _ in clauses.read_clauses(f.read().decode("latin-1")))
    return (header_kind(path) == "unit", -used, rel)


def _fill(root, groups):
    for g in groups:
        for d in g.dirs:
            for f in _sources_in(os.path.join(root, d)):
                rel = os.path.join(d, f)
                if header_kind(os.path.join(root, rel)):
                    g.files.append(rel)
        g.files.sort(key=lambda rel: _build_order(root, rel))
    return [g for g in groups if g.files or g.kind == "lib"]


def copy_tree(dest):
    """Copies the chosen sources to dest (keeping times) and returns the groups."""
    if os.path.exists(dest):
        shutil.rmtree(dest)
    os.makedirs(dest)
    groups = []
    compiler_dirs = ["compiler", "compiler/x86", "compiler/x86_64", "compiler/systems"]
    for d in compiler_dirs + ["compiler/utils"]:
        shutil.copytree(os.path.join(FPC_SRC, d), os.path.join(dest, d),
                        symlinks=True, dirs_exist_ok=True,
                        ignore=shutil.ignore_patterns("*.o", "*.ppu"))
    # The compiler builds for one target, chosen by a define, from its
    # generic folder plus that target's folders. Its built-in message texts
    # are generated by its own build and not shipped: EXTERN_MSG reads them
    # from a file at run time instead.
    options = ["-dx86_64", "-dEXTERN_MSG"]
    groups.append(Group("compiler", "lib", "compiler", "compiler", compiler_dirs, options=options))
    groups.append(Group("programs in compiler/utils", "prog", "compiler", "compiler", ["compiler/utils"],
                        options=options))
    for p in FPC_PACKAGES:
        src = os.path.join(FPC_SRC, "packages", p)
        if not os.path.isdir(src):
            continue
        shutil.copytree(src, os.path.join(dest, p), symlinks=True)
        groups += _classify(dest, "packages", p, [os.path.join(p, "src")], _walk_dirs(dest, p))
    for c in LAZARUS_COMPONENTS:
        shutil.copytree(os.path.join(LAZARUS_SRC, "components", c), os.path.join(dest, c), symlinks=True)
        # Lazarus packages are built with C-style operators, goto, long
        # strings and inline on, in ObjFPC mode unless a unit says otherwise.
        groups += _classify(dest, "packages", c, [c], _walk_dirs(dest, c),
                            options=["-MObjFPC", "-Scghi"])
    return _fill(dest, groups)


def save_groups(path, groups):
    with open(path, "w") as f:
        json.dump([asdict(g) for g in groups], f, indent=1)


def load_groups(path):
    with open(path) as f:
        return [Group(**g) for g in json.load(f)]
