// HistoryView.h - GET /history?postal=CODE&hours=N: one postal code's
// readings over the last hours, as JSON series per weather name, each value
// scaled as the page shows it.
#pragma once

#include "SQLiteDatabase.h"

struct mg_connection;

constexpr int kDefaultHistoryHours = 24;
constexpr int kMaxHistoryHours = 7 * 24;
// Most points answered per name; a longer series is thinned by the database,
// spread evenly over its time, its first and last points kept (ReadHistory).
constexpr int kMaxHistoryPointsPerName = 2000;

// Answers {"postal": CODE, "hours": N, "series": {NAME: {"unit": UNIT,
// "points": [[UNIX_SECONDS, VALUE], ...]}, ...}} under application/json:
// one member per weather name (one with a unit) that has readings of CODE
// (compared without regard to ASCII case) from N hours ago on, its points
// oldest first; VALUE is the register word, read signed for a signed name,
// divided by the name's factor. queryString (may be null) is decoded as a
// form (mg_get_var, "+" is a space). A missing or empty postal, or an hours
// other than a whole number from 1 to kMaxHistoryHours, answers the 400
// JSON error; a database that cannot be read the 500 one. Returns the status.
int SendHistory(mg_connection* conn, CSQLiteDatabase& database, const char* queryString);
