#!/usr/bin/python3
"""veld-weather-service --provider open-meteo against a fake Open-Meteo.

  OpenMeteoService.py --service PATH

Re-executes itself in a private network namespace (unshare -n, loopback up),
so nothing it starts can reach further than 127.0.0.1; needs root and exits
77 (skipped) without. The fake counts every request, which is how the caches
and the single upstream fetch per code are seen from outside.
"""
import argparse
import concurrent.futures
import email.utils
import json
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
import urllib.error
import urllib.parse
import urllib.request

from fake_open_meteo import FakeOpenMeteo

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "support"))
from private_network import SKIPPED, die_with_parent, enter_private_network  # noqa: E402

HOST = "127.0.0.1"
NEW_YORK = (40.71427, -74.00597)
OTTAWA = (45.41117, -75.69812)
EXPECTED_10001 = [{"Name": "temp", "Value": 21.5}, {"Name": "humidity", "Value": 71},
                  {"Name": "pressure", "Value": 1013.2}, {"Name": "wind.speed", "Value": 3.4},
                  {"Name": "wind.deg", "Value": 250}, {"Name": "clouds", "Value": 40}]
failures = []


def expect(condition, message):
    if not condition:
        failures.append(message)
        print("FAILED: " + message, flush=True)
    return condition


def typed(readings):
    """The readings with each value's JSON type, so 71 and 71.0 differ."""
    return [(r.get("Name"), r.get("Value"), type(r.get("Value")).__name__) for r in readings] \
        if isinstance(readings, list) else readings


def http_date(text):
    """Unix seconds of an IMF-fixdate ("Wed, 09 Dec 2026 19:30:00 GMT"); None
    for no text or another form."""
    if text is None or not text.endswith(" GMT") or len(text) != 29:
        return None
    try:
        return email.utils.parsedate_to_datetime(text).timestamp()
    except (TypeError, ValueError):
        return None


class Service:
    started = 0

    def __init__(self, binary, folder, fake, *arguments):
        Service.started += 1
        self.port = 18080 + Service.started  # a port of its own: no wait on the last one's sockets
        self.log_path = os.path.join(folder, "service-%d.log" % Service.started)
        argv = [binary, "--provider", "open-meteo", "--listen", "%s:%d" % (HOST, self.port),
                "--open-meteo-url", fake.url("forecast"), "--geocoding-url", fake.url("geocoding")] + list(arguments)
        with open(self.log_path, "wb") as log:
            self.popen = subprocess.Popen(argv, cwd=folder, stdout=log, stderr=subprocess.STDOUT,
                                          stdin=subprocess.DEVNULL,
                                          preexec_fn=die_with_parent)
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline and self.popen.poll() is None:
            try:
                socket.create_connection((HOST, self.port), timeout=1).close()
                return
            except OSError:
                time.sleep(0.05)
        raise RuntimeError("the service did not come up:\n" + self.log())

    def log(self):
        with open(self.log_path, errors="replace") as log:
            return log.read()

    def lines_since(self, mark):
        """Log lines after mark other than the per-request lines, once the
        request line (written after the answer) is there too."""
        deadline = time.monotonic() + 3
        while "FYI: GET " not in self.log()[mark:] and time.monotonic() < deadline:
            time.sleep(0.02)
        return [line for line in self.log()[mark:].splitlines() if not line.startswith("FYI: GET ")]

    def stop(self):
        if self.popen.poll() is None:
            self.popen.send_signal(signal.SIGTERM)
            try:
                self.popen.wait(5)
            except subprocess.TimeoutExpired:
                self.popen.kill()
                self.popen.wait(5)

    def ask(self, code):
        """Status and parsed body of GET /api?postalCode=CODE (None when not JSON);
        the answer's Last-Modified, as Unix seconds, is left in last_modified
        (None without one)."""
        url = "http://%s:%d/api?postalCode=%s" % (HOST, self.port, urllib.parse.quote(code))
        try:
            with urllib.request.urlopen(url, timeout=15) as answer:
                status, body, headers = answer.status, answer.read(), answer.headers
        except urllib.error.HTTPError as error:
            status, body, headers = error.code, error.read(), error.headers
        self.last_modified = http_date(headers.get("Last-Modified"))
        try:
            return status, json.loads(body)
        except ValueError:
            return status, None


def translation_and_caches(binary, folder, fake):
    """Names, order and number types; the geocoding query of each kind of code;
    codes refused before any upstream request; both caches; one fetch for
    concurrent requests. The geocoding cache file is left for restart()."""
    fake.add_place("10001", "US", *NEW_YORK)
    fake.add_place("K1A", "CA", *OTTAWA, temperature_2m=-7.3, relative_humidity_2m=88, pressure_msl=1021.4,
                   wind_speed_10m=5.6, wind_direction_10m=15, cloud_cover=100)
    fake.add_place("60601", "US", 41.85003, -87.65005)
    service = Service(binary, folder, fake, "--cache-dir", os.path.join(folder, "cache"),
                      "--readings-cache-seconds", "2")
    ask = service.ask
    try:
        before = time.time()
        status, body = ask("10001")
        fetched = service.last_modified
        expect(status == 200 and typed(body) == typed(EXPECTED_10001), "10001: %s %s" % (status, body))
        expect(fetched is not None and int(before) <= fetched <= time.time(),
               "Last-Modified of a fresh answer: %s, asked at %s" % (fetched, before))
        query = fake.last_query("geocoding") or {}
        expect(query.get("name") == "10001" and query.get("countryCode") == "US" and query.get("count") == "1",
               "geocoding query of a zip code: %s" % query)
        query = fake.last_query("forecast") or {}
        expect(abs(float(query.get("latitude", 0)) - NEW_YORK[0]) < 1e-4
               and abs(float(query.get("longitude", 0)) - NEW_YORK[1]) < 1e-4, "forecast place: %s" % query)
        service.lines_since(0)
        expect("FYI: GET /api?postalCode=10001 -> 200" in service.log(), "no request line:\n" + service.log())

        status, body = ask("k1a 0b1")
        wanted = [("temp", -7.3, "float"), ("humidity", 88, "int"), ("pressure", 1021.4, "float"),
                  ("wind.speed", 5.6, "float"), ("wind.deg", 15, "int"), ("clouds", 100, "int")]
        expect(status == 200 and typed(body) == wanted, "k1a 0b1: %s %s" % (status, body))
        query = fake.last_query("geocoding") or {}
        expect(query.get("name") == "K1A" and query.get("countryCode") == "CA",
               "geocoding query of k1a 0b1: %s" % query)

        asked = len(fake.requests)
        for code in ("1000", "100011", "1000a", "A1", "AA1", "K1A0B", "K1A  0B1", "K1A-0B1", ""):
            answer = ask(code)
            expect(answer == (404, []), "invalid code %r: %s" % (code, answer))
        expect(len(fake.requests) == asked, "invalid codes went upstream: %s" % fake.requests[asked:])

        for _ in range(2):  # the second from the cache of places not found
            answer = ask("99999")
            expect(answer == (404, []), "a code the geocoder does not know: %s" % (answer,))
        expect(fake.count("geocoding", name="99999") == 1 and fake.count("forecast") == 2,
               "an unknown code was asked %d times" % fake.count("geocoding", name="99999"))

        since = time.monotonic()
        expect(ask("10001") == (200, EXPECTED_10001), "10001 from the cache")
        expect(fake.count("geocoding", since) + fake.count("forecast", since) == 0, "a cached answer went upstream")
        expect(service.last_modified == fetched, "Last-Modified of a cached answer: %s, fetched at %s"
               % (service.last_modified, fetched))
        time.sleep(2.5)
        since = time.monotonic()
        expect(ask("10001") == (200, EXPECTED_10001), "10001 after the readings expired")
        expect(fake.count("forecast", since) == 1 and fake.count("geocoding", since) == 0,
               "after the readings expired: %d forecast, %d geocoding requests"
               % (fake.count("forecast", since), fake.count("geocoding", since)))

        # Eight requests at once for one code while the fake is slow.
        fake.delay.update(geocoding=0.3, forecast=0.5)
        with concurrent.futures.ThreadPoolExecutor(8) as pool:
            answers = list(pool.map(ask, ["60601"] * 8))
        fake.delay.update(geocoding=0.0, forecast=0.0)
        expect(answers == [(200, EXPECTED_10001)] * 8, "concurrent answers: %s" % answers)
        expect(fake.count("forecast") == 4, "concurrent requests: %d forecast requests" % (fake.count("forecast") - 3))
        expect(fake.count("geocoding", name="60601") == 1,
               "concurrent requests: %d geocoding requests" % fake.count("geocoding", name="60601"))
    finally:
        service.stop()


def restart(binary, folder, fake):
    """A new service on the same cache folder geocodes neither a known place
    nor one found not to exist."""
    expect(os.listdir(os.path.join(folder, "cache")), "nothing was written to the cache folder")
    service = Service(binary, folder, fake, "--cache-dir", os.path.join(folder, "cache"))
    ask = service.ask
    try:
        since = time.monotonic()
        expect(ask("10001") == (200, EXPECTED_10001), "10001 after a restart")
        expect(ask("99999") == (404, []), "99999 after a restart")
        expect(fake.count("geocoding", since) == 0, "geocoded again after a restart: %s" % fake.requests[-3:])
    finally:
        service.stop()


def errors(binary, folder, fake):
    """Each upstream failure answers 502 with an error object and a log line
    naming the cause; with a recent answer kept, that answer is served."""
    service = Service(binary, folder, fake, "--readings-cache-seconds", "1")
    ask = service.ask
    cases = [("forecast", "429", ["429"]), ("forecast", "500", ["500"]), ("forecast", "400", ["400"]),
             ("forecast", "malformed", ["json"]), ("forecast", "missing:cloud_cover", ["cloud_cover"]),
             ("geocoding", "429", ["429"]), ("geocoding", "malformed", ["json"]),
             ("geocoding", "missing:latitude", ["latitude"]),
             ("forecast", "hang", ["timed out", "timeout", "time-out", "time out"])]
    try:
        for number, (api, mode, words) in enumerate(cases):
            code = "%d" % (11111 + number * 1001)  # no cached place, no digits of the words above
            fake.add_place(code, "US", 33.3 + number, -111.1)
            fake.mode[api], mark, started = mode, len(service.log()), time.monotonic()
            status, body = ask(code)
            took = time.monotonic() - started
            fake.mode[api] = "ok"
            lines = service.lines_since(mark)
            expect(status == 502 and isinstance(body, dict) and isinstance(body.get("error"), str),
                   "%s %s: %s %s" % (api, mode, status, body))
            expect(any(word in line.lower() for line in lines for word in words),
                   "%s %s: no log line naming %s in %s" % (api, mode, words, lines))
            if mode == "hang":
                expect(4.5 < took < 6.5, "a hanging forecast answered after %.1f s" % took)
            if api == "geocoding":  # a failure is not remembered as a place not found
                answer = ask(code)
                expect(answer[0] == 200, "%s after geocoding %s" % (answer, mode))

        fake.add_place("10001", "US", *NEW_YORK)
        expect(ask("10001") == (200, EXPECTED_10001), "10001 before the failure")
        fetched = service.last_modified
        time.sleep(1.2)
        for failing in ("answering 500", "gone"):
            fake.mode["forecast"], mark = "500", len(service.log())
            if failing == "gone":
                fake.stop("forecast")
            status, body = ask("10001")
            lines = service.lines_since(mark)
            expect((status, body) == (200, EXPECTED_10001), "a stale answer with the forecast %s: %s %s"
                   % (failing, status, body))
            expect(any("stale" in line.lower() for line in lines), "no log line says stale: %s" % lines)
            expect(fetched is not None and service.last_modified == fetched and time.time() - fetched >= 1,
                   "Last-Modified of a stale answer: %s, fetched at %s" % (service.last_modified, fetched))
        mark = len(service.log())
        status, body = ask("K1A")  # nothing kept for it: no connection is an error
        expect(status == 502 and isinstance(body, dict) and "error" in body, "no connection: %s %s" % (status, body))
        expect(service.last_modified is None, "an error answer has a Last-Modified")
        expect(any("connect" in line.lower() or "refused" in line.lower() for line in service.lines_since(mark)),
               "no log line names the connection: %s" % service.lines_since(mark))
    finally:
        service.stop()


def bounded_places(binary, folder, fake):
    """With room for two codes and places, a third lets go of the least
    recently asked for, which is then geocoded and fetched again; the other
    is still known, readings and all."""
    codes = ("30301", "30302", "30303")
    for number, code in enumerate(codes):
        fake.add_place(code, "US", 33.7 + number, -84.4)
    service = Service(binary, folder, fake, "--max-places", "2")
    try:
        for code in ("30301", "30302", "30301", "30303"):  # 30302 is the least recently used
            expect(service.ask(code)[0] == 200, "%s with two places kept" % code)
        since = time.monotonic()
        expect(service.ask("30301")[0] == 200, "30301 after 30303")
        expect(fake.count("geocoding", since) == 0, "30301, recently used, was geocoded again")
        expect(service.ask("30302")[0] == 200, "30302 after 30303")
        expect(fake.count("geocoding", since, name="30302") == 1, "30302, least recently used, was not geocoded again")
        expect(fake.count("forecast", since) == 1, "forecasts for a kept and a dropped place: %d, not 1"
               % fake.count("forecast", since))
    finally:
        service.stop()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--service", required=True)
    parser.add_argument("--inside", action="store_true", help=argparse.SUPPRESS)
    args = parser.parse_args()
    args.service = os.path.abspath(args.service)
    if enter_private_network(args.inside) == SKIPPED:
        return SKIPPED
    folder, fake = tempfile.mkdtemp(prefix="veld-open-meteo-"), FakeOpenMeteo()
    passed = 0
    try:
        scenarios = (translation_and_caches, restart, bounded_places, errors)  # errors stops the fake
        for scenario in scenarios:
            before = len(failures)
            try:
                scenario(args.service, folder, fake)
            except Exception as error:  # a scenario that cannot go on is one failure
                expect(False, "%s: %r" % (scenario.__name__, error))
            passed += len(failures) == before
            print("%s: %s" % (scenario.__name__, "passed" if len(failures) == before else "failed"), flush=True)
    finally:
        fake.close()
        if failures:
            for name in sorted(os.listdir(folder)):
                if name.endswith(".log"):
                    with open(os.path.join(folder, name), errors="replace") as log:
                        print("---- %s\n%s" % (name, log.read()[-3000:]))
        shutil.rmtree(folder, ignore_errors=True)
    print("%d passed, %d failed" % (passed, len(scenarios) - passed))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
