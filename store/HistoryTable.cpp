// HistoryTable.cpp - the History table's statements: creating it, appending
// a reading, pruning old ones in batches and reading one code's range.
#include "HistoryTable.h"

#include <algorithm>

#include "ConsoleLog.h"

const char* const kCreateHistoryTableSql =
    "CREATE TABLE IF NOT EXISTS History (PostalCode TEXT NOT NULL COLLATE NOCASE, Name TEXT NOT NULL, Word INTEGER "
    "NOT NULL, Time INTEGER NOT NULL);"
    "CREATE INDEX IF NOT EXISTS HistoryByCodeAndTime ON History (PostalCode, Time);"
    "CREATE INDEX IF NOT EXISTS HistoryByTime ON History (Time);";

bool AppendHistory(CSQLiteDatabase& database, const std::string& code, const std::string& name, uint16_t word,
                   int64_t time) {
  // The look-up goes through the index on (PostalCode, Time): the code's
  // rows from time on, mostly none.
  return database.Exec(
             "INSERT INTO History (PostalCode, Name, Word, Time) SELECT ?, ?, ?, ? WHERE NOT EXISTS (SELECT 1 FROM "
             "History WHERE PostalCode = ? AND Time >= ? AND Name = ?);",
             {SqlParam::Text(code), SqlParam::Text(name), SqlParam::Integer(word), SqlParam::Integer(time),
              SqlParam::Text(code), SqlParam::Integer(time), SqlParam::Text(name)}) == SQLITE_OK;
}

int64_t PruneHistory(CSQLiteDatabase& database, int64_t cutoff, int64_t batchRows, int64_t maxRows) {
  const auto lock = database.Lock();
  if (database.Open(SQLITE_OPEN_READWRITE) != SQLITE_OK) {
    LogError("Error: Could not open the database for write\n");
    return -1;
  }
  int64_t deleted = 0;
  while (deleted < maxRows) {
    const int64_t batch = std::min(batchRows, maxRows - deleted);
    if (database.Exec("DELETE FROM History WHERE rowid IN (SELECT rowid FROM History WHERE Time < ? LIMIT ?);",
                      {SqlParam::Integer(cutoff), SqlParam::Integer(batch)}) != SQLITE_OK) {
      return -1;
    }
    const int64_t changed = database.ChangedRows();
    deleted += changed;
    if (changed < batch) {
      break;
    }
  }
  return deleted;
}

// Each step is an index lookup or a bounded walk: Early stops after
// Points + 1 distinct times, Span and Chosen look up one time each, Kept
// the rows of the chosen times, Edge one first and one last row per name.
const char* const kReadThinnedHistorySql =
    "WITH RECURSIVE Asked(Code, Since, Points) AS (VALUES (?, ?, ?)),"
    // The range's first reading times, one more than Points when it has
    // more, so that a short range is answered whole.
    " Early(Time) AS (SELECT DISTINCT Time FROM History WHERE PostalCode = (SELECT Code FROM Asked)"
    " AND Time >= (SELECT Since FROM Asked) ORDER BY Time LIMIT (SELECT Points + 1 FROM Asked)),"
    // A row only when the range is thinned: its first and last time and the
    // number of evenly spread instants.
    " Span(First, Last, Instants) AS (SELECT (SELECT MIN(Time) FROM Early),"
    " (SELECT MAX(Time) FROM History WHERE PostalCode = Code AND Time >= Since), Points - 2"
    " FROM Asked WHERE (SELECT COUNT(*) FROM Early) > Points),"
    " Instant(Step, Start) AS (SELECT 0, First FROM Span"
    " UNION ALL SELECT Step + 1, First + (Step + 1) * (Last - First) / (Instants - 1) FROM Instant, Span"
    " WHERE Step + 1 < Instants),"
    " Chosen(Time) AS (SELECT Time FROM Early WHERE NOT EXISTS (SELECT 1 FROM Span)"
    " UNION SELECT (SELECT MIN(Time) FROM History WHERE PostalCode = (SELECT Code FROM Asked) AND Time >= Start)"
    " FROM Instant),"
    " Kept(Row, Name) AS (SELECT rowid, Name FROM History WHERE PostalCode = (SELECT Code FROM Asked)"
    " AND Time IN Chosen),"
    // A name missing from the first or last chosen time still keeps its own
    // first and last reading.
    " Named(Name) AS (SELECT DISTINCT Name FROM Kept WHERE EXISTS (SELECT 1 FROM Span)),"
    " Edge(Row) AS (SELECT (SELECT rowid FROM History WHERE PostalCode = (SELECT Code FROM Asked)"
    " AND Time >= (SELECT Since FROM Asked) AND History.Name = Named.Name ORDER BY Time LIMIT 1) FROM Named"
    " UNION ALL SELECT (SELECT rowid FROM History WHERE PostalCode = (SELECT Code FROM Asked)"
    " AND Time >= (SELECT Since FROM Asked) AND History.Name = Named.Name ORDER BY Time DESC LIMIT 1) FROM Named)"
    // One row per name and time: the one stored first.
    " SELECT Name, Word, Time, MIN(rowid) FROM History"
    " WHERE rowid IN (SELECT Row FROM Kept UNION ALL SELECT Row FROM Edge) GROUP BY Name, Time ORDER BY Name, Time";

bool ReadHistory(CSQLiteDatabase& database, const std::string& code, int64_t since, int pointsPerName,
                 std::vector<HistoryReading>& readings) {
  const auto lock = database.Lock();
  if (database.Open(SQLITE_OPEN_READONLY) != SQLITE_OK) {
    return false;
  }
  return database.Query(kReadThinnedHistorySql,
                        {SqlParam::Text(code), SqlParam::Integer(since), SqlParam::Integer(pointsPerName)},
                        [&readings](const SqlRowView& row) {
                          size_t length = 0;
                          const char* name = row.Bytes(0, &length);
                          readings.push_back({name != nullptr ? std::string(name, length) : std::string(),
                                              static_cast<uint16_t>(row.Integer(1)), row.Integer(2)});
                        }) == SQLITE_OK;
}
