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

  int ColumnCount() const { return sqlite3_column_count(m_statement); }
  const char* Name(int column) const { return sqlite3_column_name(m_statement, column); }
  // The column as text (null for NULL), with its length in bytes.
  const char* Text(int column) const { return reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column)); }
  size_t Length(int column) const { return static_cast<size_t>(sqlite3_column_bytes(m_statement, column)); }
  // The column's text in place, without the terminating NUL that Text has
  // SQLite add (by copying it): length bytes, or null for NULL and for
  // empty text.
  const char* Bytes(int column, size_t* length) const {
    const void* bytes = sqlite3_column_blob(m_statement, column);
    *length = Length(column);
    return static_cast<const char*>(bytes);
  }
  // True when the column holds an integer, which Integer then gives without
  // a detour through its text.
  bool IsInteger(int column) const { return sqlite3_column_type(m_statement, column) == SQLITE_INTEGER; }
  int64_t Integer(int column) const { return sqlite3_column_int64(m_statement, column); }

 private:
  sqlite3_stmt* m_statement;
};
using SqlRowVisitor = std::function<void(const SqlRowView&)>;

// The values of one row as SQLite hands them to visit_row inside its own
// loop over the rows (see CSQLiteDatabase::Scan), read like SqlRowView's
// columns; an index past the last value reads as NULL. Valid only inside the
// visitor it is handed to.
class SqlValuesView {
 public:
  SqlValuesView(sqlite3_value** values, int count) : m_values(values), m_count(count) {}

  int Count() const { return m_count; }
  // The value as text in place, as SqlRowView::Bytes.
  const char* Bytes(int index, size_t* length) const {
    if (index >= m_count) {
      *length = 0;
      return nullptr;
    }
    const void* bytes = sqlite3_value_blob(m_values[index]);
    *length = static_cast<size_t>(sqlite3_value_bytes(m_values[index]));
    return static_cast<const char*>(bytes);
  }
  bool IsInteger(int index) const { return index < m_count && sqlite3_value_type(m_values[index]) == SQLITE_INTEGER; }
  int64_t Integer(int index) const { return index < m_count ? sqlite3_value_int64(m_values[index]) : 0; }

 private:
  sqlite3_value** m_values;
  int m_count;
};
using SqlValuesVisitor = std::function<void(const SqlValuesView&)>;

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
