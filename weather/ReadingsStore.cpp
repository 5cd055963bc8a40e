// ReadingsStore.cpp - one answer's readings into the Data and History
// tables: each reading's name and value checked (RapidJSON values), new
// names and new codes bounded, all in one transaction.
#include "ReadingsStore.h"

#include <rapidjson/memorystream.h>
#include <rapidjson/stringbuffer.h>

#include <charconv>
#include <cstring>
#include <limits>
#include <set>
#include <string>

#include "ConsoleLog.h"
#include "DataTable.h"
#include "HistoryTable.h"
#include "ReadingScale.h"
#include "WriteTransaction.h"

namespace {

// The number a text stands for: its leading decimal number after blanks, as
// strtod reads it but independent of the locale; 0 when it has none.
double ReadingOfText(const char* text) {
  while (*text == ' ' || (*text >= '\t' && *text <= '\r')) {
    ++text;
  }
  if (*text == '+') {
    ++text;
  }
  double reading = 0.0;
  const char* const end = text + std::strlen(text);
  const auto [stop, error] = std::from_chars(text, end, reading);
  // Out of range still gives the direction: saturate rather than drop.
  if (error == std::errc::result_out_of_range) {
    return (*text == '-' ? -1.0 : 1.0) * std::numeric_limits<double>::infinity();
  }
  return error == std::errc() ? reading : 0.0;
}

// Reads a reading's Value as a number; false for a type that has none.
// Integers beyond 32 bits are refused, as ever; a number written with a
// fraction or an exponent is taken as it is.
bool ReadingOf(const rapidjson::Value& value, double* reading) {
  if (value.IsString()) {
    *reading = ReadingOfText(value.GetString());
    return true;
  }
  if (value.IsDouble()) {
    *reading = value.GetDouble();
    return true;
  }
  if (value.IsInt()) {
    *reading = value.GetInt();
    return true;
  }
  return false;
}

// True when a reading's name is text to keep: valid UTF-8 (an escape such
// as \udc80 can make it otherwise after unescaping) without control
// characters (\u0000 would cut it short in C strings).
bool IsReadingName(const char* name, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(name[i]);
    if (byte < 0x20 || byte == 0x7F) {
      return false;
    }
  }
  rapidjson::MemoryStream bytes(name, length);
  while (bytes.Tell() < length) {
    rapidjson::StringBuffer ignored;
    if (!rapidjson::UTF8<>::Validate(bytes, ignored)) {
      return false;
    }
  }
  return true;
}

// The names an answer for postalCode may still add: none counted for a code
// without rows (its first answer brings its names, bounded by
// kMaxReadingsPerAnswer), else kMaxNewNamesPerAnswer beyond the names it has.
// Read inside the storing transaction.
class NewNameBudget {
 public:
  // False when the code's names cannot be read; full when the code is new
  // and limits leave no room for another code (logged).
  bool Read(CSQLiteDatabase& database, const char* postalCode, const WeatherStoreLimits& limits) {
    // A refresh, the common case, is of a known code: its names are all
    // that is read.
    if (!ReadNamesOfCode(database, postalCode, m_names)) {
      return false;
    }
    if (!m_names.empty()) {
      m_limited = true;
      return true;
    }
    if (limits.maxPostalCodes == SIZE_MAX) {
      return true;  // no limit (the refresher's and Modbus's fetches): nothing to count
    }
    int64_t storedCodes = 0;
    switch (CheckPostalCodeRoom(database, postalCode, limits.maxPostalCodes, &storedCodes)) {
      case PostalCodeRoom::kFailed:
        return false;
      case PostalCodeRoom::kFull:
        m_full = true;
        LogError("Error: The readings of [%s] were not stored: [%lld] postal codes are stored, the most allowed\n",
                 postalCode, static_cast<long long>(storedCodes));
        return true;
      case PostalCodeRoom::kRoom:
      case PostalCodeRoom::kKnown:
        return true;  // a new code: every name of its first answer is new
    }
    return false;
  }
  bool Full() const { return m_full; }
  // True when a reading of name may be stored; a new name is counted.
  bool Take(const std::string& name) {
    if (!m_limited || m_names.count(name) != 0) {
      return true;
    }
    if (m_added == kMaxNewNamesPerAnswer) {
      ++m_skipped;
      return false;
    }
    ++m_added;
    m_names.insert(name);
    return true;
  }
  size_t Skipped() const { return m_skipped; }

 private:
  std::set<std::string> m_names;
  bool m_limited = false;
  bool m_full = false;
  size_t m_added = 0;
  size_t m_skipped = 0;
};

enum class ReadingStore { kStored, kSkipped, kFailed };

// Stores one reading as its Data row and appends it to the History table,
// both with the time the answer's readings were observed. A malformed
// element is skipped with its line, a new name past the budget without one;
// a reading that cannot be stored fails the whole answer.
ReadingStore StoreReading(CSQLiteDatabase& database, const char* postalCode, const rapidjson::Value& element,
                          int64_t observedAt, NewNameBudget& budget) {
  if (!element.IsObject() || !element.HasMember("Name") || !element["Name"].IsString()) {
    LogWarning("FYI: Invalid row in json data. Missing name. Skipping\n");
    return ReadingStore::kSkipped;
  }
  if (!IsReadingName(element["Name"].GetString(), element["Name"].GetStringLength())) {
    LogWarning("FYI: Invalid row in json data. The name is not text. Skipping\n");
    return ReadingStore::kSkipped;
  }
  const std::string name(element["Name"].GetString(), element["Name"].GetStringLength());
  if (!element.HasMember("Value")) {
    LogWarning("FYI: Invalid row in json data. Name=[%s]. Missing value. Skipping\n", name.c_str());
    return ReadingStore::kSkipped;
  }
  double reading = 0.0;
  if (!ReadingOf(element["Value"], &reading)) {
    LogWarning("FYI: Invalid row in json data. Name=[%s]. Unknown data type. Skipping\n", name.c_str());
    return ReadingStore::kSkipped;
  }
  if (!budget.Take(name)) {
    return ReadingStore::kSkipped;
  }
  const uint16_t value = RegisterWordOf(name, reading);
  LogDebug("FYI: Name=[%s], value=[%d]\n", name.c_str(), value);
  if (!SaveValue(database, postalCode, name, value, observedAt)) {
    LogError("Error: Could not insert this new value into the database. Name=[%s]\n", name.c_str());
    return ReadingStore::kFailed;
  }
  // A failed append is logged as an SQL error and costs the register nothing
  // (a file whose History table could not be made has none). A repeated
  // answer of the service's fallback adds no History row (see AppendHistory).
  AppendHistory(database, postalCode, name, value, observedAt);
  return ReadingStore::kStored;
}

}  // namespace

// Other connections' readers meet one short commit rather than one per
// reading.
bool StoreReadings(CSQLiteDatabase& database, const char* postalCode, const rapidjson::Value& readings,
                   int64_t observedAt, const WeatherStoreLimits& limits) {
  WriteTransaction transaction(database);
  const auto failed = [&database, &transaction, postalCode] {
    transaction.RollBack();
    LogError("Error: The readings of [%s] were not stored: %s\n", postalCode,
             transaction.Busy() || database.LastFailureWasBusy() ? "the database is busy with another writer"
                                                                 : "the database failed");
    return false;
  };
  if (!transaction.Started()) {
    return failed();
  }
  NewNameBudget budget;
  if (!budget.Read(database, postalCode, limits)) {
    return failed();
  }
  if (budget.Full()) {
    return false;
  }
  size_t walked = 0;
  for (const rapidjson::Value& element : readings.GetArray()) {
    if (walked++ == kMaxReadingsPerAnswer) {
      LogWarning("FYI: The answer holds [%u] readings; only the first [%zu] are stored\n", readings.Size(),
                 kMaxReadingsPerAnswer);
      break;
    }
    if (StoreReading(database, postalCode, element, observedAt, budget) == ReadingStore::kFailed) {
      return failed();
    }
  }
  if (budget.Skipped() > 0) {
    LogWarning(
        "FYI: The answer for [%s] holds more new names than the [%zu] a known code may add; [%zu] readings "
        "skipped\n",
        postalCode, kMaxNewNamesPerAnswer, budget.Skipped());
  }
  return transaction.Commit() || failed();
}
