// DatabaseFile.h - putting an opened database file in shape for the server:
// the WAL journal (readers never wait for a writer, and a writer waits only
// for another writer), the unique index that keeps one row per postal code
// and name, and the History table. Only a file that holds the Data table is
// touched; any other is left exactly as it is.
#pragma once

#include "SQLiteDatabase.h"

// Does the above on the connection (opened read-write here), logging what
// could not be done: a file that cannot use WAL (a read-only folder, a file
// system without shared memory) keeps its rollback journal, with one line; a
// Data table that holds a pair twice gets no unique index, with one warning.
// The server runs on in every case.
void PrepareDatabaseFile(CSQLiteDatabase& database);
