#!/usr/bin/env bash
# Builds the browser page's assets in web/assets/ (index.html, index.css,
# index.js) from the sources in web/frontend/, with the npm packages pinned
# in web/frontend/package-lock.json. The built assets are committed, so
# building the server itself needs no Node.js; run this after changing
# anything in web/frontend/.
#
#   tools/build-web-assets.sh          install the pinned packages, run the
#                                      page's unit tests, rebuild web/assets/
#   tools/build-web-assets.sh --check  rebuild from a fresh copy of
#                                      web/frontend/ in a temporary folder and
#                                      compare byte for byte with web/assets/;
#                                      exits 1 on any difference
#
# Needs node and npm and access to the npm registry. Runs as root without
# questions.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
FRONTEND="$ROOT/web/frontend"
ASSETS="$ROOT/web/assets"
ASSET_FILES=(index.html index.css index.js)
NPM_CI=(npm ci --no-audit --no-fund --loglevel=error)

export npm_config_update_notifier=false

usage() {
  echo "usage: $0 [--check]" >&2
  exit 2
}

need_node() {
  if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
    echo "build-web-assets: node and npm are needed to build the page's assets" >&2
    exit 1
  fi
}

build() {
  cd "$FRONTEND"
  "${NPM_CI[@]}"
  npm test
  npm run build
}

WORK=""
cleanup() {
  if [ -n "$WORK" ]; then
    rm -rf "$WORK"
  fi
}

check() {
  local work status=0 name
  WORK="$(mktemp -d)"
  trap cleanup EXIT
  work="$WORK"
  # A copy at another path without node_modules: shows that the build takes
  # nothing from the checkout's folder name or from packages left lying
  # around.
  mkdir -p "$work/frontend" "$work/assets"
  tar -C "$FRONTEND" --exclude=./node_modules -cf - . | tar -C "$work/frontend" -xf -
  (cd "$work/frontend" && "${NPM_CI[@]}" && node build.js "$work/assets") >"$work/build.log" 2>&1 || {
    cat "$work/build.log" >&2
    echo "build-web-assets: FAILED: the assets could not be rebuilt" >&2
    exit 1
  }
  for name in "${ASSET_FILES[@]}"; do
    if [ ! -f "$ASSETS/$name" ]; then
      echo "build-web-assets: web/assets/$name is missing" >&2
      status=1
    elif ! cmp -s "$work/assets/$name" "$ASSETS/$name"; then
      echo "build-web-assets: web/assets/$name differs from a rebuild of web/frontend/" \
        "($(stat -c %s "$ASSETS/$name") bytes committed, $(stat -c %s "$work/assets/$name") rebuilt)" >&2
      status=1
    else
      echo "build-web-assets: web/assets/$name matches the rebuild ($(stat -c %s "$ASSETS/$name") bytes)"
    fi
  done
  if [ "$status" -ne 0 ]; then
    echo "build-web-assets: FAILED: run tools/build-web-assets.sh and commit web/assets/" >&2
  fi
  return "$status"
}

need_node
case "${1:-}" in
  "") build ;;
  --check) check ;;
  *) usage ;;
esac
