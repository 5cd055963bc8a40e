// RegisterLookup.cpp - reading a register's row, refreshing it when stale,
// and turning its Value into a 16-bit register value.
#include "RegisterLookup.h"

#include <cstdlib>
#include <utility>

#include "Clock.h"
#include "ConsoleLog.h"
#include "DataTable.h"
#include "WeatherFetch.h"

namespace {

std::string Column(const SqlRow& row, const char* name) {
  const auto found = row.find(name);
  return found != row.end() ? found->second : std::string();
}

}  // namespace

bool RowToRegisterValue(const SqlRow& row, uint16_t* value) {
  const std::string name = Column(row, "Name");
  const std::string stored = Column(row, "Value");
  if (name == "temp" || name == "wind.speed") {
    *value = static_cast<uint16_t>(TenfoldTruncated(std::atof(stored.c_str())));
  } else {
    *value = static_cast<uint16_t>(ParseLeadingInteger(stored));
  }
  return true;
}

bool GetValueByOffset(CSQLiteDatabase& database, uint16_t offset, uint16_t* value, bool refresh,
                      LookupRequest* request) {
  SqlRow row;
  {
    const auto lock = database.Lock();
    if (database.Open(SQLITE_OPEN_READONLY) != SQLITE_OK) {
      ConsoleLog("Error: Could not open the database for read\n");
      return false;
    }
    SqlRows rows;
    std::string statement;
    if (database.Query("SELECT * FROM Data WHERE ModbusOffset = ?", {SqlParam::Integer(offset)}, rows, &statement) !=
        SQLITE_OK) {
      ConsoleLog("Error: Could not query database. SQL Query=[%s] SQL Error: [%s]\n", statement.c_str(),
                 database.ErrorMessage().c_str());
      return false;
    }
    bool found = false;
    for (SqlRow& candidate : rows) {
      if (ParseLeadingInteger(Column(candidate, "ModbusOffset")) == offset) {
        row = std::move(candidate);
        found = true;
        break;
      }
    }
    if (!found) {
      return false;
    }
  }

  if (refresh && CurrentUnixTime() > ParseLeadingInteger(Column(row, "LastUpdated")) + kRefreshAgeSeconds) {
    const std::string code = Column(row, "Code");
    // A code this request fetched already: the row just read is as fresh as
    // the service made it.
    if (request == nullptr || request->fetchedCodes.count(code) == 0) {
      ConsoleLog("FYI: The data is too old, we need to update it. ModbusAddress=[%d]\n", offset);
      if (request != nullptr && request->session != nullptr) {
        request->session->Suspend();  // no lock is held over the transfer
      }
      FetchWeather(database, code.c_str());  // a failed fetch leaves the old row to answer with
      if (request != nullptr) {
        request->fetchedCodes.insert(code);
        if (request->session != nullptr) {
          request->session->Resume();
        }
      }
      return GetValueByOffset(database, offset, value, false, request);
    }
  }
  return RowToRegisterValue(row, value);
}
