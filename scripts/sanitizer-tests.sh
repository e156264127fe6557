#!/usr/bin/env bash
# Builds tests with clang under sanitizers and runs them; any report fails.
#   build-asan/  AddressSanitizer + UndefinedBehaviorSanitizer: the tests of
#                core/, files/ and the command-line tool (which they start)
#   build-tsan/  ThreadSanitizer: the tests of files/ (the worker pool) and
#                the window's background run
# Reports go to files rather than stderr, so that one written by a child
# process (the command-line tool under test) cannot go unseen.
# Usage: scripts/sanitizer-tests.sh [asan|tsan]...   (default: both)
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${JOBS:-2}

# Configures and builds the targets with the sanitizer's flags, and empties
# the folder for its reports: $reports is their path prefix.
prepare() {  # folder, sanitizer flags, build the window (ON/OFF), targets...
  local dir=$1 flags=$2 ui=$3
  shift 3
  # Called where errexit does not hold (`run_asan || status=1`): a failed
  # build must fail here, not leave the tests of an older build to run.
  cmake -S . -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS="-O1 -fno-omit-frame-pointer $flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" \
    -DQUORVEL_BUILD_UI="$ui" -DQUORVEL_BUILD_BENCH=OFF >/dev/null || return 1
  cmake --build "$dir" --target "$@" -j "$jobs" || return 1
  rm -rf "$dir/sanitizer-report"
  mkdir -p "$dir/sanitizer-report"
  reports="$PWD/$dir/sanitizer-report/report"
}

# Fails when any process left a report behind.
check_reports() {  # folder
  local found=("$1"/sanitizer-report/report.*)
  [[ -e "${found[0]}" ]] || return 0
  cat "${found[@]}" >&2
  echo "Sanitizer reports in $1/sanitizer-report: ${#found[@]}" >&2
  return 1
}

# A memory map randomised too widely stops ThreadSanitizer's runtime of this
# clang at start-up; running without randomisation avoids that.
no_aslr() {
  if setarch "$(uname -m)" -R true 2>/dev/null; then setarch "$(uname -m)" -R "$@"; else "$@"; fi
}

run_asan() {
  local dir=build-asan status=0
  prepare $dir "-fsanitize=address,undefined -fno-sanitize-recover=all" OFF core_tests files_tests cli_tests || return 1
  local -x ASAN_OPTIONS="log_path=$reports:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1"
  local -x UBSAN_OPTIONS="log_path=$reports:print_stacktrace=1:halt_on_error=1"
  $dir/bin/core_tests --gtest_brief=1 || status=1
  $dir/bin/files_tests --gtest_brief=1 || status=1
  $dir/bin/cli_tests --gtest_brief=1 || status=1
  check_reports $dir || status=1
  return $status
}

run_tsan() {
  local dir=build-tsan status=0
  prepare $dir "-fsanitize=thread" ON files_tests ui_run_tests || return 1
  local -x TSAN_OPTIONS="log_path=$reports:halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/scripts/tsan-suppressions.txt"
  no_aslr $dir/bin/files_tests --gtest_brief=1 || status=1
  (cd $dir && no_aslr ctest --output-on-failure -R '^ui_run_tests$') || status=1
  check_reports $dir || status=1
  return $status
}

runs=("$@")
[[ ${#runs[@]} -gt 0 ]] || runs=(asan tsan)
status=0
for run in "${runs[@]}"; do
  case $run in
    asan) run_asan || status=1 ;;
    tsan) run_tsan || status=1 ;;
    *) echo "unknown sanitizer run: $run (asan or tsan)" >&2; exit 2 ;;
  esac
done
exit $status
