#!/usr/bin/env bash
# Builds and runs every test: the unit and interoperability tests under
# AddressSanitizer and UBSan, the browser page's test against the sanitizer
# build's web interface, the fuzzers for a bounded time, a short run of the
# benchmarks in a release build, and the Debian package built, installed,
# checked and removed again. Exits non-zero on the first failure.
# Run from anywhere; dependencies must be installed (tools/install-deps.sh).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc)
fuzz_seconds=${VELD_FUZZ_SECONDS:-60}

echo "== Formatting (clang-format)"
git ls-files -- '*.c' '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

echo "== Tests (ASan/UBSan)"
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DVELD_SANITIZE=ON -DVELD_WERROR=ON >/dev/null
cmake --build build-test -j"$jobs"
ctest --test-dir build-test --output-on-failure --timeout 300

echo "== Browser test (sanitizer build)"
tools/run-browser-test.sh --build-dir build-test

echo "== Fuzzers (${fuzz_seconds} s each)"
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELD_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DVELD_FUZZ_SECONDS="$fuzz_seconds" >/dev/null
cmake --build build-fuzz -j"$jobs"
ctest --test-dir build-fuzz --output-on-failure --timeout $((fuzz_seconds * 3))

echo "== Release build and a short benchmark run"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVELD_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
./build/bin/modbus_benchmarks --benchmark_min_time=0.05
./build/bin/register_benchmarks --benchmark_min_time=0.05

echo "== Modbus load check (every reply correct; no timing)"
tools/run-benchmarks.sh --check

echo "== Package (build, install, check)"
tools/check-package.sh
