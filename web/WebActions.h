// WebActions.h - the web client's two changes to the register table: write
// a value (and optionally a name) into the row at an offset, and add a row at
// the next free offset. Both answer with the data view of the changed row.
#pragma once

#include <cstdint>
#include <string>

#include "SQLiteDatabase.h"

struct mg_connection;

// The values the actions take: a register word written as an unsigned or a
// signed 16-bit number (a negative one is stored as its two's complement),
// and a row's ModbusOffset.
constexpr int64_t kLowestValue = -32768;
constexpr int64_t kHighestValue = 65535;
constexpr int64_t kHighestId = 65535;

// action=write: id (0 to 65535) and value required, name optional; the
// parameters are read from query. A missing parameter, or an id or value
// that is not a whole number in its range, is a 400 and changes nothing; so
// are an id without a row (404), a new name that another row of the postal
// code has (409), and a database busy with another writer past the wait
// (503).
int HandleWriteAction(mg_connection* conn, CSQLiteDatabase& database, const std::string& accept, const char* query);

// action=add: value required, name optional; 503 when the database is busy
// with another writer past the wait.
int HandleAddAction(mg_connection* conn, CSQLiteDatabase& database, const std::string& accept, const char* query);
