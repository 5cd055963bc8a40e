// HistoryTable.h - the History table: every reading a fetch stores, kept as
// (postal code, name, register word, time) for a number of days, read back
// per code over a time range and pruned in bounded batches.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "SQLiteDatabase.h"

// Creates the table and its indexes when they are missing (both statements
// "IF NOT EXISTS"): one index for one code over a time range, one on the
// time alone for pruning. Codes compare without regard to ASCII case.
extern const char* const kCreateHistoryTableSql;

// How long readings are kept by default, and the range a setting may choose.
constexpr int kDefaultHistoryDays = 7;
constexpr int kMinHistoryDays = 1;
constexpr int kMaxHistoryDays = 3650;

// Appends one reading. Called inside the caller's transaction, with the
// database lock held and the connection open read-write. False when the
// insert fails (the SQL error is logged by the connection).
bool AppendHistory(CSQLiteDatabase& database, const std::string& code, const std::string& name, uint16_t word,
                   int64_t time);

// Deletes readings older than cutoff (Unix seconds), at most batchRows per
// statement, so that each statement holds the file's write lock only
// briefly, and at most maxRows in all. Returns the rows deleted, or -1 when
// a statement fails. Opens the connection read-write.
int64_t PruneHistory(CSQLiteDatabase& database, int64_t cutoff, int64_t batchRows, int64_t maxRows);

struct HistoryReading {
  std::string name;
  uint16_t word = 0;
  int64_t time = 0;
};

// The readings of code (compared without regard to ASCII case) from since
// on, oldest first, appended to readings. False when the database cannot be
// opened or queried.
bool ReadHistory(CSQLiteDatabase& database, const std::string& code, int64_t since,
                 std::vector<HistoryReading>& readings);
