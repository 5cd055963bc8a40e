#!/usr/bin/python3
"""Availability figures of veld-weather-server against a scripted weather
service, in a private network namespace (re-executes itself under
unshare -n; needs root):

  1. the service hangs and one 125-register read covers 21 stale codes:
     how long another client's reads of a fresh register are held up, and
     how often, over two refresh ages;
  2. the service hangs and a client polls register 0 every 10 ms: another
     client's reads per second, against the same without the poller;
  3. the service is healthy and 5 codes are polled without a pause for
     VELD_AVAIL_SECONDS (default 120): p99 of the poller against the same
     poll of rows that never need the service, and the service's requests
     per code per refresh age.

  availability_bench.py --server PATH

Prints one line per figure; exits 0 once measured (figures are not judged).
"""
import argparse
import logging
import os
import sqlite3
import statistics
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "server"))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "support"))
from private_network import SKIPPED, enter_private_network  # noqa: E402
from scripted_weather import ScriptedWeather  # noqa: E402

HOST = "127.0.0.1"
REFRESH_AGE = 30
INFO_NAMES = ["app.version.major", "app.version.minor", "app.version.patch", "app.message.recv.count",
              "app.message.sent.count"] + ["app.spare.%d" % i for i in range(15)]


def client():
    from pymodbus.client import ModbusTcpClient
    connection = ModbusTcpClient(HOST, port=502, timeout=5, retries=0, retry_on_empty=False)
    if not connection.connect():
        sys.exit("could not connect")
    return connection


def prepare(path, stale_codes, fresh_codes):
    """Info rows (stale), 5 rows for each stale code, 5 far-future rows for each fresh code."""
    database = sqlite3.connect(path)
    database.execute("CREATE TABLE IF NOT EXISTS Data (ModbusOffset INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT, "
                     "Code TEXT, Value INTEGER, LastUpdated INTEGER);")
    rows = [(i, INFO_NAMES[i], "0", 0, 1000) for i in range(20)]
    offset = 20
    for codes, updated in ((stale_codes, 1000), (fresh_codes, int(time.time()) + 10 ** 6)):
        for code in codes:
            for name in ScriptedWeather.READINGS:
                rows.append((offset, name, code, 1, updated))
                offset += 1
    database.executemany("INSERT INTO Data VALUES (?, ?, ?, ?, ?)", rows)
    database.commit()
    database.close()


class Server:
    def __init__(self, binary, folder):
        self.log = open(os.path.join(folder, "server.log"), "wb")
        self.process = subprocess.Popen([binary, "--no-browser", "--log-level", "warning"], cwd=folder,
                                        stdout=self.log, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
        deadline = time.monotonic() + 15
        while time.monotonic() < deadline:
            try:
                client().close()
                return
            except SystemExit:
                time.sleep(0.1)
        sys.exit("the server did not come up")

    def stop(self):
        self.process.terminate()
        self.process.wait(10)
        self.log.close()


def timed_reads(connection, address, count, seconds, stop=None):
    latencies, deadline = [], time.monotonic() + seconds
    while time.monotonic() < deadline and not (stop and stop.is_set()):
        start = time.monotonic()
        answer = connection.read_holding_registers(address, count)
        if answer.isError():
            sys.exit("a read failed: %s" % answer)
        latencies.append(time.monotonic() - start)
    return latencies


def p99(values):
    return statistics.quantiles(values, n=100)[98] if len(values) >= 100 else max(values)


def hanging_service(binary, folder):
    stale = ["H%02d" % i for i in range(21)]
    prepare(os.path.join(folder, "data.sqlite3"), stale, ["FRESH"])
    fresh_register = 20 + 5 * len(stale)
    weather = ScriptedWeather()
    weather.mode = "hang"
    server = Server(binary, folder)
    reader, other = client(), client()
    stop = threading.Event()
    held = []

    def read_stale():
        while not stop.is_set():
            reader.read_holding_registers(20, 5 * len(stale))
            time.sleep(1)
    thread = threading.Thread(target=read_stale)
    thread.start()
    latencies = timed_reads(other, fresh_register, 1, 2 * REFRESH_AGE + 5)
    stop.set()
    thread.join()
    held = [latency for latency in latencies if latency > 0.1]
    print("1. service hanging, 125-register read over 21 stale codes every 1 s for %d s: another client's "
          "longest read %.3f s; reads held over 0.1 s: %d (%s)" %
          (2 * REFRESH_AGE + 5, max(latencies), len(held), ", ".join("%.3f s" % h for h in held) or "none"))

    alone = len(timed_reads(other, fresh_register, 1, 5)) / 5
    stop.clear()

    def poll_info():
        while not stop.is_set():
            reader.read_holding_registers(0, 1)
            time.sleep(0.01)
    thread = threading.Thread(target=poll_info)
    thread.start()
    beside = len(timed_reads(other, fresh_register, 1, 5)) / 5
    stop.set()
    thread.join()
    print("2. service hanging, register 0 polled every 10 ms: another client %.0f reads/s, %.0f without the "
          "poller (%.0f %%); requests for code 0: %d" % (beside, alone, 100 * beside / alone,
                                                        weather.requests_for("0")))
    reader.close()
    other.close()
    server.stop()
    weather.close()


def healthy_service(binary, folder, seconds):
    polled = ["P%02d" % i for i in range(5)]
    prepare(os.path.join(folder, "data.sqlite3"), polled, ["Q%02d" % i for i in range(5)])
    weather = ScriptedWeather()
    server = Server(binary, folder)
    poller = client()
    poller.read_holding_registers(20, 25)  # the first read of each code fetches it
    since = time.monotonic()
    latencies = timed_reads(poller, 20, 25, seconds)
    asked = [weather.requests_for(code, since) for code in polled]
    baseline = timed_reads(poller, 45, 25, seconds)
    print("3. service healthy, 5 codes (25 registers) polled for %d s: p99 %.2f ms against %.2f ms for rows that "
          "never need the service (%.2f x); max %.1f ms; requests per code %s = %.2f per code per refresh age" %
          (seconds, 1000 * p99(latencies), 1000 * p99(baseline), p99(latencies) / p99(baseline),
           1000 * max(latencies), asked, statistics.mean(asked) * REFRESH_AGE / seconds))
    poller.close()
    server.stop()
    weather.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--server", required=True)
    parser.add_argument("--inside", action="store_true", help=argparse.SUPPRESS)
    args = parser.parse_args()
    args.server = os.path.abspath(args.server)
    if enter_private_network(args.inside) == SKIPPED:
        return SKIPPED
    logging.getLogger("pymodbus").setLevel(logging.CRITICAL)
    seconds = int(os.environ.get("VELD_AVAIL_SECONDS", "120"))
    with tempfile.TemporaryDirectory(prefix="veld-avail-") as folder:
        hanging_service(args.server, folder)
    with tempfile.TemporaryDirectory(prefix="veld-avail-") as folder:
        healthy_service(args.server, folder, seconds)
    return 0


if __name__ == "__main__":
    sys.exit(main())
