// DataTable.h - the Data table, one row per Modbus register, and the
// operations that write it. Every operation holds the database lock from its
// Open to its last statement and reports failure by returning false, after
// logging what failed.
#pragma once

#include <cstdint>
#include <string>

#include "SQLiteDatabase.h"

// The statement that creates the table on first start.
extern const char* const kCreateDataTableSql;

// Highest register offset in use plus one (16 bits: after 65535 comes 0);
// 0 for an empty table. False when it cannot be worked out.
bool GetNextModbusOffset(CSQLiteDatabase& database, uint16_t* next);

// Inserts a row at the next offset with the current time. A null code stands
// for "0", a null name for "no name". newOffset (may be null) receives the
// row's offset.
bool InsertValue(CSQLiteDatabase& database, const char* code, const char* name, uint16_t value, uint32_t* newOffset);

// Updates Value and LastUpdated of the row with this name and code, or
// inserts one when there is none.
bool SaveValue(CSQLiteDatabase& database, const std::string& code, const std::string& name, uint16_t value);

// Sets Value (and Name when given) and LastUpdated of the row at offset. Does
// not open the database: callers open it read-write first.
bool UpdateValueByOffset(CSQLiteDatabase& database, uint16_t offset, uint16_t value, const char* name);

// Parses the leading integer of a column's text as atoi does (blanks, sign,
// digits up to the first other character; 0 when there are none), saturating
// instead of overflowing.
int64_t ParseLeadingInteger(const std::string& text);
