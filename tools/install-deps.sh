#!/usr/bin/env bash
# Installs what the project uses, from Debian 12's packages. Run as root on a
# fresh machine.
#   tools/install-deps.sh         everything: build, tests, fuzzers, benchmarks
#   tools/install-deps.sh --run   only what building and running the server needs
set -euo pipefail

export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
# Building and running the server and the weather service (ca-certificates:
# the Open-Meteo provider checks the provider's certificate), and building
# the Debian package (help2man writes the man pages; file and dpkg-dev let
# cpack compute the package's dependencies).
apt-get install -y -qq --no-install-recommends \
  build-essential cmake pkg-config \
  libsqlite3-dev libcurl4-openssl-dev libcivetweb-dev rapidjson-dev \
  libcli11-dev \
  ca-certificates \
  help2man file dpkg-dev \
  >/dev/null
if [ "${1:-}" = "--run" ]; then
  echo "Dependencies for running the server installed."
  exit 0
fi

# The tests, fuzzers and benchmarks.
apt-get install -y -qq --no-install-recommends \
  clang libclang-rt-14-dev clang-format \
  libgtest-dev libgmock-dev libbenchmark-dev \
  libmodbus-dev \
  sqlite3 curl wrk \
  iproute2 util-linux \
  systemd man-db \
  chromium \
  >/dev/null
# Modbus clients of the server's end-to-end tests (pymodbus imports serial-asyncio;
# nmap's modbus-discover script reads the device identification) and the
# Prometheus text parser that reads its /metrics.
apt-get install -y -qq --no-install-recommends mbpoll python3-pymodbus python3-serial-asyncio nmap \
  python3-prometheus-client >/dev/null
# The page's assets are built and its browser test run with node and npm
# (tools/build-web-assets.sh, tools/run-browser-test.sh). A newer node and npm
# installed some other way are kept: Debian's would replace them.
if ! command -v npm >/dev/null; then
  apt-get install -y -qq --no-install-recommends nodejs npm >/dev/null
fi
echo "Dependencies installed."
