#!/usr/bin/env bash
# Runs the browser page's test (web/frontend/test-browser/page-in-browser.js):
# headless Chromium drives the page served by veld-web-test-host, whose postal
# lookups go to veld-weather-service. Both programs and the browser run in a
# private network namespace, with only its own loopback interface, so the
# fixed ports 8080 and 8081 collide with nothing and no traffic leaves.
#
#   tools/run-browser-test.sh [--build-dir DIR]
#
# Steps: check that web/assets/ is exactly what web/frontend/ builds
# (tools/build-web-assets.sh --check), install the page's pinned packages
# (npm ci, for playwright-core), then in the namespace start both programs
# from DIR/bin (default: build), wait until they answer, run the browser
# test, and stop both. Exits 1 when any step fails, when the browser test
# fails, or when a program does not exit cleanly on SIGTERM (so a sanitizer
# build's report at exit counts). The page's screenshots are saved as
# DIR/browser/page.png (at the end), page-1280.png and page-390.png (a
# desktop and a phone window, with a code's charts), the programs' output in
# DIR/browser/*.log.
#
# Needs node and npm with access to the npm registry, Debian's chromium,
# unshare and ip (as root, or with unprivileged user namespaces).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir="$root/build"
in_namespace=0
while [ $# -gt 0 ]; do
  case "$1" in
    --build-dir)
      [ $# -ge 2 ] || { echo "usage: $0 [--build-dir DIR]" >&2; exit 2; }
      build_dir=$(cd "$2" && pwd)
      shift 2
      ;;
    --in-namespace)  # internal: the second half, run under unshare
      in_namespace=1
      shift
      ;;
    *)
      echo "usage: $0 [--build-dir DIR]" >&2
      exit 2
      ;;
  esac
done

bin="$build_dir/bin"
out="$build_dir/browser"
web_port=8080
weather_port=8081
export npm_config_update_notifier=false

fail() {
  echo "run-browser-test: FAILED: $*" >&2
  exit 1
}

if [ "$in_namespace" -eq 0 ]; then
  for program in veld-web-test-host veld-weather-service; do
    [ -x "$bin/$program" ] || fail "$bin/$program is not built"
  done
  [ -x "${VELD_CHROMIUM:-/usr/bin/chromium}" ] || fail "no chromium (apt-get install chromium)"
  echo "== Web assets match a rebuild of web/frontend/"
  "$root/tools/build-web-assets.sh" --check
  echo "== npm ci in web/frontend"
  (cd "$root/web/frontend" && npm ci --no-audit --no-fund --loglevel=error)
  mkdir -p "$out"
  rm -f "$out/page.png" "$out/page-1280.png" "$out/page-390.png"
  # The namespace has no route out, so everything that needs the registry
  # happens above.
  unshare_options=(-n)
  if [ "$(id -u)" -ne 0 ]; then
    unshare_options=(-r -n)
  fi
  exec unshare "${unshare_options[@]}" -- "$root/tools/run-browser-test.sh" --in-namespace --build-dir "$build_dir"
fi

ip link set lo up

web_pid=""
weather_pid=""
work=$(mktemp -d)

# Sends SIGTERM and waits up to ten seconds, then SIGKILL. Leaves the exit
# status in stopped_status (not a command substitution: a subshell cannot
# wait for this shell's children).
stopped_status=0
stop() {
  local pid=$1 waited=0
  stopped_status=0
  kill -TERM "$pid" 2>/dev/null || true
  while kill -0 "$pid" 2>/dev/null && [ "$waited" -lt 100 ]; do
    sleep 0.1
    waited=$((waited + 1))
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill -KILL "$pid" 2>/dev/null || true
  fi
  wait "$pid" 2>/dev/null || stopped_status=$?
}

cleanup() {
  trap - EXIT INT TERM
  if [ -n "$web_pid" ]; then stop "$web_pid"; fi
  if [ -n "$weather_pid" ]; then stop "$weather_pid"; fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

show_logs() {
  for log in "$out/weather-service.log" "$out/web-test-host.log"; do
    echo "--- last lines of $log" >&2
    tail -n 30 "$log" >&2 || true
  done
}

# Polls url until it answers 200, at most 20 s; fails early when the
# program has exited.
wait_for() {
  local name=$1 pid=$2 url=$3 tries=0
  until curl -sf -o /dev/null --max-time 2 "$url"; do
    if ! kill -0 "$pid" 2>/dev/null; then
      show_logs
      fail "$name exited before answering"
    fi
    tries=$((tries + 1))
    if [ "$tries" -ge 100 ]; then
      show_logs
      fail "$name did not answer $url within 20 s"
    fi
    sleep 0.2
  done
}

echo "== Browser test in a private network namespace ($bin)"
"$bin/veld-weather-service" --listen "127.0.0.1:$weather_port" >"$out/weather-service.log" 2>&1 &
weather_pid=$!
"$bin/veld-web-test-host" --listen "127.0.0.1:$web_port" --database "$work/data.sqlite3" \
  --weather-url "http://127.0.0.1:$weather_port" >"$out/web-test-host.log" 2>&1 &
web_pid=$!
wait_for veld-weather-service "$weather_pid" "http://127.0.0.1:$weather_port/api?postalCode=V1L"
wait_for veld-web-test-host "$web_pid" "http://127.0.0.1:$web_port/index.css"

status=0
(cd "$root/web/frontend" &&
  VELD_WEB_URL="http://127.0.0.1:$web_port" VELD_SCREENSHOT="$out/page.png" timeout 300 npm run --silent test:browser) ||
  status=$?

stop "$web_pid"
web_status=$stopped_status
web_pid=""
stop "$weather_pid"
weather_status=$stopped_status
weather_pid=""
if [ "$status" -ne 0 ]; then
  show_logs
  fail "the browser test failed (exit status $status)"
fi
if [ "$web_status" -ne 0 ] || [ "$weather_status" -ne 0 ]; then
  show_logs
  fail "on SIGTERM veld-web-test-host exited with $web_status, veld-weather-service with $weather_status"
fi
echo "run-browser-test: passed; screenshots $out/page.png, page-1280.png, page-390.png"
