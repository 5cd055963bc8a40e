// DataView.h - a page of the Data table, ordered by ModbusOffset, as JSON
// (an array of row objects, every value a string) or as an HTML page with a
// table, two Modbus address columns and Home/Previous/Next links.
#pragma once

#include <string>

#include "SQLiteDatabase.h"
#include "SqlTypes.h"
#include "WeatherFetch.h"

struct mg_connection;

// Lists limit rows from position offset (SQLite's rules: a negative limit
// lists all). A non-empty postal first fetches that code's weather, then
// lists only the rows whose Code begins with it (case-insensitive, "%" and
// "_" as wildcards). JSON when accept is exactly "application/json", else
// HTML sent with accept as its content type. The fetch stores within limits
// (WeatherFetch.h). Returns the status sent.
int SendDataView(mg_connection* conn, CSQLiteDatabase& database, const std::string& accept, int offset, int limit,
                 const std::string& postal, const WeatherStoreLimits& limits = WeatherStoreLimits());

// The rows as a JSON array; an empty set answers the 400 "No results" error.
int SendJsonRows(mg_connection* conn, const SqlRows& rows);

// The rows as an HTML table (escaped), or "No Results" for an empty set.
void SendHtmlTable(mg_connection* conn, const SqlRows& rows);
