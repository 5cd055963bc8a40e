// ProcessDatabase.cpp - the process-wide database object.
#include "ProcessDatabase.h"

const char* const kDatabaseFileName = "data.sqlite3";

CSQLiteDatabase& ProcessDatabase() {
  static CSQLiteDatabase database;
  return database;
}
