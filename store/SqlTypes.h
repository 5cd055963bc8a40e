// SqlTypes.h - what queries give back (rows as maps from column name to
// column text) and what statements take (values bound as parameters).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// One result row: column name -> column text, sorted by name. A NULL column
// is absent, so a row can be empty.
using SqlRow = std::map<std::string, std::string>;
using SqlRows = std::vector<SqlRow>;

// One value bound to a statement's "?" parameter, in order. Values are never
// formatted into SQL text, so nothing a client sends can change a statement.
struct SqlParam {
  enum class Kind { Integer, Text, Null };
  Kind kind = Kind::Null;
  int64_t integer = 0;
  std::string text;

  static SqlParam Integer(int64_t value) { return {Kind::Integer, value, {}}; }
  static SqlParam Text(std::string value) { return {Kind::Text, 0, std::move(value)}; }
};
using SqlParams = std::vector<SqlParam>;
