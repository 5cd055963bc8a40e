#!/usr/bin/python3
# prepare_bench_database.py - writes data.sqlite3 for a benchmark run of the
# server: the Data table, the 20 info rows (offsets 0-19, code "0") and rows
# 20-200, all updated "in the future" so no read fetches weather.
# Usage: /usr/bin/python3 bench/prepare_bench_database.py FOLDER
import os
import sqlite3
import sys

# The server's own CREATE TABLE statement (store/DataTable.cpp).
CREATE_TABLE = ("CREATE TABLE IF NOT EXISTS Data (ModbusOffset INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT, "
                "Code TEXT, Value INTEGER, LastUpdated INTEGER);")
FRESH_UNTIL = 4000000000  # year 2096: older than 30 s only long after the run
INFO_NAMES = (["app.version.major", "app.version.minor", "app.version.patch", "app.message.recv.count",
               "app.message.sent.count"] + [f"app.spare.{n}" for n in range(15)])
LAST_BENCH_ROW = 200


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: prepare_bench_database.py FOLDER")
    path = os.path.join(sys.argv[1], "data.sqlite3")
    if os.path.exists(path):
        os.remove(path)
    with sqlite3.connect(path) as database:
        database.execute(CREATE_TABLE)
        rows = [(offset, name, "0", 0, FRESH_UNTIL) for offset, name in enumerate(INFO_NAMES)]
        rows += [(offset, f"bench.{offset}", "bench", offset, FRESH_UNTIL)
                 for offset in range(len(INFO_NAMES), LAST_BENCH_ROW + 1)]
        database.executemany("INSERT INTO Data (ModbusOffset, Name, Code, Value, LastUpdated) VALUES (?, ?, ?, ?, ?)",
                             rows)
    database.close()
    print(f"prepared {path}: offsets 0-{LAST_BENCH_ROW}")


if __name__ == "__main__":
    main()
