// RegisterMap.cpp - reading the Data table's rows once and writing them as
// CSV by hand (RFC 4180 quoting, text fields kept from being formulas) or as
// JSON with RapidJSON's Writer.
#include "RegisterMap.h"

#include <civetweb.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "DataTable.h"
#include "ReadingScale.h"
#include "RegisterNumbers.h"
#include "Utf8Text.h"
#include "WebResponses.h"

namespace {

const char* const kCsvContentType = "text/csv; charset=utf-8";

struct Register {
  int64_t offset = 0;
  std::string code;
  std::string name;
  std::optional<int64_t> lastUpdated;
};

std::string TextColumn(const SqlRowView& row, int column) {
  size_t length = 0;
  const char* text = row.Bytes(column, &length);
  return text != nullptr ? std::string(text, length) : std::string();
}

bool ReadRegisters(CSQLiteDatabase& database, std::vector<Register>& registers) {
  const auto lock = database.Lock();
  if (database.Open(SQLITE_OPEN_READONLY) != SQLITE_OK) {
    return false;
  }
  return database.Query("SELECT ModbusOffset, Code, Name, LastUpdated FROM Data ORDER BY ModbusOffset", {},
                        [&registers](const SqlRowView& row) {
                          Register& entry = registers.emplace_back();
                          entry.offset = row.Integer(0);
                          entry.code = TextColumn(row, 1);
                          entry.name = TextColumn(row, 2);
                          if (row.IsInteger(3)) {
                            entry.lastUpdated = row.Integer(3);
                          } else if (row.Text(3) != nullptr) {
                            entry.lastUpdated = ParseLeadingInteger(TextColumn(row, 3));
                          }
                        }) == SQLITE_OK;
}

std::optional<int64_t> FiveDigitAddress(int64_t offset) {
  return offset >= 0 && offset <= kFiveDigitLastOffset ? std::optional<int64_t>(offset + kFiveDigitRegisterBase)
                                                       : std::nullopt;
}

// "2023-11-14T22:13:20Z"; empty for a time gmtime cannot take.
std::string UtcTime(int64_t seconds) {
  const std::time_t time = static_cast<std::time_t>(seconds);
  std::tm parts{};
  char text[32] = "";
  if (gmtime_r(&time, &parts) == nullptr || std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts) == 0) {
    return std::string();
  }
  return text;
}

const char* ScaleText(const ReadingScale& scale) { return scale.factor == 10 ? "0.1" : "1"; }

// A field as RFC 4180 quotes it: within double quotes when it holds a
// comma, a quote or a line break.
std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) {
    return text;
  }
  std::string quoted = "\"";
  for (const char c : text) {
    quoted += c;
    if (c == '"') {
      quoted += '"';
    }
  }
  return quoted + "\"";
}

// A text field (a name, a postal code, a unit) that a spreadsheet would
// take for a formula, written with a leading "'" (OWASP's rule against CSV
// injection), then quoted. Number fields are written as they are: a
// negative number stays a number.
std::string CsvTextField(const std::string& text) {
  const bool formula = !text.empty() && std::string("=+-@\t\r").find(text.front()) != std::string::npos;
  return CsvField(formula ? "'" + text : text);
}

std::string OptionalNumber(const std::optional<int64_t>& number) {
  return number ? std::to_string(*number) : std::string();
}

}  // namespace

int SendRegisterMapCsv(mg_connection* conn, CSQLiteDatabase& database) {
  std::vector<Register> registers;
  if (!ReadRegisters(database, registers)) {
    return SendError(conn, kJsonContentType, 500, "Could not query the database");
  }
  std::string csv =
      "pdu_address,address_5digit,address_6digit,postal_code,name,scale,unit,signed,last_updated,last_updated_utc\r\n";
  for (const Register& entry : registers) {
    const ReadingScale scale = ScaleOf(entry.name);
    csv += std::to_string(entry.offset) + "," + OptionalNumber(FiveDigitAddress(entry.offset)) + "," +
           std::to_string(entry.offset + kSixDigitRegisterBase) + "," + CsvTextField(ValidUtf8(entry.code)) + "," +
           CsvTextField(ValidUtf8(entry.name)) + "," + ScaleText(scale) + "," + CsvTextField(scale.unit) + "," +
           (scale.signedWord ? "true" : "false") + "," + OptionalNumber(entry.lastUpdated) + "," +
           (entry.lastUpdated ? UtcTime(*entry.lastUpdated) : "") + "\r\n";
  }
  SendHeader(conn, 200, kCsvContentType);
  WriteText(conn, csv);
  return 200;
}

int SendRegisterMapJson(mg_connection* conn, CSQLiteDatabase& database) {
  std::vector<Register> registers;
  if (!ReadRegisters(database, registers)) {
    return SendError(conn, kJsonContentType, 500, "Could not query the database");
  }
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> json(buffer);
  const auto text = [&json](const std::string& value) {
    const std::string valid = ValidUtf8(value);
    json.String(valid.c_str(), static_cast<rapidjson::SizeType>(valid.size()));
  };
  const auto number = [&json](const std::optional<int64_t>& value) {
    if (value) {
      json.Int64(*value);
    } else {
      json.Null();
    }
  };
  json.StartArray();
  for (const Register& entry : registers) {
    const ReadingScale scale = ScaleOf(entry.name);
    json.StartObject();
    json.Key("pdu_address");
    json.Int64(entry.offset);
    json.Key("address_5digit");
    number(FiveDigitAddress(entry.offset));
    json.Key("address_6digit");
    json.Int64(entry.offset + kSixDigitRegisterBase);
    json.Key("postal_code");
    text(entry.code);
    json.Key("name");
    text(entry.name);
    json.Key("scale");
    if (scale.factor == 1) {
      json.Int(1);
    } else {
      json.Double(1.0 / scale.factor);
    }
    json.Key("unit");
    json.String(scale.unit);
    json.Key("signed");
    json.Bool(scale.signedWord);
    json.Key("last_updated");
    number(entry.lastUpdated);
    json.Key("last_updated_utc");
    if (entry.lastUpdated) {
      text(UtcTime(*entry.lastUpdated));
    } else {
      json.Null();
    }
    json.EndObject();
  }
  json.EndArray();
  SendHeader(conn, 200, kJsonContentType);
  WriteText(conn, std::string(buffer.GetString(), buffer.GetSize()));
  return 200;
}
