// ReadingsStore.h - storing the readings of one weather answer, already
// parsed as a JSON array, in the Data and History tables.
#pragma once

#include <rapidjson/document.h>

#include <cstdint>

#include "SQLiteDatabase.h"
#include "WeatherFetch.h"

// Stores the first kMaxReadingsPerAnswer readings of an answer for
// postalCode in one transaction, their History rows included, all with
// observedAt as their time: all of them or, when the write lock cannot be
// had within the wait, a BEGIN, statement or COMMIT fails (rolled back,
// logged), or limits leave no room for a new code (logged), none; then
// false. Malformed readings are skipped with a line each; new names of a
// known code past kMaxNewNamesPerAnswer are skipped with one line.
bool StoreReadings(CSQLiteDatabase& database, const char* postalCode, const rapidjson::Value& readings,
                   int64_t observedAt, const WeatherStoreLimits& limits);
