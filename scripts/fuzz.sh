#!/bin/sh
# Builds the libFuzzer targets with clang and runs each for a bounded time:
#   scripts/fuzz.sh [seconds per target]   (default 60)
# The family file readers start from a corpus of files written by the writer.
set -e
seconds=${1:-60}
cd "$(dirname "$0")/.."
CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTEVORA_BUILD_FUZZ=ON \
  -DTEVORA_BUILD_TESTS=OFF -DTEVORA_BUILD_BENCH=OFF -DTEVORA_ONLY="platform;forms;model;layout;document;reports"
cmake --build build-fuzz -j"$(nproc)" --target fuzz_platform_text fuzz_platform_conversions \
  fuzz_reports_csv fuzz_reports_csv_import fuzz_model_load_file fuzz_model_ked make_filestore_seeds
bin=build-fuzz/bin
work=build-fuzz/corpus
rm -rf "$work" && mkdir -p "$work/family" "$work/empty"
"$bin/make_filestore_seeds" "$work/family"
export ASAN_OPTIONS=detect_leaks=1
for target in fuzz_model_load_file fuzz_model_ked; do
  "$bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 "$work/family"
done
for target in fuzz_platform_text fuzz_platform_conversions fuzz_reports_csv fuzz_reports_csv_import; do
  "$bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 "$work/empty"
done
echo "fuzzing: all targets ran ${seconds}s without a finding"
