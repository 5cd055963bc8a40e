#!/usr/bin/env bash
# Builds the server (release) and runs it in run/, its own working folder,
# with the weather service simulator in the background on 127.0.0.1:8081.
# The server stays in the foreground; Ctrl-C stops both.
# Dependencies must be installed (tools/install-deps.sh --run).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cmake -S . -B build-run -DCMAKE_BUILD_TYPE=Release -DVELD_BUILD_TESTS=OFF >/dev/null
cmake --build build-run -j"$(nproc)" --target veld-weather-server veld-weather-service

mkdir -p run
cd run
../build-run/bin/veld-weather-service >weather-service.log 2>&1 &
simulator=$!
trap 'kill "$simulator" 2>/dev/null || true' EXIT
echo "Weather service simulator running (PID $simulator), its log in run/weather-service.log"
../build-run/bin/veld-weather-server
