// InfoRows.cpp - seeding the info rows through SaveValue, and writing the
// live message counts into two of them.
#include "InfoRows.h"

#include <string>

#include "Clock.h"
#include "DataTable.h"

const char* const kInfoRowCode = "0";

namespace {

constexpr int kSpareRows = 15;
const char* const kReceivedCountName = "app.message.recv.count";
const char* const kSentCountName = "app.message.sent.count";

}  // namespace

void SeedInfoRows(CSQLiteDatabase& database) {
  SaveValue(database, kInfoRowCode, "app.version.major", kProgramVersionMajor);
  SaveValue(database, kInfoRowCode, "app.version.minor", kProgramVersionMinor);
  SaveValue(database, kInfoRowCode, "app.version.patch", kProgramVersionPatch);
  SaveValue(database, kInfoRowCode, kReceivedCountName, 0);
  SaveValue(database, kInfoRowCode, kSentCountName, 0);
  for (int spare = 0; spare < kSpareRows; ++spare) {
    SaveValue(database, kInfoRowCode, "app.spare." + std::to_string(spare), 0);
  }
}

bool WriteMessageCounts(CSQLiteDatabase& database, uint16_t received, uint16_t sent) {
  const auto lock = database.Lock();
  if (database.Open(SQLITE_OPEN_READWRITE) != SQLITE_OK) {
    return false;
  }
  // One statement, so both rows change together.
  return database.Exec(
             "UPDATE Data SET Value = CASE Name WHEN ? THEN ? ELSE ? END, LastUpdated = ? "
             "WHERE Code = ? AND Name IN (?, ?)",
             {SqlParam::Text(kReceivedCountName), SqlParam::Integer(received), SqlParam::Integer(sent),
              SqlParam::Integer(CurrentUnixTime()), SqlParam::Text(kInfoRowCode), SqlParam::Text(kReceivedCountName),
              SqlParam::Text(kSentCountName)}) == SQLITE_OK;
}
