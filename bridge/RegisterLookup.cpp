// RegisterLookup.cpp - reading a register's row, refreshing it when stale,
// and turning its Value into a 16-bit register value.
#include "RegisterLookup.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "Clock.h"
#include "ConsoleLog.h"
#include "DataTable.h"
#include "WeatherFetch.h"

namespace {

std::string Column(const SqlRow& row, const char* name) {
  const auto found = row.find(name);
  return found != row.end() ? found->second : std::string();
}

// The column's text; NULL reads as empty text. Row is a statement's row
// (SqlRowView) or a row handed to visit_row (SqlValuesView): both read alike.
template <typename Row>
void AssignText(std::string& into, const Row& row, int column) {
  size_t length = 0;
  const char* bytes = row.Bytes(column, &length);
  into.assign(bytes != nullptr ? bytes : "", bytes != nullptr ? length : 0);
}

// A column as the row holds it: an integer is taken as such, anything
// else (text, a real, NULL as empty text) as its text, so that reading it
// as a number gives what parsing its text would.
struct IntegerOrText {
  bool isInteger = false;
  int64_t integer = 0;
  std::string text;

  template <typename Row>
  void Read(const Row& row, int column) {
    isInteger = row.IsInteger(column);
    if (isInteger) {
      integer = row.Integer(column);
      return;
    }
    AssignText(text, row, column);
  }
  int64_t AsInteger() const { return isInteger ? integer : ParseLeadingInteger(text); }
};

// The stored word as it stands: readings are scaled when they are stored.
uint16_t RegisterValueOf(const IntegerOrText& value) { return static_cast<uint16_t>(value.AsInteger()); }

// The columns of a Data row that a register read uses.
struct RegisterRow {
  IntegerOrText offset;
  std::string code;  // NULL reads as empty text
  IntegerOrText value;
  IntegerOrText lastUpdated;

  // Reads the row's columns by name, in one pass over them.
  void Read(const SqlRowView& view) {
    for (int column = 0; column < view.ColumnCount(); ++column) {
      const char* columnName = view.Name(column);
      if (columnName == nullptr) {
        continue;
      }
      // The first letter tells the four columns apart; the name is then
      // compared whole.
      switch (columnName[0]) {
        case 'M':
          if (std::strcmp(columnName, "ModbusOffset") == 0) offset.Read(view, column);
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

}  // namespace

bool RowToRegisterValue(const SqlRow& row, uint16_t* value) {
  *value = static_cast<uint16_t>(ParseLeadingInteger(Column(row, "Value")));
  return true;
}

void LookupRequest::NoteReads(int64_t now) {
  if (schedule == nullptr) {
    return;
  }
  for (const CodeRead& read : codesRead) {
    schedule->NoteRead(read.code, read.lastUpdated, now, read.leftToRefresher);
  }
}

namespace {

// Notes a row's code (not the info code) with its LastUpdated; a request
// reads few codes, most often the one it read last.
void NoteCode(LookupRequest& request, const std::string& code, int64_t lastUpdated, bool leftToRefresher) {
  if (request.schedule == nullptr || code == kInfoRowCode) {
    return;
  }
  for (auto seen = request.codesRead.rbegin(); seen != request.codesRead.rend(); ++seen) {
    if (seen->code == code) {
      seen->lastUpdated = std::max(seen->lastUpdated, lastUpdated);
      seen->leftToRefresher = seen->leftToRefresher || leftToRefresher;
      return;
    }
  }
  request.codesRead.push_back({code, lastUpdated, leftToRefresher});
}

// Reads the row at offset. False when there is none or it cannot be read;
// the latter is noted in request (when given) as a database fault.
bool ReadRow(CSQLiteDatabase& database, uint16_t offset, RegisterRow& row, LookupRequest* request) {
  const auto lock = database.Lock();
  const auto fault = [request] {
    if (request != nullptr) {
      request->databaseFault = true;
    }
    return false;
  };
  if (database.Open(SQLITE_OPEN_READONLY) != SQLITE_OK) {
    LogError("Error: Could not open the database for read\n");
    return fault();
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
    LogError("Error: Could not query database. SQL Query=[%s] SQL Error: [%s]\n", database.LastStatement().c_str(),
             database.ErrorMessage().c_str());
    return fault();
  }
  return search.found;
}

// More than the refresh age old; exactly that old is still fresh.
bool IsStale(int64_t lastUpdated, int64_t now) { return now > lastUpdated + kRefreshAgeSeconds; }
bool IsStale(const RegisterRow& row, int64_t now) { return IsStale(row.lastUpdated.AsInteger(), now); }

// Why a stale row is or is not fetched by its read.
enum class StaleRowPlan { kFetch, kAsItStands, kLeaveToRefresher };

// A stale row of the info code is never fetched (the service has nothing
// for it), nor one of a code this request fetched already or one refreshed
// in the background; once the request's wait for the service is used up or
// a fetch in it has failed, the code is left to the refresher.
StaleRowPlan PlanStaleRow(const LookupRequest* request, const std::string& code, int64_t now) {
  if (code == kInfoRowCode) {
    return StaleRowPlan::kAsItStands;
  }
  if (request == nullptr) {
    return StaleRowPlan::kFetch;
  }
  if (request->fetchedCodes.count(code) != 0 ||
      (request->schedule != nullptr && request->schedule->RefreshesInBackground(code, now))) {
    return StaleRowPlan::kAsItStands;
  }
  if (request->fetchFailed || std::chrono::steady_clock::now() >= request->fetchDeadline) {
    return StaleRowPlan::kLeaveToRefresher;
  }
  return StaleRowPlan::kFetch;
}

// The time left for fetches in this request, in milliseconds.
long RemainingFetchMs(const LookupRequest* request) {
  if (request == nullptr) {
    return kWeatherTimeoutMs;
  }
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(request->fetchDeadline - std::chrono::steady_clock::now());
  return static_cast<long>(left.count());
}

}  // namespace

bool GetValueByOffset(CSQLiteDatabase& database, uint16_t offset, uint16_t* value, bool refresh,
                      LookupRequest* request) {
  RegisterRow row;
  if (!ReadRow(database, offset, row, request)) {
    return false;
  }
  const int64_t now = CurrentUnixTime();
  const StaleRowPlan plan =
      refresh && IsStale(row, now) ? PlanStaleRow(request, row.code, now) : StaleRowPlan::kAsItStands;
  if (plan == StaleRowPlan::kFetch) {
    const std::string code = row.code;
    LogInfo("FYI: The data is too old, we need to update it. ModbusAddress=[%d]\n", offset);
    if (request != nullptr && request->session != nullptr) {
      request->session->Suspend();  // no lock is held over the transfer
    }
    int64_t observedAt = 0;
    bool fetched = FetchWeather(database, code.c_str(), RemainingFetchMs(request), WeatherStoreLimits(), &observedAt);
    if (request != nullptr) {
      request->fetchedCodes.insert(code);
      if (request->session != nullptr) {
        request->session->Resume();
      }
    }
    if (!ReadRow(database, offset, row, request)) {
      return false;
    }
    // A fetch that brought no reading for this row's name failed it too. A
    // reading the service observed a while ago (its fallback's) still counts
    // as fetched, so that the code is not fetched again before its time.
    fetched = fetched && row.lastUpdated.AsInteger() >= observedAt;
    if (request != nullptr) {
      request->fetchFailed = request->fetchFailed || !fetched;
      if (request->schedule != nullptr) {
        request->schedule->NoteFetch(code, fetched, CurrentUnixTime());
      }
    }
  }
  if (request != nullptr) {
    NoteCode(*request, row.code, row.lastUpdated.AsInteger(), plan == StaleRowPlan::kLeaveToRefresher);
  }
  *value = RegisterValueOf(row.value);
  return true;
}

namespace {

// The rows of a range of registers, in one statement. visit_row is called
// as SQLite meets the rows: in offset order when ModbusOffset is the
// table's integer key (the server's own files), else in the order of the
// table's rowids or of an index on ModbusOffset (a file made by another
// tool, where offsets may repeat or be out of order), so ReadRange sorts
// them by offset when they are not in order already.
const std::string kScanRange =
    "SELECT NULL FROM Data WHERE ModbusOffset BETWEEN ? AND ? AND visit_row(ModbusOffset, Code, Value, LastUpdated)";

// One row of a range as the read needs it. Neighbouring rows mostly share
// their postal code, so a code is stored once for each run of rows met one
// after the other that share it (a code met again after another is stored
// again); a row refers to its code by index, which sorting leaves valid.
struct RangeRow {
  int64_t offset = 0;
  size_t code = 0;  // index into RangeRows::codes
  IntegerOrText value;
  IntegerOrText lastUpdated;
};
struct RangeRows {
  std::vector<RangeRow> rows;
  std::vector<std::string> codes;
  size_t count = 0;  // rows[0, count) hold this range; the rest stay allocated for reuse

  void Add(const SqlValuesView& view) {
    if (count == rows.size()) {
      rows.emplace_back();
    }
    RangeRow& row = rows[count++];
    row.offset = view.Integer(0);  // text such as "25" in a file of another tool reads as 25
    size_t length = 0;
    const char* code = view.Bytes(1, &length);
    const std::string_view text(code != nullptr ? code : "", code != nullptr ? length : 0);
    if (codes.empty() || codes.back() != text) {
      codes.emplace_back(text);
    }
    row.code = codes.size() - 1;
    row.value.Read(view, 2);
    row.lastUpdated.Read(view, 3);
  }
};

// Reads the rows from first to last into range. False, noted as a database
// fault, when the database cannot be read.
bool ReadRange(CSQLiteDatabase& database, uint32_t first, uint32_t last, RangeRows& range, LookupRequest& request) {
  range.count = 0;
  range.codes.clear();
  const auto lock = database.Lock();
  if (database.Open(SQLITE_OPEN_READONLY) != SQLITE_OK) {
    LogError("Error: Could not open the database for read\n");
    request.databaseFault = true;
    return false;
  }
  thread_local SqlParams params{SqlParam::Integer(0), SqlParam::Integer(0)};
  params[0].integer = first;
  params[1].integer = last;
  const int result = database.Scan(kScanRange, params, [&range](const SqlValuesView& view) { range.Add(view); });
  if (result != SQLITE_OK) {
    LogError("Error: Could not query database. SQL Query=[%s] SQL Error: [%s]\n", database.LastStatement().c_str(),
             database.ErrorMessage().c_str());
    request.databaseFault = true;
    return false;
  }
  const auto byOffset = [](const RangeRow& left, const RangeRow& right) { return left.offset < right.offset; };
  const auto end = range.rows.begin() + static_cast<std::ptrdiff_t>(range.count);
  if (!std::is_sorted(range.rows.begin(), end, byOffset)) {
    // Stable: of two rows with one offset, the first met is answered, as
    // the one-register lookup does.
    std::stable_sort(range.rows.begin(), end, byOffset);
  }
  return true;
}

// Notes the codes of a range's rows in the request, once for each run of
// rows with one code, one LastUpdated and one plan (neighbouring rows mostly
// share all three).
class RangeCodeNotes {
 public:
  void Note(LookupRequest& request, const RangeRows& range, const RangeRow& row, bool leftToRefresher) {
    const int64_t lastUpdated = row.lastUpdated.AsInteger();
    if (row.code == m_code && lastUpdated == m_lastUpdated && leftToRefresher == m_leftToRefresher) {
      return;
    }
    NoteCode(request, range.codes[row.code], lastUpdated, leftToRefresher);
    m_code = row.code;
    m_lastUpdated = lastUpdated;
    m_leftToRefresher = leftToRefresher;
  }

 private:
  size_t m_code = SIZE_MAX;  // index into RangeRows::codes; none yet
  int64_t m_lastUpdated = 0;
  bool m_leftToRefresher = false;
};

// Answers the registers from next up to end out of range (read from next
// on, in offset order) into values and found, counted from first, until a
// register whose row is to be fetched. Returns that register's address, or
// end when every register was answered.
uint32_t AnswerFromRange(const RangeRows& range, uint32_t first, uint32_t next, uint32_t end, uint16_t* values,
                         bool* found, LookupRequest& request) {
  const int64_t now = CurrentUnixTime();
  RangeCodeNotes notes;
  // Neighbouring rows mostly share a code: its plan, which nothing in this
  // loop changes, is made once per run of them rather than per register
  // (each plan asks the refresh schedule under its lock).
  size_t plannedCode = SIZE_MAX;
  StaleRowPlan codePlan = StaleRowPlan::kAsItStands;
  size_t at = 0;
  for (uint32_t address = next; address < end; ++address) {
    const size_t index = address - first;
    while (at < range.count && range.rows[at].offset < address) {
      ++at;
    }
    found[index] = at < range.count && range.rows[at].offset == address;
    if (!found[index]) {
      continue;
    }
    const RangeRow& row = range.rows[at];
    if (IsStale(row.lastUpdated.AsInteger(), now) && row.code != plannedCode) {
      codePlan = PlanStaleRow(&request, range.codes[row.code], now);
      plannedCode = row.code;
    }
    const StaleRowPlan plan = IsStale(row.lastUpdated.AsInteger(), now) ? codePlan : StaleRowPlan::kAsItStands;
    if (plan == StaleRowPlan::kFetch) {
      return address;
    }
    notes.Note(request, range, row, plan == StaleRowPlan::kLeaveToRefresher);
    values[index] = RegisterValueOf(row.value);
  }
  return end;
}

}  // namespace

bool GetValuesByRange(CSQLiteDatabase& database, uint16_t first, uint16_t count, uint16_t* values, bool* found,
                      LookupRequest& request) {
  const uint32_t end = static_cast<uint32_t>(first) + count;
  thread_local RangeRows range;
  uint32_t next = first;
  while (next < end) {
    if (!ReadRange(database, next, end - 1, range, request)) {
      return false;
    }
    const uint32_t toFetch = AnswerFromRange(range, first, next, end, values, found, request);
    if (toFetch == end) {
      break;
    }
    // A row to fetch: the one-register lookup fetches, reads it anew and
    // notes the fetch for the request and the schedule, as it does at debug.
    // The fetch may have changed rows of this range already read, so the
    // rest is read again.
    const size_t index = toFetch - first;
    found[index] = GetValueByOffset(database, static_cast<uint16_t>(toFetch), &values[index], true, &request);
    if (request.databaseFault) {
      return false;
    }
    next = toFetch + 1;
  }
  return true;
}
