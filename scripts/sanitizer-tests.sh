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

configure() {  # folder, sanitizer flags, build the window (ON/OFF)
  cmake -S . -B "$1" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS="-O1 -fno-omit-frame-pointer $2" -DCMAKE_EXE_LINKER_FLAGS="$2" \
    -DQUORVEL_BUILD_UI="$3" -DQUORVEL_BUILD_BENCH=OFF >/dev/null
}

# Fails when any process left a report behind.
check_reports() {  # folder
  local reports=("$1"/sanitizer-report/report.*)
  [[ -e "${reports[0]}" ]] || return 0
  cat "${reports[@]}" >&2
  echo "Sanitizer reports in $1/sanitizer-report: ${#reports[@]}" >&2
  return 1
}

fresh_report_folder() {  # folder
  rm -rf "$1/sanitizer-report"
  mkdir -p "$1/sanitizer-report"
  echo "$PWD/$1/sanitizer-report/report"
}

# A memory map randomised too widely stops ThreadSanitizer's runtime of this
# clang at start-up; running without randomisation avoids that.
no_aslr() {
  if setarch "$(uname -m)" -R true 2>/dev/null; then setarch "$(uname -m)" -R "$@"; else "$@"; fi
}

run_asan() {
  local dir=build-asan
  configure $dir "-fsanitize=address,undefined -fno-sanitize-recover=all" OFF
  cmake --build $dir --target core_tests files_tests -j "$jobs"
  local log
  log=$(fresh_report_folder $dir)
  export ASAN_OPTIONS="log_path=$log:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1"
  export UBSAN_OPTIONS="log_path=$log:print_stacktrace=1:halt_on_error=1"
  local status=0
  $dir/bin/core_tests --gtest_brief=1 || status=1
  $dir/bin/files_tests --gtest_brief=1 || status=1
  unset ASAN_OPTIONS UBSAN_OPTIONS
  check_reports $dir || status=1
  return $status
}

run_tsan() {
  local dir=build-tsan
  configure $dir "-fsanitize=thread" ON
  cmake --build $dir --target files_tests ui_run_tests -j "$jobs"
  local log
  log=$(fresh_report_folder $dir)
  export TSAN_OPTIONS="log_path=$log:halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/scripts/tsan-suppressions.txt"
  local status=0
  no_aslr $dir/bin/files_tests --gtest_brief=1 || status=1
  (cd $dir && no_aslr ctest --output-on-failure -R '^ui_run_tests$') || status=1
  unset TSAN_OPTIONS
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
