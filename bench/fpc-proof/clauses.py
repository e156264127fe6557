"""Reads the unit lists of the uses clauses of a source, independently of
quorvel, to count how many clauses formatting left in alphabetical order."""
import os
import re

_UPPER = str.maketrans("abcdefghijklmnopqrstuvwxyz", "ABCDEFGHIJKLMNOPQRSTUVWXYZ")
_WORD = re.compile(r"[A-Za-z_&][A-Za-z0-9_]*")


def name_key(name):
    """The name order: a to z compared as A to Z, everything else by code."""
    return name.translate(_UPPER)


def tokens_at(text):
    """(token, start, end) for words and single characters outside comments
    and strings; a compiler directive becomes the token '{$'."""
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if c.isspace():
            i += 1
        elif c == "{":
            j = text.find("}", i)
            end = n if j < 0 else j + 1
            if text.startswith("{$", i):
                yield "{$", i, end
            i = end
        elif text.startswith("(*", i):
            j = text.find("*)", i + 2)
            end = n if j < 0 else j + 2
            if text.startswith("(*$", i):
                yield "{$", i, end
            i = end
        elif text.startswith("//", i):
            j = text.find("\n", i)
            i = n if j < 0 else j + 1
        elif c == "'":
            j = text.find("'", i + 1)
            while j >= 0 and text.startswith("''", j):
                j = text.find("'", j + 2)
            end = n if j < 0 else j + 1
            yield "'", i, end
            i = end
        else:
            m = _WORD.match(text, i)
            if m:
                yield m.group(0), i, m.end()
                i = m.end()
            else:
                yield c, i, i + 1
                i += 1


def _tokens(text):
    """Words and single characters outside comments and strings; a compiler
    directive becomes the token '{$'."""
    for tok, _, _ in tokens_at(text):
        yield tok


def read_clauses(text):
    """[(names, has_directive)] for each uses clause, in source order. A name
    is the dotted unit name; an `in 'file'` part is left out."""
    out, tokens = [], _tokens(text)
    for tok in tokens:
        if tok.lower() != "uses":
            continue
        names, current, directive, skip = [], "", False, False
        for t in tokens:
            if t == ";":
                break
            if t == "{$":
                directive = True
            elif t == ",":
                if current:
                    names.append(current)
                current, skip = "", False
            elif t.lower() == "in":
                skip = True
            elif not skip and (t == "." or t[0].isalnum() or t[0] in "_&"):
                current += t
        if current:
            names.append(current)
        out.append((tuple(names), directive))
    return out


def read_all(root, files):
    result = {}
    for rel in files:
        with open(os.path.join(root, rel), "rb") as f:
            result[rel] = read_clauses(f.read().decode("latin-1"))
    return result


def is_alphabetical(names):
    keys = [name_key(n) for n in names]
    return keys == sorted(keys)


def count(before, after):
    """Counts over all clauses of two or more units without a directive."""
    c = {"clauses": 0, "with_directive": 0, "alphabetical_before": 0,
         "reordered": 0, "alphabetical_after": 0, "names_changed": []}
    for rel, old in before.items():
        new = after.get(rel, [])
        if len(new) != len(old):
            c["names_changed"].append(rel)
            continue
        for (names, directive), (new_names, _) in zip(old, new):
            if len(names) < 2:
                continue
            if directive:
                c["with_directive"] += 1
                continue
            c["clauses"] += 1
            if sorted(map(name_key, names)) != sorted(map(name_key, new_names)):
                c["names_changed"].append(rel)
            c["alphabetical_before"] += is_alphabetical(names)
            # Letter case alone (a declared case written) is no reordering.
            c["reordered"] += list(map(name_key, names)) != list(map(name_key, new_names))
            c["alphabetical_after"] += is_alphabetical(new_names)
    return c
