#!/bin/sh
# Builds the libFuzzer targets with clang and runs each for a bounded time:
#   scripts/fuzz.sh [seconds per target]   (default 60)
# The family file readers and the chart drawing start from a corpus of files written
# by the writer. A target that stops on a finding (a crash, a sanitizer report,
# undefined behaviour included, a leak or a hang) fails the run once every target
# has run; its input is left as crash-*, leak-* or timeout-* in build-fuzz/findings.
set -e
seconds=${1:-60}
cd "$(dirname "$0")/.."
CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTEVORA_BUILD_FUZZ=ON \
  -DTEVORA_BUILD_TESTS=OFF -DTEVORA_BUILD_BENCH=OFF -DTEVORA_ONLY="platform;forms;model;layout;document;drawing;reports"
cmake --build build-fuzz -j"$(nproc)" --target fuzz_platform_text fuzz_platform_conversions \
  fuzz_reports_csv fuzz_reports_csv_import fuzz_model_load_file fuzz_model_ked fuzz_drawing_chart \
  make_filestore_seeds
bin=$PWD/build-fuzz/bin
work=$PWD/build-fuzz/corpus
findings=$PWD/build-fuzz/findings
rm -rf "$work" "$findings" && mkdir -p "$work/family" "$work/empty" "$findings"
"$bin/make_filestore_seeds" "$work/family"
export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS=suppressions=$PWD/fuzz/lsan.supp
# A report of undefined behaviour ends the target, with the stack that led to it.
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
failed=""
run() {
  target=$1
  corpus=$2
  echo "fuzzing: $target for ${seconds}s"
  if ! "$bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$findings/$target-" "$corpus"; then
    failed="$failed $target"
  fi
}
for target in fuzz_model_load_file fuzz_model_ked fuzz_drawing_chart; do
  run "$target" "$work/family"
done
for target in fuzz_platform_text fuzz_platform_conversions fuzz_reports_csv fuzz_reports_csv_import; do
  run "$target" "$work/empty"
done
if [ -n "$failed" ]; then
  echo "fuzzing: findings of$failed; the inputs are in $findings:" >&2
  ls "$findings" >&2
  exit 1
fi
echo "fuzzing: all targets ran ${seconds}s without a finding"
