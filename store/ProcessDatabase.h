// ProcessDatabase.h - the one CSQLiteDatabase of the process, shared by the
// Modbus thread (register reads and writes) and the web threads.
#pragma once

#include "SQLiteDatabase.h"

// The database file the server keeps its registers in.
extern const char* const kDatabaseFileName;

CSQLiteDatabase& ProcessDatabase();
