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
  return database.Exec("INSERT INTO History (PostalCode, Name, Word, Time) VALUES (?, ?, ?, ?);",
                       {SqlParam::Text(code), SqlParam::Text(name), SqlParam::Integer(word),
                        SqlParam::Integer(time)}) == SQLITE_OK;
}

int64_t PruneHistory(CSQLiteDatabase& database, int64_t cutoff, int64_t batchRows, int64_t maxRows) {
  const auto lock = database.Lock();
  if (database.Open(SQLITE_OPEN_READWRITE) != SQLITE_OK) {
    ConsoleLog("Error: Could not open the database for write\n");
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

bool ReadHistory(CSQLiteDatabase& database, const std::string& code, int64_t since,
                 std::vector<HistoryReading>& readings) {
  const auto lock = database.Lock();
  if (database.Open(SQLITE_OPEN_READONLY) != SQLITE_OK) {
    return false;
  }
  // The index on (PostalCode, Time) hands the rows over in time order.
  return database.Query("SELECT Name, Word, Time FROM History WHERE PostalCode = ? AND Time >= ? ORDER BY Time, rowid",
                        {SqlParam::Text(code), SqlParam::Integer(since)}, [&readings](const SqlRowView& row) {
                          size_t length = 0;
                          const char* name = row.Bytes(0, &length);
                          readings.push_back({name != nullptr ? std::string(name, length) : std::string(),
                                              static_cast<uint16_t>(row.Integer(1)), row.Integer(2)});
                        }) == SQLITE_OK;
}
