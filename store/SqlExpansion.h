// SqlExpansion.h - a statement's text with its bound values written in, the
// way SQLite's sqlite3_expanded_sql writes them, for the log lines.
#pragma once

#include <string>

#include "SqlTypes.h"

// Appends sql to out with each "?" parameter outside quotes replaced by its
// value: an integer in decimal, text in single quotes (quotes inside
// doubled), NULL for a null value or a parameter without a value. Text in
// '...', "...", `...` or [...] is copied as it stands.
void AppendExpandedSql(std::string& out, const std::string& sql, const SqlParams& params);
