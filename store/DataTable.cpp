// DataTable.cpp - next free offset, insert, save (update or insert) and
// update by offset on the Data table. Values are bound as parameters; the
// statements are logged as they ran.
#include "DataTable.h"

#include <cstdlib>

#include "Clock.h"
#include "ConsoleLog.h"
#include "WriteTransaction.h"

const char* const kCreateDataTableSql =
    "CREATE TABLE IF NOT EXISTS Data (ModbusOffset INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT, Code TEXT, Value "
    "INTEGER, LastUpdated INTEGER);";

const char* const kCreateDataUniqueIndexSql =
    "CREATE UNIQUE INDEX IF NOT EXISTS DataByCodeAndName ON Data (Code, Name) WHERE Code <> '0';";

namespace {

const char* const kDefaultCode = "0";
const char* const kDefaultName = "no name";

bool OpenForRead(CSQLiteDatabase& database) {
  if (database.Open(SQLITE_OPEN_READONLY) != SQLITE_OK) {
    LogError("Error: Could not open the database for read\n");
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
  // Both queries read one snapshot of the file: between two of their own,
  // another connection's first insert would make an empty table look full.
  const bool ownTransaction = !database.InTransaction() && database.Exec("BEGIN;") == SQLITE_OK;
  struct EndRead {
    CSQLiteDatabase& database;
    bool owned;
    ~EndRead() {
      if (owned) {
        database.Exec("COMMIT;");
      }
    }
  } endRead{database, ownTransaction};
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

namespace {

// InsertValue with the row's LastUpdated given.
bool InsertValueAt(CSQLiteDatabase& database, const char* code, const char* name, uint16_t value, int64_t lastUpdated,
                   uint32_t* newOffset) {
  const std::string codeText = code != nullptr ? code : kDefaultCode;
  const std::string nameText = name != nullptr ? name : kDefaultName;
  // The offset chosen and the row inserted under one write lock: no other
  // connection can take the offset in between.
  WriteTransaction transaction(database);
  if (!transaction.Started()) {
    return false;
  }
  uint16_t offset = 0;
  if (!GetNextModbusOffset(database, &offset)) {
    LogError("Error: Could not find the highest modbus offset in the database. Can not insert this new value\n");
    return false;
  }
  std::string statement;
  if (database.Exec("INSERT INTO Data (Name, Code, Value, ModbusOffset, LastUpdated) VALUES(?, ?, ?, ?, ?);",
                    {SqlParam::Text(nameText), SqlParam::Text(codeText), SqlParam::Integer(value),
                     SqlParam::Integer(offset), SqlParam::Integer(lastUpdated)},
                    &statement) != SQLITE_OK) {
    LogError("Error: Can not insert new values into the database. SQL=[%s] SQL Error=[%s]\n", statement.c_str(),
             database.ErrorMessage().c_str());
    return false;
  }
  if (!transaction.Commit()) {
    return false;
  }
  if (newOffset != nullptr) {
    *newOffset = offset;
  }
  return true;
}

}  // namespace

bool InsertValue(CSQLiteDatabase& database, const char* code, const char* name, uint16_t value, uint32_t* newOffset) {
  return InsertValueAt(database, code, name, value, CurrentUnixTime(), newOffset);
}

bool SaveValue(CSQLiteDatabase& database, const std::string& code, const std::string& name, uint16_t value) {
  return SaveValue(database, code, name, value, CurrentUnixTime());
}

bool SaveValue(CSQLiteDatabase& database, const std::string& code, const std::string& name, uint16_t value,
               int64_t lastUpdated) {
  WriteTransaction transaction(database);
  if (!transaction.Started()) {
    return false;
  }
  // With "Code <> '0'" written out SQLite finds the pair through the unique
  // index, which leaves the info code out; a row of that code is looked for
  // along the table. The look-ups of a code's rows below do the same.
  static const std::string kUpdateReading =
      "UPDATE Data SET Value = ?, LastUpdated = ? WHERE ModbusOffset = (SELECT min(ModbusOffset) FROM Data WHERE "
      "Code = ? AND Name = ? AND Code <> '0')";
  static const std::string kUpdateInfoRow =
      "UPDATE Data SET Value = ?, LastUpdated = ? WHERE ModbusOffset = (SELECT min(ModbusOffset) FROM Data WHERE "
      "Code = ? AND Name = ?)";
  std::string statement;
  if (database.Exec(
          code == kDefaultCode ? kUpdateInfoRow : kUpdateReading,
          {SqlParam::Integer(value), SqlParam::Integer(lastUpdated), SqlParam::Text(code), SqlParam::Text(name)},
          &statement) != SQLITE_OK) {
    LogError("Error: Can not update the database. SQL=[%s] SQL Error=[%s]\n", statement.c_str(),
             database.ErrorMessage().c_str());
    return false;
  }
  if (database.ChangedRows() == 0 &&
      !InsertValueAt(database, code.c_str(), name.c_str(), value, lastUpdated, nullptr)) {
    return false;
  }
  return transaction.Commit();
}

PostalCodeRoom CheckPostalCodeRoom(CSQLiteDatabase& database, const std::string& code, size_t maxCodes,
                                   int64_t* storedCodes) {
  const auto lock = database.Lock();
  if (!OpenForRead(database)) {
    return PostalCodeRoom::kFailed;
  }
  SqlRows rows;
  if (database.Query(code == kDefaultCode ? "SELECT 1 AS found FROM Data WHERE Code = ? LIMIT 1"
                                          : "SELECT 1 AS found FROM Data WHERE Code = ? AND Code <> '0' LIMIT 1",
                     {SqlParam::Text(code)}, rows) != SQLITE_OK) {
    return PostalCodeRoom::kFailed;
  }
  if (!rows.empty()) {
    return PostalCodeRoom::kKnown;
  }
  rows.clear();
  if (database.Query("SELECT count(DISTINCT Code) AS codes FROM Data WHERE Code <> '0'", rows) != SQLITE_OK ||
      rows.empty() || rows.front().count("codes") == 0) {
    return PostalCodeRoom::kFailed;
  }
  const int64_t codes = ParseLeadingInteger(rows.front().at("codes"));
  if (storedCodes != nullptr) {
    *storedCodes = codes;
  }
  return static_cast<uint64_t>(codes) < maxCodes ? PostalCodeRoom::kRoom : PostalCodeRoom::kFull;
}

bool ReadNamesOfCode(CSQLiteDatabase& database, const std::string& code, std::set<std::string>& names) {
  const auto lock = database.Lock();
  if (!OpenForRead(database)) {
    return false;
  }
  SqlRows rows;
  if (database.Query(code == kDefaultCode ? "SELECT Name FROM Data WHERE Code = ?"
                                          : "SELECT Name FROM Data WHERE Code = ? AND Code <> '0'",
                     {SqlParam::Text(code)}, rows) != SQLITE_OK) {
    return false;
  }
  for (const SqlRow& row : rows) {
    const auto name = row.find("Name");
    if (name != row.end()) {
      names.insert(name->second);
    }
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
    LogError("Error: Can not update row. Not found by ModbusOffset=[%d], SQL=[%s] SQL Error=[%s]\n", offset,
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
    LogError("Error: Can not update the database. SQL=[%s] SQL Error=[%s]\n", statement.c_str(),
             database.ErrorMessage().c_str());
    return false;
  }
  return true;
}

namespace {

// How many of the registers first to last (inclusive) have a row; -1 when
// the count cannot be made.
int64_t CountRows(CSQLiteDatabase& database, uint32_t first, uint32_t last) {
  SqlRows rows;
  if (database.Query("SELECT count(*) AS rowCount FROM Data WHERE ModbusOffset BETWEEN ? AND ?",
                     {SqlParam::Integer(first), SqlParam::Integer(last)}, rows) != SQLITE_OK ||
      rows.empty()) {
    return -1;
  }
  return ParseLeadingInteger(rows.front()["rowCount"]);
}

}  // namespace

RegisterWrite WriteRegisters(CSQLiteDatabase& database, uint16_t first, const uint16_t* values, uint16_t count,
                             const char* name) {
  WriteTransaction transaction(database);
  const auto failure = [&database, &transaction] {
    return transaction.Busy() || database.LastFailureWasBusy() ? RegisterWrite::kBusy : RegisterWrite::kFailed;
  };
  if (!transaction.Started()) {
    return failure();
  }
  const int64_t rows = CountRows(database, first, static_cast<uint32_t>(first) + count - 1u);
  if (rows < 0) {
    return failure();
  }
  if (rows != count) {
    return RegisterWrite::kNoRow;
  }
  for (uint16_t i = 0; i < count; ++i) {
    if (!UpdateValueByOffset(database, static_cast<uint16_t>(first + i), values[i], name)) {
      return database.LastFailure() == SQLITE_CONSTRAINT ? RegisterWrite::kDuplicate : failure();
    }
  }
  return transaction.Commit() ? RegisterWrite::kWritten : failure();
}
