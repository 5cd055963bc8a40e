#!/usr/bin/python3
# prepare_bench_database.py - writes data.sqlite3 for a benchmark run of the
# server: the Data table, the 20 info rows (offsets 0-19, code "0") and rows
# 20-200, all updated "in the future" so no read fetches weather. With
# --history-rows N, also the server's History table holding N readings of the
# code "bench" spread evenly over the last 7 days (145000 is one reading every
# ~4.2 s), their names taken in turn from the weather names.
# Usage: /usr/bin/python3 bench/prepare_bench_database.py FOLDER [--history-rows N]
import argparse
import os
import sqlite3
import time

# The server's own CREATE TABLE statements (store/DataTable.cpp, store/HistoryTable.cpp).
CREATE_TABLE = ("CREATE TABLE IF NOT EXISTS Data (ModbusOffset INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT, "
                "Code TEXT, Value INTEGER, LastUpdated INTEGER);")
CREATE_HISTORY = ["CREATE TABLE IF NOT EXISTS History (PostalCode TEXT NOT NULL COLLATE NOCASE, Name TEXT NOT NULL, "
                  "Word INTEGER NOT NULL, Time INTEGER NOT NULL);",
                  "CREATE INDEX IF NOT EXISTS HistoryByCodeAndTime ON History (PostalCode, Time);",
                  "CREATE INDEX IF NOT EXISTS HistoryByTime ON History (Time);"]
FRESH_UNTIL = 4000000000  # year 2096: older than 30 s only long after the run
INFO_NAMES = (["app.version.major", "app.version.minor", "app.version.patch", "app.message.recv.count",
               "app.message.sent.count"] + [f"app.spare.{n}" for n in range(15)])
LAST_BENCH_ROW = 200
HISTORY_CODE = "bench"
HISTORY_NAMES = ["temp", "humidity", "pressure", "wind.speed", "visibility"]
HISTORY_SPAN = 7 * 24 * 3600
# The oldest reading this much inside the 7 days, so that the server's
# pruning of older readings finds none during a benchmark of a few minutes.
HISTORY_MARGIN = 30 * 60


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("folder")
    parser.add_argument("--history-rows", type=int, default=0)
    args = parser.parse_args()
    path = os.path.join(args.folder, "data.sqlite3")
    if os.path.exists(path):
        os.remove(path)
    with sqlite3.connect(path) as database:
        database.execute(CREATE_TABLE)
        rows = [(offset, name, "0", 0, FRESH_UNTIL) for offset, name in enumerate(INFO_NAMES)]
        rows += [(offset, f"bench.{offset}", "bench", offset, FRESH_UNTIL)
                 for offset in range(len(INFO_NAMES), LAST_BENCH_ROW + 1)]
        database.executemany("INSERT INTO Data (ModbusOffset, Name, Code, Value, LastUpdated) VALUES (?, ?, ?, ?, ?)",
                             rows)
        if args.history_rows > 0:
            for statement in CREATE_HISTORY:
                database.execute(statement)
            now = int(time.time())
            first = now - HISTORY_SPAN + HISTORY_MARGIN
            step = (now - first) / args.history_rows
            database.executemany(
                "INSERT INTO History (PostalCode, Name, Word, Time) VALUES (?, ?, ?, ?)",
                ((HISTORY_CODE, HISTORY_NAMES[i % len(HISTORY_NAMES)], 100 + i % 50, first + int(i * step))
                 for i in range(1, args.history_rows + 1)))
    database.close()
    history = f", {args.history_rows} History readings of code {HISTORY_CODE}" if args.history_rows > 0 else ""
    print(f"prepared {path}: offsets 0-{LAST_BENCH_ROW}{history}")


if __name__ == "__main__":
    main()
