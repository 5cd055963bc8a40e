// DataTable.cpp - next free offset, insert, save (update or insert) and
// update by offset on the Data table. Values are bound as parameters; the
// statements are logged as they ran.
#include "DataTable.h"

#include <cstdlib>

#include "Clock.h"
#include "ConsoleLog.h"

const char* const kCreateDataTableSql =
    "CREATE TABLE IF NOT EXISTS Data (ModbusOffset INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT, Code TEXT, Value "
    "INTEGER, LastUpdated INTEGER);";

namespace {

const char* const kDefaultCode = "0";
const char* const kDefaultName = "no name";

bool OpenForRead(CSQLiteDatabase& database) {
  if (database.Open(SQLITE_OPEN_READONLY) != SQLITE_OK) {
    ConsoleLog("Error: Could not open the database for read\n");
    return false;
  }
  return true;
}

bool OpenForWrite(CSQLiteDatabase& database) {
  if (database.Open(SQLITE_OPEN_READWRITE) != SQLITE_OK) {
    ConsoleLog("Error: Could not open the database for write\n");
    return false;
  }
  return true;
}

}  // namespace

int64_t ParseLeadingInteger(const std::string& text) { return std::strtoll(text.c_str(), nullptr, 10); }

bool GetNextModbusOffset(CSQLiteDatabase& database, uint16_t* next) {
  if (next == nullptr) {
    return false;
  }
  const auto lock = database.Lock();
  if (!OpenForRead(database)) {
    return false;
  }
  SqlRows rows;
  if (database.Query("SELECT ModbusOffset FROM Data ORDER BY ModbusOffset DESC LIMIT 1", rows) == SQLITE_OK &&
      !rows.empty()) {
    const auto offset = rows.front().find("ModbusOffset");
    if (offset == rows.front().end()) {
      return false;
    }
    *next = static_cast<uint16_t>(ParseLeadingInteger(offset->second) + 1);
    return true;
  }
  rows.clear();
  if (database.Query("SELECT count(*) totalRows FROM Data ", rows) != SQLITE_OK || rows.empty()) {
    return false;
  }
  const auto total = rows.front().find("totalRows");
  if (total == rows.front().end() || ParseLeadingInteger(total->second) >= 1) {
    return false;
  }
  *next = 0;
  return true;
}

bool InsertValue(CSQLiteDatabase& database, const char* code, const char* name, uint16_t value, uint32_t* newOffset) {
  const std::string codeText = code != nullptr ? code : kDefaultCode;
  const std::string nameText = name != nullptr ? name : kDefaultName;
  const auto lock = database.Lock();
  const int64_t now = CurrentUnixTime();
  uint16_t offset = 0;
  if (!GetNextModbusOffset(database, &offset)) {
    ConsoleLog("Error: Could not find the highest modbus offset in the database. Can not insert this new value\n");
    return false;
  }
  if (!OpenForWrite(database)) {
    return false;
  }
  std::string statement;
  if (database.Exec("INSERT INTO Data (Name, Code, Value, ModbusOffset, LastUpdated) VALUES(?, ?, ?, ?, ?);",
                    {SqlParam::Text(nameText), SqlParam::Text(codeText), SqlParam::Integer(value),
                     SqlParam::Integer(offset), SqlParam::Integer(now)},
                    &statement) != SQLITE_OK) {
    ConsoleLog("Error: Can not insert new values into the database. SQL=[%s] SQL Error=[%s]\n", statement.c_str(),
               database.ErrorMessage().c_str());
    return false;
  }
  if (newOffset != nullptr) {
    *newOffset = offset;
  }
  return true;
}

bool SaveValue(CSQLiteDatabase& database, const std::string& code, const std::string& name, uint16_t value) {
  const auto lock = database.Lock();
  if (!OpenForRead(database)) {
    return false;
  }
  const int64_t now = CurrentUnixTime();
  SqlRows rows;
  if (database.Query("SELECT * FROM Data WHERE name = ? AND Code = ? LIMIT 1",
                     {SqlParam::Text(name), SqlParam::Text(code)}, rows) != SQLITE_OK ||
      rows.empty()) {
    return InsertValue(database, code.c_str(), name.c_str(), value, nullptr);
  }
  if (!OpenForWrite(database)) {
    return false;
  }
  std::string statement;
  if (database.Exec("UPDATE Data SET Value = ?, LastUpdated = ? WHERE Code = ? AND name = ?",
                    {SqlParam::Integer(value), SqlParam::Integer(now), SqlParam::Text(code), SqlParam::Text(name)},
                    &statement) != SQLITE_OK) {
    ConsoleLog("Error: Can not update the database. SQL=[%s] SQL Error=[%s]\n", statement.c_str(),
               database.ErrorMessage().c_str());
    return false;
  }
  return true;
}

bool UpdateValueByOffset(CSQLiteDatabase& database, uint16_t offset, uint16_t value, const char* name) {
  const auto lock = database.Lock();
  SqlRows rows;
  std::string statement;
  if (database.Query("SELECT * FROM Data WHERE ModbusOffset = ? LIMIT 1", {SqlParam::Integer(offset)}, rows,
                     &statement) != SQLITE_OK ||
      rows.empty()) {
    ConsoleLog("Error: Can not update row. Not found by ModbusOffset=[%d], SQL=[%s] SQL Error=[%s]\n", offset,
               statement.c_str(), database.ErrorMessage().c_str());
    return false;
  }
  const int64_t now = CurrentUnixTime();
  int result = SQLITE_OK;
  if (name == nullptr) {
    result = database.Exec("UPDATE Data SET Value = ?, LastUpdated = ? WHERE ModbusOffset = ?",
                           {SqlParam::Integer(value), SqlParam::Integer(now), SqlParam::Integer(offset)}, &statement);
  } else {
    result = database.Exec(
        "UPDATE Data SET Value = ?, Name = ?, LastUpdated = ? WHERE ModbusOffset = ?",
        {SqlParam::Integer(value), SqlParam::Text(name), SqlParam::Integer(now), SqlParam::Integer(offset)},
        &statement);
  }
  if (result != SQLITE_OK) {
    ConsoleLog("Error: Can not update the database. SQL=[%s] SQL Error=[%s]\n", statement.c_str(),
               database.ErrorMessage().c_str());
    return false;
  }
  return true;
}
