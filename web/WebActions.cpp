// WebActions.cpp - the write and add actions.
#include "WebActions.h"

#include <cstdint>

#include "DataTable.h"
#include "DataView.h"
#include "WebResponses.h"

namespace {

const char* const kMissingParameters = "Missing required parameters for write.";

// The decoded name, or nothing when the request carries none (or an empty
// one).
std::string DecodedName(const QueryParameters& parameters, bool* present) {
  const auto found = parameters.find("name");
  std::string name = found != parameters.end() ? PercentDecode(found->second) : std::string();
  *present = !name.empty();
  return name;
}

}  // namespace

int HandleWriteAction(mg_connection* conn, CSQLiteDatabase& database, const std::string& accept,
                      const QueryParameters& parameters) {
  if (parameters.count("id") == 0 || parameters.count("value") == 0) {
    return SendError(conn, accept, 400, kMissingParameters);
  }
  const int32_t id = ParseNumber(parameters.at("id"));
  const auto value = static_cast<uint16_t>(ParseNumber(parameters.at("value")));
  bool hasName = false;
  const std::string name = DecodedName(parameters, &hasName);
  {
    const auto lock = database.Lock();
    if (database.Open(SQLITE_OPEN_READWRITE) != SQLITE_OK) {
      return SendError(conn, accept, 500, "Could not open the database");
    }
    if (!UpdateValueByOffset(database, static_cast<uint16_t>(id), value, hasName ? name.c_str() : nullptr)) {
      return SendError(conn, accept, 500, "Could not update database with write");
    }
  }
  return SendDataView(conn, database, accept, id, 1, std::string());
}

int HandleAddAction(mg_connection* conn, CSQLiteDatabase& database, const std::string& accept,
                    const QueryParameters& parameters) {
  if (parameters.count("value") == 0) {
    return SendError(conn, accept, 400, kMissingParameters);
  }
  const auto value = static_cast<uint16_t>(ParseNumber(parameters.at("value")));
  bool hasName = false;
  const std::string name = DecodedName(parameters, &hasName);
  uint32_t newOffset = 0;
  if (!InsertValue(database, nullptr, hasName ? name.c_str() : nullptr, value, &newOffset)) {
    return SendError(conn, accept, 500, "Could not insert the new value into the database");
  }
  return SendDataView(conn, database, accept, static_cast<int>(newOffset), 1, std::string());
}
