// DataView.cpp - querying a page of rows and writing it as JSON (RapidJSON's
// writer) or HTML.
#include "DataView.h"

#include <civetweb.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "DataTable.h"
#include "RegisterNumbers.h"
#include "Utf8Text.h"
#include "WeatherFetch.h"
#include "WebResponses.h"

namespace {

int OffsetOf(const SqlRow& row) {
  const auto found = row.find("ModbusOffset");
  return found != row.end() ? static_cast<int>(ParseLeadingInteger(found->second)) : 0;
}

// Reads the page of rows; false (with the error answered) on failure.
bool QueryRows(mg_connection* conn, CSQLiteDatabase& database, const std::string& accept, int offset, int limit,
               const std::string& postal, SqlRows& rows, int* status) {
  const auto lock = database.Lock();
  if (database.Open(SQLITE_OPEN_READONLY) != SQLITE_OK) {
    *status = SendError(conn, accept, 500, "Error: Could not open the database");
    return false;
  }
  int result = SQLITE_OK;
  if (!postal.empty()) {
    result = database.Query("SELECT * FROM Data WHERE Code LIKE ? ORDER BY ModbusOffset LIMIT ? OFFSET ?",
                            {SqlParam::Text(postal + "%"), SqlParam::Integer(limit), SqlParam::Integer(offset)}, rows);
  } else {
    result = database.Query("SELECT * FROM Data ORDER BY ModbusOffset LIMIT ? OFFSET ?",
                            {SqlParam::Integer(limit), SqlParam::Integer(offset)}, rows);
  }
  if (result != SQLITE_OK) {
    *status = SendError(conn, accept, 500, "Could not query the database");
    return false;
  }
  return true;
}

}  // namespace

int SendDataView(mg_connection* conn, CSQLiteDatabase& database, const std::string& accept, int offset, int limit,
                 const std::string& postal, const WeatherStoreLimits& limits) {
  if (!postal.empty()) {
    // A failed fetch still lists what the table holds.
    FetchWeather(database, postal.c_str(), kWeatherTimeoutMs, limits);
  }
  SqlRows rows;
  int status = 0;
  if (!QueryRows(conn, database, accept, offset, limit, postal, rows, &status)) {
    return status;
  }
  if (accept == kJsonContentType) {
    return SendJsonRows(conn, rows);
  }
  SendHeader(conn, 200, accept.c_str());
  WriteText(conn, "<h1>VELD Modbus Sample Server</h1>");
  SendHtmlTable(conn, rows);
  const long long previous = static_cast<long long>(offset) - limit;
  const long long next = static_cast<long long>(offset) + limit;
  WriteText(conn, "<br /><br /><a href='?'>Home</a> | <a href='?limit=" + std::to_string(limit) +
                      "&offset=" + std::to_string(previous > 0 ? previous : 0) + "'>Previous</a> | <a href='?limit=" +
                      std::to_string(limit) + "&offset=" + std::to_string(next) + "'>Next</a> ");
  return 200;
}

int SendJsonRows(mg_connection* conn, const SqlRows& rows) {
  if (rows.empty()) {
    return SendError(conn, kJsonContentType, 400, "No results");
  }
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> json(buffer);
  json.StartArray();
  for (const SqlRow& row : rows) {
    json.StartObject();
    for (const auto& [name, value] : row) {
      const std::string validName = ValidUtf8(name);
      const std::string validValue = ValidUtf8(value);
      json.Key(validName.data(), static_cast<rapidjson::SizeType>(validName.size()));
      json.String(validValue.data(), static_cast<rapidjson::SizeType>(validValue.size()));
    }
    json.EndObject();
  }
  json.EndArray();
  SendHeader(conn, 200, kJsonContentType);
  WriteBody(conn, buffer.GetString(), buffer.GetSize());
  return 200;
}

void SendHtmlTable(mg_connection* conn, const SqlRows& rows) {
  if (rows.empty()) {
    WriteText(conn, "No Results");
    return;
  }
  std::string html = "<table border='1'><tr>";
  for (const auto& column : rows.front()) {
    html += "<th>" + HtmlEscape(column.first) + "</th>";
  }
  html += "<th>PDU Modbus Address</th><th>APU Modbus Address</th></tr>";
  for (const SqlRow& row : rows) {
    html += "<tr>";
    for (const auto& column : row) {
      html += "<td>" + HtmlEscape(column.second) + "</td>";
    }
    const int offset = OffsetOf(row);
    html += "<td>" + std::to_string(offset + kFiveDigitRegisterBase) + "</td><td>" +
            std::to_string(offset + kSixDigitRegisterBase) + "</td></tr>";
  }
  html += "</table>";
  WriteText(conn, html);
}
