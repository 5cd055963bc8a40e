// WebActions.cpp - the write and add actions.
#include "WebActions.h"

#include <cstdint>
#include <optional>

#include "DataTable.h"
#include "DataView.h"
#include "QueryString.h"
#include "WebResponses.h"
#include "WholeNumber.h"

namespace {

const char* const kMissingParameters = "Missing required parameters for write.";
const char* const kBadValue = "value must be an integer from -32768 to 65535";
const char* const kBadId = "id must be an integer from 0 to 65535";
const char* const kBusy = "The database is busy with another writer; try again";

// The word to store, or nothing when the text is not a value in range.
std::optional<uint16_t> RegisterWord(const std::string& text) {
  const std::optional<int64_t> value = ParseWholeNumber(text, kLowestValue, kHighestValue);
  if (!value) {
    return std::nullopt;
  }
  return static_cast<uint16_t>(*value & 0xFFFF);
}

}  // namespace

int HandleWriteAction(mg_connection* conn, CSQLiteDatabase& database, const std::string& accept, const char* query) {
  const std::optional<std::string> idText = QueryValue(query, "id");
  const std::optional<std::string> valueText = QueryValue(query, "value");
  if (!idText || !valueText) {
    return SendError(conn, accept, 400, kMissingParameters);
  }
  const std::optional<int64_t> id = ParseWholeNumber(*idText, 0, kHighestId);
  if (!id) {
    return SendError(conn, accept, 400, kBadId);
  }
  const std::optional<uint16_t> value = RegisterWord(*valueText);
  if (!value) {
    return SendError(conn, accept, 400, kBadValue);
  }
  // An empty name (or none) leaves the row's name as it is.
  const std::string name = QueryText(query, "name");
  const uint16_t word = *value;
  switch (WriteRegisters(database, static_cast<uint16_t>(*id), &word, 1, name.empty() ? nullptr : name.c_str())) {
    case RegisterWrite::kWritten:
      break;
    case RegisterWrite::kNoRow:
      return SendError(conn, accept, 404, "No row at this id");
    case RegisterWrite::kDuplicate:
      return SendError(conn, accept, 409, "Another row of this postal code has this name");
    case RegisterWrite::kBusy:
      return SendError(conn, accept, 503, kBusy);
    case RegisterWrite::kFailed:
      return SendError(conn, accept, 500, "Could not update database with write");
  }
  return SendDataView(conn, database, accept, static_cast<int>(*id), 1, std::string());
}

int HandleAddAction(mg_connection* conn, CSQLiteDatabase& database, const std::string& accept, const char* query) {
  const std::optional<std::string> valueText = QueryValue(query, "value");
  if (!valueText) {
    return SendError(conn, accept, 400, kMissingParameters);
  }
  const std::optional<uint16_t> value = RegisterWord(*valueText);
  if (!value) {
    return SendError(conn, accept, 400, kBadValue);
  }
  const std::string name = QueryText(query, "name");
  uint32_t newOffset = 0;
  if (!InsertValue(database, nullptr, name.empty() ? nullptr : name.c_str(), *value, &newOffset)) {
    return database.LastFailureWasBusy()
               ? SendError(conn, accept, 503, kBusy)
               : SendError(conn, accept, 500, "Could not insert the new value into the database");
  }
  return SendDataView(conn, database, accept, static_cast<int>(newOffset), 1, std::string());
}
