#!/usr/bin/env bash
# Formats every file of Debian's Free Pascal and Lazarus source trees and checks
# that formatting is stable, loses nothing and leaves texts without a clause
# alone. Builds corpus_check in an optimised folder (default build-corpus).
# Usage: scripts/corpus-check.sh [BUILD_FOLDER] [SOURCE_FOLDER...]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-corpus}
shift || true
bash scripts/install-deps.sh --corpus
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVEL_BUILD_UI=OFF >/dev/null
cmake --build "$build" --target corpus_check -j 2
"$build/bin/corpus_check" "$@"
