#!/usr/bin/python3
# summarise_bench_results.py - turns the result lines of tools/run-benchmarks.sh
# (one "key=value ..." line per modbus-load run) into markdown tables: the
# median of every figure over the rounds, and each server's ratio to the peers.
# Usage: /usr/bin/python3 bench/summarise_bench_results.py RESULTS_FILE
import statistics
import sys
from collections import defaultdict

# Our server at the default log level (debug) and at info, and the peers.
SERVERS = ["veld", "veld-info", "libmodbus", "pymodbus"]
MODES = ["fc3-1", "fc3-125", "fc6-1", "fc16-10"]
FIGURES = ["rps", "p50_us", "p99_us", "max_us"]


def read_runs(path):
    runs = defaultdict(list)
    with open(path, encoding="utf-8") as results:
        for line in results:
            fields = dict(item.split("=", 1) for item in line.split() if "=" in item)
            if "server" in fields and "mode" in fields:
                runs[(fields["server"], fields["mode"], int(fields["connections"]))].append(fields)
    return runs


def median(runs, key):
    values = [float(run[key]) for run in runs if key in run]
    return statistics.median(values) if values else None


def ratio(mine, theirs):
    return f"{mine / theirs:.2f}" if mine is not None and theirs else "-"


def number(value):
    return "-" if value is None else f"{value:.0f}"


def main():
    runs = read_runs(sys.argv[1])
    connection_counts = sorted({key[2] for key in runs})
    print("| Server | Mode | Connections | Requests/s | p50 µs | p99 µs | max µs | × libmodbus | × pymodbus "
          "| Per connection, fewest / most requests | Errors | Runs |")
    print("|---|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|")
    for mode in MODES:
        for connections in connection_counts:
            peers = {server: median(runs.get((server, mode, connections), []), "rps") for server in SERVERS}
            for server in SERVERS:
                these = runs.get((server, mode, connections), [])
                if not these:
                    continue
                figures = [number(median(these, figure)) for figure in FIGURES]
                errors = sum(int(run.get("errors", 0)) for run in these)
                # A run that failed without a wrong reply (no connection) counts too.
                failed = sum(1 for run in these if run.get("rc", "0") != "0" and int(run.get("errors", 0)) == 0)
                spread = f"{number(median(these, 'conn_min'))} / {number(median(these, 'conn_max'))}"
                print(f"| {server} | {mode} | {connections} | " + " | ".join(figures) +
                      f" | {ratio(peers[server], peers['libmodbus'])} | {ratio(peers[server], peers['pymodbus'])} "
                      f"| {spread} | {errors + failed} | {len(these)} |")

    ours = ["veld", "veld-info"]
    logged = [(key, these) for key, these in sorted(runs.items()) if key[0] in ours]
    if any("log_bytes" in run for _, these in logged for run in these):
        print()
        print("Our server's log, bytes written per request (median over the rounds):")
        print()
        print("| Mode | Connections | debug (veld) | info (veld-info) |")
        print("|---|---:|---:|---:|")
        for mode in MODES:
            for connections in connection_counts:
                cells = []
                for server in ours:
                    these = runs.get((server, mode, connections), [])
                    sizes = [int(run["log_bytes"]) / int(run["requests"]) for run in these
                             if "log_bytes" in run and int(run.get("requests", 0)) > 0]
                    cells.append(f"{statistics.median(sizes):.0f}" if sizes else "-")
                print(f"| {mode} | {connections} | " + " | ".join(cells) + " |")


if __name__ == "__main__":
    main()
