// InfoRows.h - the 20 info rows a new database is seeded with: the program's
// version and spare rows, all with code "0", at offsets 0 to 19. As Modbus
// registers they are the protected info registers.
#pragma once

#include <cstdint>

#include "ProgramVersion.h"
#include "SQLiteDatabase.h"

// The postal code of every info row; the weather service has no readings
// for it.
extern const char* const kInfoRowCode;

// Number of info rows, and so the first register Modbus may write.
constexpr int kInfoRowCount = 20;

// Saves the info rows in order: app.version.major, .minor, .patch,
// app.message.recv.count, app.message.sent.count, app.spare.0 to 14. A row
// that cannot be written is left out.
void SeedInfoRows(CSQLiteDatabase& database);

// Writes the live message counts into the rows app.message.recv.count and
// app.message.sent.count (code "0"), with the current time; rows that are
// missing stay missing. False when the write fails.
bool WriteMessageCounts(CSQLiteDatabase& database, uint16_t received, uint16_t sent);
