#!/usr/bin/env bash
# Runs this source tree's pre-commit hooks with Debian's pre-commit in a new Git
# repository whose .pre-commit-config.yaml points at a local hooks repository:
# a temporary one holding the tree's .pre-commit-hooks.yaml (all that hooks of
# language "system" need), so the tree need not be a Git checkout.
# BIN_DIR stands in for an installed quorvel-cli (it goes first on PATH).
# Nothing is downloaded: git may use only local paths, and any HTTP goes to a
# closed port.
# Usage: tests/precommit/pre-commit-test.sh BIN_DIR
set -euo pipefail

bin=$(realpath "$1")
source_dir=$(realpath "$(dirname "$0")/../..")
fail() { echo "pre-commit test: $*" >&2; exit 1; }
[[ -x $bin/quorvel-cli ]] || fail "no quorvel-cli in $bin"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export PATH="$bin:$PATH" PRE_COMMIT_HOME="$work/cache" GIT_ALLOW_PROTOCOL=file
export http_proxy=http://127.0.0.1:9 https_proxy=http://127.0.0.1:9 HTTP_PROXY=http://127.0.0.1:9 HTTPS_PROXY=http://127.0.0.1:9
export GIT_CONFIG_GLOBAL="$work/gitconfig" GIT_CONFIG_NOSYSTEM=1
git config --global user.name "Hook Test"
git config --global user.email "hooks@quorvel.example"
git config --global init.defaultBranch main

# The hooks file as it is in the tree, committed or not.
git init -q "$work/hooks"
cp "$source_dir/.pre-commit-hooks.yaml" "$work/hooks/"
git -C "$work/hooks" add .pre-commit-hooks.yaml
git -C "$work/hooks" commit -q -m "Hooks as in the source tree"
rev=$(git -C "$work/hooks" rev-parse HEAD)

project="$work/project"
git init -q "$project"
cd "$project"
cat >.pre-commit-config.yaml <<EOF
repos:
  - repo: $work/hooks
    rev: $rev
    hooks:
      - id: quorvel-check
        stages: [manual]
      - id: quorvel
EOF
mkdir -p src
printf 'unit Tidy;\ninterface\nuses\n   Alpha,\n   Beta;\nimplementation\nend.\n' >src/Tidy.pas
printf 'unit Messy;\ninterface\nuses Zeta, Alpha;\nimplementation\nend.\n' >src/Messy.pas
printf 'program Upper;\nuses Zeta, Alpha;\nbegin\nend.\n' >"src/Upper Case.DPR"
printf 'uses Zeta, Alpha;\n' >notes.txt
cp src/Messy.pas Messy.before
cp notes.txt notes.before
git add .pre-commit-config.yaml src notes.txt

echo "== check only: fails, names the unformatted files, writes nothing"
status=0
pre-commit run --hook-stage manual quorvel-check >"$work/check.out" 2>&1 || status=$?
[[ $status -eq 1 ]] || { cat "$work/check.out"; fail "quorvel-check exited $status, not 1"; }
grep -q "Would change: .*Messy.pas" "$work/check.out" || { cat "$work/check.out"; fail "quorvel-check did not name Messy.pas"; }
grep -q "Would change: .*Upper Case.DPR" "$work/check.out" || { cat "$work/check.out"; fail "quorvel-check did not name Upper Case.DPR"; }
grep -q "Would change: .*Tidy.pas" "$work/check.out" && { cat "$work/check.out"; fail "quorvel-check named the formatted Tidy.pas"; }
cmp -s src/Messy.pas Messy.before || fail "quorvel-check changed Messy.pas"

echo "== commit through the installed hook: refused once, the files formatted"
pre-commit install >/dev/null
git commit -q -m "First" >"$work/commit.out" 2>&1 && { cat "$work/commit.out"; fail "the commit went through with unformatted files"; }
cmp -s src/Messy.pas Messy.before && fail "the hook did not format Messy.pas"
cmp -s notes.txt notes.before || fail "the hook touched notes.txt"
git add src
git commit -q -m "First" >"$work/commit.out" 2>&1 || { cat "$work/commit.out"; fail "the commit of formatted files was refused"; }
pre-commit run --hook-stage manual quorvel-check --all-files >/dev/null || fail "quorvel-check fails after formatting"
[[ -z $(ls -A "$PRE_COMMIT_HOME" | grep -v -e '^db.db$' -e '^repo' -e '^README$' -e '^\.lock$') ]] || fail "pre-commit cached more than the local clone"
echo "pre-commit test passed"
