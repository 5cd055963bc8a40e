"""A stand-in for Open-Meteo's geocoding and forecast APIs on loopback: each
API on a server (base URL) of its own, answering in Open-Meteo's shapes or as
fake.mode[api] says ("429", "500", "400", "malformed", "missing:FIELD", "hang";
fake.stop(api) refuses connections), and recording every request for count()."""
import http.server
import json
import threading
import time
import urllib.parse

HOST = "127.0.0.1"
DEFAULT_READINGS = {"temperature_2m": 21.5, "relative_humidity_2m": 71, "pressure_msl": 1013.2,
                    "wind_speed_10m": 3.4, "wind_direction_10m": 250, "cloud_cover": 40}
UNITS = {"temperature_2m": "°C", "relative_humidity_2m": "%", "pressure_msl": "hPa", "wind_speed_10m": "m/s",
         "wind_direction_10m": "°", "cloud_cover": "%"}
HANG_SECONDS = 8
ERRORS = {"429": (429, '{"error":true,"reason":"Minutely API request limit exceeded. Please try again later."}'),
          "500": (500, "<html><body><h1>500 Internal Server Error</h1></body></html>"),
          "400": (400, '{"error":true,"reason":"Cannot initialize WeatherVariable from invalid String"}')}


def dump(document):
    return json.dumps(document, separators=(",", ":"), ensure_ascii=False)


class FakeOpenMeteo:
    def __init__(self):
        self.places = {}        # (name, country code) -> geocoding result
        self.readings = {}      # (latitude, longitude) -> current readings
        self.mode = {"geocoding": "ok", "forecast": "ok"}
        self.delay = {"geocoding": 0.0, "forecast": 0.0}
        self.requests = []      # (monotonic time, api, query parameters)
        self.lock = threading.Lock()
        self.released = threading.Event()
        self.servers = {"geocoding": self._serve("geocoding", "/v1/search", self._geocode),
                        "forecast": self._serve("forecast", "/v1/forecast", self._forecast)}
        self.ports = {api: server.server_address[1] for api, server in self.servers.items()}

    def url(self, api):
        """The API's base URL, also once it is stopped (then nothing listens)."""
        return "http://%s:%d" % (HOST, self.ports[api])

    def add_place(self, name, country, latitude, longitude, **readings):
        self.places[(name, country)] = {
            "id": 3100000 + len(self.places), "name": "Place " + name, "latitude": latitude, "longitude": longitude,
            "elevation": 10.0, "feature_code": "PPL", "country_code": country, "timezone": "America/Toronto",
            "postcodes": [name], "country": "Somewhere"}
        self.readings[(latitude, longitude)] = dict(DEFAULT_READINGS, **readings)

    def count(self, api, since=0.0, **query):
        """Requests to api at or after since whose query has all of query."""
        with self.lock:
            return sum(1 for at, asked, params in self.requests
                       if asked == api and at >= since and all(params.get(k) == v for k, v in query.items()))

    def last_query(self, api):
        with self.lock:
            return next((params for _, asked, params in reversed(self.requests) if asked == api), None)

    def stop(self, api):
        server = self.servers.pop(api, None)
        if server:
            server.shutdown()
            server.server_close()

    def close(self):
        self.released.set()
        for api in list(self.servers):
            self.stop(api)

    # ---- answers: (status, body text)

    def _geocode(self, params):
        place = self.places.get((params.get("name"), params.get("countryCode")))
        if place is None:
            return 200, dump({"generationtime_ms": 0.5})
        return 200, dump({"results": [dict(place)], "generationtime_ms": 0.9})

    def _forecast(self, params):
        try:
            latitude, longitude = float(params["latitude"]), float(params["longitude"])
        except (KeyError, ValueError):
            latitude = longitude = None
        place = next((at for at in self.readings if latitude is not None and abs(at[0] - latitude) < 1e-4
                      and abs(at[1] - longitude) < 1e-4), None)
        if place is None:  # not a place this fake geocoded: the test notices
            return 400, dump({"error": True, "reason": "No readings for %s,%s in this fake" % (latitude, longitude)})
        # Like Open-Meteo: only the variables asked for, wind in km/h unless m/s is asked for.
        readings, wind = self.readings[place], "m/s" if params.get("wind_speed_unit") == "ms" else "km/h"
        current, units = {"time": "2026-12-09T08:00", "interval": 900}, {"time": "iso8601", "interval": "seconds"}
        for name in [name for name in params.get("current", "").split(",") if name in readings]:
            kmh = name == "wind_speed_10m" and wind == "km/h"
            current[name] = round(readings[name] * 3.6, 1) if kmh else readings[name]
            units[name] = wind if name == "wind_speed_10m" else UNITS[name]
        return 200, dump({"latitude": round(place[0] - 0.004, 6), "longitude": round(place[1] + 0.013, 6),
                          "generationtime_ms": 0.03, "utc_offset_seconds": 0, "timezone": "GMT",
                          "timezone_abbreviation": "GMT", "elevation": 27.0, "current_units": units,
                          "current": current})

    def _failure(self, api, status, body):
        """The answer as the API's mode changes it, or None to hang up unanswered."""
        mode = self.mode[api]
        if mode in ERRORS:
            return ERRORS[mode]
        if mode == "malformed":
            return 200, body[:len(body) // 2]
        if mode.startswith("missing:"):
            document = json.loads(body)
            for holder in [document.get("current", {})] + document.get("results", [])[:1]:
                holder.pop(mode.split(":", 1)[1], None)
            return status, dump(document)
        if mode == "hang":
            self.released.wait(HANG_SECONDS)
            return None
        return status, body

    def _serve(self, api, path, answer):
        fake = self

        class Handler(http.server.BaseHTTPRequestHandler):
            protocol_version = "HTTP/1.1"

            def log_message(self, *args):
                pass

            def do_GET(self):
                split = urllib.parse.urlsplit(self.path)
                params = {k: v[0] for k, v in urllib.parse.parse_qs(split.query, keep_blank_values=True).items()}
                with fake.lock:
                    fake.requests.append((time.monotonic(), api, params))
                if fake.delay[api]:
                    time.sleep(fake.delay[api])
                if split.path != path:
                    status, body = 404, dump({"error": True, "reason": "Not Found"})
                else:
                    answered = fake._failure(api, *answer(params))
                    if answered is None:
                        self.close_connection = True
                        return
                    status, body = answered
                data = body.encode()
                self.send_response(status)
                self.send_header("Content-Type", "text/html" if body.startswith("<") else
                                 "application/json; charset=utf-8")
                self.send_header("Content-Length", str(len(data)))
                self.end_headers()
                self.wfile.write(data)

        server = http.server.ThreadingHTTPServer((HOST, 0), Handler)
        server.daemon_threads = True
        threading.Thread(target=server.serve_forever, daemon=True).start()
        return server
