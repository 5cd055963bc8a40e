// QueryString.cpp - request parameters through mg_get_var, and numbers.
#include "QueryString.h"

#include <civetweb.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "DataTable.h"

std::optional<std::string> QueryValue(const char* query, const char* name) {
  if (query == nullptr) {
    return std::nullopt;
  }
  const size_t length = std::strlen(query);
  // A decoded value is never longer than the query it comes from.
  std::vector<char> value(length + 1);
  const int got = mg_get_var(query, length, name, value.data(), value.size());
  if (got < 0) {
    return std::nullopt;
  }
  return std::string(value.data(), static_cast<size_t>(got));
}

std::string QueryText(const char* query, const char* name) {
  const std::optional<std::string> value = QueryValue(query, name);
  return value ? std::string(value->c_str()) : std::string();
}

int32_t ParseNumber(const std::string& text) {
  const int64_t value = ParseLeadingInteger(text);
  return static_cast<int32_t>(
      std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}
