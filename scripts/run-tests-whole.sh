#!/bin/sh
# Runs each test program whole, once, in shuffled order and outside CTest (which
# starts every test in a program of its own), so that state or a window one test
# leaves behind shows in the tests after it:
#   scripts/run-tests-whole.sh [build dir] [seed]   (default build-test, a new seed)
# TEST_JOBS sets how many programs run at once (default: one per processor).
# TEST_PROGRAM_TIME_LIMIT sets how many seconds one program may run (default 900,
# far above the slowest whole program, about a minute): a program still running
# then is ended and reported as hung, so that a hang fails it instead of holding
# the run. The same seed gives the same order again. The environment is the one
# CTest gives.
set -e
cd "$(dirname "$0")/.."
source_dir=$(pwd)
build=$(cd "${1:-build-test}" && pwd)
seed=${2:-$(( $(date +%s) % 99999 + 1 ))}
limit=${TEST_PROGRAM_TIME_LIMIT:-900}
echo "whole test programs: shuffled with --gtest_random_seed=$seed"

export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$source_dir/tests/lsan.supp"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One program a job; each writes its log and, when it fails, a mark (and one
# more when it ran out of time: timeout ends it with 124, or 137 when it had to
# be killed).
ls "$build"/bin/test_* | xargs -P "${TEST_JOBS:-$(nproc)}" -I{} sh -c '
  name=$(basename "$1")
  mkdir "$2/$name" && cd "$2/$name"
  timeout --kill-after=30 "$4" "$1" --gtest_shuffle --gtest_random_seed="$3" > "$2/$name.log" 2>&1
  status=$?
  if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then touch "$2/$name.hung"; fi
  [ "$status" -eq 0 ] || touch "$2/$name.failed"
' sh {} "$work" "$seed" "$limit"

failed=0
for program in "$build"/bin/test_*; do
  name=$(basename "$program")
  if [ -e "$work/$name.hung" ]; then
    failed=1
    echo "---- $name did not end within $limit s and was ended (again: scripts/run-tests-whole.sh <build dir> $seed):"
    tail -n 40 "$work/$name.log"
  elif [ -e "$work/$name.failed" ]; then
    failed=1
    echo "---- $name failed run whole (again: scripts/run-tests-whole.sh <build dir> $seed):"
    # Each failure with the lines that say why, then the list of failed tests.
    if grep -qE 'Failure$|ERROR: |runtime error' "$work/$name.log"; then
      grep -E -A4 'Failure$|ERROR: |runtime error' "$work/$name.log"
      grep -E '^\[  FAILED  \]' "$work/$name.log"
    else
      tail -n 40 "$work/$name.log"
    fi
  else
    echo "$name: $(grep -E '^\[  PASSED  \]' "$work/$name.log")"
  fi
done
exit $failed
