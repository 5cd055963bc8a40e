// SqlExpansionTest.cpp - the log's expanded statements are the ones SQLite
// itself writes (sqlite3_expanded_sql) for the same statement and values.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>
#include <string>

#include "SqlExpansion.h"

namespace veld_test {
namespace {

struct ConnectionCloser {
  void operator()(sqlite3* connection) const { sqlite3_close_v2(connection); }
};
struct StatementFinalizer {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};

// What SQLite writes for sql with params bound, on an in-memory database
// with the Data table.
std::string ExpandedBySqlite(const char* sql, const SqlParams& params) {
  sqlite3* raw = nullptr;
  sqlite3_open(":memory:", &raw);
  const std::unique_ptr<sqlite3, ConnectionCloser> connection(raw);
  sqlite3_exec(raw,
               "CREATE TABLE Data (ModbusOffset INTEGER PRIMARY KEY, Name TEXT, Code TEXT, Value INTEGER, "
               "LastUpdated INTEGER)",
               nullptr, nullptr, nullptr);
  sqlite3_stmt* prepared = nullptr;
  EXPECT_EQ(sqlite3_prepare_v2(raw, sql, -1, &prepared, nullptr), SQLITE_OK) << sql;
  const std::unique_ptr<sqlite3_stmt, StatementFinalizer> statement(prepared);
  for (size_t i = 0; i < params.size(); ++i) {
    const int index = static_cast<int>(i) + 1;
    switch (params[i].kind) {
      case SqlParam::Kind::Integer:
        sqlite3_bind_int64(prepared, index, params[i].integer);
        break;
      case SqlParam::Kind::Text:
        sqlite3_bind_text(prepared, index, params[i].text.data(), static_cast<int>(params[i].text.size()),
                          SQLITE_TRANSIENT);
        break;
      case SqlParam::Kind::Null:
        break;
    }
  }
  char* expanded = sqlite3_expanded_sql(prepared);
  const std::string text = expanded != nullptr ? expanded : "(none)";
  sqlite3_free(expanded);
  return text;
}

TEST(SqlExpansionTest, MatchesSqlitesOwnExpansion) {
  const struct {
    const char* sql;
    SqlParams params;
  } cases[] = {
      {"SELECT * FROM Data WHERE ModbusOffset = ?", {SqlParam::Integer(20)}},
      {"SELECT * FROM Data WHERE ModbusOffset BETWEEN ? AND ?", {SqlParam::Integer(0), SqlParam::Integer(65535)}},
      {"SELECT * FROM Data WHERE Value = ?", {SqlParam::Integer(INT64_MIN)}},
      {"SELECT * FROM Data WHERE Value = ?", {SqlParam::Integer(-1)}},
      {"SELECT * FROM Data WHERE name = ? AND Code = ? LIMIT 1",
       {SqlParam::Text("temp"), SqlParam::Text("O'Brien'); DROP TABLE Data; --")}},
      {"SELECT * FROM Data WHERE Code LIKE ?", {SqlParam::Text("9021%")}},
      {"SELECT * FROM Data WHERE Name = ?", {SqlParam::Text("")}},
      {"SELECT * FROM Data WHERE Name = ?", {SqlParam::Text("\xC3\xA9t\xC3\xA9 '' ?")}},
      {"SELECT * FROM Data WHERE Name = ?", {SqlParam{}}},
      {"SELECT * FROM Data WHERE Name = ? AND Code = ?", {SqlParam::Text("only one")}},
      {"SELECT '?', \"Name\", [Code] FROM Data WHERE Name = '?''?' AND Value = ?", {SqlParam::Integer(3)}},
      {"UPDATE Data SET Value = ?, Name = ?, LastUpdated = ? WHERE ModbusOffset = ?",
       {SqlParam::Integer(7), SqlParam::Text("a'b"), SqlParam::Integer(1700000000), SqlParam::Integer(21)}},
      {"SELECT count(*) totalRows FROM Data ", {}},
  };
  for (const auto& c : cases) {
    std::string ours = "prefix ";
    SqlTemplate(c.sql).AppendExpanded(ours, c.params);
    EXPECT_EQ(ours, "prefix " + ExpandedBySqlite(c.sql, c.params));
  }
}

}  // namespace
}  // namespace veld_test
