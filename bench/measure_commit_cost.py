#!/usr/bin/python3
# measure_commit_cost.py - the disk's cost of one committed SQLite transaction
# in a folder: COUNT transactions of one single-row UPDATE each (BEGIN
# IMMEDIATE, UPDATE, COMMIT), with SQLite's default journal and sync settings,
# as the server's writes use them. Prints one line with microseconds per commit.
# Usage: /usr/bin/python3 bench/measure_commit_cost.py FOLDER [COUNT]
import os
import sqlite3
import statistics
import sys
import time


def main():
    folder = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 200
    path = os.path.join(folder, "commit-probe.sqlite3")
    database = sqlite3.connect(path, isolation_level=None)
    try:
        database.execute("CREATE TABLE IF NOT EXISTS Probe (Id INTEGER PRIMARY KEY, Value INTEGER)")
        database.execute("INSERT OR REPLACE INTO Probe (Id, Value) VALUES (1, 0)")
        timings = []
        for value in range(1, count + 1):
            start = time.perf_counter()
            database.execute("BEGIN IMMEDIATE")
            database.execute("UPDATE Probe SET Value = ? WHERE Id = 1", (value,))
            database.execute("COMMIT")
            timings.append((time.perf_counter() - start) * 1e6)
    finally:
        database.close()
        for leftover in (path, path + "-journal"):
            if os.path.exists(leftover):
                os.remove(leftover)
    timings.sort()
    print(f"commits={count} commit_us_median={statistics.median(timings):.0f} "
          f"commit_us_mean={statistics.fmean(timings):.0f} commit_us_p99={timings[int(0.99 * (count - 1))]:.0f}")


if __name__ == "__main__":
    main()
