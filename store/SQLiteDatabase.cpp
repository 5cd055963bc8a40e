// SQLiteDatabase.cpp - opening, executing and querying through the one
// connection, with statements prepared and their values bound.
#include "SQLiteDatabase.h"

#include <cstring>
#include <memory>
#include <mutex>

#include "ConsoleLog.h"
#include "SqlExpansion.h"

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

// SQLite keeps heap statistics behind a process-wide mutex taken on every
// allocation; nothing here reads them, so they are switched off before
// SQLite starts (a no-op once it has started).
void SkipSqliteMemoryStatistics() {
  static std::once_flag once;
  std::call_once(once, [] { sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0); });
}

}  // namespace

const char* SqlRowView::Text(const char* column) const {
  const int columns = sqlite3_column_count(m_statement);
  for (int i = 0; i < columns; ++i) {
    const char* name = sqlite3_column_name(m_statement, i);
    if (name != nullptr && std::strcmp(name, column) == 0) {
      return reinterpret_cast<const char*>(sqlite3_column_text(m_statement, i));
    }
  }
  return nullptr;
}

void SqlRowView::ForEachColumn(
    const std::function<void(const char* name, const char* text, size_t length)>& onColumn) const {
  const int columns = sqlite3_column_count(m_statement);
  for (int i = 0; i < columns; ++i) {
    const char* name = sqlite3_column_name(m_statement, i);
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, i));
    if (name != nullptr && text != nullptr) {
      onColumn(name, text, static_cast<size_t>(sqlite3_column_bytes(m_statement, i)));
    }
  }
}

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
  SkipSqliteMemoryStatistics();
  sqlite3* connection = nullptr;
  // NOMUTEX: the connection is only ever used under this object's lock.
  const int result = sqlite3_open_v2(m_fileName.c_str(), &connection, flags | SQLITE_OPEN_NOMUTEX, nullptr);
  if (result != SQLITE_OK) {
    sqlite3_close_v2(connection);
    return result;
  }
  m_connection = connection;
  m_openMode = flags;
  m_isOpen = true;
  return SQLITE_OK;
}

std::unique_lock<std::recursive_mutex> CSQLiteDatabase::Lock() {
  std::unique_lock<std::recursive_mutex> lock(m_mutex);
  if (m_readHeld) {
    EndHeldRead();
  }
  return lock;
}

std::unique_lock<std::recursive_mutex> CSQLiteDatabase::LockAndTakeHeldRead(bool* transactionOpen) {
  std::unique_lock<std::recursive_mutex> lock(m_mutex);
  *transactionOpen = m_readHeld;
  m_readHeld = false;
  return lock;
}

void CSQLiteDatabase::SetReadHoldingEnabled(bool enabled) {
  const auto lock = Lock();
  m_readHoldingEnabled = enabled;
}

bool CSQLiteDatabase::HoldRead() {
  const std::lock_guard<std::recursive_mutex> lock(m_mutex);
  // Only a transaction still open is held (autocommit off).
  m_readHeld = m_readHoldingEnabled && m_connection != nullptr && sqlite3_get_autocommit(m_connection) == 0;
  return m_readHeld;
}

void CSQLiteDatabase::EndHeldRead() {
  const std::lock_guard<std::recursive_mutex> lock(m_mutex);
  if (m_readHeld) {
    m_readHeld = false;
    if (m_connection != nullptr && sqlite3_get_autocommit(m_connection) == 0) {
      Exec("COMMIT;");
    }
  }
}

void CSQLiteDatabase::Close() {
  const auto lock = Lock();
  m_readHeld = false;
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
  m_lastStatement = sql;
  int result = SQLITE_OK;
  if (m_connection != nullptr) {
    sqlite3_stmt* const statement = Prepare(sql, &result);
    const StatementUse use(statement);
    if (result == SQLITE_OK) {
      m_lastStatement.clear();
      AppendExpandedSql(m_lastStatement, sql, params);
      result = Bind(statement, params);
    }
    if (result == SQLITE_OK) {
      result = sqlite3_step(statement);
      if (result == SQLITE_DONE || result == SQLITE_ROW) {
        result = SQLITE_OK;
      }
    }
    if (result != SQLITE_OK) {
      ConsoleLog("SQL Error: ErrorMessage=[%s], SQL Query=[%s]", sqlite3_errmsg(m_connection), m_lastStatement.c_str());
    }
  }
  if (expandedSql != nullptr) {
    *expandedSql = m_lastStatement;
  }
  return result;
}

int CSQLiteDatabase::Query(const std::string& sql, SqlRows& rows) { return Query(sql, SqlParams{}, rows); }

int CSQLiteDatabase::Query(const std::string& sql, const SqlParams& params, SqlRows& rows, std::string* expandedSql) {
  const auto lock = Lock();
  const int result = RunQuery(sql, params, [&rows](const SqlRowView& view) {
    SqlRow& row = rows.emplace_back();
    view.ForEachColumn([&row](const char* name, const char* text, size_t length) { row[name].assign(text, length); });
  });
  if (expandedSql != nullptr) {
    *expandedSql = m_lastStatement;
  }
  return result;
}

int CSQLiteDatabase::Query(const std::string& sql, const SqlParams& params, const SqlRowVisitor& onRow) {
  const auto lock = Lock();
  return RunQuery(sql, params, onRow);
}

int CSQLiteDatabase::RunQuery(const std::string& sql, const SqlParams& params, const SqlRowVisitor& onRow) {
  m_lastStatement = sql;
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
  m_lastStatement.clear();
  AppendExpandedSql(m_lastStatement, sql, params);
  ConsoleLog("FYI: SQL Query=[%s]\n", m_lastStatement.c_str());
  const int bound = Bind(statement, params);
  if (bound != SQLITE_OK) {
    return bound;
  }
  const SqlRowView view(statement);
  int step = sqlite3_step(statement);
  while (step == SQLITE_ROW) {
    onRow(view);
    step = sqlite3_step(statement);
  }
  return step == SQLITE_DONE ? SQLITE_OK : step;
}

std::string CSQLiteDatabase::ErrorMessage() {
  const auto lock = Lock();
  return sqlite3_errmsg(m_connection);
}
