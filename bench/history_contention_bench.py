#!/usr/bin/python3
"""Modbus latency of veld-weather-server under web load on a full History
table, and its write throughput, in a private network namespace (re-executes
itself under unshare -n; needs root):

  1. FC3 one register from one modbus-load connection (p50, p99), the
     History table holding 7 days of readings of one code (--history-rows,
     145000 by default: one reading every ~4.2 s); first without web load,
     then while --web-clients (10) wrk connections loop
     GET /history?postal=bench&hours=168; the ratio of the two p99s;
  2. FC6 one register and FC16 ten registers with 1 and 10 connections,
     requests per second (left out with --no-writes).

  history_contention_bench.py --load PATH/modbus-load --server PATH [--server PATH ...]

Given several --server, each round runs every server once, in an order that
turns each round, so that the machine's slow spells fall on all of them
alike: compare two builds this way (A/B), never against figures taken
earlier. Every server starts on a fresh copy of one prepared file. Prints one
line per measurement and a table of medians over the rounds; exits 1 when a
run had a wrong reply or failed, 0 otherwise (figures are not judged).
"""
import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import urllib.request

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "support"))
from private_network import SKIPPED, die_with_parent, enter_private_network, port_open, stop_process  # noqa: E402

HOST = "127.0.0.1"
HISTORY_PATH = "/history?postal=bench&hours=168"
WRITE_MODES = [("fc6-1", 1), ("fc6-1", 10), ("fc16-10", 1), ("fc16-10", 10)]


def wait_ports(process, ports, log_path):
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        if all(port_open(port) for port in ports):
            return
        if process.poll() is not None:
            break
        time.sleep(0.1)
    with open(log_path, errors="replace") as log:
        sys.exit("the server did not start listening on %s; its log ends:\n%s" % (ports, log.read()[-3000:]))


class Server:
    """One run of a server binary on a fresh copy of the prepared file."""

    def __init__(self, binary, template, log_level):
        self.folder = tempfile.mkdtemp(prefix="veld-history-bench-")
        shutil.copy(template, os.path.join(self.folder, "data.sqlite3"))
        self.log_path = os.path.join(self.folder, "server.log")
        with open(self.log_path, "wb") as log:
            self.process = subprocess.Popen([binary, "--no-browser", "--log-level", log_level], cwd=self.folder,
                                            stdout=log, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL,
                                            preexec_fn=die_with_parent)
        wait_ports(self.process, [502, 8080], self.log_path)

    def stop(self):
        stop_process(self.process)
        shutil.rmtree(self.folder, ignore_errors=True)


def modbus_load(load, mode, connections, seconds):
    """modbus-load's figures as a dict (rc added), its errors printed."""
    done = subprocess.run([load, "--port", "502", "--mode", mode, "--connections", str(connections),
                           "--seconds", str(seconds)], capture_output=True, text=True, timeout=seconds + 60)
    figures = dict(item.split("=", 1) for item in done.stdout.split() if "=" in item)
    figures["rc"] = str(done.returncode)
    if done.returncode != 0 or figures.get("errors", "0") != "0":
        print("    modbus-load failed (exit %d): %s" % (done.returncode, done.stderr.strip()[:500]), flush=True)
    return figures


def history_page_points():
    """Points in one /history answer, to see that the table is really read."""
    request = urllib.request.Request("http://%s:8080%s" % (HOST, HISTORY_PATH))
    with urllib.request.urlopen(request, timeout=30) as answer:
        body = answer.read().decode()
    return body.count("],[") + body.count("[[")


def wrk_figures(output):
    figures = {}
    found = re.search(r"^Requests/sec:\s*([\d.]+)", output, re.M)
    figures["rps"] = float(found.group(1)) if found else None
    for percent in ("50", "99"):
        found = re.search(r"^\s*%s%%\s+([\d.]+)(us|ms|s)\b" % percent, output, re.M)
        if found:
            figures["p" + percent + "_ms"] = float(found.group(1)) * {"us": 0.001, "ms": 1, "s": 1000}[found.group(2)]
    found = re.search(r"Non-2xx or 3xx responses:\s*(\d+)", output)
    figures["non2xx"] = int(found.group(1)) if found else 0
    return figures


def one_round(binary, template, args, tag):
    """Measures one server once; returns its figures and the number of failed runs."""
    server = Server(binary, template, args.log_level)
    failed, figures = 0, {}
    try:
        points = history_page_points()
        quiet = modbus_load(args.load, "fc3-1", 1, args.seconds)
        wrk = subprocess.Popen(["wrk", "-t2", "-c%d" % args.web_clients, "-d%ds" % (args.seconds + 2), "--latency",
                                "http://%s:8080%s" % (HOST, HISTORY_PATH)], stdout=subprocess.PIPE,
                               stderr=subprocess.STDOUT, text=True, preexec_fn=die_with_parent)
        time.sleep(1)  # the web clients are all busy before the measurement starts
        loaded = modbus_load(args.load, "fc3-1", 1, args.seconds)
        web = wrk_figures(wrk.communicate(timeout=args.seconds + 60)[0])
        failed += sum(run["rc"] != "0" or run.get("errors", "0") != "0" for run in (quiet, loaded))
        failed += wrk.returncode != 0 or web["rps"] is None or web["non2xx"] > 0
        figures["fc3 p50 us"], figures["fc3 p99 us"] = int(quiet.get("p50_us", 0)), int(quiet.get("p99_us", 0))
        figures["web fc3 p50 us"], figures["web fc3 p99 us"] = int(loaded.get("p50_us", 0)), \
            int(loaded.get("p99_us", 0))
        figures["p99 ratio"] = figures["web fc3 p99 us"] / figures["fc3 p99 us"] if figures["fc3 p99 us"] else 0.0
        figures["/history rps"] = web["rps"] or 0.0
        figures["/history p99 ms"] = web.get("p99_ms", 0.0)
        print("  %s: %d points per /history answer; FC3 p50/p99 %s/%s us, under %d web clients %s/%s us "
              "(p99 x %.2f); /history %.1f/s, p50 %.0f ms, p99 %.0f ms, non-2xx %d"
              % (tag, points, quiet.get("p50_us"), quiet.get("p99_us"), args.web_clients, loaded.get("p50_us"),
                 loaded.get("p99_us"), figures["p99 ratio"], web["rps"] or 0, web.get("p50_ms", 0),
                 web.get("p99_ms", 0), web["non2xx"]), flush=True)
        if args.writes:
            for mode, connections in WRITE_MODES:
                run = modbus_load(args.load, mode, connections, args.write_seconds)
                failed += run["rc"] != "0" or run.get("errors", "0") != "0"
                figures["%s x%d rps" % (mode, connections)] = float(run.get("rps", 0))
                print("  %s: %s, %d connection(s): %s requests/s, p50 %s us, p99 %s us"
                      % (tag, mode, connections, run.get("rps"), run.get("p50_us"), run.get("p99_us")), flush=True)
    finally:
        server.stop()
    return figures, failed


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--server", action="append", required=True, help="a veld-weather-server binary; repeat for A/B")
    parser.add_argument("--load", required=True, help="bench's modbus-load binary")
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--seconds", type=int, default=10, help="length of each FC3 measurement")
    parser.add_argument("--write-seconds", type=int, default=5, help="length of each write measurement")
    parser.add_argument("--web-clients", type=int, default=10)
    parser.add_argument("--history-rows", type=int, default=145000)
    parser.add_argument("--log-level", default="info", help="the servers' --log-level")
    parser.add_argument("--no-writes", dest="writes", action="store_false", help="leave out FC6/FC16 throughput")
    parser.add_argument("--inside", action="store_true", help=argparse.SUPPRESS)
    args = parser.parse_args()
    args.server = [os.path.abspath(binary) for binary in args.server]
    args.load = os.path.abspath(args.load)
    if enter_private_network(args.inside) == SKIPPED:
        return SKIPPED

    work = tempfile.mkdtemp(prefix="veld-history-template-")
    try:
        subprocess.run([sys.executable, os.path.join(HERE, "prepare_bench_database.py"), work, "--history-rows",
                        str(args.history_rows)], check=True, timeout=120)
        template = os.path.join(work, "data.sqlite3")
        names = ["%s (%s)" % (chr(ord("A") + i), binary) for i, binary in enumerate(args.server)]
        results = {name: [] for name in names}
        failed = 0
        for round_number in range(args.rounds):
            print("== Round %d of %d" % (round_number + 1, args.rounds), flush=True)
            for i in range(len(names)):
                index = (i + round_number) % len(names)
                figures, failures = one_round(args.server[index], template, args, names[index][0])
                results[names[index]].append(figures)
                failed += failures
    finally:
        shutil.rmtree(work, ignore_errors=True)

    keys = list(results[names[0]][0]) if results[names[0]] else []
    print()
    print("Medians of %d round(s); FC3 1 register, 1 connection, %d s per measurement; History: %d readings of one "
          "code over 7 days; web load: %d wrk connections on GET %s; servers at --log-level %s."
          % (args.rounds, args.seconds, args.history_rows, args.web_clients, HISTORY_PATH, args.log_level))
    print()
    print("| Server | " + " | ".join(keys) + " |")
    print("|---|" + "---:|" * len(keys))
    for name in names:
        cells = []
        for key in keys:
            value = statistics.median(figures[key] for figures in results[name])
            cells.append("%.2f" % value if key == "p99 ratio" else "%.0f" % value)
        print("| %s | %s |" % (name, " | ".join(cells)))
    if failed:
        print("FAILED: %d run(s) had wrong replies or errors" % failed)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
