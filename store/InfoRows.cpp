// InfoRows.cpp - seeding the info rows through SaveValue.
#include "InfoRows.h"

#include <string>

#include "DataTable.h"

namespace {

constexpr int kSpareRows = 15;
const char* const kInfoCode = "0";

}  // namespace

void SeedInfoRows(CSQLiteDatabase& database) {
  SaveValue(database, kInfoCode, "app.version.major", kProgramVersionMajor);
  SaveValue(database, kInfoCode, "app.version.minor", kProgramVersionMinor);
  SaveValue(database, kInfoCode, "app.version.patch", kProgramVersionPatch);
  SaveValue(database, kInfoCode, "app.message.recv.count", 0);
  SaveValue(database, kInfoCode, "app.message.sent.count", 0);
  for (int spare = 0; spare < kSpareRows; ++spare) {
    SaveValue(database, kInfoCode, "app.spare." + std::to_string(spare), 0);
  }
}
