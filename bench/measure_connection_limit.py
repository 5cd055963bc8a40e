#!/usr/bin/python3
# measure_connection_limit.py - how quickly a newcomer hears from a server
# whose connection places are all taken by idle clients: COUNT connections
# (the server's --max-connections) are opened and left silent, then one
# newcomer is timed while they have been idle for under 10 s (it should be
# closed at once), and one after 10.5 s of silence (it should take the place
# of the connection idle longest and have its read answered). Prints one line
# for each.
# Usage: /usr/bin/python3 bench/measure_connection_limit.py HOST PORT [COUNT]
import socket
import sys
import time

READ_REGISTER_0 = bytes([0, 1, 0, 0, 0, 6, 0xFF, 3, 0, 0, 0, 1])  # FC3, unit 255


def connect(host, port):
    raw = socket.create_connection((host, port), timeout=5)
    raw.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
    return raw


def first_byte(raw):
    """b"" on the end of the stream or a reset, else the first byte read."""
    try:
        return raw.recv(1)
    except ConnectionResetError:
        return b""


def main():
    host, port = sys.argv[1], int(sys.argv[2])
    count = int(sys.argv[3]) if len(sys.argv) > 3 else 100
    idle = []
    for _ in range(count):
        idle.append(connect(host, port))
        time.sleep(0.005)  # the listen backlog holds only 5
    opened = time.monotonic()
    time.sleep(0.5)  # every one accepted

    start = time.perf_counter()
    refused = connect(host, port)
    ended = first_byte(refused) == b""
    print("idle under 10 s: newcomer %s after %.1f ms" % ("closed" if ended else "got data",
                                                          (time.perf_counter() - start) * 1e3))
    refused.close()

    time.sleep(max(0.0, opened + 10.5 - time.monotonic()))
    start = time.perf_counter()
    newcomer = connect(host, port)
    newcomer.sendall(READ_REGISTER_0)
    answer = first_byte(newcomer)
    print("idle 10.5 s: newcomer %s after %.1f ms" % ("answered" if answer else "closed",
                                                      (time.perf_counter() - start) * 1e3))
    for raw in idle + [newcomer]:
        raw.close()


if __name__ == "__main__":
    main()
