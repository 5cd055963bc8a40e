// HistoryView.cpp - reading the parameters, taking a code's History rows
// (thinned by the database, grouped by name) and writing them with
// RapidJSON's Writer.
#include "HistoryView.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "Clock.h"
#include "HistoryTable.h"
#include "QueryString.h"
#include "ReadingScale.h"
#include "Utf8Text.h"
#include "WebResponses.h"
#include "WholeNumber.h"

namespace {

// Longest decoded postal code looked up; the Data view's codes are far
// shorter.
constexpr size_t kMaxPostalBytes = 256;
constexpr int64_t kSecondsPerHour = 60 * 60;

// The hours asked for: the default when absent, nothing when not a whole
// number in range.
std::optional<int> HoursOf(const char* query) {
  const std::optional<std::string> text = QueryValue(query, "hours");
  if (!text) {
    return kDefaultHistoryHours;
  }
  const std::optional<int64_t> hours = ParseWholeNumber(*text, 1, kMaxHistoryHours);
  return hours ? std::optional<int>(static_cast<int>(*hours)) : std::nullopt;
}

void WriteValue(rapidjson::Writer<rapidjson::StringBuffer>& json, const ReadingScale& scale, uint16_t word) {
  const int value = scale.signedWord ? static_cast<int16_t>(word) : word;
  if (scale.factor == 1) {
    json.Int(value);
  } else {
    json.Double(static_cast<double>(value) / scale.factor);
  }
}

}  // namespace

int SendHistory(mg_connection* conn, CSQLiteDatabase& database, const char* queryString) {
  const std::optional<std::string> postal = QueryValue(queryString, "postal");
  if (!postal || postal->empty()) {
    return SendError(conn, kJsonContentType, 400, "postal is required");
  }
  if (postal->size() > kMaxPostalBytes) {
    return SendError(conn, kJsonContentType, 400, "postal is too long");
  }
  const std::optional<int> hours = HoursOf(queryString);
  if (!hours) {
    return SendError(conn, kJsonContentType, 400,
                     "hours must be a whole number from 1 to " + std::to_string(kMaxHistoryHours));
  }
  std::vector<HistoryReading> readings;
  if (!ReadHistory(database, *postal, CurrentUnixTime() - *hours * kSecondsPerHour, kMaxHistoryPointsPerName,
                   readings)) {
    return SendError(conn, kJsonContentType, 500, "Could not query the database");
  }

  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> json(buffer);
  json.StartObject();
  json.Key("postal");
  const std::string shownPostal = ValidUtf8(*postal);
  json.String(shownPostal.c_str(), static_cast<rapidjson::SizeType>(shownPostal.size()));
  json.Key("hours");
  json.Int(*hours);
  json.Key("series");
  json.StartObject();
  // Rows come grouped by name, each name's oldest first.
  for (auto first = readings.cbegin(); first != readings.cend();) {
    const std::string& name = first->name;
    const auto last =
        std::find_if(first, readings.cend(), [&name](const HistoryReading& reading) { return reading.name != name; });
    const ReadingScale scale = ScaleOf(name);
    if (scale.unit[0] != '\0') {
      json.Key(name.c_str(), static_cast<rapidjson::SizeType>(name.size()));
      json.StartObject();
      json.Key("unit");
      json.String(scale.unit);
      json.Key("points");
      json.StartArray();
      for (auto point = first; point != last; ++point) {
        json.StartArray();
        json.Int64(point->time);
        WriteValue(json, scale, point->word);
        json.EndArray();
      }
      json.EndArray();
      json.EndObject();
    }
    first = last;
  }
  json.EndObject();
  json.EndObject();
  SendHeader(conn, 200, kJsonContentType);
  WriteText(conn, std::string(buffer.GetString(), buffer.GetSize()));
  return 200;
}
