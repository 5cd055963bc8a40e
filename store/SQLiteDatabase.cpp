// SQLiteDatabase.cpp - opening, executing and querying through the one
// connection, with statements prepared and their values bound.
#include "SQLiteDatabase.h"

#include <memory>

#include "ConsoleLog.h"

namespace {

// Resets a cached statement after use, so it holds no lock and no values.
class StatementUse {
 public:
  explicit StatementUse(sqlite3_stmt* statement) : m_statement(statement) {}
  ~StatementUse() {
    if (m_statement != nullptr) {
      sqlite3_reset(m_statement);
      sqlite3_clear_bindings(m_statement);
    }
  }
  StatementUse(const StatementUse&) = delete;
  StatementUse& operator=(const StatementUse&) = delete;

 private:
  sqlite3_stmt* m_statement;
};

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
  const auto lock = Lock();
  if (name != m_fileName) {
    Close();
  }
  m_fileName = name;
}

int CSQLiteDatabase::Open(int flags) {
  const auto lock = Lock();
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
  const auto lock = Lock();
  m_statements.clear();
  if (m_isOpen) {
    sqlite3_close_v2(m_connection);
  }
  m_connection = nullptr;
  m_openMode = 0;
  m_isOpen = false;
}

int CSQLiteDatabase::Exec(const std::string& sql) {
  const auto lock = Lock();
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

sqlite3_stmt* CSQLiteDatabase::Prepare(const std::string& sql, int* result) {
  const auto cached = m_statements.find(sql);
  if (cached != m_statements.end()) {
    *result = SQLITE_OK;
    return cached->second.get();
  }
  sqlite3_stmt* statement = nullptr;
  *result = sqlite3_prepare_v2(m_connection, sql.c_str(), -1, &statement, nullptr);
  if (*result != SQLITE_OK || statement == nullptr) {
    sqlite3_finalize(statement);
    return nullptr;
  }
  m_statements.emplace(sql, PreparedStatement(statement));
  return statement;
}

int CSQLiteDatabase::Exec(const std::string& sql, const SqlParams& params, std::string* expandedSql) {
  const auto lock = Lock();
  if (expandedSql != nullptr) {
    *expandedSql = sql;
  }
  if (m_connection == nullptr) {
    return SQLITE_OK;
  }
  int result = SQLITE_OK;
  sqlite3_stmt* const statement = Prepare(sql, &result);
  const StatementUse use(statement);
  if (result == SQLITE_OK) {
    result = Bind(statement, params);
  }
  const std::string text = statement != nullptr ? ExpandedSql(statement, sql) : sql;
  if (expandedSql != nullptr) {
    *expandedSql = text;
  }
  if (result == SQLITE_OK) {
    result = sqlite3_step(statement);
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
  const auto lock = Lock();
  if (expandedSql != nullptr) {
    *expandedSql = sql;
  }
  if (m_connection == nullptr) {
    return SQLITE_OK;
  }
  int prepared = SQLITE_OK;
  sqlite3_stmt* const statement = Prepare(sql, &prepared);
  const StatementUse use(statement);
  if (prepared != SQLITE_OK) {
    ConsoleLog("FYI: SQL Query=[%s]\n", sql.c_str());
    return prepared;
  }
  const int bound = Bind(statement, params);
  const std::string text = ExpandedSql(statement, sql);
  if (expandedSql != nullptr) {
    *expandedSql = text;
  }
  ConsoleLog("FYI: SQL Query=[%s]\n", text.c_str());
  if (bound != SQLITE_OK) {
    return bound;
  }
  int step = sqlite3_step(statement);
  const int columns = sqlite3_column_count(statement);
  while (step == SQLITE_ROW) {
    SqlRow& row = rows.emplace_back();
    for (int column = 0; column < columns; ++column) {
      const char* name = sqlite3_column_name(statement, column);
      const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
      if (name != nullptr && value != nullptr) {
        row[name].assign(value, static_cast<size_t>(sqlite3_column_bytes(statement, column)));
      }
    }
    step = sqlite3_step(statement);
  }
  return step == SQLITE_DONE ? SQLITE_OK : step;
}

std::string CSQLiteDatabase::ErrorMessage() const { return sqlite3_errmsg(m_connection); }
