#!/usr/bin/python3
"""End-to-end tests of veld-weather-server, one scenario per run.

  EndToEnd.py --server PATH --service PATH SCENARIO

A run re-executes itself in a private network namespace (unshare -n, with the
loopback brought up), starts the weather service simulator on 127.0.0.1:8081
and the server in a fresh temporary folder, and drives them with clients of
other people's making: mbpoll, pymodbus and nmap for Modbus TCP, HTTP for the web
interface, the sqlite3 CLI for the file. Raw sockets are used only where a
frame has to be cut or timed by hand. Needs root; exits 77 (skipped) without.
Every wait has a time-out, and every process started is killed by its PID,
also when this script dies (parent-death signal).

VELD_SOAK_SECONDS sets the length of the soak (default 60).
"""
import argparse
import ctypes
import hashlib
import json
import os
import re
import shutil
import signal
import socket
import sqlite3
import statistics
import struct
import subprocess
import sys
import tempfile
import threading
import time
import urllib.error
import urllib.request

from scripted_weather import ScriptedWeather

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "simulator"))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "support"))
from fake_open_meteo import FakeOpenMeteo  # noqa: E402
from private_network import SKIPPED, die_with_parent, enter_private_network, port_open  # noqa: E402

HOST = "127.0.0.1"
BAD = 0x0BAD
INFO_NAMES = ["app.version.major", "app.version.minor", "app.version.patch", "app.message.recv.count",
              "app.message.sent.count"] + ["app.spare.%d" % i for i in range(15)]
INFO_VALUES = [0, 0, 5] + [0] * 17
WAITING_LINE = "FYI: Waiting on TCP connection TCP port=[502]... "
COUNT_LINE = "FYI: The number of connections changed to [%d]"
MAX_LINE = "CTCP::Accept - Error Max connections reached"
REFUSED_LINE = "CTCP::Accept - Closed the new connection from IP address=[127.0.0.1] port=["
SEND_FAILED = "Error: SendMessage failed."
CONFIG_KEYS = ["modbus-listen", "web-listen", "database", "weather-url", "max-connections", "history-days",
               "max-postal-codes", "log-level", "web-allowed-hosts", "web-auth", "web-threads", "metrics-listen",
               "modbus-framing", "rtu-device", "rtu-baud", "rtu-parity", "rtu-stop-bits",
               "unit-id", "device-name"]


class Failed(Exception):
    pass


failures = []


def expect(condition, message):
    if not condition:
        failures.append(message)
        print("FAILED: " + message, flush=True)
    return condition


def require(condition, message):
    if not condition:
        raise Failed(message)


def wait_until(predicate, timeout, step=0.05):
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value or time.monotonic() > deadline:
            return value
        time.sleep(step)


class Process:
    def __init__(self, argv, folder, log_name):
        self.log_path = os.path.join(folder, log_name)
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        with open(self.log_path, "wb") as log:
            self.popen = subprocess.Popen(argv, cwd=folder, stdout=log, stderr=subprocess.STDOUT,
                                          stdin=subprocess.DEVNULL, env=env, preexec_fn=die_with_parent)

    def log_now(self):
        with open(self.log_path, "r", errors="replace") as log:
            return log.read()

    def log(self):
        """The log once the server has written out what it buffered: it does so
        a moment after it goes quiet, so the file stops growing."""
        size, since = -1, time.monotonic()
        deadline = since + 5
        while time.monotonic() < deadline:
            now = os.path.getsize(self.log_path)
            if now != size:
                size, since = now, time.monotonic()
            elif time.monotonic() - since >= 0.05:
                break
            time.sleep(0.01)
        return self.log_now()

    def alive(self):
        return self.popen.poll() is None

    def wait_log(self, text, timeout=15):
        return wait_until(lambda: text in self.log_now() or not self.alive(), timeout) and text in self.log_now()

    def cpu_seconds(self):
        with open("/proc/%d/stat" % self.popen.pid) as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")

    def stop(self):
        if self.alive():
            self.popen.send_signal(signal.SIGTERM)
            try:
                self.popen.wait(3)
            except subprocess.TimeoutExpired:
                self.popen.kill()
                self.popen.wait(3)


class Run:
    """The temporary folder, the simulator and the servers of one scenario."""

    def __init__(self, args):
        self.args = args
        self.folder = tempfile.mkdtemp(prefix="veld-e2e-")
        self.processes = []
        self.service = None

    def start_service(self, arguments=()):
        self.service = Process([self.args.service, "--listen", HOST + ":8081"] + list(arguments), self.folder,
                               "service.log")
        self.processes.append(self.service)
        require(wait_until(lambda: port_open(8081), 10), "the weather service did not come up")

    def start_server(self, ready=True, arguments=(), waiting_line=WAITING_LINE, log_name="server.log"):
        server = Process([self.args.server] + list(arguments), self.folder, log_name)
        self.processes.append(server)
        if ready:
            require(server.wait_log(waiting_line), "the server did not reach its loop:\n" + server.log()[-3000:])
        return server

    def run_server(self, *arguments):
        """Runs the server to its end: exit code, standard output, standard error."""
        done = subprocess.run([self.args.server] + list(arguments), cwd=self.folder, capture_output=True,
                              text=True, timeout=20, stdin=subprocess.DEVNULL)
        return done.returncode, done.stdout, done.stderr

    def database(self):
        return os.path.join(self.folder, "data.sqlite3")

    def sql(self, statement):
        done = subprocess.run(["sqlite3", "-cmd", ".timeout 5000", self.database(), statement],
                              capture_output=True, text=True, timeout=20)
        require(done.returncode == 0, "sqlite3 failed on %s: %s" % (statement, done.stderr))
        return [line.split("|") for line in done.stdout.splitlines()]

    def close(self):
        for process in reversed(self.processes):
            process.stop()
        if failures:
            for process in self.processes:
                print("---- tail of %s\n%s" % (process.log_path, process.log()[-4000:]))
        shutil.rmtree(self.folder, ignore_errors=True)


# ---- Clients

def modbus_client(host=HOST, port=502):
    from pymodbus.client import ModbusTcpClient
    client = ModbusTcpClient(host, port=port, timeout=3, retries=0, retry_on_empty=False)
    require(client.connect(), "pymodbus could not connect")
    return client


def exception_code(response):
    return getattr(response, "exception_code", None) if response.isError() else None


def registers(response):
    return None if response.isError() else list(response.registers)


def mbpoll(*arguments, values=(), host=HOST):
    """mbpoll as a Modbus master for unit 255 unless the arguments say
    otherwise (a later -a or -o wins)."""
    argv = ["mbpoll", "-m", "tcp", "-a", "255", "-0", "-1", "-o", "2"] + [str(a) for a in arguments] + [host]
    done = subprocess.run(argv + [str(v) for v in values], capture_output=True, text=True, timeout=20)
    read = {int(m.group(1)): int(m.group(2)) for m in re.finditer(r"^\[(\d+)\]:\s+(-?\d+)", done.stdout, re.M)}
    return done.returncode, read, done.stdout + done.stderr


def http(path, json_wanted=True):
    request = urllib.request.Request("http://%s:8080%s" % (HOST, path))
    if json_wanted:
        request.add_header("Accept", "application/json")
    with urllib.request.urlopen(request, timeout=10) as answer:
        body = answer.read().decode()
        return answer.status, (json.loads(body) if json_wanted else body)


def raw_connect(host=HOST, port=502):
    raw = socket.create_connection((host, port), timeout=3)
    raw.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
    return raw


def read_request(transaction, address, unit=0xFF):  # FC3, one register
    return bytes([transaction >> 8, transaction & 0xFF, 0, 0, 0, 6, unit, 3, address >> 8, address & 0xFF, 0, 1])


def read_frame(raw, timeout=3.0):
    raw.settimeout(timeout)
    frame = b""
    try:
        while len(frame) < 6 or len(frame) < 6 + int.from_bytes(frame[4:6], "big"):
            chunk = raw.recv(1)
            if not chunk:
                break
            frame += chunk
    except socket.timeout:
        pass
    return frame


def dump(data):
    return "".join("%02X " % b for b in data)


def connection_id(server, raw):
    port = raw.getsockname()[1]
    pattern = r"port=\[%d\], connectionId=\[(\d+)\]" % port
    require(wait_until(lambda: re.search(pattern, server.log_now()), 5), "no accept line for port %d" % port)
    return int(re.search(pattern, server.log()).group(1))


def register_value(name, value):
    """A row's register value: the stored word as it stands, whatever the
    name (readings are scaled when they are stored)."""
    return int(value) & 0xFFFF


def count_lines(text):
    return [int(m.group(1)) for m in re.finditer(r"^FYI: The number of connections changed to \[(\d+)\]$", text, re.M)]


def wait_count(server, count, timeout=10):
    return wait_until(lambda: (count_lines(server.log_now()) or [0])[-1] == count, timeout)


def linked_library(binary, stem):
    listing = subprocess.run(["ldd", binary], capture_output=True, text=True, timeout=20).stdout
    return re.search(r"%s\S* => (\S+)" % re.escape(stem), listing).group(1)


def postal_lookup(code):
    status, rows = http("/?postal=" + code)
    require(status == 200 and rows, "the postal lookup for %s answered %s" % (code, status))
    return {row["Name"]: int(row["ModbusOffset"]) for row in rows}


def value_column(run, offset):
    rows = run.sql("SELECT Value FROM Data WHERE ModbusOffset = %d" % offset)
    return int(rows[0][0]) if rows else None


# ---- Scenarios

def startup(run):
    run.start_service()
    server = run.start_server()
    civetweb = ctypes.CDLL(linked_library(run.args.server, "libcivetweb"))
    civetweb.mg_version.restype = ctypes.c_char_p
    curl = ctypes.CDLL(linked_library(run.args.server, "libcurl"))
    curl.curl_version.restype = ctypes.c_char_p
    curl_version = curl.curl_version().decode().split()[0].split("/")[1]
    banner = ["FYI: VELD Modbus Weather Server, Version: 0.0.5.202",
              "FYI: VELD Modbus Stack, version: 2.3.6.0",
              "FYI: CivitWeb Version: " + civetweb.mg_version().decode(),
              "FYI: CURL Version: " + curl_version,
              "FYI: Open the SQLite database. File=[data.sqlite3]"]
    creation = ["Error: Can not open database file.", "FYI: Attempting to create a default database",
                "", "!" * 36, "!!! FYI: Empty database created  !!!", "!" * 36, ""]
    rest = ["FYI: Web server started on port http://127.0.0.1:8080", "FYI: Modbus ConnectionMax: 100", WAITING_LINE]

    def start_lines(text):
        lines = text.split("\n")
        return [line for line in lines[:lines.index(WAITING_LINE) + 1] if not line.startswith("FYI: SQL Query=")]

    expect(start_lines(server.log()) == banner + creation + rest, "first start logged:\n%s" % start_lines(server.log()))
    schema = run.sql("SELECT sql FROM sqlite_master WHERE name = 'Data'")
    expect(schema and "ModbusOffset INTEGER PRIMARY KEY AUTOINCREMENT" in schema[0][0], "Data table: %s" % schema)
    rows = run.sql("SELECT ModbusOffset, Name, Code, Value FROM Data ORDER BY ModbusOffset")
    expect(rows == [[str(i), INFO_NAMES[i], "0", str(INFO_VALUES[i])] for i in range(20)], "info rows: %s" % rows)

    code, read, output = mbpoll("-t", 4, "-r", 0, "-c", 20)
    expect(code == 0 and [read.get(i) for i in range(20)] == INFO_VALUES, "mbpoll FC3 0..19: %s" % output)
    client = modbus_client()
    counted = registers(client.read_input_registers(0, 20)) or []
    expect(counted[:3] + counted[5:] == INFO_VALUES[:3] + INFO_VALUES[5:], "FC4 of the info rows")
    client.close()
    # Registers 3 and 4 count this run's requests; the rest stays as it is.
    table = "SELECT * FROM Data WHERE ModbusOffset NOT IN (3, 4) ORDER BY ModbusOffset"
    before = run.sql(table)
    expect(run.sql("SELECT name FROM sqlite_master WHERE tbl_name = 'History' ORDER BY name")
           == [["History"], ["HistoryByCodeAndTime"], ["HistoryByTime"]], "the History table and its indexes")
    server.stop()
    # As a file of an earlier version: the second start adds the table.
    run.sql("DROP TABLE History")

    second = run.start_server()
    second_lines = start_lines(second.log())
    expect(second_lines == banner + rest, "second start logged:\n%s" % second_lines)
    expect("INSERT INTO Data" not in second.log().split(WAITING_LINE)[0], "the second start seeded rows")
    expect(run.sql("PRAGMA journal_mode") == [["wal"]], "the file is in WAL mode")
    code, read, output = mbpoll("-t", 3, "-r", 0, "-c", 5)
    expect(code == 0 and [read.get(i) for i in range(5)] == INFO_VALUES[:5], "mbpoll FC4 0..4: %s" % output)
    expect(run.sql(table) == before, "the second start changed the table")
    expect(run.sql("SELECT COUNT(*) FROM sqlite_master WHERE tbl_name = 'History'") == [["3"]],
           "the second start did not add the History table")


def device_identification(client, log):
    """Read Device Identification (43/14): what the server reports of itself."""
    from pymodbus.mei_message import ReadDeviceInformationRequest
    version = re.search(r"FYI: VELD Modbus Weather Server, Version: (\S+)", log)
    require(version, "no version in the banner")
    basic = {0: b"VELD", 1: b"VELD-MWS", 2: version.group(1).encode()}
    regular = {**basic, 4: b"VELD Modbus Weather Server"}
    for code, wanted in ((1, basic), (2, regular), (3, regular)):
        answer = client.execute(ReadDeviceInformationRequest(read_code=code, object_id=0))
        expect(not answer.isError() and answer.information == wanted and answer.conformity == 0x82
               and answer.more_follows == 0, "43/14 code %d: %s" % (code, getattr(answer, "information", answer)))
    answer = client.execute(ReadDeviceInformationRequest(read_code=4, object_id=4))
    expect(not answer.isError() and answer.information == {4: regular[4]}, "43/14 object 4 alone")
    expect(exception_code(client.execute(ReadDeviceInformationRequest(read_code=4, object_id=5))) == 2,
           "43/14 object 5, which is not set")
    expect(exception_code(client.execute(ReadDeviceInformationRequest(read_code=5, object_id=0))) == 3,
           "43/14 read device id code 5")


def registers_scenario(run):
    run.start_service()
    server = run.start_server()
    offsets = postal_lookup("90210")
    expect(sorted(offsets.values()) == list(range(20, 26)), "rows of the lookup: %s" % offsets)
    rows = {int(o): (n, v) for o, n, v in run.sql("SELECT ModbusOffset, Name, Value FROM Data WHERE ModbusOffset >= 20")}
    weather = [register_value(*rows[o]) for o in range(20, 26)]
    status, history = http("/history?postal=90210")
    temp = next(int(v) for n, v in rows.values() if n == "temp")
    expect(status == 200 and history["series"]["temp"]["points"][-1][1] == (temp - 65536 * (temp >= 32768)) / 10
           and "reading" not in json.dumps(history), "/history after the lookup: %s" % history)
    status, csv_text = http("/registers.csv", json_wanted=False)
    csv_lines = csv_text.split("\r\n")
    expect(status == 200 and csv_lines[0].startswith("pdu_address,address_5digit,address_6digit,")
           and len(csv_lines) == 2 + 26 and csv_lines[21].startswith("20,40021,400021,90210,"),
           "/registers.csv: %s" % (csv_lines[:3] + csv_lines[20:22]))

    client = modbus_client()
    expect(registers(client.read_holding_registers(20, 6)) == weather, "FC3 20..25 against %s" % weather)
    expect(registers(client.read_input_registers(20, 6)) == weather, "FC4 20..25 against %s" % weather)
    info = registers(client.read_holding_registers(0, 20)) or []
    expect(info[:3] + info[5:] == INFO_VALUES[:3] + INFO_VALUES[5:], "FC3 of the info rows")
    expect(registers(client.read_holding_registers(24, 4)) == weather[4:] + [BAD, BAD], "FC3 past the last row")
    expect(registers(client.read_input_registers(500, 1)) == [BAD], "FC4 of a register without a row")
    # Reads keep their transaction only while they stream in: a moment after
    # the last one, another program writes the file (waiting at most 50 ms,
    # which covers the server's once-a-second write of the message counts).
    time.sleep(0.05)
    outside = sqlite3.connect(run.database(), timeout=0.05)
    try:
        outside.execute("UPDATE Data SET Name = Name WHERE ModbusOffset = 0")
        outside.commit()
    except sqlite3.OperationalError as error:
        expect(False, "an outside write after the reads: %s" % error)
    finally:
        outside.close()

    code, _, output = mbpoll("-t", 4, "-r", 21, values=[1234])
    expect(code == 0 and value_column(run, 21) == 1234, "mbpoll FC6 at 21: %s" % output)
    expect(registers(client.read_holding_registers(21, 1)) == [1234], "reading back 21")
    expect(not client.write_registers(22, [7, 8, 9]).isError(), "FC16 at 22")
    expect([value_column(run, o) for o in (22, 23, 24)] == [7, 8, 9], "rows 22..24 after FC16")
    code, _, output = mbpoll("-t", 4, "-r", 20, values=[11, 12])
    expect(code == 0 and [value_column(run, o) for o in (20, 21)] == [11, 12], "mbpoll FC16 at 20: %s" % output)
    # FC23 writes before it reads: the read of 20..24 sees 23 and 24 as written.
    answer = registers(client.readwrite_registers(read_address=20, read_count=5, write_address=23,
                                                  write_registers=[41, 42]))
    expect(answer == [11, 12, 7, 41, 42], "FC23 write 23..24, read 20..24: %s" % answer)
    expect([value_column(run, o) for o in (23, 24)] == [41, 42], "rows 23..24 after FC23")
    device_identification(client, server.log())

    table = run.sql("SELECT * FROM Data WHERE ModbusOffset NOT IN (3, 4) ORDER BY ModbusOffset")  # 3, 4 count
    expect(exception_code(client.write_register(19, 1)) == 2, "FC6 at 19")
    code, _, output = mbpoll("-t", 4, "-r", 19, values=[1])
    expect(code != 0 and "Illegal data address" in output, "mbpoll FC6 at 19: %s" % output)
    expect(exception_code(client.write_registers(18, [1] * 5)) == 2, "FC16 at 18")
    expect(exception_code(client.write_registers(24, [1, 2, 3, 4])) == 2, "FC16 at 24 over rows 26 and 27")
    expect(exception_code(client.write_register(500, 1)) == 2, "FC6 at 500 without a row")
    expect(exception_code(client.write_coil(30, True)) == 1, "FC5 at 30")
    expect(exception_code(client.readwrite_registers(read_address=20, read_count=1, write_address=19,
                                                     write_registers=[1])) == 2, "FC23 writing 19")
    expect(run.sql("SELECT * FROM Data WHERE ModbusOffset NOT IN (3, 4) ORDER BY ModbusOffset") == table,
           "a refused write changed the table")
    client.close()

    raw = raw_connect()
    number = connection_id(server, raw)
    raw.sendall(read_request(0x0102, 20))
    answer = read_frame(raw)
    # Register 20 is temp, written 11 above: it reads back as written, under
    # the request's unit id.
    expect(answer == bytes([1, 2, 0, 0, 0, 5, 0xFF, 3, 2, 0, 11]), "raw FC3 at 20: %s" % dump(answer))
    log = server.log()
    expect("FYI: RX (%d): 01 02 00 00 00 06 FF 03 00 14 00 01 \n" % number in log, "the RX dump")
    expect("FYI: TX (%d): %s\n" % (number, dump(answer)) in log, "the TX dump")

    # Requests for unit 1 (mbpoll's default) go unanswered, and the log says
    # which units are answered: once, then again only a second later.
    def for_unit_1(transaction):
        return read_request(transaction, 20, unit=1)
    notice = ("FYI: A request for unit id [1] is not answered; this server answers unit ids 0 and 255. "
              "connectionId=[%d]\n" % number)
    raw.sendall(for_unit_1(3) + for_unit_1(4) + for_unit_1(5) + read_request(6, 20))
    answer = read_frame(raw)
    notices = server.log().count(notice)
    expect(answer[:2] == bytes([0, 6]) and notices == 1,
           "three requests for unit 1 at once: %s, %d notices" % (dump(answer), notices))
    time.sleep(1.1)
    raw.sendall(for_unit_1(7) + read_request(8, 20))
    answer = read_frame(raw)
    notices = server.log().count(notice)
    expect(answer[:2] == bytes([0, 8]) and notices == 2, "unit 1 a second later: %s, %d notices" % (dump(answer), notices))
    raw.close()
    code, _, output = mbpoll("-a", 1, "-o", 0.5, "-r", 20)
    expect(code != 0 and not re.search(r"^\[20\]:", output, re.M), "mbpoll -a 1 was answered: %s" % output)

    require(wait_count(server, 0), "the clients did not all go")
    mark = len(server.log())
    first = raw_connect()
    wait_count(server, 1)
    second = raw_connect()
    wait_count(server, 2)
    first.close()
    wait_count(server, 1)
    time.sleep(0.3)
    expect(count_lines(server.log()[mark:]) == [1, 2, 1], "count lines: %s" % count_lines(server.log()[mark:]))
    second.close()


def refresh(run):
    run.start_service()
    server = run.start_server()
    offsets = postal_lookup("90210")
    temp, humidity, pressure = offsets["temp"], offsets["humidity"], offsets["pressure"]
    client = modbus_client()

    run.sql("UPDATE Data SET LastUpdated = strftime('%%s','now') - 20 WHERE ModbusOffset = %d" % humidity)
    expect(not client.read_holding_registers(humidity, 1).isError(), "read of a fresh row")
    expect("ModbusAddress=[%d]" % humidity not in server.log(), "a row 20 s old was refreshed")

    run.sql("UPDATE Data SET Value = 9999, LastUpdated = strftime('%%s','now') - 3600 WHERE ModbusOffset = %d" % temp)
    answer = registers(client.read_holding_registers(temp, 1))
    expect("FYI: The data is too old, we need to update it. ModbusAddress=[%d]\n" % temp in server.log(),
           "no refresh line for the stale row")
    value, updated = run.sql("SELECT Value, LastUpdated FROM Data WHERE ModbusOffset = %d" % temp)[0]
    expect(int(value) != 9999 and int(updated) >= time.time() - 10, "the stale row was not refreshed: %s" % value)
    expect(answer == [register_value("temp", value)], "the answer %s is not the refreshed value %s" % (answer, value))

    # With the weather service gone, a stale row is answered as it stands,
    # and since its code was fetched, the refresher, not the read, tries
    # the service again.
    run.service.stop()
    run.sql("UPDATE Data SET Value = 4321, LastUpdated = 1000 WHERE ModbusOffset = %d" % pressure)
    expect(registers(client.read_holding_registers(pressure, 1)) == [4321], "stale row with the service down")
    expect(registers(client.read_holding_registers(pressure, 1)) == [4321], "second read with the service down")
    expect("ModbusAddress=[%d]" % pressure not in server.log(), "a read of a code kept fresh waited on the service")
    client.close()


def ended(raw, seconds):
    """True when the server ends the connection (end of stream or reset)
    within seconds, before sending anything."""
    raw.settimeout(seconds)
    try:
        return raw.recv(1) == b""
    except ConnectionResetError:
        return True
    except socket.timeout:
        return False


def refused_within(seconds):
    """Connects while every place is taken: True when the server closes the
    connection within seconds."""
    raw = raw_connect()
    try:
        return ended(raw, seconds)
    finally:
        raw.close()


def limits(run):
    """100 connections take every place: newcomers are closed at once while
    none has been idle for 10 s, then one takes the place of the connection
    without a request for longest."""
    run.start_service()
    server = run.start_server()
    clients = []
    while len(clients) < 100:  # a few at a time: the listen backlog holds 5
        clients += [raw_connect() for _ in range(4)]
        require(wait_count(server, len(clients)), "%d connections were not taken" % len(clients))
    opened = time.monotonic()
    refused_from = time.monotonic()
    expect(refused_within(2), "the first client past the limit was not closed within 2 s")
    expect(server.wait_log(REFUSED_LINE, 5), "no line for the refused client")
    for _ in range(7):
        expect(refused_within(2), "a client past the limit was not closed within 2 s")
        time.sleep(0.2)
    refused_for = time.monotonic() - refused_from
    log = server.log()
    expect(log.count(REFUSED_LINE) == 8, "%d refusal lines for 8 refused clients" % log.count(REFUSED_LINE))
    expect(1 <= log.count(MAX_LINE) <= int(refused_for) + 1, "%d \"Max connections reached\" lines in %.1f s"
           % (log.count(MAX_LINE), refused_for))
    clients[0].sendall(read_request(2, 2))
    expect(read_frame(clients[0]) == bytes([0, 2, 0, 0, 0, 5, 0xFF, 3, 2, 0, 5]), "a full table still serves")

    # The one wait of 10 s: the second connection has never sent a request;
    # the first was accepted earlier but has asked since.
    quiet = connection_id(server, clients[1])
    time.sleep(max(0.0, opened + 10.5 - time.monotonic()))
    started = time.monotonic()
    newcomer = raw_connect()
    newcomer.sendall(read_request(3, 1))
    answer = read_frame(newcomer, 2)
    print("newcomer answered in %.3f s with 100 connections idle for 10 s" % (time.monotonic() - started))
    expect(answer == bytes([0, 3, 0, 0, 0, 5, 0xFF, 3, 2, 0, 0]), "the newcomer was not answered: %s" % dump(answer))
    expect(ended(clients[1], 2), "the connection idle longest was not closed")
    evicted = re.findall(r"^CTCP::Accept - Closed the connection idle longest to make room\. connectionId=\[(\d+)\], "
                         r"idle=\[(\d+)\] s$", server.log(), re.M)
    expect([int(number) for number, _ in evicted] == [quiet] and all(int(idle) >= 10 for _, idle in evicted),
           "eviction lines: %s, wanted connection %d" % (evicted, quiet))
    samples = metric_samples()
    expect(samples[("veld_modbus_connections_evicted_total", ())] == 1
           and samples[("veld_modbus_connections_refused_total", ())] == 8, "/metrics: evicted %s, refused %s"
           % (samples[("veld_modbus_connections_evicted_total", ())],
              samples[("veld_modbus_connections_refused_total", ())]))
    for raw in clients + [newcomer]:
        raw.close()
    expect(wait_count(server, 0, timeout=20), "the connections were not all removed")


def exit_codes(run):
    for port, code, last in ((8080, 4, ["Error: Could not start web server"]),
                             (502, 5, ["", "Error: Can not listen to TCP port=[502]... "
                                           "Is there a Modbus server already running?"])):
        blocker = socket.socket()
        blocker.bind(("0.0.0.0", port))
        blocker.listen()
        for name in os.listdir(run.folder):
            if name.startswith("data.sqlite3"):
                os.remove(os.path.join(run.folder, name))
        server = run.start_server(ready=False)
        try:
            server.popen.wait(20)
        except subprocess.TimeoutExpired:
            pass
        lines = server.log().rstrip("\n").split("\n")
        expect(server.popen.returncode == code, "with port %d taken the exit code is %s" % (port, server.popen.returncode))
        expect(lines[-len(last):] == last, "with port %d taken the log ends %s" % (port, lines[-3:]))
        if port == 8080:
            expect(WAITING_LINE not in server.log() and not port_open(502), "the Modbus port was opened")
            refusal = [line for line in lines if line.startswith("Error: Can not start the web server on [0.0.0.0:8080]: ")]
            expect(len(refusal) == 1 and "Address already in use" in refusal[0],
                   "a web port in use names the system's reason: %s" % lines[-3:])
        blocker.close()

    # One server per database file: a second one on the file of a running
    # server exits with 2 and names the file and the first server; once the
    # first is killed outright, the system's lock is gone with it.
    first = run.start_server(log_name="first.log")
    second = run.start_server(ready=False, log_name="second.log",
                              arguments=["--modbus-listen", "127.0.0.1:1502", "--web-listen", "127.0.0.1:8088"])
    try:
        second.popen.wait(20)
    except subprocess.TimeoutExpired:
        pass
    refusal = [line for line in second.log().split("\n") if line.startswith("Error: ")]
    expect(second.popen.returncode == 2, "a second server on the file exits with %s" % second.popen.returncode)
    expect(len(refusal) == 1 and "[data.sqlite3]" in refusal[0] and "pid=[%d]" % first.popen.pid in refusal[0]
           and "name=[%s]" % os.path.basename(run.args.server)[:15] in refusal[0],
           "the refusal names the file and the first server: %s" % refusal)
    client = modbus_client()
    expect(registers(client.read_holding_registers(0, 3)) == INFO_VALUES[:3], "the first server stopped answering")
    client.close()
    first.popen.kill()
    first.popen.wait(5)
    third = run.start_server(log_name="third.log")
    expect(third.alive() and "Error: " not in third.log(), "a server after the killed one: %s" % third.log()[-500:])


def options(run):
    """The command line and the configuration file, through the real binary."""
    code, out, err = run.run_server("--help")
    expect(code == 0 and all("--" + key in out for key in CONFIG_KEYS + ["config", "no-browser", "version"])
           and "0.0.0.0:502" in out, "--help: %s %s" % (code, out + err))
    code, out, _ = run.run_server("-V")
    expect(code == 0 and out.startswith("veld-weather-server 0.0.5.202\nVELD Modbus Stack 2.3.6.0\nSQLite 3."),
           "--version: %s %s" % (code, out))
    with open(os.path.join(run.folder, "unknown.conf"), "w") as conf:
        conf.write("; a comment\nlog-level = info\ncolour = blue\n")
    with open(os.path.join(run.folder, "malformed.conf"), "w") as conf:
        conf.write("# a comment\n\nmodbus-listen = 127.0.0.1:1502\nthis line has no value\n")
    for arguments, names in ((["--bogus"], "--bogus"), (["--max-connections", "0"], "--max-connections"),
                             (["--modbus-listen", "localhost:502"], "--modbus-listen"),
                             (["--log-level", "verbose"], "--log-level"),
                             (["--history-days", "3651"], "--history-days"), (["--weather-url", "ftp://x"], "--weather-url"),
                             (["--max-postal-codes", "65537"], "--max-postal-codes"),
                             (["--config", "missing.conf"], "missing.conf"), (["--config", "unknown.conf"], "unknown.conf:3"),
                             (["--config", "malformed.conf"], "malformed.conf:4"),
                             (["--web-auth", "missing.htdigest"], "--web-auth: cannot read the password file"),
                             (["--web-allowed-hosts", "a,b c"], "--web-allowed-hosts"),
                             (["--web-threads", "0"], "--web-threads"),
                             (["--metrics-listen", "127.0.0.1"], "--metrics-listen"),
                             (["--modbus-framing", "rtu"], "--modbus-framing"),
                             (["--rtu-parity", "X"], "--rtu-parity"),
                             (["--modbus-listen", "::1:502"], "--modbus-listen"), (["--unit-id", "300"], "--unit-id"),
                             (["--unit-id", "1,,2"], "--unit-id"), (["--device-name", "x" * 245], "--device-name")):
        code, out, err = run.run_server(*arguments)
        expect(code == 64 and out == "" and err.count("\n") == 1 and names in err,
               "%s: exit %s, %r %r" % (arguments, code, out, err))
    expect(not os.path.exists(run.database()) and not port_open(502) and not port_open(8080),
           "a refused command line started something")

    # The file sets everything; the command line wins for the web address.
    run.service = Process([run.args.service, "--listen", HOST + ":18181"], run.folder, "service.log")
    run.processes.append(run.service)
    require(wait_until(lambda: port_open(18181), 10), "the weather service did not come up")
    os.mkdir(os.path.join(run.folder, "state"))
    with open(os.path.join(run.folder, "server.conf"), "w") as conf:
        conf.write("modbus-listen = 127.0.0.1:1502\nweb-listen = 127.0.0.1:18080\ndatabase = state/weather.db\n"
                   "weather-url = http://127.0.0.1:18181/\nmax-connections = 2\nhistory-days = 30\nlog-level = info\n"
                   "no-browser = true\n")
    server = run.start_server(arguments=["--config", "server.conf", "--web-listen", "127.0.0.1:0"],
                              waiting_line="FYI: Waiting on TCP connection TCP port=[1502]... ")
    started = re.search(r"^FYI: Web server started on port http://127\.0\.0\.1:(\d+)$", server.log(), re.M)
    require(started and int(started.group(1)) not in (0, 8080, 18080), "web address line: %s" % server.log()[:2000])
    web_port = int(started.group(1))
    expect("FYI: Modbus ConnectionMax: 2\n" in server.log(), "the connection limit from the file")
    request = urllib.request.Request("http://%s:%d/?postal=90210" % (HOST, web_port), headers={"Accept": "application/json"})
    with urllib.request.urlopen(request, timeout=10) as answer:
        rows = json.loads(answer.read().decode())
    expect(len(rows) == 6 and os.path.exists(os.path.join(run.folder, "state", "weather.db")),
           "the lookup through the configured weather service into the configured file: %s" % rows)
    code, read, output = mbpoll("-p", 1502, "-r", 20, "-c", 6)
    expect(code == 0 and len(read) == 6, "mbpoll on the configured port: %s" % output)
    log = server.log()
    expect("FYI: VELD Modbus Weather Server, Version: 0.0.5.202" in log and "FYI: RX (" not in log
           and "FYI: TX (" not in log and "SQL Query=" not in log, "the log at info:\n%s" % log[-2000:])
    server.popen.send_signal(signal.SIGTERM)
    expect(server.popen.wait(10) == 0 and server.log().rstrip("\n").split("\n")[-1] == "FYI: Stopping on SIGTERM",
           "SIGTERM: exit %s, log ends %s" % (server.popen.returncode, server.log()[-200:]))

    # At warning a refused client is written and progress is not; at error
    # neither is. Start-up failures name their cause.
    cross_site = ["-H", "Accept: application/json", "-H", "Origin: http://evil.example", "http://%s:8080/?action=write&id=20&value=1" % HOST]
    for level, logged in (("warning", True), ("error", False)):
        quiet = run.start_server(arguments=["--log-level", level, "--database", "state/weather.db"], ready=False,
                                 log_name="server-%s.log" % level)
        require(wait_until(lambda: port_open(502) and port_open(8080), 10), "the server at %s did not come up" % level)
        expect(mbpoll("-r", 20, "-c", 2)[0] == 0, "a read at %s" % level)
        status = curl(*cross_site)[0]
        expect(status == 403, "a cross-site write at %s is refused: %s" % (level, status))
        quiet.popen.send_signal(signal.SIGTERM)
        refusal = "Error: action=write from [127.0.0.1] refused: Origin "
        expect(quiet.popen.wait(10) == 0 and (refusal in quiet.log()) == logged and "FYI" not in quiet.log(),
               "the log at %s: %r" % (level, quiet.log()[:500]))
    code, out, _ = run.run_server("--no-browser", "--database", "no/such/folder/data.sqlite3")
    expect(code == 2 and "Error: Can not create the database file [no/such/folder/data.sqlite3]: " in out,
           "a database in a missing folder: %s %s" % (code, out[-500:]))
    blocker = socket.socket()
    blocker.bind((HOST, 1503))
    blocker.listen()
    code, out, _ = run.run_server("--no-browser", "--modbus-listen", "127.0.0.1:1503", "--web-listen", "127.0.0.1:0")
    expect(code == 5 and "Error: Can not listen to TCP address=[127.0.0.1:1503]: Address already in use" in out,
           "a Modbus port in use: %s %s" % (code, out[-500:]))
    blocker.close()
    web_guards(run)


def curl(*arguments):
    """Status code and body of a curl request."""
    done = subprocess.run(["curl", "-sS", "-o", "-", "-w", "\n%{http_code}"] + list(arguments),
                          capture_output=True, text=True, timeout=20)
    body, _, status = done.stdout.rpartition("\n")
    return int(status or 0), body


def worker_threads(server):
    """The names of the server's threads that CivetWeb runs requests on."""
    folder = "/proc/%d/task" % server.popen.pid
    names = []
    for task in os.listdir(folder):
        with open(os.path.join(folder, task, "comm")) as comm:
            names.append(comm.read().strip())
    return [name for name in names if name.startswith("civetweb-work")]


def web_guards(run):
    """Digest authentication from the file's web-auth and the cross-site
    guard, with curl; the monitoring port beside it without credentials."""
    realm = "veld-weather-server"
    ha1 = hashlib.md5(("operator:%s:s3cret" % realm).encode()).hexdigest()
    with open(os.path.join(run.folder, "users.htdigest"), "w") as users:
        users.write("operator:%s:%s\n" % (realm, ha1))
    with open(os.path.join(run.folder, "guarded.conf"), "w") as conf:
        conf.write("web-auth = users.htdigest\nweb-allowed-hosts = weather.example\nno-browser = true\n"
                   "web-threads = 3\n")
    server = run.start_server(arguments=["--config", "guarded.conf", "--web-listen", "127.0.0.1:18082",
                                         "--modbus-listen", "127.0.0.1:1504", "--database", "state/weather.db",
                                         "--metrics-listen", "127.0.0.1:9502"],
                              waiting_line="FYI: Waiting on TCP connection TCP port=[1504]... ")
    # Three workers of the web port and the monitoring port's own four.
    expect(len(worker_threads(server)) == 3 + 4, "worker threads: %s" % worker_threads(server))
    monitoring_port = "http://127.0.0.1:9502"
    status, body = curl(monitoring_port + "/metrics")
    expect(status == 200 and "veld_web_requests_total" in body, "/metrics without credentials: %s" % status)
    status, body = curl(monitoring_port + "/healthz")
    expect(status == 200 and json.loads(body)["status"] == "ok", "/healthz without credentials: %s %s"
           % (status, body))
    for path, method, wanted in (("/", "GET", 404), ("/registers.json", "GET", 404), ("/metrics", "POST", 405)):
        status, _ = curl("-X", method, monitoring_port + path)
        expect(status == wanted, "%s %s on the monitoring port: %s" % (method, path, status))
    base = "http://127.0.0.1:18082"
    json_accept = ["-H", "Accept: application/json"]
    login = ["--digest", "-u", "operator:s3cret"]
    expect(curl(base + "/healthz")[0] == 401, "no credentials: not 401")
    expect(curl(*login[:-1], "operator:wrong", base + "/healthz")[0] == 401, "a wrong password: not 401")
    status, body = curl(*login, *json_accept, base + "/?action=write&id=20&value=-170")
    expect(status == 200 and json.loads(body)[0]["Value"] == "65366", "an authorised write: %s %s" % (status, body))
    status, body = curl(*login, *json_accept, "-H", "Origin: http://evil.example", base + "/?action=write&id=20&value=1")
    expect(status == 403 and server.wait_log("Error: action=write from [127.0.0.1] refused: Origin "
                                             "[http://evil.example] names another host than Host [127.0.0.1:18082]\n",
                                             5), "a foreign Origin: %s %s" % (status, body))
    status, _ = curl(*login, *json_accept, "-H", "Host: weather.example:18082", base + "/?action=write&id=20&value=2")
    expect(status == 200, "an allowed host name: %s" % status)
    expect(curl(*login, "-X", "PUT", base + "/?action=write&id=20&value=3")[0] == 405, "PUT: not 405")
    with sqlite3.connect(os.path.join(run.folder, "state", "weather.db"), timeout=5) as db:
        value = db.execute("SELECT Value FROM Data WHERE ModbusOffset = 20").fetchall()
    expect(value == [(2,)], "the register after the guards: %s" % value)
    server.popen.send_signal(signal.SIGTERM)
    expect(server.popen.wait(10) == 0, "SIGTERM with the guards")


def mends(run):
    run.start_service()
    server = run.start_server()

    raw = raw_connect()
    number = connection_id(server, raw)
    request = read_request(7, 2)
    raw.sendall(request[:5])
    time.sleep(0.2)
    raw.sendall(request[5:])
    expect(read_frame(raw) == bytes([0, 7, 0, 0, 0, 5, 0xFF, 3, 2, 0, 5]), "the split request")
    expect(read_frame(raw, 0.3) == b"", "the split request was answered twice")
    expect(server.log().count("FYI: RX (%d): %s\n" % (number, dump(request))) == 1, "the split request's RX line")
    raw.sendall(read_request(8, 0) + read_request(9, 2))
    expect([read_frame(raw)[:2], read_frame(raw)[:2]] == [b"\0\x08", b"\0\x09"], "two requests in one segment")
    foreign = bytes([0, 10, 0, 1, 0, 6, 0xFF, 3, 0, 0, 0, 1])
    raw.sendall(foreign)
    time.sleep(0.2)
    raw.sendall(read_request(11, 2))
    expect(read_frame(raw)[:2] == b"\0\x0b", "the request after an unusable header")
    expect("FYI: RX (%d): %s\n" % (number, dump(foreign)) in server.log(), "the unusable header's RX line")

    # Idle with one silent client: keep-alive armed, next to no CPU, and a
    # request is answered at once all the same.
    time.sleep(0.5)
    ss = subprocess.run(["ss", "-tnoH", "state", "established", "( sport = :502 )"],
                        capture_output=True, text=True, timeout=10).stdout
    timer = re.search(r"timer:\(keepalive,(\d+)sec", ss)
    expect(timer and 50 <= int(timer.group(1)) <= 60, "keep-alive of the accepted socket: %s" % ss.strip())
    before = server.cpu_seconds()
    time.sleep(3)
    used = server.cpu_seconds() - before
    expect(used < 0.3, "an idle server used %.2f s of CPU in 3 s" % used)
    latencies = []
    for transaction in range(20, 27):
        time.sleep(0.25)
        start = time.monotonic()
        raw.sendall(read_request(transaction, 2))
        answered = read_frame(raw)[:2] == bytes([0, transaction])
        latencies.append(time.monotonic() - start if answered else 99)
    expect(statistics.median(latencies) < 0.05, "answers to an idle server took %s s" % latencies)
    raw.close()

    # A client that leaves before its answers: the weather service is swapped
    # for one that never answers, so each read of a stale row holds the loop
    # for the fetch's time-out while the client resets. Two answers go to the
    # dead connection: the first send meets the reset, the second a broken
    # pipe. (The web server library ignores SIGPIPE for the whole process;
    # the unit tests check the transport's own guard.)
    offsets = postal_lookup("90210")
    run.service.stop()
    silent = socket.socket()
    silent.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    silent.bind((HOST, 8081))
    silent.listen(16)
    run.sql("UPDATE Data SET LastUpdated = 1000 WHERE ModbusOffset = %d" % offsets["temp"])
    leaving = raw_connect()
    leaving.sendall(read_request(30, offsets["temp"]) + read_request(31, offsets["temp"]))
    time.sleep(0.3)
    leaving.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    leaving.close()
    expect(wait_until(lambda: server.log_now().count(SEND_FAILED) >= 2 or not server.alive(), 10) and server.alive(),
           "the server did not survive a client that left (exit %s)" % server.popen.poll())
    expect(server.log().count(SEND_FAILED) == 2, "%d failed sends" % server.log().count(SEND_FAILED))
    after = raw_connect()
    after.sendall(read_request(40, 500))
    expect(read_frame(after) == bytes([0, 40, 0, 0, 0, 5, 0xFF, 3, 2, 0x0B, 0xAD]), "served after the client left")
    after.close()
    silent.close()


# The soak's postal codes, and how the weather service answers each code's
# requests in turn: the 2nd of every 5 with 404 and [], the 5th with 500 and
# every reading at ScriptedWeather.ABSURD.
SOAK_CODES = ["11111", "22222", "33333", "44444", "55555"]
SOAK_FAILURES = ["ok", 404, "ok", "ok", 500]
SOAK_SERVICE_DELAY = 0.2
SOAK_MODBUS_WRITERS = 10
SOAK_MODBUS_READERS = 4
SOAK_WEB_WRITERS = 2
SOAK_LOOKUPS = 3
SOAK_HISTORY_READERS = 2
SOAK_AGE_EVERY = 1.0  # seconds between agings of a code's rows
SOAK_AGE_HOLD = 0.05  # seconds the aging holds the write lock
BUSY = 6  # Modbus exception: the server could not take the write in time


class SoakLayout:
    """The rows of the soak: the weather rows of SOAK_CODES (offset -> name),
    the words an answer of the service stores for each name, and the rows
    the Modbus and web writers own."""

    def __init__(self, weather, words, modbus_rows, web_rows):
        self.weather, self.words = weather, words
        self.modbus_rows, self.web_rows = modbus_rows, web_rows


class SoakBook:
    """What the writers sent: per row, the last value acknowledged and the
    values sent since without an answer (one of them may have been applied)."""

    def __init__(self, rows):
        self.lock = threading.Lock()
        self.confirmed = {row: 0 for row in rows}
        self.unsure = {row: set() for row in rows}
        self.acknowledged = 0

    def sending(self, row, value):
        with self.lock:
            self.unsure[row].add(value)

    def acknowledge(self, row, value):
        with self.lock:
            self.confirmed[row], self.unsure[row] = value, set()
            self.acknowledged += 1

    def refused(self, row, value):
        """An answer that says the write was not done (busy)."""
        with self.lock:
            self.unsure[row].discard(value)

    def allowed(self, row):
        with self.lock:
            return {self.confirmed[row]} | self.unsure[row]


def soak_prepare(run):
    """Starts the weather service (well-behaved for now) and the server, looks
    up SOAK_CODES and adds the writers' rows."""
    fake = ScriptedWeather(delay=SOAK_SERVICE_DELAY)
    server = run.start_server()
    weather = {}
    for code in SOAK_CODES:
        weather.update({offset: name for name, offset in postal_lookup(code).items()})
    words = {name: int(value) for name, value in
             run.sql("SELECT DISTINCT Name, Value FROM Data WHERE Code = '%s'" % SOAK_CODES[0])}
    require(sorted(words) == sorted(ScriptedWeather.READINGS) and len(weather) == 5 * len(SOAK_CODES),
            "rows of the lookups: %s, words %s" % (weather, words))
    rows = []
    for i in range(SOAK_MODBUS_WRITERS + SOAK_WEB_WRITERS):
        status, added = http("/?action=add&value=0&name=soak.%d" % i)
        require(status == 200 and added, "add answered %s" % added)
        rows.append(int(added[0]["ModbusOffset"]))
    return fake, server, SoakLayout(weather, words, rows[:SOAK_MODBUS_WRITERS], rows[SOAK_MODBUS_WRITERS:])


def soak_load(run, server, layout, book, seconds, kill_at=None):
    """Runs the mixed load on server for seconds: FC6/FC16 writers with
    read-back, FC3/FC4 readers of the weather rows, web writers, postal
    lookups and /history readers. With kill_at, the server is killed with
    SIGKILL that many seconds in, and the workers stop there: what failed
    from then on is the kill's doing. Returns the load's figures."""
    clients = []
    # Connected one by one before the clock starts: a burst of connects
    # overflows the listen backlog of 5, and the kernel's retries then hold
    # the first requests back for seconds.
    for _ in range(SOAK_MODBUS_WRITERS + SOAK_MODBUS_READERS):
        clients.append(modbus_client())
        require(wait_count(server, len(clients)), "client %d was not accepted" % len(clients))
    started = time.monotonic()
    deadline = started + seconds
    killed = threading.Event()
    stats = [{"answered": 0, "unanswered": 0, "wrong": [], "slowest": 0.0, "unconnected": 0} for _ in clients]
    web = {"answered": 0, "problems": []}
    weather_first = min(layout.weather)
    weather_count = max(layout.weather) - weather_first + 1
    weather_words = [layout.words[layout.weather[o]] if o in layout.weather else BAD
                     for o in range(weather_first, weather_first + weather_count)]

    def running():
        return time.monotonic() < deadline and not killed.is_set()

    def call_modbus(mine, call):
        """The answer, or None when none came (the connection is then dropped)."""
        begun = time.monotonic()
        try:
            response = call()
        except Exception:  # pymodbus raises on a broken connection
            response = None
        mine["slowest"] = max(mine["slowest"], time.monotonic() - begun)
        if response is None or (response.isError() and exception_code(response) is None):
            if not killed.is_set():
                mine["unanswered"] += 1
            return None
        mine["answered"] += 1
        return response

    def reconnected(client, mine):
        """The worker's client, or a new connection when it has none; None
        (after a pause) when connecting failed."""
        if client is not None:
            return client
        try:
            return modbus_client()
        except Failed:
            mine["unconnected"] += 1
            time.sleep(0.5)
            return None

    def modbus_writer(index):
        row, mine, client, n = layout.modbus_rows[index], stats[index], clients[index], 0
        while running():
            client = reconnected(client, mine)
            if client is None:
                continue
            n += 1
            value = (index * 1000 + n) & 0xFFFF
            function = 16 if n % 2 else 6
            book.sending(row, value)
            response = call_modbus(mine, lambda: client.write_registers(row, [value]) if function == 16
                                   else client.write_register(row, value))
            if response is not None and response.isError():
                if exception_code(response) == BUSY:
                    book.refused(row, value)
                else:
                    mine["wrong"].append("FC%d exception %s" % (function, exception_code(response)))
                continue
            if response is not None:
                book.acknowledge(row, value)
                response = call_modbus(mine, lambda: client.read_holding_registers(row, 1))
                if response is not None and registers(response) != [value] and not killed.is_set():
                    mine["wrong"].append("read back %s after writing %d" % (registers(response), value))
            if response is None:
                # No answer within the client's time-out: start afresh on a
                # new connection, as a Modbus master would.
                client.close()
                client = None
        if client is not None:
            client.close()

    def modbus_reader(index):
        mine, client, n = stats[index], clients[index], 0
        while running():
            client = reconnected(client, mine)
            if client is None:
                continue
            n += 1
            function = 4 if n % 2 else 3
            response = call_modbus(mine, lambda: client.read_input_registers(weather_first, weather_count)
                                   if function == 4 else client.read_holding_registers(weather_first, weather_count))
            if response is None:
                client.close()
                client = None
                continue
            if response.isError():
                mine["wrong"].append("FC%d exception %s" % (function, exception_code(response)))
            elif registers(response) != weather_words:
                mine["wrong"].append("weather rows %s, stored by the service's answers %s"
                                     % (registers(response), weather_words))
        if client is not None:
            client.close()

    def note_web(path, good, status):
        if good:
            web["answered"] += 1
        elif not killed.is_set():
            web["problems"].append("%s: %s" % (path, status))

    def get(path, accept="application/json"):
        try:
            return scrape(path, accept)
        except Exception as error:
            return repr(error), None, ""

    def web_writer(index):
        row, n = layout.web_rows[index], 0
        while running():
            n += 1
            value = (40000 + index * 10000 + n) & 0xFFFF
            path = "/?action=write&id=%d&value=%d" % (row, value)
            book.sending(row, value)
            status, _, body = get(path)
            if status == 503:
                book.refused(row, value)
                continue
            good = status == 200 and '"Value":"%d"' % value in body
            if good:
                book.acknowledge(row, value)
            note_web(path, good, "%s %s" % (status, body[:200]))

    def lookup(index):
        n = index
        while running():
            n += 1
            code = SOAK_CODES[n % len(SOAK_CODES)]
            path = "/?postal=" + code
            status, _, body = get(path)
            try:
                shown = {row["Name"]: int(row["Value"]) for row in json.loads(body)} if status == 200 else {}
            except ValueError:
                shown = {}
            if status == 503:  # the store did not get the write lock in time
                continue
            note_web(path, status == 200 and shown == layout.words,
                     "%s, rows %s against the service's %s" % (status, shown, layout.words))
            if n % 4 == 0:
                status, _, body = get("/?limit=10&offset=%d" % (n % 40))
                note_web("/?limit=10", status == 200 and body.startswith("["), status)
                status, _, body = get("/db", "text/html")
                note_web("/db", status == 200 and "<table" in body, status)

    def history(index):
        n = index
        while running():
            n += 1
            code = SOAK_CODES[n % len(SOAK_CODES)]
            path = "/history?postal=%s&hours=168" % code
            status, _, body = get(path)
            try:
                series = json.loads(body)["series"] if status == 200 else {}
                values = {name: {point[1] for point in entry["points"]} for name, entry in series.items()}
            except (ValueError, KeyError, TypeError, IndexError):
                values = None
            # The view shows the names it knows a unit of; each reading as the service sent it.
            note_web(path, values and all(shown == {ScriptedWeather.VALUE} for shown in values.values()),
                     "%s, values %s" % (status, values))

    def ager():
        """Ages one code's rows every so often, as another program might, in a
        write transaction held for a moment, as a slow disk's commit would
        hold it: the next read of the code fetches, and when that fetch
        fails, leaves the code to the refresher, so that the refresher's
        stores meet the lookups' and each other's, and all of them meet a
        writer that keeps the write lock a while."""
        n = 0
        while running():
            time.sleep(SOAK_AGE_EVERY)
            n += 1
            try:
                database = sqlite3.connect(run.database(), timeout=5, isolation_level=None)
                database.execute("BEGIN IMMEDIATE")
                database.execute("UPDATE Data SET LastUpdated = 0 WHERE Code = ?", (SOAK_CODES[n % len(SOAK_CODES)],))
                time.sleep(SOAK_AGE_HOLD)
                database.execute("COMMIT")
                database.close()
            except sqlite3.Error:
                pass

    writers = [threading.Thread(target=modbus_writer, args=(i,)) for i in range(SOAK_MODBUS_WRITERS)]
    threads = writers + [threading.Thread(target=modbus_reader, args=(SOAK_MODBUS_WRITERS + i,))
                         for i in range(SOAK_MODBUS_READERS)]
    threads += [threading.Thread(target=web_writer, args=(i,)) for i in range(SOAK_WEB_WRITERS)]
    threads += [threading.Thread(target=lookup, args=(i,)) for i in range(SOAK_LOOKUPS)]
    threads += [threading.Thread(target=history, args=(i,)) for i in range(SOAK_HISTORY_READERS)]
    threads.append(threading.Thread(target=ager))
    for thread in threads:
        thread.start()
    figures = {"metrics": None}
    if kill_at is not None:
        time.sleep(max(0.0, started + kill_at - time.monotonic()))
        figures["metrics"] = fetch_counts(server)
        killed.set()
        server.popen.kill()
        server.popen.wait(10)
    for thread in threads:
        thread.join(max(1.0, deadline - time.monotonic()) + 30)
    figures.update(stats=stats, web=web, hung=sum(thread.is_alive() for thread in threads))
    if kill_at is None:
        figures["metrics"] = fetch_counts(server)
    print("soak load: %d Modbus answers, %d web answers, %d writes acknowledged in all"
          % (sum(s["answered"] for s in stats), web["answered"], book.acknowledged), flush=True)
    return figures


def fetch_counts(server):
    """The server's count of fetches that passed for readings, and the
    weather service's count of 2xx answers given up to then."""
    try:
        samples = metric_samples()
        passed = samples.get(("veld_weather_fetches_total", (("outcome", "ok"),)))
    except Exception as error:  # noqa: BLE001 - the figure is then missing
        passed = repr(error)
    time.sleep(0.3)  # an answer the server counted is counted by the service by now
    return passed


def soak_checks(run, layout, book, fake, label):
    """What must hold of the file and the registers after a phase."""
    duplicates = run.sql("SELECT Code, Name, COUNT(*) FROM Data WHERE Code <> '0' GROUP BY Code, Name "
                         "HAVING COUNT(*) > 1")
    expect(not duplicates, "%s: (Code, Name) with more than one row: %s" % (label, duplicates))
    codes = ",".join("'%s'" % code for code in SOAK_CODES)
    stored = run.sql("SELECT Name, Value, COUNT(*) FROM Data WHERE Code IN (%s) GROUP BY Name, Value" % codes)
    foreign = [row for row in stored if layout.words.get(row[0]) != int(row[1])]
    expect(not foreign, "%s: Data rows of the soak's codes not from a good answer (name, word, rows): %s; "
           "a good answer stores %s" % (label, foreign, layout.words))
    kept = run.sql("SELECT Name, Word, COUNT(*) FROM History WHERE PostalCode IN (%s) GROUP BY Name, Word" % codes)
    foreign = [row for row in kept if layout.words.get(row[0]) != int(row[1])]
    expect(not foreign, "%s: History readings not from a good answer (name, word, readings): %s"
           % (label, foreign))
    client = modbus_client()
    try:
        read = {row: (registers(client.read_holding_registers(row, 1)) or [None])[0]
                for row in layout.modbus_rows + layout.web_rows}
    finally:
        client.close()
    lost = {row: (value, sorted(book.allowed(row))) for row, value in read.items() if value not in book.allowed(row)}
    expect(not lost, "%s: rows that do not read back the last acknowledged write (or one sent since without "
           "an answer), row: (read, allowed): %s" % (label, lost))
    expect(run.sql("PRAGMA integrity_check") == [["ok"]], "%s: integrity check of the file" % label)


def soak_figures(label, figures, fake, ok_answers_before):
    stats, web = figures["stats"], figures["web"]
    expect(figures["hung"] == 0, "%s: %d soak threads hung" % (label, figures["hung"]))
    expect(all(s["unanswered"] == 0 for s in stats),
           "%s: Modbus requests without an answer within 3 s, per client: %s; slowest answers: %s"
           % (label, [s["unanswered"] for s in stats], ["%.1f" % s["slowest"] for s in stats]))
    expect(all(s["unconnected"] == 0 for s in stats), "%s: failed reconnects: %s"
           % (label, [s["unconnected"] for s in stats]))
    wrong = [w for s in stats for w in s["wrong"]]
    expect(not wrong, "%s: %d wrong Modbus answers, the first: %s" % (label, len(wrong), wrong[:5]))
    expect(not web["problems"], "%s: %d web problems, the first: %s" % (label, len(web["problems"]),
                                                                       web["problems"][:5]))
    passed, given = figures["metrics"], fake.answered(200) - ok_answers_before
    expect(isinstance(passed, float) and passed <= given,
           "%s: the server took %s fetches for readings, the service gave %d 2xx answers" % (label, passed, given))


def soak(run):
    """Modbus, web and weather load at once against a slow weather service
    that fails some answers, for VELD_SOAK_SECONDS; then the same load on a
    restarted server killed with SIGKILL in the middle of it. Neither phase
    may leave a second row of one (Code, Name), a reading of a failed answer,
    a lost acknowledged write or a damaged file."""
    seconds = float(os.environ.get("VELD_SOAK_SECONDS", "60"))
    fake, server, layout = soak_prepare(run)
    try:
        fake.failures = SOAK_FAILURES
        book = SoakBook(layout.modbus_rows + layout.web_rows)
        # The server has counted every answer of the service so far.
        figures = soak_load(run, server, layout, book, seconds)
        expect(server.alive(), "the server died during the soak")
        soak_figures("soak", figures, fake, 0)
        broken = [line for line in server.log().split("\n") if re.match(r"FYI: [RT]X \(", line)
                  and not re.fullmatch(r"FYI: [RT]X \(\d+\): (?:[0-9A-F]{2} )*", line)]
        expect(not broken, "dump lines broken up by other threads' lines: %s" % broken[:3])
        soak_checks(run, layout, book, fake, "soak")
        server.stop()

        # The crash: the same load on the same file, the server killed in
        # the middle of it, then started again.
        crashed = run.start_server(log_name="server-crashed.log")
        before, acknowledged = fake.answered(200), book.acknowledged
        figures = soak_load(run, crashed, layout, book, 15, kill_at=7)
        expect(crashed.popen.returncode == -signal.SIGKILL, "the server ended with %s before its kill"
               % crashed.popen.returncode)
        soak_figures("before the kill", figures, fake, before)
        expect(book.acknowledged > acknowledged, "no write was acknowledged before the kill")
        run.start_server(log_name="server-restarted.log")
        soak_checks(run, layout, book, fake, "after the kill")
    finally:
        fake.close()


def availability(run):
    """A slow or hanging weather service, the info rows, a locked database and
    what the weather service may answer: the Modbus service stays available
    and no failure passes for data."""
    fake = ScriptedWeather()
    codes = ["C%02d" % i for i in range(21)]
    database = sqlite3.connect(run.database())
    database.execute("CREATE TABLE IF NOT EXISTS Data (ModbusOffset INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT, "
                     "Code TEXT, Value INTEGER, LastUpdated INTEGER);")
    rows = [(i, INFO_NAMES[i], "0", INFO_VALUES[i], 1000) for i in range(20)]
    rows += [(20 + i, ScriptedWeather.READINGS[i % 5], codes[i // 5], i, 1000) for i in range(105)]
    rows += [(200, "temp", "FRESH", 7, int(time.time()) + 3600)]
    database.executemany("INSERT INTO Data VALUES (?, ?, ?, ?, ?)", rows)
    database.commit()
    database.close()
    server = run.start_server()
    poller, reader = modbus_client(), modbus_client()
    try:
        for _ in range(20):
            expect(registers(reader.read_holding_registers(0, 20)) is not None, "a read of the info rows")
        expect(fake.requests_for("0") == 0, "the info rows were fetched %d times" % fake.requests_for("0"))

        # The service hangs: one read over 21 stale codes waits one time-out
        # in all, the next none, and another client is not held up longer.
        fake.mode = "hang"
        delays, stop = [], threading.Event()

        def poll():
            while not stop.is_set():
                start = time.monotonic()
                answer = poller.read_holding_registers(200, 1)
                delays.append(time.monotonic() - start if not answer.isError() else 99)
                time.sleep(0.01)
        polling = threading.Thread(target=poll)
        polling.start()
        time.sleep(0.2)
        start = time.monotonic()
        first = registers(reader.read_holding_registers(20, 105))
        first_took = time.monotonic() - start
        start = time.monotonic()
        second = registers(reader.read_holding_registers(20, 105))
        second_took = time.monotonic() - start
        time.sleep(0.5)
        stop.set()
        polling.join(10)
        stored = [register_value(ScriptedWeather.READINGS[i % 5], i) for i in range(105)]
        expect(first == stored and second == first, "stale rows as they stand: %s" % first)
        expect(first_took < 2.0 and second_took < 0.5, "reads over hanging codes took %.2f s, then %.2f s"
               % (first_took, second_took))
        expect(delays and max(delays) < 2.0, "the other client waited up to %.2f s" % max(delays or [99]))

        # Healthy again: the refresher brings every code back without a read.
        fake.mode = "ok"
        fresh = "SELECT COUNT(*) FROM Data WHERE ModbusOffset BETWEEN 20 AND 124 AND LastUpdated > %d"
        now = int(time.time())
        expect(wait_until(lambda: int(run.sql(fresh % now)[0][0]) == 105, 45), "the refresher did not catch up")
        since, reads = time.monotonic(), server.log().count("The data is too old")
        while time.monotonic() < since + 5:
            expect(registers(reader.read_holding_registers(20, 105)) is not None, "a read of kept codes")
            time.sleep(0.05)
        asked = sum(fake.requests_for(code, since) for code in codes)
        expect(asked <= len(codes) and server.log().count("The data is too old") == reads,
               "%d fetches while kept codes were polled" % asked)

        # Another program holding the write lock: reads go on (WAL); a write
        # waits a second for its turn, then answers busy, not failed.
        holder = sqlite3.connect(run.database(), isolation_level=None)
        holder.execute("BEGIN IMMEDIATE")
        expect(registers(reader.read_holding_registers(200, 1)) == [7], "a read while another program writes")
        expect(exception_code(reader.write_register(200, 8)) == 6, "a write while another program holds the lock")
        holder.execute("COMMIT")
        holder.close()
        expect(not reader.write_register(200, 7).isError(), "a write after the lock")
        expect(registers(reader.read_holding_registers(200, 1)) == [7], "a read after the lock")

        # What the service answers: no redirect to another port (the server's
        # own web actions), and no more than 64 readings of one answer.
        fake.special["AWAY"] = ("redirect", "http://%s:8080/?action=add&name=evil&value=1" % HOST)
        fake.special["MANY"] = 100
        scrape("/?postal=AWAY", "application/json")
        scrape("/?postal=MANY", "application/json")
        expect(run.sql("SELECT COUNT(*) FROM Data WHERE Name = 'evil'") == [["0"]], "a redirect reached the web actions")
        expect(run.sql("SELECT COUNT(*) FROM Data WHERE Code = 'MANY'") == [["64"]], "readings of a long answer: %s"
               % run.sql("SELECT COUNT(*) FROM Data WHERE Code = 'MANY'"))

        # SIGTERM while fetches hang (a web look-up and the refresher's): the
        # server stops in order, exit 0, within 2 s.
        fake.mode = "hang"
        run.sql("UPDATE Data SET LastUpdated = 0 WHERE Code LIKE 'C%'")
        threading.Thread(target=lambda: scrape("/?postal=HANGS", "application/json"), daemon=True).start()
        expect(wait_until(lambda: fake.requests_for("HANGS") > 0, 5), "the look-up did not reach the service")
        stopping = time.monotonic()
        server.popen.send_signal(signal.SIGTERM)
        try:
            code = server.popen.wait(10)
        except subprocess.TimeoutExpired:
            code = None
        took = time.monotonic() - stopping
        expect(code == 0 and took < 2.0, "SIGTERM during hanging fetches: exit %s after %.2f s" % (code, took))
    finally:
        poller.close()
        reader.close()
        fake.close()


def scrape(path, accept=None):
    """Status, content type and body of a web answer; an error status is an
    answer, not an exception."""
    request = urllib.request.Request("http://%s:8080%s" % (HOST, path))
    if accept:
        request.add_header("Accept", accept)
    try:
        with urllib.request.urlopen(request, timeout=10) as answer:
            return answer.status, answer.headers.get("Content-Type"), answer.read().decode()
    except urllib.error.HTTPError as error:
        return error.code, error.headers.get("Content-Type"), error.read().decode()


def metric_samples():
    from prometheus_client.parser import text_string_to_metric_families
    status, content_type, body = scrape("/metrics")
    require(status == 200 and content_type.startswith("text/plain; version=0.0.4"), "/metrics: %s" % status)
    return {(sample.name, tuple(sorted(sample.labels.items()))): sample.value
            for family in text_string_to_metric_families(body) for sample in family.samples}


def monitoring(run):
    """/metrics read by Prometheus's own parser after a known set of requests,
    /healthz in both states, and the message count registers."""
    run.start_service()
    run.start_server()
    postal_lookup("90001")
    client = modbus_client()
    for _ in range(5):
        expect(registers(client.read_holding_registers(20, 6)) is not None, "FC3 read")
    for _ in range(2):
        expect(registers(client.read_input_registers(20, 1)) is not None, "FC4 read")
    expect(not client.write_register(21, 7).isError(), "FC6 write")
    expect(exception_code(client.write_register(0, 1)) == 2, "FC6 write of an info register")
    raw = raw_connect()
    raw.sendall(bytes([0, 9, 0, 0, 0, 2, 0xFF, 7]))  # function 7: not served
    expect(read_frame(raw) == bytes([0, 9, 0, 0, 0, 3, 0xFF, 0x87, 1]), "exception 1 for function 7")
    raw.close()
    time.sleep(1.5)  # the counts reach their registers within a second of quiet
    expect(registers(client.read_holding_registers(3, 2)) == [10, 10], "registers 3 and 4 count 10 requests and answers")

    run.service.stop()
    status = scrape("/?postal=10001", "application/json")[0]
    expect(status == 400, "a lookup with the service down answers %s" % status)
    status, content_type, body = scrape("/healthz")
    health = json.loads(body)
    expect(status == 200 and content_type == "application/json" and health["status"] == "ok"
           and health["database_readable"] is True and 0 <= health["seconds_since_last_weather_success"] < 60
           and health["uptime_seconds"] >= 1, "/healthz: %s %s" % (status, body))

    first = metric_samples()
    expected = {
        ("veld_modbus_requests_total", (("function", "3"),)): 6,
        ("veld_modbus_requests_total", (("function", "4"),)): 2,
        ("veld_modbus_requests_total", (("function", "6"),)): 2,
        ("veld_modbus_requests_total", (("function", "7"),)): 1,
        ("veld_modbus_responses_total", ()): 11,
        ("veld_modbus_exceptions_total", (("code", "1"),)): 1,
        ("veld_modbus_exceptions_total", (("code", "2"),)): 1,
        ("veld_modbus_exceptions_total", (("code", "4"),)): 0,
        ("veld_modbus_connections_open", ()): 1,
        ("veld_modbus_connections_accepted_total", ()): 2,
        ("veld_weather_fetches_total", (("outcome", "ok"),)): 1,
        ("veld_weather_fetches_total", (("outcome", "transfer_error"),)): 1,
        ("veld_weather_fetches_total", (("outcome", "bad_answer"),)): 0,
        ("veld_weather_fetch_duration_seconds_count", ()): 2,
        ("veld_weather_fetch_duration_seconds_bucket", (("le", "+Inf"),)): 2,
        ("veld_web_requests_total", (("class", "2xx"),)): 2,
        ("veld_web_requests_total", (("class", "4xx"),)): 1,
        ("veld_database_errors_total", ()): 0,
    }
    wrong = {key: (first.get(key), value) for key, value in expected.items() if first.get(key) != value}
    expect(not wrong, "/metrics (got, wanted): %s" % wrong)

    run.sql("ALTER TABLE Data RENAME TO Kept")
    status, _, body = scrape("/healthz")
    expect(status == 503 and json.loads(body)["database_readable"] is False, "/healthz without a table: %s %s"
           % (status, body))
    second = metric_samples()
    expect(second[("veld_database_errors_total", ())] >= 1, "the failed query is not counted")
    shrunk = [key for key, value in first.items() if key[0].endswith("_total") and second.get(key, -1) < value]
    expect(not shrunk, "counters went down: %s" % shrunk)
    run.sql("ALTER TABLE Kept RENAME TO Data")
    expect(scrape("/healthz")[0] == 200, "/healthz with the table back")
    # The file deleted under the running server: its connections still read
    # the old file, but the path no longer names it.
    for name in os.listdir(run.folder):
        if name.startswith("data.sqlite3"):
            os.rename(os.path.join(run.folder, name), os.path.join(run.folder, "moved-" + name))
    status, _, body = scrape("/healthz")
    expect(status == 503 and json.loads(body)["database_file_present"] is False, "/healthz with the file gone: %s %s"
           % (status, body))
    client.close()


def units(run):
    """--unit-id, --device-name and IPv6 listeners, with mbpoll, pymodbus,
    nmap and raw frames; every answer carries its request's unit id."""
    from pymodbus.mei_message import ReadDeviceInformationRequest
    # The longest name the stack takes: it fills one answer to object 6 alone.
    name = ("Roof station 7, north mast " * 10)[:244]
    server = run.start_server(arguments=["--modbus-listen", "[::]:502", "--unit-id", "any", "--device-name", name])
    code, read, output = mbpoll("-a", 1, "-r", 0, "-c", 3, host="::1")
    expect(code == 0 and list(read.values()) == INFO_VALUES[:3], "mbpoll -a 1 on ::1 under any: %s" % output)
    raw = raw_connect("::1")
    for unit in (7, 0, 255):
        raw.sendall(read_request(unit, 0, unit=unit))
        answer = read_frame(raw)
        expect(answer == bytes([0, unit, 0, 0, 0, 5, unit, 3, 2, 0, 0]), "unit %d over ::1: %s" % (unit, dump(answer)))
    raw.close()
    client = modbus_client()  # IPv4 to the dual-stack listener
    answer = client.execute(ReadDeviceInformationRequest(read_code=4, object_id=6))
    expect(not answer.isError() and answer.information == {6: name.encode()},
           "43/14 object 6: %s" % getattr(answer, "information", answer))
    client.close()
    scan = subprocess.run(["nmap", "-n", "-Pn", "-p", "502", "--script", "modbus-discover", HOST],
                          capture_output=True, text=True, timeout=60)
    expect("Device identification: VELD VELD-MWS 0.0.5.202" in scan.stdout, "nmap modbus-discover: %s" % scan.stdout)
    log = server.log()
    expect(re.search(r"^FYI: Got a connection from IP address=\[::1\] port=\[\d+\]", log, re.M)
           and re.search(r"^FYI: Got a connection from IP address=\[127\.0\.0\.1\] port=\[\d+\]", log, re.M)
           and "is not answered" not in log, "the accept lines of IPv6 and IPv4 clients:\n%s" % log[-2000:])
    server.stop()

    # Only the listed units, on ::1 alone; the log names them.
    server = run.start_server(arguments=["--modbus-listen", "[::1]:1502", "--unit-id", "7,1", "--web-listen",
                                         "127.0.0.1:0"], waiting_line="FYI: Waiting on TCP connection TCP port=[1502]... ")
    code, read, output = mbpoll("-a", 1, "-p", 1502, "-r", 0, "-c", 3, host="::1")
    expect(code == 0 and list(read.values()) == INFO_VALUES[:3], "mbpoll -a 1 under 7,1: %s" % output)
    code, _, output = mbpoll("-o", 0.5, "-p", 1502, "-r", 0, host="::1")
    expect(code != 0 and server.wait_log("FYI: A request for unit id [255] is not answered; this server answers unit "
                                         "ids 1 and 7. connectionId=[", 5), "unit 255 under 7,1: %s" % output)
    expect(not port_open(1502), "[::1]:1502 took an IPv4 connection")
    server.stop()

    # The web page on IPv6 where CivetWeb has it; refused before start-up
    # where it does not (Debian 12's is built without).
    civetweb = ctypes.CDLL(linked_library(run.args.server, "libcivetweb"))
    if civetweb.mg_check_feature(8):
        run.start_server(arguments=["--web-listen", "[::1]:18083"])
        status, body = curl("-g", "http://[::1]:18083/healthz")
        expect(status == 200 and json.loads(body)["status"] == "ok", "/healthz on [::1]: %s %s" % (status, body))
    else:
        code, out, err = run.run_server("--web-listen", "[::1]:18083")
        expect(code == 64 and "--web-listen: '[::1]:18083' is an IPv6 address" in err and "without IPv6" in err,
               "an IPv6 web address without IPv6 in CivetWeb: %s %r" % (code, out + err))


def open_meteo(run):
    """The server on the service's open-meteo provider, against a fake
    Open-Meteo: decimal readings reach Modbus and the JSON view in tenths,
    through the web's lookup and through the refresh of a stale row."""
    fake = FakeOpenMeteo()
    place = (40.71427, -74.00597)
    fake.add_place("10001", "US", *place)  # 21.5 °C, 71 %, 3.4 m/s from 250°, 40 % cloud
    try:
        run.start_service(["--provider", "open-meteo", "--open-meteo-url", fake.url("forecast"),
                           "--geocoding-url", fake.url("geocoding"), "--readings-cache-seconds", "1"])
        run.start_server()
        offsets = postal_lookup("10001")
        expect(sorted(offsets.values()) == list(range(20, 26)), "rows of the lookup: %s" % offsets)
        wanted = {"temp": 215, "humidity": 71, "wind.speed": 34, "wind.deg": 250, "clouds": 40}
        client = modbus_client()
        read = {name: registers(client.read_holding_registers(offsets.get(name, 500), 1)) for name in wanted}
        expect(read == {name: [word] for name, word in wanted.items()}, "Modbus words: %s" % read)
        status, rows = http("/?postal=10001")
        shown = {row["Name"]: int(row["Value"]) for row in rows}
        expect(all(shown.get(name) == word for name, word in wanted.items()), "the JSON view: %s" % rows)

        # Colder: a read of the stale temperature row fetches it, below zero.
        fake.readings[place]["temperature_2m"] = -3.7
        time.sleep(1.2)
        run.sql("UPDATE Data SET LastUpdated = 1000 WHERE ModbusOffset = %d" % offsets["temp"])
        answer = registers(client.read_holding_registers(offsets["temp"], 1))
        expect(answer == [-37 & 0xFFFF], "temp after -3.7 °C: %s" % answer)
        client.close()
    finally:
        fake.close()


def rtu_frame(*body):
    """An RTU frame: the bytes given, then their CRC-16 (low byte first),
    computed here by the polynomial, independently of the server's tables."""
    crc = 0xFFFF
    for byte in body:
        crc ^= byte
        for _ in range(8):
            crc = (crc >> 1) ^ 0xA001 if crc & 1 else crc >> 1
    return bytes(body) + bytes([crc & 0xFF, crc >> 8])


def metric(name):
    return metric_samples().get((name, ()), None)


def rtu_over_tcp(run):
    """RTU frames on the TCP port: pymodbus's RTU framer as the peer, another
    slave's request left unanswered, a frame with a wrong CRC dropped and
    counted while the good frame behind it on the stream is answered."""
    from pymodbus.client import ModbusTcpClient
    from pymodbus.transaction import ModbusRtuFramer
    server = run.start_server(arguments=["--modbus-framing", "rtu-over-tcp", "--unit-id", "1,5"])
    postal_lookup("90210")
    weather = [value_column(run, o) & 0xFFFF for o in range(20, 26)]
    client = ModbusTcpClient(HOST, port=502, framer=ModbusRtuFramer, timeout=1, retries=0, retry_on_empty=False)
    require(client.connect(), "pymodbus could not connect")
    expect(registers(client.read_holding_registers(20, 6, slave=1)) == weather, "RTU FC3 20..25 against %s" % weather)
    expect(not client.write_register(21, 4321, slave=1).isError() and value_column(run, 21) == 4321, "RTU FC6 at 21")
    expect(registers(client.read_holding_registers(20, 1, slave=5)) == weather[:1], "slave 5 of --unit-id answered")
    expect(client.read_holding_registers(20, 1, slave=7).isError(), "a request for slave 7 is not answered")
    client.close()

    raw = raw_connect()
    good = rtu_frame(1, 3, 0, 21, 0, 1)
    raw.sendall(good[:-1] + bytes([good[-1] ^ 0xFF]) + good)
    answer = raw.recv(64)
    expect(answer == rtu_frame(1, 3, 2, 4321 >> 8, 4321 & 0xFF), "the good frame after a bad CRC: %s" % dump(answer))
    raw.close()
    expect(metric("veld_modbus_rtu_crc_errors_total") == 1, "one CRC error counted")
    expect("Dropped an RTU frame with a wrong CRC" in server.log(), "the CRC line in the log")
    server.stop()


class PtyPair:
    """Two pseudo-terminals joined back to back, as a null-modem cable joins
    two serial ports: what is written to one's device comes out of the
    other's. The devices are reached by links in folder ("server" and
    "client"); a thread copies between the two sides until close()."""

    def __init__(self, folder):
        import select
        import tty
        self.select = select.select
        self.masters, self.slaves, self.paths = [], [], []
        for name in ("server", "client"):
            master, slave = os.openpty()
            tty.setraw(slave)
            path = os.path.join(folder, name)
            os.symlink(os.ttyname(slave), path)
            self.masters.append(master)
            self.slaves.append(slave)
            self.paths.append(path)
        self.running = True
        self.thread = threading.Thread(target=self._copy, daemon=True)
        self.thread.start()

    def _copy(self):
        while self.running:
            ready, _, _ = self.select(self.masters, [], [], 0.05)
            for master in ready:
                try:
                    data = os.read(master, 4096)
                except OSError:
                    continue
                os.write(self.masters[1 - self.masters.index(master)], data)

    def close(self):
        self.running = False
        self.thread.join(2)
        for fd in self.masters + self.slaves:
            os.close(fd)


def serial_exchange(path, request, wait=1.0):
    """Writes request to the serial device at path and returns what comes
    back within wait seconds."""
    import select
    import tty
    device = os.open(path, os.O_RDWR | os.O_NOCTTY)
    try:
        tty.setraw(device)
        os.write(device, request)
        answer, deadline = b"", time.monotonic() + wait
        while time.monotonic() < deadline:
            if select.select([device], [], [], 0.05)[0]:
                answer += os.read(device, 256)
        return answer
    finally:
        os.close(device)


def rtu_mbpoll(path, *arguments, values=()):
    argv = ["mbpoll", "-m", "rtu", "-a", "1", "-b", "19200", "-P", "even", "-0", "-1", "-o", "2"]
    argv += [str(a) for a in arguments] + [path] + [str(v) for v in values]
    done = subprocess.run(argv, capture_output=True, text=True, timeout=20)
    read = {int(m.group(1)): int(m.group(2)) for m in re.finditer(r"^\[(\d+)\]:\s+(-?\d+)", done.stdout, re.M)}
    return done.returncode, read, done.stdout + done.stderr


def serial_line(run):
    """The registers on a serial line next to Modbus TCP: mbpoll over RTU reads
    and writes, a frame with a wrong CRC is dropped and counted, a broadcast
    write is carried out without an answer, another slave's request is left
    alone."""
    code, out, _ = run.run_server("--no-browser", "--rtu-device", os.path.join(run.folder, "no-such-tty"))
    expect(code == 5 and "Error: Can not open the serial device" in out, "a missing device: %d %s" % (code, out[-300:]))
    code, _, err = run.run_server("--rtu-baud", "12345")
    expect(code == 64 and "not a standard baud rate" in err, "an unsupported rate: %d %s" % (code, err))
    pair = PtyPair(run.folder)
    try:
        server = run.start_server(arguments=["--rtu-device", pair.paths[0]])
        require(server.wait_log("FYI: Serving Modbus RTU on the serial device"), "the serial line did not open")
        client_path = pair.paths[1]
        weather = [value_column(run, o) & 0xFFFF for o in range(20, 26)]
        code, read, output = rtu_mbpoll(client_path, "-t", 4, "-r", 20, "-c", 6)
        expect(code == 0 and [read.get(20 + i) for i in range(6)] == weather, "mbpoll RTU FC3 20..25: %s" % output)
        code, _, output = rtu_mbpoll(client_path, "-t", 4, "-r", 22, values=[2468])
        expect(code == 0 and value_column(run, 22) == 2468, "mbpoll RTU FC6 at 22: %s" % output)

        crc_errors = metric("veld_modbus_rtu_crc_errors_total")
        good = rtu_frame(1, 3, 0, 22, 0, 1)
        expect(serial_exchange(client_path, good[:-1] + bytes([good[-1] ^ 0xFF])) == b"", "a bad CRC is not answered")
        expect(metric("veld_modbus_rtu_crc_errors_total") == crc_errors + 1, "the bad CRC counted")
        expect(serial_exchange(client_path, rtu_frame(9, 3, 0, 22, 0, 1), wait=0.5) == b"", "slave 9 not answered")
        expect(serial_exchange(client_path, rtu_frame(0, 6, 0, 23, 0x13, 0x57)) == b"", "a broadcast is not answered")
        client = modbus_client()
        expect(registers(client.read_holding_registers(23, 1)) == [0x1357], "the broadcast write read over TCP")
        client.close()
        expect(serial_exchange(client_path, good) == rtu_frame(1, 3, 2, 2468 >> 8, 2468 & 0xFF), "a read by hand")
        status, health = http("/healthz")
        expect(health.get("rtu_line_open") is True, "/healthz: %s" % health)
        server.stop()
    finally:
        pair.close()


def rtu(run):
    run.start_service()
    rtu_over_tcp(run)
    serial_line(run)


SCENARIOS = {"startup": startup, "registers": registers_scenario, "refresh": refresh, "limits": limits,
             "exit_codes": exit_codes, "mends": mends, "soak": soak, "options": options, "monitoring": monitoring,
             "availability": availability, "open_meteo": open_meteo, "rtu": rtu, "units": units}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--server", required=True)
    parser.add_argument("--service", required=True)
    parser.add_argument("--inside", action="store_true", help=argparse.SUPPRESS)
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    args = parser.parse_args()
    args.server, args.service = os.path.abspath(args.server), os.path.abspath(args.service)
    if enter_private_network(args.inside) == SKIPPED:
        return SKIPPED
    import logging
    logging.getLogger("pymodbus").setLevel(logging.CRITICAL)
    run = Run(args)
    try:
        SCENARIOS[args.scenario](run)
    except Failed as error:
        expect(False, str(error))
    finally:
        run.close()
    print("%s: %s" % (args.scenario, "failed" if failures else "passed"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
