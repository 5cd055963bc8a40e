#!/usr/bin/env bash
# Builds the server (release) and runs it in run/, its own working folder,
# with the weather service in the background on 127.0.0.1:8081: simulated
# readings, or with "--provider open-meteo" the real weather (any arguments
# go to veld-weather-service). The server stays in the foreground; Ctrl-C
# stops both. Dependencies must be installed (tools/install-deps.sh --run).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cmake -S . -B build-run -DCMAKE_BUILD_TYPE=Release -DVELD_BUILD_TESTS=OFF >/dev/null
cmake --build build-run -j"$(nproc)" --target veld-weather-server veld-weather-service

mkdir -p run
cd run
# The geocoding cache of the Open-Meteo provider stays in run/ across runs.
../build-run/bin/veld-weather-service --cache-dir . "$@" >weather-service.log 2>&1 &
service=$!
trap 'kill "$service" 2>/dev/null || true' EXIT
sleep 0.3
kill -0 "$service" 2>/dev/null || { cat weather-service.log >&2; wait "$service"; exit 1; }
echo "Weather service running (PID $service), its log in run/weather-service.log"
../build-run/bin/veld-weather-server
