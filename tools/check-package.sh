#!/usr/bin/env bash
# Builds the Debian package (tools/build-package.sh), installs it on this
# machine and checks what it installed: the programs' versions, the man
# pages, the registered conffile and the server starting from it, a C client
# of libveldmodbus built with pkg-config and with the CMake package, and the
# systemd units. Purges the package again at the end, on failure too.
# Run as root, after tools/install-deps.sh; exits non-zero on any failure.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
package=veld-modbus-weather-server
conffile=/etc/veld/veld-weather-server.conf
units=(/lib/systemd/system/veld-weather-server.service /lib/systemd/system/veld-weather-service.service)
version=$(sed -n 's/^constexpr int kProgramVersion\(Major\|Minor\|Patch\|Build\) = \([0-9]*\);$/\2/p' \
  "$root/common/ProgramVersion.h" | paste -sd.)

fail() {
  echo "FAILED: $*" >&2
  exit 1
}
ok() { echo "ok: $*"; }

if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q installed; then
  fail "$package is installed already; this check installs and purges it (dpkg --purge $package first)"
fi

work=$(mktemp -d)
server_pid=
cleanup() {
  if [ -n "$server_pid" ]; then kill "$server_pid" 2>/dev/null || true; fi
  if dpkg-query -W "$package" >/dev/null 2>&1; then
    dpkg --purge "$package" >/dev/null || echo "could not purge $package" >&2
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

deb=$("$root/tools/build-package.sh" | tail -n 1)
ok "package built: $deb ($(dpkg-deb -c "$deb" | grep -vc '/$') files)"
# apt resolves the package's Depends (installed already by install-deps.sh).
apt-get install -y -qq --no-install-recommends "$deb" >/dev/null 2>"$work/apt.log" || {
  cat "$work/apt.log" >&2
  fail "apt-get install $deb"
}
ok "installed $package $(dpkg-query -W -f='${Version}' "$package")"

for program in veld-weather-server veld-weather-service; do
  first=$("/usr/bin/$program" --version | head -n 1)
  [ "$first" = "$program $version" ] || fail "$program --version says '$first', not '$program $version'"
  ok "/usr/bin/$program --version: $first"
  page=$(if command -v man >/dev/null; then man -w "$program"; else echo "/usr/share/man/man1/$program.1.gz"; fi)
  zcat "$page" | grep -q "^\.TH ${program^^} \"1\"" || fail "no man page for $program at $page"
  ok "man page $page"
done

for registered in "$conffile" /etc/veld/veld-weather-service.conf; do
  dpkg-query -W -f='${Conffiles}\n' "$package" | grep -q "^ $registered [0-9a-f]\{32\}$" ||
    fail "$registered is not a registered conffile of $package"
  ok "conffile registered: $registered"
done

# The server starts from the installed file (its ports moved to free
# loopback ones), and at the file's log level info writes no SQL lines.
(cd "$work" && exec /usr/bin/veld-weather-server --config "$conffile" --modbus-listen 127.0.0.1:0 \
  --web-listen 127.0.0.1:0 >server.log 2>&1) &
server_pid=$!
for _ in $(seq 100); do
  grep -q "Waiting on TCP connection" "$work/server.log" && break
  kill -0 "$server_pid" 2>/dev/null || break
  sleep 0.1
done
kill -TERM "$server_pid" 2>/dev/null || true
status=0
wait "$server_pid" || status=$?
server_pid=
if ! grep -q "Waiting on TCP connection" "$work/server.log" || [ "$status" -ne 0 ]; then
  cat "$work/server.log" >&2
  fail "veld-weather-server did not start from $conffile and stop with 0 on SIGTERM (status $status)"
fi
! grep -q "SQL Query=" "$work/server.log" || fail "log-level = info of $conffile was not applied"
ok "veld-weather-server starts from $conffile and stops with 0 on SIGTERM"

# shellcheck disable=SC2046 # pkg-config's flags are separate words
cc -std=c11 -Wall -Wextra -Werror "$root/tests/package/StackClient.c" $(pkg-config --cflags --libs veldmodbus) \
  -o "$work/stack-client-pkg-config"
"$work/stack-client-pkg-config" >"$work/client.log" || {
  cat "$work/client.log" >&2
  fail "StackClient built with pkg-config"
}
ok "StackClient.c built with pkg-config --cflags --libs veldmodbus ($(pkg-config --modversion veldmodbus)) runs"

cmake -S "$root/tests/package" -B "$work/cmake-client" >/dev/null
cmake --build "$work/cmake-client" >/dev/null
for client in stack-client stack-client-static; do
  "$work/cmake-client/$client" >"$work/client.log" || {
    cat "$work/client.log" >&2
    fail "$client built with find_package(veldmodbus)"
  }
done
ok "StackClient.c built with find_package(veldmodbus) runs (veldmodbus::veldmodbus and ::veldmodbus_static)"

if command -v systemd-analyze >/dev/null; then
  # verify loads the units offline, so it needs no running systemd. A
  # misspelt key or a bad value is only a warning to it (exit 0), so any
  # message at all fails the check.
  if ! systemd-analyze verify "${units[@]}" >"$work/verify.log" 2>&1 || [ -s "$work/verify.log" ]; then
    cat "$work/verify.log" >&2
    fail "systemd-analyze verify ${units[*]}"
  fi
  ok "systemd-analyze verify: ${units[*]##*/}"
else
  echo "skipped: systemd-analyze verify (systemd-analyze is not installed)"
fi

dpkg --purge "$package" >/dev/null
if [ -e /usr/bin/veld-weather-server ] || [ -e "$conffile" ] || [ -e "${units[0]}" ]; then
  fail "files of $package left behind after dpkg --purge"
fi
ok "purged $package"
