// RegisterLookup.h - the value of one Modbus register: its Data row, first
// refreshed from the weather service when it is more than 30 seconds old.
#pragma once

#include <cstdint>
#include <set>
#include <string>

#include "ReadSession.h"
#include "SQLiteDatabase.h"
#include "SqlTypes.h"

// A row older than this many seconds is refreshed before it is read.
constexpr int64_t kRefreshAgeSeconds = 30;

// What the lookups of one Modbus request share: the postal codes fetched so
// far (a stale row of a code already fetched is answered from the table as
// it now stands, so one request fetches each code at most once), and the
// read session to step out of while a fetch runs.
struct LookupRequest {
  std::set<std::string> fetchedCodes;
  ReadSession* session = nullptr;
};

// Reads the row at offset into value. With refresh, a stale row's postal
// code is fetched first (unless the request fetched it already) and the row
// read anew. False when there is no row or it cannot be read (value
// untouched).
bool GetValueByOffset(CSQLiteDatabase& database, uint16_t offset, uint16_t* value, bool refresh,
                      LookupRequest* request = nullptr);

// The register value of a row: Value tenfold for "temp" and "wind.speed",
// as stored for other names; the low 16 bits are kept. Always true.
bool RowToRegisterValue(const SqlRow& row, uint16_t* value);
