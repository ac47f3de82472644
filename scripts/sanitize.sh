#!/usr/bin/env bash
# Builds the decoding library, iso8583dump and the unit tests in
# build-sanitize with AddressSanitizer and UndefinedBehaviorSanitizer, and
# runs the whole unit-test suite under them; then builds the tests of
# decoding in several threads at once in build-tsan with ThreadSanitizer
# and runs them. The first sanitizer report stops the test that caused
# it, and any failure fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build-sanitize
generator=$(command -v ninja >/dev/null && echo Ninja || echo "Unix Makefiles")
if command -v clang++ >/dev/null; then
  export CC=clang CXX=clang++
fi

cmake -S . -B "$build_dir" -G "$generator" -DCMAKE_BUILD_TYPE=Debug \
  -DISO8583_SANITIZE=ON -DISO8583_BUILD_TESTS=ON >/dev/null
cmake --build "$build_dir" -j "$(nproc)"

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1:suppressions=$PWD/scripts/ubsan-suppressions.txt
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"

# Threads: two decoders of different dialects rendering every output form
# at once, under ThreadSanitizer.
tsan_dir=build-tsan
cmake -S . -B "$tsan_dir" -G "$generator" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DISO8583_THREAD_SANITIZER=ON -DISO8583_BUILD_TESTS=ON >/dev/null
cmake --build "$tsan_dir" -j "$(nproc)" --target cli_tests
TSAN_OPTIONS=halt_on_error=1 "$tsan_dir/tests/cli_tests" --gtest_filter='Concurrency.*:DecodedMessages.*'
