#!/usr/bin/env bash
# Installs everything the build, the tests, the fuzzers and the benchmarks
# use, from Debian 12's packages. Run as root on a fresh machine.
set -euo pipefail

export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends \
  build-essential cmake pkg-config \
  clang libclang-rt-14-dev clang-format \
  libgtest-dev libgmock-dev libbenchmark-dev \
  libmodbus-dev \
  libsqlite3-dev libcurl4-openssl-dev libcivetweb-dev rapidjson-dev \
  sqlite3 curl \
  iproute2 util-linux \
  chromium \
  >/dev/null
# The page's assets are built and its browser test run with node and npm
# (tools/build-web-assets.sh, tools/run-browser-test.sh). A newer node and npm
# installed some other way are kept: Debian's would replace them.
if ! command -v npm >/dev/null; then
  apt-get install -y -qq --no-install-recommends nodejs npm >/dev/null
fi
echo "Dependencies installed."
