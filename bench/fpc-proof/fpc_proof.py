#!/usr/bin/env python3
"""Proof on real code: compile Debian's Pascal sources with fpc before and
after quorvel-cli formats them, and report what formatting changed.

  fpc_proof.py prepare WORK           copy the sources, build them as shipped
  fpc_proof.py control WORK           build the unchanged copy again: must equal
  fpc_proof.py pass WORK NAME CLI [-- CLI-OPTIONS...]
                                      format the copy, build, compare with "base"
  fpc_proof.py scopes WORK NAME CLI PACKAGE [-- CLI-OPTIONS...]
                                      the package's units renamed Proof.<unit> in
                                      the copy and named so in its clauses, built
                                      as the pass's base; then --remove-unit-scopes,
                                      build, compare with that base
  fpc_proof.py compare WORK NAME      compare a built pass again
  fpc_proof.py rebase WORK PACKAGE    build one package as shipped again
  fpc_proof.py order WORK FILE...     build FILE's group as shipped, FILE first:
                                      which objects the compile order alone changes
  fpc_proof.py hints WORK CLI [--reuse-build]
                                      the compiler's "unit not used" hints (-vh) on the
                                      copy as shipped beside what CLI --unused reports
  fpc_proof.py report WORK            the summary table of every pass run so far

Every file is compiled in the same folder for every pass, so that unchanged
code gives identical objects; only the output folders differ.
"""
import dataclasses
import json
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import build      # noqa: E402
import clauses    # noqa: E402
import compare    # noqa: E402
import corpus     # noqa: E402
import hints      # noqa: E402
import scopes     # noqa: E402


def log(msg):
    print(time.strftime("%H:%M:%S ") + msg, flush=True)


def _paths(work):
    return {"pristine": os.path.join(work, "pristine"), "src": os.path.join(work, "src"),
            "groups": os.path.join(work, "groups.json"), "results": os.path.join(work, "results")}


def _reset_copy(work):
    p = _paths(work)
    if os.path.exists(p["src"]):
        shutil.rmtree(p["src"])
    shutil.copytree(p["pristine"], p["src"], symlinks=True)


def _kinds(work, groups):
    # From the copy as shipped: a scope names' pass leaves renamed files in "src".
    src = _paths(work)["pristine"]
    return {f: corpus.header_kind(os.path.join(src, f)) for g in groups for f in g.files}


def _load(work):
    groups = corpus.load_groups(_paths(work)["groups"])
    return groups, _kinds(work, groups)


def _built(work, name):
    with open(os.path.join(_paths(work)["results"], name + ".json")) as f:
        return json.load(f)


def _compile(work, name, groups, kinds, only=None):
    shutil.rmtree(os.path.join(work, "out", name), ignore_errors=True)
    started = time.monotonic()
    results = build.compile_pass(work, name, groups, kinds, only=only, log=log)
    log("%s: built in %.0f s" % (name, time.monotonic() - started))
    return results


def cmd_prepare(work):
    p = _paths(work)
    os.makedirs(p["results"], exist_ok=True)
    log("copying sources to " + p["pristine"])
    groups = corpus.copy_tree(p["pristine"])
    corpus.save_groups(p["groups"], groups)
    _reset_copy(work)
    kinds = _kinds(work, groups)
    log("%d files in %d groups; building them as shipped" % (len(kinds), len(groups)))
    results = _compile(work, "base", groups, kinds)
    log("base: %d of %d compile as shipped" % (sum(r["ok"] for r in results.values()), len(results)))


def cmd_rebase(work, package):
    """Builds one package's groups as shipped again (after a change of their
    options in groups.json) and merges them into the base results."""
    groups, kinds = _load(work)
    chosen = [g for g in groups if g.package == package]
    results = _built(work, "base")
    for kind in ("lib", "prog"):
        for g in (g for g in chosen if g.kind == kind):
            shutil.rmtree(build.out_dir(work, "base", g), ignore_errors=True)
            results = {f: r for f, r in results.items() if r["group"] != g.name}
            results.update(build.compile_group(work, "base", g, groups, kinds))
    with open(os.path.join(_paths(work)["results"], "base.json"), "w") as f:
        json.dump(results, f, indent=1, sort_keys=True)
    log("base: %d of %d compile as shipped" % (sum(r["ok"] for r in results.values()), len(results)))


def _shipped(work):
    return {f for f, r in _built(work, "base").items() if r["ok"]}


def cmd_control(work):
    """The unchanged copy built again, the same way: must equal base."""
    groups, kinds = _load(work)
    _reset_copy(work)
    _compile(work, "control", groups, kinds)
    summary = compare.compare_pass(work, "control", groups, kinds)
    compare.write_summary(work, "control", summary, None)
    compare.write_details(work, "control")
    log("control: %d objects differ from base (must be 0)" % summary["code_changed"])


def cmd_order(work, first_files):
    """The unchanged copy's group of each file built again with that file
    compiled first. In a unit cycle the compiler may then know an inline body
    or an empty virtual method at another moment: objects that differ from
    base here differ without any formatting."""
    groups, kinds = _load(work)
    _reset_copy(work)
    base = _built(work, "base")
    for first in first_files:
        group = next(g for g in groups if first in g.files)
        name = "order-" + os.path.splitext(os.path.basename(first))[0].lower()
        shutil.rmtree(os.path.join(work, "out", name), ignore_errors=True)
        reordered = dataclasses.replace(group, files=[first] + [f for f in group.files if f != first])
        build.compile_group(work, name, reordered, groups, kinds)
        differing = []
        for rel in group.files:
            old, new = build.object_path(work, "base", group, rel), build.object_path(work, name, group, rel)
            if base.get(rel, {}).get("ok") and os.path.exists(old) and os.path.exists(new):
                if compare.code_difference(old, new):
                    differing.append(rel)
        log("%s first: %d objects of %s differ from base: %s" % (
            first, len(differing), group.name, " ".join(differing) or "none"))


def _last_line_starting(text, prefix):
    found = [l.strip() for l in text.splitlines() if l.strip().startswith(prefix)]
    return found[-1] if found else ""


def _format(work, name, cli, cli_options, files, before, base_name="base", shown=None, normalise=None):
    """Formats `files` of the copy and writes what the run said and the clause counts;
    `shown` stands for the options in the summary; `normalise` (of clauses.read_all's
    result) makes names comparable before they are counted."""
    src = _paths(work)["src"]
    shown = " ".join(cli_options) if shown is None else shown
    log("%s: formatting %d files with %s %s" % (name, len(files), cli, shown))
    started = time.monotonic()
    # "--" ends the options: an option that takes several values would
    # otherwise read the file names as its own.
    run = subprocess.run(["nice", "-n", "10", cli, "-j", "2"] + cli_options + ["--"] + files,
                         cwd=src, capture_output=True, text=True, errors="replace")
    format_seconds = time.monotonic() - started
    with open(os.path.join(_paths(work)["results"], name + "-format.log"), "w") as f:
        f.write(run.stdout + run.stderr)
    if run.returncode not in (0, 1):
        log("%s: quorvel-cli exited with %d (see %s-format.log)" % (name, run.returncode, name))
        if not _last_line_starting(run.stdout, "Done:"):
            sys.exit(2)
    after = clauses.read_all(src, files)
    if normalise:
        before, after = normalise(before), normalise(after)
    counted = [l.strip() for l in run.stdout.splitlines() if l.startswith(("[GROUP] ", "[CASE] ", "[SCOPE] ", "[UNUSED] ", "[MOVE] "))]
    with open(os.path.join(_paths(work)["results"], name + "-format.json"), "w") as f:
        json.dump({"cli": cli + " " + shown, "format_seconds": round(format_seconds, 1),
                   "format_result": "; ".join([_last_line_starting(run.stdout, "Done:")] + counted),
                   "base": base_name, "clauses": clauses.count(before, after)}, f, indent=1)


def cmd_pass(work, name, cli, cli_options):
    groups, kinds = _load(work)
    shipped = _shipped(work)
    _reset_copy(work)
    src = _paths(work)["src"]
    files = sorted(f for f in kinds if f in shipped)
    _format(work, name, cli, cli_options, files, clauses.read_all(src, files))
    # Every file again, also those that failed as shipped: fpc names generic
    # specialisations after the units loaded so far, so only the same
    # sequence of compiles gives comparable objects.
    _compile(work, name, groups, kinds)
    cmd_compare(work, name)


def _compile_groups(work, name, chosen, groups, kinds, hidden):
    """The chosen groups only, libraries first; results as _compile writes them."""
    shutil.rmtree(os.path.join(work, "out", name), ignore_errors=True)
    started = time.monotonic()
    results = {}
    for kind in ("lib", "prog"):
        for g in (g for g in chosen if g.kind == kind):
            results.update(build.compile_group(work, name, g, groups, kinds, hidden=hidden))
    with open(os.path.join(_paths(work)["results"], name + ".json"), "w") as f:
        json.dump(results, f, indent=1, sort_keys=True)
    log("%s: built in %.0f s, %d of %d files compile" % (
        name, time.monotonic() - started, sum(r["ok"] for r in results.values()), len(results)))
    return results


def _source_folders_without(work, package):
    """The source trees the default pass searches, the package's own folder
    replaced by its renamed copy: the short names then reach nothing else."""
    folders = [os.path.join(corpus.FPC_SRC, d) for d in sorted(os.listdir(corpus.FPC_SRC))
               if d != "packages" and os.path.isdir(os.path.join(corpus.FPC_SRC, d))]
    packages = os.path.join(corpus.FPC_SRC, "packages")
    folders += [os.path.join(packages, d) for d in sorted(os.listdir(packages))
                if d != package and os.path.isdir(os.path.join(packages, d))]
    if os.path.isdir(corpus.LAZARUS_SRC):
        folders.append(corpus.LAZARUS_SRC)
    return folders + [os.path.join(_paths(work)["src"], package)]


def cmd_scopes(work, name, cli, package, cli_options):
    groups, kinds = _load(work)
    _reset_copy(work)
    src = _paths(work)["src"]
    units = scopes.dot_package(src, groups, kinds, package)
    log("%s: %d units of %s renamed %s.<unit>" % (name, len(units), package, scopes.SCOPE))
    chosen = [g for g in groups if g.package == package]
    for g in chosen:
        g.options = g.options + ["-FN" + scopes.SCOPE]
    # The package's installed units would answer the short names first.
    hidden = {package}
    base_name = name + "-base"
    base = _compile_groups(work, base_name, chosen, groups, kinds, hidden)
    files = sorted(f for f, r in base.items() if r["ok"])
    before = clauses.read_all(src, files)
    # The installed trees hold the package's own unscoped units, which would
    # make every short name ambiguous: the folders below stand in for them.
    options = ["--remove-unit-scopes", "--unit-scopes", scopes.SCOPE, "--no-default-units-path"]
    folders = _source_folders_without(work, package)
    for folder in folders:
        options += ["--units-path", folder]
    _format(work, name, cli, options + cli_options, files, before, base_name,
            shown=" ".join(options[:4] + ["--units-path <%d source folders, %s's copy instead of its own>" %
                                          (len(folders), package)] + cli_options),
            normalise=scopes.without_scope)
    _compile_groups(work, name, chosen, groups, kinds, hidden)
    cmd_compare(work, name, groups, kinds)


def cmd_hints(work, cli, compile_again=True):
    """The copy as shipped, reported on by quorvel-cli --unused and built with
    hints (or, without compile_again, the hints of the last such build)."""
    groups, kinds = _load(work)
    shipped = _shipped(work)
    pristine = _paths(work)["pristine"]
    files = sorted(f for f in kinds if f in shipped)
    log("hints: quorvel-cli --check --unused over %d files" % len(files))
    # --check writes nothing: the copy as shipped itself is read.
    run = subprocess.run(["nice", "-n", "10", cli, "-j", "2", "--check", "--unused", "--"] + files,
                         cwd=pristine, capture_output=True, text=True, errors="replace")
    units, skipped = hints.reported(files, run.stdout)
    if compile_again or not os.path.exists(os.path.join(_paths(work)["results"], "hints.json")):
        _reset_copy(work)
        shutil.rmtree(os.path.join(work, "out", "hints"), ignore_errors=True)
        started = time.monotonic()
        results = build.compile_pass(work, "hints", groups, kinds, log=log, extra_options=["-vh"])
        log("hints: built in %.0f s" % (time.monotonic() - started))
    else:
        results = _built(work, "hints")
    found = hints.compiler_hints(pristine, results)
    reasons = hints.compare(pristine, files, found, units, skipped, _built(work, "base"))
    print(hints.write(_paths(work)["results"], reasons, len(found), len(units)))


def cmd_compare(work, name, groups=None, kinds=None):
    """Compares a built pass with its base and writes its summary and details."""
    if groups is None:
        groups, kinds = _load(work)
    with open(os.path.join(_paths(work)["results"], name + "-format.json")) as f:
        formatting = json.load(f)
    base_name = formatting.pop("base", "base")
    if base_name != "base" and groups is not None and not any(f in kinds for f in _built(work, base_name)):
        raise SystemExit("%s: run the scopes pass again (its renamed files are not in the copy)" % name)
    started = time.monotonic()
    summary = compare.compare_pass(work, name, groups, kinds, base_name)
    log("%s: compared in %.0f s" % (name, time.monotonic() - started))
    clause_counts = formatting.pop("clauses")
    summary.update(formatting)
    compare.write_summary(work, name, summary, clause_counts)
    details = compare.write_details(work, name)
    print(details[:4000])
    print(compare.table(work))


def main(argv):
    if len(argv) < 3:
        print(__doc__)
        return 2
    command, work = argv[1], os.path.abspath(argv[2])
    if command == "prepare":
        cmd_prepare(work)
    elif command == "control":
        cmd_control(work)
    elif command == "pass" and len(argv) >= 5:
        options = argv[5:]
        if options and options[0] == "--":
            options = options[1:]
        cmd_pass(work, argv[3], os.path.abspath(argv[4]), options)
    elif command == "scopes" and len(argv) >= 6:
        options = argv[6:]
        if options and options[0] == "--":
            options = options[1:]
        cmd_scopes(work, argv[3], os.path.abspath(argv[4]), argv[5], options)
    elif command == "compare" and len(argv) == 4:
        cmd_compare(work, argv[3])
    elif command == "rebase" and len(argv) == 4:
        cmd_rebase(work, argv[3])
    elif command == "order" and len(argv) >= 4:
        cmd_order(work, argv[3:])
    elif command == "hints" and len(argv) in (4, 5):
        cmd_hints(work, os.path.abspath(argv[3]), compile_again=argv[4:] != ["--reuse-build"])
    elif command == "report":
        print(compare.table(work))
    else:
        print(__doc__)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
