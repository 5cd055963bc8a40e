"""What the scripts that start the real programs share: a private network
namespace to run in, children that die with the script, a look at whether a
port answers, and stopping a child in order.

  from private_network import SKIPPED, die_with_parent, enter_private_network, port_open, stop_process

enter_private_network() re-executes the calling script under `unshare -n`
with "--inside" added to its arguments, so that the fixed ports collide
with nothing and no traffic leaves loopback; inside, it brings loopback up.
"""
import ctypes
import os
import signal
import socket
import subprocess
import sys

SKIPPED = 77  # ctest's SKIP_RETURN_CODE


def die_with_parent():
    """A preexec_fn for subprocess: the child is killed when this script dies."""
    ctypes.CDLL(None).prctl(1, int(signal.SIGKILL))  # PR_SET_PDEATHSIG


def port_open(port, host="127.0.0.1"):
    """True when something accepts a TCP connection on host:port."""
    try:
        socket.create_connection((host, port), timeout=1).close()
        return True
    except OSError:
        return False


def stop_process(process, seconds=10):
    """SIGTERM, and SIGKILL when the process has not ended within seconds."""
    if process.poll() is None:
        process.send_signal(signal.SIGTERM)
        try:
            process.wait(seconds)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait(10)


def enter_private_network(inside):
    """Returns SKIPPED (after saying why) when there is no namespace to be had
    here; re-executes the script in a new one when not inside one yet (and so
    does not return); inside, brings loopback up and returns None."""
    if os.geteuid() != 0:
        print("skipped: a private network namespace needs root")
        return SKIPPED
    if not inside:
        if subprocess.run(["unshare", "-n", "true"], capture_output=True, timeout=20).returncode != 0:
            print("skipped: unshare -n is not permitted here")
            return SKIPPED
        script = os.path.abspath(sys.argv[0])
        os.execvp("unshare", ["unshare", "-n", sys.executable, script, "--inside"] + sys.argv[1:])
    subprocess.run(["ip", "link", "set", "lo", "up"], check=True, timeout=20)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("terminated"))
    return None
