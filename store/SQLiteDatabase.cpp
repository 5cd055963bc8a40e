// SQLiteDatabase.cpp - opening, executing and querying through the one
// connection, with statements prepared and their values bound.
#include "SQLiteDatabase.h"

#include <memory>

#include "ConsoleLog.h"

namespace {

struct StatementFinalizer {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

struct SqliteFree {
  void operator()(char* text) const { sqlite3_free(text); }
};

int Bind(sqlite3_stmt* statement, const SqlParams& params) {
  for (size_t i = 0; i < params.size(); ++i) {
    const int index = static_cast<int>(i) + 1;
    const SqlParam& param = params[i];
    int result = SQLITE_OK;
    switch (param.kind) {
      case SqlParam::Kind::Integer:
        result = sqlite3_bind_int64(statement, index, param.integer);
        break;
      case SqlParam::Kind::Text:
        result = sqlite3_bind_text(statement, index, param.text.data(), static_cast<int>(param.text.size()),
                                   SQLITE_TRANSIENT);
        break;
      case SqlParam::Kind::Null:
        result = sqlite3_bind_null(statement, index);
        break;
    }
    if (result != SQLITE_OK) {
      return result;
    }
  }
  return SQLITE_OK;
}

// The statement as it runs, with its bound values written in.
std::string ExpandedSql(sqlite3_stmt* statement, const std::string& fallback) {
  const std::unique_ptr<char, SqliteFree> expanded(sqlite3_expanded_sql(statement));
  return expanded ? std::string(expanded.get()) : fallback;
}

}  // namespace

CSQLiteDatabase::~CSQLiteDatabase() { Close(); }

void CSQLiteDatabase::SetFileName(const std::string& name) {
  if (name != m_fileName) {
    Close();
  }
  m_fileName = name;
}

int CSQLiteDatabase::Open(int flags) {
  if (m_isOpen && (m_openMode == flags || (m_openMode == SQLITE_OPEN_READWRITE && flags == SQLITE_OPEN_READONLY))) {
    return SQLITE_OK;
  }
  Close();
  sqlite3* connection = nullptr;
  const int result = sqlite3_open_v2(m_fileName.c_str(), &connection, flags, nullptr);
  if (result != SQLITE_OK) {
    sqlite3_close_v2(connection);
    return result;
  }
  m_connection = connection;
  m_openMode = flags;
  m_isOpen = true;
  return SQLITE_OK;
}

void CSQLiteDatabase::Close() {
  if (m_isOpen) {
    sqlite3_close_v2(m_connection);
  }
  m_connection = nullptr;
  m_openMode = 0;
  m_isOpen = false;
}

int CSQLiteDatabase::Exec(const std::string& sql) {
  if (m_connection == nullptr) {
    return SQLITE_OK;
  }
  char* error = nullptr;
  const int result = sqlite3_exec(m_connection, sql.c_str(), nullptr, nullptr, &error);
  if (result != SQLITE_OK) {
    ConsoleLog("SQL Error: ErrorMessage=[%s], SQL Query=[%s]", error != nullptr ? error : sqlite3_errstr(result),
               sql.c_str());
    sqlite3_free(error);
  }
  return result;
}

int CSQLiteDatabase::Exec(const std::string& sql, const SqlParams& params, std::string* expandedSql) {
  if (expandedSql != nullptr) {
    *expandedSql = sql;
  }
  if (m_connection == nullptr) {
    return SQLITE_OK;
  }
  sqlite3_stmt* raw = nullptr;
  int result = sqlite3_prepare_v2(m_connection, sql.c_str(), -1, &raw, nullptr);
  const Statement statement(raw);
  if (result == SQLITE_OK) {
    result = Bind(statement.get(), params);
  }
  const std::string text = statement ? ExpandedSql(statement.get(), sql) : sql;
  if (expandedSql != nullptr) {
    *expandedSql = text;
  }
  if (result == SQLITE_OK) {
    result = sqlite3_step(statement.get());
    if (result == SQLITE_DONE || result == SQLITE_ROW) {
      result = SQLITE_OK;
    }
  }
  if (result != SQLITE_OK) {
    ConsoleLog("SQL Error: ErrorMessage=[%s], SQL Query=[%s]", sqlite3_errmsg(m_connection), text.c_str());
  }
  return result;
}

int CSQLiteDatabase::Query(const std::string& sql, SqlRows& rows) { return Query(sql, SqlParams{}, rows); }

int CSQLiteDatabase::Query(const std::string& sql, const SqlParams& params, SqlRows& rows, std::string* expandedSql) {
  if (expandedSql != nullptr) {
    *expandedSql = sql;
  }
  if (m_connection == nullptr) {
    return SQLITE_OK;
  }
  sqlite3_stmt* raw = nullptr;
  const int prepared = sqlite3_prepare_v2(m_connection, sql.c_str(), -1, &raw, nullptr);
  const Statement statement(raw);
  if (prepared != SQLITE_OK) {
    ConsoleLog("FYI: SQL Query=[%s]\n", sql.c_str());
    return prepared;
  }
  const int bound = Bind(statement.get(), params);
  const std::string text = ExpandedSql(statement.get(), sql);
  if (expandedSql != nullptr) {
    *expandedSql = text;
  }
  ConsoleLog("FYI: SQL Query=[%s]\n", text.c_str());
  if (bound != SQLITE_OK) {
    return bound;
  }
  int step = sqlite3_step(statement.get());
  while (step == SQLITE_ROW) {
    SqlRow& row = rows.emplace_back();
    const int columns = sqlite3_column_count(statement.get());
    for (int column = 0; column < columns; ++column) {
      const char* name = sqlite3_column_name(statement.get(), column);
      const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), column));
      if (name != nullptr && value != nullptr) {
        row[name].assign(value, static_cast<size_t>(sqlite3_column_bytes(statement.get(), column)));
      }
    }
    step = sqlite3_step(statement.get());
  }
  return step == SQLITE_DONE ? SQLITE_OK : step;
}

std::string CSQLiteDatabase::ErrorMessage() const { return sqlite3_errmsg(m_connection); }
