// RegisterMap.h - GET /registers.csv and /registers.json: every row of the
// Data table as a register an integrator configures, with its addresses in
// the usual conventions, its scale, unit and signedness, and its last update.
#pragma once

#include "SQLiteDatabase.h"

struct mg_connection;

// Every register, ordered by offset, with these columns (CSV header names,
// JSON member names): pdu_address (the offset, as it goes on the wire),
// address_5digit (offset + 40001, only for offsets up to 9998; empty or null
// beyond), address_6digit (offset + 400001), postal_code, name, scale (0.1
// or 1: value = word x scale), unit (empty for a name without one), signed
// (true when the word is read as a signed 16-bit number), last_updated (Unix
// seconds) and last_updated_utc (ISO 8601, UTC); both empty or null when
// the row has no time.
// CSV (text/csv; charset=utf-8): a header line, then one line per register,
// lines ending in CRLF, fields quoted as RFC 4180 says when they hold a
// comma, a quote, CR or LF; a text field (postal_code, name, unit) that
// begins with "=", "+", "-", "@", a tab or CR first gets a leading "'", so
// that a spreadsheet shows it as text rather than run it as a formula.
// JSON (application/json): an array of objects, every text as stored.
// A database that cannot be read answers the 500 JSON error. Both return the
// status sent.
int SendRegisterMapCsv(mg_connection* conn, CSQLiteDatabase& database);
int SendRegisterMapJson(mg_connection* conn, CSQLiteDatabase& database);
