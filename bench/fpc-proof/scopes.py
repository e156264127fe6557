"""A copy of one package whose units carry a unit scope name, for the proof
of --remove-unit-scopes.

fpc 3.2.2 does not find `uses Proof.md5` where only a unit md5 exists, with
or without -FNProof (checked with small programs); it finds a unit named
Proof.md5 in proof.md5.pp, also as `uses md5` with -FNProof. So the units of
the package are renamed (file and heading) and every clause of the package
names them with the scope; that copy, built with -FNProof, is the base the
formatted copy is compared with.
"""
import os

import clauses

SCOPE = "Proof"


def _rewrite(text, edits):
    """Applies (start, end, replacement) edits, given in any order."""
    for start, end, replacement in sorted(edits, reverse=True):
        text = text[:start] + replacement + text[end:]
    return text


def _scoped_clauses(text, units, scope):
    """Edits that write each unit of `units` (folded names) named in a uses
    clause as scope.name: names after `in`, dotted names and clauses with a
    directive are left alone."""
    edits, tokens = [], clauses.tokens_at(text)
    for tok, _, _ in tokens:
        if tok.lower() != "uses":
            continue
        pending, parts, directive, after_in = [], [], False, False
        for t, start, end in tokens:
            if t == "{$":
                directive = True
            if t in (",", ";"):
                if len(parts) == 1 and not after_in and parts[0][0].upper() in units:
                    pending.append((parts[0][1], parts[0][1], scope + "."))
                parts, after_in = [], False
                if t == ";":
                    break
            elif t.lower() == "in":
                after_in = True
            elif not after_in and t != "." and (t[0].isalnum() or t[0] in "_&"):
                parts.append((t, start))
            elif t == ".":
                parts.append((t, start))
        if not directive:
            edits += pending
    return edits


def _heading_edit(text, scope):
    tokens = (t for t in clauses.tokens_at(text) if t[0] != "{$")  # directives may stand before it
    first = next(tokens, None)
    name = next(tokens, None)
    if first and first[0].lower() == "unit" and name:
        return [(name[1], name[1], scope + ".")]
    return []


def dot_package(src, groups, kinds, package, scope=SCOPE):
    """Renames the package's library units to scope.name in the copy at src
    and writes the scope in every clause of the package's files that names
    one. Updates the groups' file lists and kinds; returns the folded names."""
    lib = [g for g in groups if g.kind == "lib" and g.package == package]
    renamed, units = {}, set()
    for g in lib:
        for rel in g.files:
            if kinds.get(rel) != "unit":
                continue
            folder, base = os.path.split(rel)
            new_rel = os.path.join(folder, (scope + "." + base).lower())
            renamed[rel] = new_rel
            units.add(os.path.splitext(base)[0].upper())
    for g in (g for g in groups if g.package == package):
        for i, rel in enumerate(g.files):
            path = os.path.join(src, rel)
            with open(path, "rb") as f:
                text = f.read().decode("latin-1")
            edits = _scoped_clauses(text, units, scope)
            if rel in renamed:
                edits += _heading_edit(text, scope)
                os.remove(path)
                g.files[i] = renamed[rel]
                kinds[renamed[rel]] = kinds.pop(rel)
                path = os.path.join(src, renamed[rel])
            with open(path, "wb") as f:
                f.write(_rewrite(text, edits).encode("latin-1"))
    return units


def without_scope(clause_map, scope=SCOPE):
    """Clauses as read by clauses.read_all with the scope taken off the names."""
    prefix = (scope + ".").upper()
    return {rel: [(tuple(n[len(prefix):] if n.upper().startswith(prefix) else n for n in names), d)
                  for names, d in found]
            for rel, found in clause_map.items()}
