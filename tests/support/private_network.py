"""What the scripts that start the real programs share: a private network
namespace to run in, and children that die with the script.

  from private_network import SKIPPED, die_with_parent, enter_private_network

enter_private_network() re-executes the calling script under `unshare -n`
with "--inside" added to its arguments, so that the fixed ports collide
with nothing and no traffic leaves loopback; inside, it brings loopback up.
"""
import ctypes
import os
import signal
import subprocess
import sys

SKIPPED = 77  # ctest's SKIP_RETURN_CODE


def die_with_parent():
    """A preexec_fn for subprocess: the child is killed when this script dies."""
    ctypes.CDLL(None).prctl(1, int(signal.SIGKILL))  # PR_SET_PDEATHSIG


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
