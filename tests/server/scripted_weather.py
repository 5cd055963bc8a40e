"""A weather service for tests and benchmarks of veld-weather-server: answers
GET /api?postalCode=CODE on loopback as the caller scripts it, per code or
for all codes, and counts the requests."""
import http.server
import json
import threading
import time
import urllib.parse

HOST = "127.0.0.1"


class ScriptedWeather:
    """A weather service on 127.0.0.1:PORT that answers as the test says: every
    reading name of READINGS for any code, a hang (accepts, never answers in
    time), a redirect, or a long answer, per code or for all. Counts requests.

    delay holds every answer back that many seconds. failures, when set, is a
    pattern cycled per code: the k-th request for a code is answered as
    failures[k % len(failures)] says, "ok" as usual, 404 with the body [] or
    500 with every reading at ABSURD, each a JSON array that a server storing
    failed answers would take for readings. answers counts by status."""
    READINGS = ["temp", "humidity", "pressure", "wind.speed", "visibility"]
    VALUE = 12
    ABSURD = 999

    def __init__(self, port=8081, delay=0.0, failures=None):
        self.mode, self.special, self.requests = "ok", {}, []
        self.delay, self.failures = delay, failures
        self.answers = {}
        self.lock = threading.Lock()
        self.per_code = {}
        scripted = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def log_message(self, *args):
                pass

            def do_GET(self):
                code = urllib.parse.parse_qs(urllib.parse.urlsplit(self.path).query).get("postalCode", [""])[0]
                with scripted.lock:
                    scripted.requests.append((time.monotonic(), code))
                    nth = scripted.per_code.get(code, 0)
                    scripted.per_code[code] = nth + 1
                    failure = scripted.failures[nth % len(scripted.failures)] if scripted.failures else "ok"
                mode = scripted.special.get(code, scripted.mode)
                if scripted.delay:
                    time.sleep(scripted.delay)
                if failure != "ok" and mode == "ok":
                    readings = [] if failure == 404 else \
                        [{"Name": name, "Value": ScriptedWeather.ABSURD} for name in ScriptedWeather.READINGS]
                    self.answer(failure, json.dumps(readings).encode())
                    return
                if mode == "hang":
                    time.sleep(3)
                    return
                if isinstance(mode, tuple):  # ("redirect", location)
                    self.send_response(302)
                    self.send_header("Location", mode[1])
                    self.end_headers()
                    return
                count = mode if isinstance(mode, int) else len(ScriptedWeather.READINGS)
                names = ScriptedWeather.READINGS if count == len(ScriptedWeather.READINGS) else \
                    ["reading.%d" % i for i in range(count)]
                body = json.dumps([{"Name": name, "Value": ScriptedWeather.VALUE} for name in names]).encode()
                self.answer(200, body)

            def answer(self, status, body):
                self.send_response(status)
                self.send_header("Content-Type", "application/json")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                try:
                    self.wfile.write(body)
                except OSError:  # the server gave up waiting
                    return
                with scripted.lock:
                    scripted.answers[status] = scripted.answers.get(status, 0) + 1

        http.server.ThreadingHTTPServer.daemon_threads = True
        self.httpd = http.server.ThreadingHTTPServer((HOST, port), Handler)
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def requests_for(self, code, since=0.0):
        with self.lock:
            return sum(1 for at, asked in self.requests if asked == code and at >= since)

    def answered(self, status):
        with self.lock:
            return self.answers.get(status, 0)

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()
