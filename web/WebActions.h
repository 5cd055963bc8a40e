// WebActions.h - the web client's two changes to the register table: write
// a value (and optionally a name) into the row at an offset, and add a row at
// the next free offset. Both answer with the data view of the changed row.
#pragma once

#include <string>

#include "QueryString.h"
#include "SQLiteDatabase.h"

struct mg_connection;

// action=write: id and value required, name optional (percent-decoded).
int HandleWriteAction(mg_connection* conn, CSQLiteDatabase& database, const std::string& accept,
                      const QueryParameters& parameters);

// action=add: value required, name optional (percent-decoded).
int HandleAddAction(mg_connection* conn, CSQLiteDatabase& database, const std::string& accept,
                    const QueryParameters& parameters);
