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
    time), a redirect, or a long answer, per code or for all. Counts requests."""
    READINGS = ["temp", "humidity", "pressure", "wind.speed", "visibility"]

    def __init__(self, port=8081):
        self.mode, self.special, self.requests = "ok", {}, []
        scripted = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def log_message(self, *args):
                pass

            def do_GET(self):
                code = urllib.parse.parse_qs(urllib.parse.urlsplit(self.path).query).get("postalCode", [""])[0]
                scripted.requests.append((time.monotonic(), code))
                mode = scripted.special.get(code, scripted.mode)
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
                body = json.dumps([{"Name": name, "Value": 12} for name in names]).encode()
                self.send_response(200)
                self.send_header("Content-Type", "application/json")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

        http.server.ThreadingHTTPServer.daemon_threads = True
        self.httpd = http.server.ThreadingHTTPServer((HOST, port), Handler)
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def requests_for(self, code, since=0.0):
        return sum(1 for at, asked in self.requests if asked == code and at >= since)

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()
