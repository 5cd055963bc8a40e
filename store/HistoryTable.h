// HistoryTable.h - the History table: every reading a fetch stores, kept as
// (postal code, name, register word, time) for a number of days, read back
// per code over a time range (thinned by SQLite to a bounded number of
// points per name) and pruned in bounded batches.
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

// Appends one reading, unless the table holds a reading of that code and
// name at time or later already: a reading observed once and answered again
// (the weather service's fallback repeats its last readings) is one row,
// and History never goes back in time for a name. Called inside the
// caller's transaction, with the database lock held and the connection open
// read-write. False when the insert fails (the SQL error is logged by the
// connection); true when it was not needed.
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
// on, at most pointsPerName (4 or more) per name, appended to readings
// ordered by name (byte order) and, within a name, oldest first. SQLite
// thins them, so the rows handed over stay bounded whatever the table
// holds:
// - when the range has at most pointsPerName distinct reading times, every
//   reading is kept;
// - otherwise pointsPerName - 2 instants are spread evenly from the range's
//   first reading time to its last, and the readings taken at the first
//   reading time at or after each instant are kept (a fetch stores all its
//   readings under one time, so every name of that fetch keeps a point),
//   plus each kept name's own first and last reading in the range.
// A name keeps one reading per time. The work is a few index lookups per
// instant, not a pass over the range. False when the database cannot be
// opened or queried.
bool ReadHistory(CSQLiteDatabase& database, const std::string& code, int64_t since, int pointsPerName,
                 std::vector<HistoryReading>& readings);

// The one statement ReadHistory runs, with the parameters (code, since,
// pointsPerName); its rows are (Name, Word, Time). Every access to History
// goes through the index on (PostalCode, Time) or the rowid.
extern const char* const kReadThinnedHistorySql;
