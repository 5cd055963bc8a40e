// HistoryView.cpp - reading the parameters, grouping a code's History rows
// by name, thinning long series and writing them with RapidJSON's Writer.
#include "HistoryView.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <map>
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

// The points to answer out of count: all of them, or kMaxHistoryPointsPerName
// spread evenly from the first to the last.
std::vector<size_t> KeptPoints(size_t count) {
  std::vector<size_t> kept;
  const size_t wanted = std::min(count, kMaxHistoryPointsPerName);
  for (size_t i = 0; i < wanted; ++i) {
    kept.push_back(wanted == count || wanted < 2 ? i : i * (count - 1) / (wanted - 1));
  }
  return kept;
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
  if (!ReadHistory(database, *postal, CurrentUnixTime() - *hours * kSecondsPerHour, readings)) {
    return SendError(conn, kJsonContentType, 500, "Could not query the database");
  }
  // Rows come oldest first, and stay so within each name.
  std::map<std::string, std::vector<const HistoryReading*>> byName;
  for (const HistoryReading& reading : readings) {
    if (ScaleOf(reading.name).unit[0] != '\0') {
      byName[reading.name].push_back(&reading);
    }
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
  for (const auto& [name, points] : byName) {
    const ReadingScale scale = ScaleOf(name);
    json.Key(name.c_str(), static_cast<rapidjson::SizeType>(name.size()));
    json.StartObject();
    json.Key("unit");
    json.String(scale.unit);
    json.Key("points");
    json.StartArray();
    for (const size_t index : KeptPoints(points.size())) {
      json.StartArray();
      json.Int64(points[index]->time);
      WriteValue(json, scale, points[index]->word);
      json.EndArray();
    }
    json.EndArray();
    json.EndObject();
  }
  json.EndObject();
  json.EndObject();
  SendHeader(conn, 200, kJsonContentType);
  WriteText(conn, std::string(buffer.GetString(), buffer.GetSize()));
  return 200;
}
