#!/usr/bin/python3
"""How long a normal GET / of veld-weather-server takes while slow clients
hold its web port, in a private network namespace (re-executes itself under
unshare -n; needs root):

  slow_clients_bench.py --server PATH [--server PATH ...] [--clients 50,200,1000]
                        [--probes 3] [--server-args "--web-threads 50"]

For each server and each count N: the server starts in a fresh folder; N
sockets connect to port 8080 and each sends "GET / HTTP/1.1\\r\\n..." one byte
every --interval seconds (5), never finishing its header; a socket the
server closes is opened again at once, so N stay open throughout. After
--settle seconds (10), --probes GETs of / are timed one after the other
from a fresh connection each, each given up after --give-up seconds (120).
Prints one line per probe and a table of the median and slowest probe;
exits 1 when a probe got no 200 answer, 0 otherwise (figures are not
judged).
"""
import argparse
import os
import resource
import selectors
import shutil
import socket
import statistics
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "support"))
from private_network import SKIPPED, die_with_parent, enter_private_network, port_open, stop_process  # noqa: E402

HOST = "127.0.0.1"
PORT = 8080
SLOW_REQUEST = b"GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nUser-Agent: slow\r\nAccept: */*\r\n" * 100


class Server:
    """One run of a server binary in a fresh folder."""

    def __init__(self, binary, extra):
        self.folder = tempfile.mkdtemp(prefix="veld-slow-bench-")
        self.log_path = os.path.join(self.folder, "server.log")
        with open(self.log_path, "wb") as log:
            self.process = subprocess.Popen([binary, "--no-browser", "--log-level", "warning"] + extra,
                                            cwd=self.folder, stdout=log, stderr=subprocess.STDOUT,
                                            stdin=subprocess.DEVNULL, preexec_fn=die_with_parent)
        deadline = time.monotonic() + 20
        while not port_open(PORT):
            if time.monotonic() > deadline or self.process.poll() is not None:
                with open(self.log_path, errors="replace") as log:
                    sys.exit("the server did not start listening; its log ends:\n" + log.read()[-3000:])
            time.sleep(0.1)

    def stop(self):
        stop_process(self.process, 20)
        shutil.rmtree(self.folder, ignore_errors=True)


class SlowClients:
    """count sockets, each sending SLOW_REQUEST one byte every interval
    seconds, reopened whenever the server closes one; on a thread of its own."""

    def __init__(self, count, interval):
        self.count, self.interval = count, interval
        self.selector = selectors.DefaultSelector()
        self.stopping = threading.Event()
        self.reopened = 0
        self.thread = threading.Thread(target=self.run, daemon=True)
        self.thread.start()

    def open_one(self):
        sock = socket.socket()
        sock.setblocking(False)
        sock.connect_ex((HOST, PORT))
        # [socket, bytes sent, time of the next byte]
        self.selector.register(sock, selectors.EVENT_READ, [sock, 0, time.monotonic()])

    def close_one(self, state):
        self.selector.unregister(state[0])
        state[0].close()

    def run(self):
        for _ in range(self.count):
            self.open_one()
        while not self.stopping.is_set():
            for key, _ in self.selector.select(timeout=0.2):
                state = key.data
                try:
                    ended = state[0].recv(4096) == b""
                except BlockingIOError:
                    ended = False
                except OSError:
                    ended = True
                if ended or state[1] >= len(SLOW_REQUEST):
                    self.close_one(state)
                    self.open_one()
                    self.reopened += 1
            now = time.monotonic()
            for key in list(self.selector.get_map().values()):
                state = key.data
                if now < state[2]:
                    continue
                try:
                    state[0].send(SLOW_REQUEST[state[1]:state[1] + 1])
                    state[1] += 1
                    state[2] = now + self.interval
                except BlockingIOError:
                    state[2] = now + 0.5  # not connected yet: the server has not accepted it
                except OSError:
                    self.close_one(state)
                    self.open_one()
                    self.reopened += 1
        for key in list(self.selector.get_map().values()):
            self.close_one(key.data)

    def stop(self):
        self.stopping.set()
        self.thread.join(30)


def timed_get(give_up):
    """Seconds until a whole answer to GET / came, and its status (0: none)."""
    started = time.monotonic()
    try:
        sock = socket.create_connection((HOST, PORT), timeout=give_up)
    except OSError:
        return time.monotonic() - started, 0
    try:
        sock.sendall(b"GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nAccept: text/html\r\nConnection: close\r\n\r\n")
        answer = b""
        while time.monotonic() - started < give_up:
            sock.settimeout(max(0.1, give_up - (time.monotonic() - started)))
            chunk = sock.recv(65536)
            if not chunk:
                break
            answer += chunk
    except OSError:
        pass
    finally:
        sock.close()
    status = int(answer.split(b" ", 2)[1]) if answer.startswith(b"HTTP/1.") else 0
    return time.monotonic() - started, status


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--server", action="append", required=True, help="a veld-weather-server binary; repeat for A/B")
    parser.add_argument("--server-args", default="", help="extra arguments for every server, split at blanks")
    parser.add_argument("--clients", default="50,200,1000", help="comma-separated counts of slow sockets")
    parser.add_argument("--probes", type=int, default=3)
    parser.add_argument("--interval", type=float, default=5.0, help="seconds between a slow socket's bytes")
    parser.add_argument("--settle", type=float, default=10.0, help="seconds of slow sockets before the first probe")
    parser.add_argument("--give-up", type=float, default=120.0, help="seconds a probe waits at most")
    parser.add_argument("--inside", action="store_true", help=argparse.SUPPRESS)
    args = parser.parse_args()
    args.server = [os.path.abspath(binary) for binary in args.server]
    if enter_private_network(args.inside) == SKIPPED:
        return SKIPPED
    counts = [int(count) for count in args.clients.split(",")]
    _, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
    wanted = max(counts) * 2 + 256
    if hard != resource.RLIM_INFINITY and hard < wanted:
        sys.exit("the open-file limit's hard value %d is below the %d this needs" % (hard, wanted))
    resource.setrlimit(resource.RLIMIT_NOFILE, (wanted, hard))

    rows, failed = [], 0
    for index, binary in enumerate(args.server):
        name = chr(ord("A") + index)
        for count in counts:
            server = Server(binary, args.server_args.split())
            slow = SlowClients(count, args.interval)
            try:
                time.sleep(args.settle)
                seconds = []
                for probe in range(args.probes):
                    took, status = timed_get(args.give_up)
                    failed += status != 200
                    seconds.append(took)
                    print("  %s, %d slow sockets, probe %d: %s in %.2f s (slow sockets reopened so far: %d)"
                          % (name, count, probe + 1, status or "no answer", took, slow.reopened), flush=True)
                rows.append((name, count, statistics.median(seconds), max(seconds)))
            finally:
                slow.stop()
                server.stop()
    print()
    for index, binary in enumerate(args.server):
        print("%s: %s %s" % (chr(ord("A") + index), binary, args.server_args))
    print("Slow sockets send one byte every %.0f s and are reopened when closed; %d probes after %.0f s."
          % (args.interval, args.probes, args.settle))
    print()
    print("| Server | Slow sockets | GET / median s | GET / slowest s |")
    print("|---|---:|---:|---:|")
    for name, count, median, slowest in rows:
        print("| %s | %d | %.2f | %.2f |" % (name, count, median, slowest))
    if failed:
        print("FAILED: %d probe(s) got no 200 answer within %.0f s" % (failed, args.give_up))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
