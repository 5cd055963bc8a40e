// DataTable.h - the Data table, one row per Modbus register, and the
// operations that write it. Every operation holds the database lock from its
// Open to its last statement, writes in one transaction (or inside the
// caller's), and reports failure by returning false, after logging what
// failed; the connection's LastFailureWasBusy then tells contention for the
// write lock from a fault.
#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "SQLiteDatabase.h"

// The statement that creates the table on first start.
extern const char* const kCreateDataTableSql;
// The unique index that keeps one row per postal code and name. The code
// "0" of the info rows and of rows added by hand is left out: rows added
// without a name share the name "no name".
extern const char* const kCreateDataUniqueIndexSql;

// Highest register offset in use plus one (16 bits: after 65535 comes 0);
// 0 for an empty table. False when it cannot be worked out.
bool GetNextModbusOffset(CSQLiteDatabase& database, uint16_t* next);

// Inserts a row at the next offset with the current time. A null code stands
// for "0", a null name for "no name". newOffset (may be null) receives the
// row's offset.
bool InsertValue(CSQLiteDatabase& database, const char* code, const char* name, uint16_t value, uint32_t* newOffset);

// Updates Value and LastUpdated of the row with this name and code, or
// inserts one when there is none, in one transaction (so that no other
// connection can insert the same pair in between). In a file that holds the
// pair twice, the row with the lowest offset is the one updated.
bool SaveValue(CSQLiteDatabase& database, const std::string& code, const std::string& name, uint16_t value);
// The same with LastUpdated given (Unix seconds), for a reading observed
// before now.
bool SaveValue(CSQLiteDatabase& database, const std::string& code, const std::string& name, uint16_t value,
               int64_t lastUpdated);

// How a postal code stands against a limit of distinct postal codes.
enum class PostalCodeRoom {
  kKnown,   // the code has rows already
  kRoom,    // it has none, and fewer than the limit of codes are stored
  kFull,    // it has none, and the limit of codes is reached
  kFailed,  // the table could not be read (logged)
};

// Whether code has rows, and if not whether another code fits under
// maxCodes distinct codes other than "0" (the info rows' and hand-added
// rows' code is never counted). *storedCodes (may be null) receives that
// count when it was read. Opens the connection for reading unless it is
// open; inside a caller's transaction it reads that transaction's snapshot.
PostalCodeRoom CheckPostalCodeRoom(CSQLiteDatabase& database, const std::string& code, size_t maxCodes,
                                   int64_t* storedCodes = nullptr);

// Adds the names of code's rows to names. False when they cannot be read.
bool ReadNamesOfCode(CSQLiteDatabase& database, const std::string& code, std::set<std::string>& names);

// Sets Value (and Name when given) and LastUpdated of the row at offset. Does
// not open the database: callers open it read-write first.
bool UpdateValueByOffset(CSQLiteDatabase& database, uint16_t offset, uint16_t value, const char* name);

// How a write of registers ended.
enum class RegisterWrite {
  kWritten,
  kNoRow,      // a register of the range has no row: nothing written
  kBusy,       // another connection held the write lock past the wait
  kFailed,     // the database failed (logged)
  kDuplicate,  // the new name would give a postal code's name a second row
};

// Writes count values into the rows from first on (and, when name is given,
// renames them), all or nothing, in one transaction. first + count - 1 must
// not pass 65535.
RegisterWrite WriteRegisters(CSQLiteDatabase& database, uint16_t first, const uint16_t* values, uint16_t count,
                             const char* name = nullptr);

// Parses the leading integer of a column's text as atoi does (blanks, sign,
// digits up to the first other character; 0 when there are none), saturating
// instead of overflowing.
int64_t ParseLeadingInteger(const std::string& text);
