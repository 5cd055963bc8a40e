// SqlTypes.h - what queries give back (rows as maps from column name to
// column text) and what statements take (values bound as parameters).
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

// One result row: column name -> column text, sorted by name. A NULL column
// is absent, so a row can be empty.
using SqlRow = std::map<std::string, std::string>;
using SqlRows = std::vector<SqlRow>;

// One result row read in place from its statement, for callers that want a
// few columns without building a SqlRow. Valid only inside the visitor it is
// handed to.
class SqlRowView {
 public:
  explicit SqlRowView(sqlite3_stmt* statement) : m_statement(statement) {}

  // The text of the named column (names compared exactly); null when the
  // row has no such column or the column is NULL.
  const char* Text(const char* column) const;
  // Calls onColumn with the name, text and length of each non-NULL column.
  void ForEachColumn(const std::function<void(const char* name, const char* text, size_t length)>& onColumn) const;

 private:
  sqlite3_stmt* m_statement;
};
using SqlRowVisitor = std::function<void(const SqlRowView&)>;

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
