// InfoRows.h - the 20 info rows a new database is seeded with: the program's
// version and spare rows, all with code "0", at offsets 0 to 19. As Modbus
// registers they are the protected info registers.
#pragma once

#include "SQLiteDatabase.h"

// The program version the info rows carry.
constexpr int kProgramVersionMajor = 0;
constexpr int kProgramVersionMinor = 0;
constexpr int kProgramVersionPatch = 5;
constexpr int kProgramVersionBuild = 201;

// Number of info rows, and so the first register Modbus may write.
constexpr int kInfoRowCount = 20;

// Saves the info rows in order: app.version.major, .minor, .patch,
// app.message.recv.count, app.message.sent.count, app.spare.0 to 14. A row
// that cannot be written is left out.
void SeedInfoRows(CSQLiteDatabase& database);
