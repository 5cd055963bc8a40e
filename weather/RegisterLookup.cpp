// RegisterLookup.cpp - reading a register's row, refreshing it when stale,
// and turning its Value into a 16-bit register value.
#include "RegisterLookup.h"

#include <cstdlib>

#include "Clock.h"
#include "ConsoleLog.h"
#include "DataTable.h"
#include "WeatherFetch.h"

namespace {

std::string Column(const SqlRow& row, const char* name) {
  const auto found = row.find(name);
  return found != row.end() ? found->second : std::string();
}

// The columns of a Data row that a register read uses, as text; a NULL
// column reads as empty text.
struct RegisterRow {
  std::string offset;
  std::string name;
  std::string code;
  std::string value;
  std::string lastUpdated;
};

void Assign(std::string& column, const char* text) {
  if (text != nullptr) {
    column.assign(text);
  } else {
    column.clear();
  }
}

uint16_t RegisterValueOf(const std::string& name, const std::string& stored) {
  if (name == "temp" || name == "wind.speed") {
    return static_cast<uint16_t>(TenfoldTruncated(std::atof(stored.c_str())));
  }
  return static_cast<uint16_t>(ParseLeadingInteger(stored));
}

}  // namespace

bool RowToRegisterValue(const SqlRow& row, uint16_t* value) {
  *value = RegisterValueOf(Column(row, "Name"), Column(row, "Value"));
  return true;
}

bool GetValueByOffset(CSQLiteDatabase& database, uint16_t offset, uint16_t* value, bool refresh,
                      LookupRequest* request) {
  RegisterRow row;
  {
    const auto lock = database.Lock();
    if (database.Open(SQLITE_OPEN_READONLY) != SQLITE_OK) {
      ConsoleLog("Error: Could not open the database for read\n");
      return false;
    }
    // The first row whose offset reads back as the one asked for.
    bool found = false;
    const int result = database.Query("SELECT * FROM Data WHERE ModbusOffset = ?", {SqlParam::Integer(offset)},
                                      [&row, &found, offset](const SqlRowView& view) {
                                        if (found) {
                                          return;
                                        }
                                        Assign(row.offset, view.Text("ModbusOffset"));
                                        if (ParseLeadingInteger(row.offset) != offset) {
                                          return;
                                        }
                                        found = true;
                                        Assign(row.name, view.Text("Name"));
                                        Assign(row.code, view.Text("Code"));
                                        Assign(row.value, view.Text("Value"));
                                        Assign(row.lastUpdated, view.Text("LastUpdated"));
                                      });
    if (result != SQLITE_OK) {
      ConsoleLog("Error: Could not query database. SQL Query=[%s] SQL Error: [%s]\n", database.LastStatement().c_str(),
                 database.ErrorMessage().c_str());
      return false;
    }
    if (!found) {
      return false;
    }
  }

  if (refresh && CurrentUnixTime() > ParseLeadingInteger(row.lastUpdated) + kRefreshAgeSeconds) {
    const std::string& code = row.code;
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
  *value = RegisterValueOf(row.name, row.value);
  return true;
}
