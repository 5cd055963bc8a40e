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
  >/dev/null
echo "Dependencies installed."
