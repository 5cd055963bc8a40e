// RegisterLookup.cpp - reading a register's row, refreshing it when stale,
// and turning its Value into a 16-bit register value.
#include "RegisterLookup.h"

#include <cstdlib>
#include <cstring>

#include "Clock.h"
#include "ConsoleLog.h"
#include "DataTable.h"
#include "WeatherFetch.h"

namespace {

std::string Column(const SqlRow& row, const char* name) {
  const auto found = row.find(name);
  return found != row.end() ? found->second : std::string();
}

// The column's text; NULL reads as empty text.
void AssignText(std::string& into, const SqlRowView& view, int column) {
  size_t length = 0;
  const char* bytes = view.Bytes(column, &length);
  into.assign(bytes != nullptr ? bytes : "", bytes != nullptr ? length : 0);
}

// A column as the row holds it: an integer is taken as such, anything
// else (text, a real, NULL as empty text) as its text, so that reading it
// as a number gives what parsing its text would.
struct StoredColumn {
  bool isInteger = false;
  int64_t integer = 0;
  std::string text;

  void Read(const SqlRowView& view, int column) {
    isInteger = view.IsInteger(column);
    if (isInteger) {
      integer = view.Integer(column);
      return;
    }
    AssignText(text, view, column);
  }
  int64_t AsInteger() const { return isInteger ? integer : ParseLeadingInteger(text); }
  double AsDouble() const { return isInteger ? static_cast<double>(integer) : std::atof(text.c_str()); }
};

// The columns of a Data row that a register read uses.
struct RegisterRow {
  StoredColumn offset;
  std::string name;  // NULL reads as empty text
  std::string code;
  StoredColumn value;
  StoredColumn lastUpdated;

  // Reads the row's columns by name, in one pass over them.
  void Read(const SqlRowView& view) {
    for (int column = 0; column < view.ColumnCount(); ++column) {
      const char* columnName = view.Name(column);
      if (columnName == nullptr) {
        continue;
      }
      // The first letter tells the five columns apart; the name is then
      // compared whole.
      switch (columnName[0]) {
        case 'M':
          if (std::strcmp(columnName, "ModbusOffset") == 0) offset.Read(view, column);
          break;
        case 'N':
          if (std::strcmp(columnName, "Name") == 0) AssignText(name, view, column);
          break;
        case 'C':
          if (std::strcmp(columnName, "Code") == 0) AssignText(code, view, column);
          break;
        case 'V':
          if (std::strcmp(columnName, "Value") == 0) value.Read(view, column);
          break;
        case 'L':
          if (std::strcmp(columnName, "LastUpdated") == 0) lastUpdated.Read(view, column);
          break;
        default:
          break;
      }
    }
  }
};

bool IsTenfoldName(const std::string& name) { return name == "temp" || name == "wind.speed"; }

uint16_t RegisterValueOf(const std::string& name, const std::string& stored) {
  if (IsTenfoldName(name)) {
    return static_cast<uint16_t>(TenfoldTruncated(std::atof(stored.c_str())));
  }
  return static_cast<uint16_t>(ParseLeadingInteger(stored));
}

uint16_t RegisterValueOf(const RegisterRow& row) {
  if (IsTenfoldName(row.name)) {
    return static_cast<uint16_t>(TenfoldTruncated(row.value.AsDouble()));
  }
  return static_cast<uint16_t>(row.value.AsInteger());
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
    static const std::string kSelectByOffset = "SELECT * FROM Data WHERE ModbusOffset = ?";
    struct Search {
      RegisterRow& row;
      uint16_t offset;
      bool found;
    } search{row, offset, false};
    // The bound value lives on between calls: a 125-register read runs this
    // 125 times, and a new parameter list would cost an allocation each.
    thread_local SqlParams params{SqlParam::Integer(0)};
    params.front().integer = offset;
    const int result = database.Query(kSelectByOffset, params, [&search](const SqlRowView& view) {
      if (!search.found) {
        search.row.Read(view);
        search.found = search.row.offset.AsInteger() == search.offset;
      }
    });
    if (result != SQLITE_OK) {
      ConsoleLog("Error: Could not query database. SQL Query=[%s] SQL Error: [%s]\n", database.LastStatement().c_str(),
                 database.ErrorMessage().c_str());
      return false;
    }
    if (!search.found) {
      return false;
    }
  }

  if (refresh && CurrentUnixTime() > row.lastUpdated.AsInteger() + kRefreshAgeSeconds) {
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
  *value = RegisterValueOf(row);
  return true;
}
