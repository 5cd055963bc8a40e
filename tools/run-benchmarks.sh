#!/usr/bin/env bash
# Measures the server's Modbus TCP throughput and latency, at the default log
# level (veld) and at --log-level info (veld-info), against two peers, a
# libmodbus server and pymodbus's asyncio server, with bench's modbus-load,
# all on loopback inside a private network namespace. Builds Release in build/,
# prints markdown tables and writes them to build/bench-results.md
# (build/bench-check.md for --check).
#   tools/run-benchmarks.sh          full run: VELD_BENCH_ROUNDS rounds (3) of
#                                    VELD_BENCH_SECONDS s per run (5), idle CPU,
#                                    commit cost, web load with wrk, FC3
#                                    latency under /history load on a full
#                                    History table (bench/history_contention_bench.py)
#   tools/run-benchmarks.sh --check  1 round of 1 s per run; fails on any wrong
#                                    reply, never on speed (CI)
# Run as root (unshare -n); dependencies from tools/install-deps.sh.
# VELD_BENCH_BUILD_DIR picks another build folder than build/.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

check=0
case "${1:-}" in
  "") ;;
  --check) check=1 ;;
  *)
    echo "usage: $0 [--check]" >&2
    exit 2
    ;;
esac

# Outside the namespace: build, then run this script again inside a fresh one,
# where ports 502 and 8080 are ours whatever else runs on the machine.
build=${VELD_BENCH_BUILD_DIR:-build}
if [ "${VELD_BENCH_IN_NAMESPACE:-}" != 1 ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" -j2
  exec unshare --net env VELD_BENCH_IN_NAMESPACE=1 bash "$0" "$@"
fi
ip link set lo up

if [ "$check" = 1 ]; then
  seconds=1
  rounds=1
else
  seconds=${VELD_BENCH_SECONDS:-5}
  rounds=${VELD_BENCH_ROUNDS:-3}
fi
bin=$root/$build/bin
python=/usr/bin/python3
modes=(fc3-1 fc3-125 fc6-1 fc16-10)
connection_counts=(1 10)
servers=(veld veld-info libmodbus pymodbus)
declare -A ports=([veld]=502 [veld-info]=503 [libmodbus]=1502 [pymodbus]=5020)
declare -A pids=()

work=$(mktemp -d "${TMPDIR:-/tmp}/veld-bench.XXXXXX")
results=$work/results.txt
# A check run's figures are not worth keeping: they go beside the full run's.
if [ "$check" = 1 ]; then
  table=$root/$build/bench-check.md
else
  table=$root/$build/bench-results.md
fi
: >"$results"

# Stops every process this script started, by its PID, and removes the work
# folder (the server's log grows by hundreds of megabytes in a full run).
cleanup() {
  local name
  for name in "${!pids[@]}"; do
    kill "${pids[$name]}" 2>/dev/null || true
  done
  for name in "${!pids[@]}"; do
    wait "${pids[$name]}" 2>/dev/null || true
  done
  if [ "${VELD_BENCH_KEEP:-}" = 1 ]; then
    echo "Work folder kept: $work"
  else
    rm -rf "$work"
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

wait_for_port() {
  local name=$1 port=$2
  for _ in $(seq 100); do
    if [ -n "$(ss -Hltn "sport = :$port")" ]; then
      return 0
    fi
    if ! kill -0 "${pids[$name]}" 2>/dev/null; then
      break
    fi
    sleep 0.1
  done
  echo "$name did not start listening on port $port; its output:" >&2
  tail -n 20 "$work/$name.log" >&2 || true
  exit 1
}

# Our server runs in its own folder with a prepared database of fresh rows,
# its log going to a file there; once as it starts by default (debug), once
# at info on the next port, with a database of its own.
mkdir "$work/veld" "$work/veld-info"
"$python" bench/prepare_bench_database.py "$work/veld" >/dev/null
cp "$work/veld/data.sqlite3" "$work/veld-info/"
(cd "$work/veld" && exec "$bin/veld-weather-server" >"$work/veld.log" 2>&1) &
pids[veld]=$!
(cd "$work/veld-info" && exec "$bin/veld-weather-server" --log-level info --modbus-listen "0.0.0.0:${ports[veld-info]}" \
  --web-listen 127.0.0.1:8082 --no-browser >"$work/veld-info.log" 2>&1) &
pids[veld-info]=$!
"$bin/libmodbus-bench-server" --port "${ports[libmodbus]}" >"$work/libmodbus.log" 2>&1 &
pids[libmodbus]=$!
"$python" bench/pymodbus_server.py --port "${ports[pymodbus]}" >"$work/pymodbus.log" 2>&1 &
pids[pymodbus]=$!
for server in "${servers[@]}"; do
  wait_for_port "$server" "${ports[$server]}"
done
wait_for_port veld 8080

# One modbus-load run; appends its result line, tagged, to the results file.
failures=0
run_load() {
  local server=$1 round=$2 mode=$3 connections=$4 before after output rc=0
  local log="$work/$server.log"
  before=$(stat -c %s "$log")
  output=$("$bin/modbus-load" --port "${ports[$server]}" --mode "$mode" --connections "$connections" \
    --seconds "$seconds" 2>"$work/load-errors.txt") || rc=$?
  after=$(stat -c %s "$log")
  local extra=""
  if [ "$server" = veld ] || [ "$server" = veld-info ]; then
    extra="log_bytes=$((after - before))"
  fi
  echo "server=$server round=$round rc=$rc $extra $output" >>"$results"
  echo "  $server: ${output:-no result} (exit $rc)"
  if [ "$rc" != 0 ]; then
    failures=$((failures + 1))
    sed 's/^/    /' "$work/load-errors.txt" >&2
  fi
}

# Rounds interleave the servers, in an order that turns each round, so a
# slow spell of the machine does not fall on one server only.
for round in $(seq "$rounds"); do
  echo "== Round $round of $rounds ($seconds s per run)"
  for mode in "${modes[@]}"; do
    if [ "$mode" = fc6-1 ] && [ "$check" = 0 ]; then
      # The disk's cost of one durable transaction varies over time: it is
      # measured each round, just before the writes.
      "$python" bench/measure_commit_cost.py "$work/veld" 100 | tee -a "$work/commits.txt"
    fi
    for connections in "${connection_counts[@]}"; do
      echo " $mode, $connections connection(s)"
      for i in "${!servers[@]}"; do
        run_load "${servers[$(((i + round - 1) % ${#servers[@]}))]}" "$round" "$mode" "$connections"
      done
    done
  done
done

report=$work/report.md
{
  echo "## Benchmark results"
  echo
  echo "$(date -u '+%Y-%m-%d %H:%M UTC'); $(nproc) cores ($(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -n 1));" \
    "$(awk '/MemTotal/ {printf "%.0f GiB", $2 / 1048576}' /proc/meminfo) memory; Linux $(uname -r);" \
    "load average at the end $(cut -d ' ' -f 1-3 /proc/loadavg)."
  echo "Medians of $rounds round(s) of $seconds s per run, loopback, one request in flight per connection."
  echo "Rerun: \`tools/run-benchmarks.sh\` (as root; VELD_BENCH_SECONDS, VELD_BENCH_ROUNDS)."
  echo
  "$python" bench/summarise_bench_results.py "$results"
} >"$report"

if [ "$check" = 0 ]; then
  # Idle CPU of each server over 10 s, from utime + stime in /proc/PID/stat.
  ticks=$(getconf CLK_TCK)
  cpu_ticks() { sed 's/.*) //' "/proc/$1/stat" | awk '{print $12 + $13}'; }
  sleep 1
  declare -A idle_before=()
  for server in "${servers[@]}"; do
    idle_before[$server]=$(cpu_ticks "${pids[$server]}")
  done
  sleep 10
  {
    echo
    echo "Idle CPU over 10 s, no client connected (% of one core):"
    echo
    for server in "${servers[@]}"; do
      used=$(($(cpu_ticks "${pids[$server]}") - idle_before[$server]))
      echo "- $server: $(awk -v t="$used" -v hz="$ticks" 'BEGIN {printf "%.2f", t / hz / 10 * 100}') %"
    done
  } >>"$report"

  # The cost of one durable transaction on the disk that holds the database:
  # the median of the rounds' medians, and their range.
  commit_medians=$(sed -n 's/.*commit_us_median=\([0-9]*\).*/\1/p' "$work/commits.txt" | sort -n)
  commit_us=$(echo "$commit_medians" | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}')
  veld_write_rps() { awk -v m="$1" '$1 == "server=veld" && $0 ~ " mode=" m " " && / connections=1 / {
      for (i = 1; i <= NF; i++) if ($i ~ /^rps=/) print substr($i, 5) }' "$results" | sort -n |
    awk '{a[NR] = $1} END {if (NR) print a[int((NR + 1) / 2)]; else print 0}'; }
  {
    echo
    echo "One committed SQLite transaction (BEGIN IMMEDIATE, one-row UPDATE, COMMIT; default journal and sync)" \
      "on the database's disk, 100 per round just before the writes: median $commit_us µs" \
      "(rounds' medians $(echo "$commit_medians" | paste -sd ' ' -) µs)."
    echo "At one commit per request that allows about $((1000000 / (commit_us > 0 ? commit_us : 1))) writes/s on" \
      "one connection; the server's median with 1 connection: FC6 $(veld_write_rps fc6-1) /s," \
      "FC16 $(veld_write_rps fc16-10) /s."
  } >>"$report"

  # The JSON page under 50 web clients while FC3 1 register runs on 10
  # Modbus connections: against our server, then against the libmodbus
  # peer under the same web load, which shows what the machine's two cores
  # shared with wrk and the generator cost any server.
  page='http://127.0.0.1:8080/?limit=20'
  field() { sed -n "s/.* $1=\([0-9]*\).*/\1/p" "$2"; }
  quiet_p99() {
    awk -v s="server=$1" '$1 == s && / mode=fc3-1 / && / connections=10 / {
        for (i = 1; i <= NF; i++) if ($i ~ /^p99_us=/) print substr($i, 8) }' "$results" | sort -n |
      awk '{a[NR] = $1} END {if (NR) print a[int((NR + 1) / 2)]; else print 0}'
  }
  ratio() { awk -v a="${1:-0}" -v b="${2:-0}" 'BEGIN {if (b > 0) printf "%.2f", a / b; else print "-"}'; }
  for server in veld libmodbus; do
    "$bin/modbus-load" --port "${ports[$server]}" --mode fc3-1 --connections 10 --seconds "$seconds" \
      >"$work/under-web-$server.txt" 2>"$work/under-web-errors.txt" &
    pids[under_web]=$!
    wrk -t2 -c50 -d"${seconds}s" --latency -H 'Accept: application/json' "$page" >"$work/wrk-$server.txt" 2>&1 &
    pids[wrk]=$!
    wait "${pids[wrk]}" || failures=$((failures + 1))
    unset 'pids[wrk]'
    under_web_rc=0
    wait "${pids[under_web]}" || under_web_rc=$?
    unset 'pids[under_web]'
    if [ "$under_web_rc" != 0 ]; then
      failures=$((failures + 1))
      cat "$work/under-web-errors.txt" >&2
    fi
  done
  wrk_summary() {
    echo "$(sed -n 's/^Requests\/sec:\s*//p' "$1") requests/s," \
      "p50 $(awk '$1 == "50%" {print $2}' "$1"), p99 $(awk '$1 == "99%" {print $2}' "$1")" \
      "$(grep -E 'Non-2xx|Socket errors' "$1" | tr -s ' ' | paste -sd ';' - || true)"
  }
  veld_loaded=$(field p99_us "$work/under-web-veld.txt")
  libmodbus_loaded=$(field p99_us "$work/under-web-libmodbus.txt")
  {
    echo
    echo "Web load: wrk, 50 connections, 2 threads, $seconds s, GET $page with Accept: application/json," \
      "while modbus-load runs FC3 1 register on 10 connections (wrk counts a read error each time the server" \
      "closes a connection after its answer: Connection: close):"
    echo
    echo "- web, with Modbus load on our server: $(wrk_summary "$work/wrk-veld.txt")"
    echo "- Modbus under web load, our server: $(cat "$work/under-web-veld.txt")"
    echo "- Modbus p99 under web load / without, our server: ${veld_loaded:-?} µs / $(quiet_p99 veld) µs =" \
      "$(ratio "$veld_loaded" "$(quiet_p99 veld)") x"
    echo "- the same for the libmodbus peer under the same web load (on our server's web interface):" \
      "${libmodbus_loaded:-?} µs / $(quiet_p99 libmodbus) µs = $(ratio "$libmodbus_loaded" "$(quiet_p99 libmodbus)") x"
  } >>"$report"

  # FC3 latency on a History table of 7 days of one code, without and with
  # 10 web clients on /history (in a namespace of its own: ports 502 and 8080
  # are taken here). Writes are in the table above.
  {
    echo
    echo "History contention (bench/history_contention_bench.py; A/B: give it --server twice):"
    echo
    "$python" bench/history_contention_bench.py --server "$bin/veld-weather-server" --load "$bin/modbus-load" \
      --rounds "$rounds" --seconds "$seconds" --no-writes | sed -n '/^Medians/,$p' || failures=$((failures + 1))
  } >>"$report"
fi

cat "$report"
cp "$report" "$table"
echo
echo "Written to $table"
if [ "$failures" != 0 ]; then
  echo "FAILED: $failures run(s) had wrong replies or errors" >&2
  exit 1
fi
echo "Every reply was correct."
