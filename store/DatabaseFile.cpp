// DatabaseFile.cpp - the journal mode, the unique index and the History
// table, each checked before it is made.
#include "DatabaseFile.h"

#include "ConsoleLog.h"
#include "DataTable.h"
#include "HistoryTable.h"

namespace {

// The first column of the first row of a one-value query; empty when it
// fails or gives nothing.
std::string QueryValue(CSQLiteDatabase& database, const std::string& sql) {
  std::string value;
  database.Query(sql, SqlParams{}, [&value](const SqlRowView& row) {
    size_t length = 0;
    const char* text = row.Bytes(0, &length);
    if (value.empty() && text != nullptr) {
      value.assign(text, length);
    }
  });
  return value;
}

void UseWriteAheadLog(CSQLiteDatabase& database) {
  const std::string mode = QueryValue(database, "PRAGMA journal_mode=WAL;");
  if (mode != "wal") {
    LogWarning(
        "FYI: The database keeps its rollback journal (mode [%s]): reads wait while another connection writes. "
        "File=[%s]\n",
        mode.c_str(), database.FileName().c_str());
  }
}

void AddUniqueIndex(CSQLiteDatabase& database) {
  const std::string pairs = QueryValue(database,
                                       "SELECT count(*) FROM (SELECT 1 FROM Data WHERE Code <> '0' GROUP BY Code, Name "
                                       "HAVING count(*) > 1);");
  if (!pairs.empty() && pairs != "0") {
    LogWarning(
        "Warning: The Data table holds [%s] postal code and name pairs in more than one row; a reading updates the "
        "row of its pair with the lowest ModbusOffset. File=[%s]\n",
        pairs.c_str(), database.FileName().c_str());
    return;
  }
  database.Exec(kCreateDataUniqueIndexSql);
}

}  // namespace

void PrepareDatabaseFile(CSQLiteDatabase& database) {
  const auto lock = database.Lock();
  if (database.Open(SQLITE_OPEN_READWRITE) != SQLITE_OK) {
    LogError("Error: Could not open the database for write\n");
    return;
  }
  if (QueryValue(database, "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'Data';") != "1") {
    LogInfo("FYI: The database holds no Data table; nothing is added to it. File=[%s]\n", database.FileName().c_str());
    return;
  }
  UseWriteAheadLog(database);
  AddUniqueIndex(database);
  // A file from an earlier version has no History table yet; without one the
  // registers work as ever, only their history is not kept.
  if (database.Exec(kCreateHistoryTableSql) != SQLITE_OK) {
    LogError("Error: Can not create the History table, so no history is kept. File=[%s]: %s\n",
             database.FileName().c_str(), database.ErrorMessage().c_str());
  }
}
