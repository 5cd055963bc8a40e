// SQLiteDatabase.cpp - opening, executing and querying through the one
// connection, with statements prepared and their values bound.
#include "SQLiteDatabase.h"

#include <unistd.h>

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

CSQLiteDatabase::~CSQLiteDatabase() { Close(); }

void CSQLiteDatabase::SetFileName(const std::string& name) {
  const auto lock = Lock();
  if (name != m_fileName) {
    Close();
  }
  m_fileName = name;
}

namespace {

// SQLite's own busy handler sleeps longer and longer between tries (up to
// 100 ms). A connection that waits to commit holds a lock meanwhile that
// keeps every other connection from starting to read, so a long sleep of
// one holds up the others: this one tries again every millisecond.
int RetryEveryMillisecond(void* timeoutMs, int tries) {
  if (tries >= *static_cast<const int*>(timeoutMs)) {
    return 0;
  }
  usleep(1000);
  return 1;
}

void ApplyBusyTimeout(sqlite3* connection, int* timeoutMs) {
  sqlite3_busy_handler(connection, *timeoutMs > 0 ? RetryEveryMillisecond : nullptr, timeoutMs);
}

}  // namespace

void CSQLiteDatabase::SetBusyTimeout(int milliseconds) {
  const auto lock = Lock();
  m_busyTimeoutMs = milliseconds;
  if (m_connection != nullptr) {
    ApplyBusyTimeout(m_connection, &m_busyTimeoutMs);
  }
}

int CSQLiteDatabase::Open(int flags) {
  const auto lock = Lock();
  if (flags != SQLITE_OPEN_READONLY) {
    EndHeldRead();  // a write is coming
  }
  if (m_isOpen && (m_openMode == flags || (m_openMode == SQLITE_OPEN_READWRITE && flags == SQLITE_OPEN_READONLY))) {
    return SQLITE_OK;
  }
  Close();
  SkipSqliteMemoryStatistics();
  sqlite3* connection = nullptr;
  // NOMUTEX: the connection is only ever used under this object's lock.
  const int result = sqlite3_open_v2(m_fileName.c_str(), &connection, flags | SQLITE_OPEN_NOMUTEX, nullptr);
  if (result != SQLITE_OK) {
    const int systemError = connection != nullptr ? sqlite3_system_errno(connection) : 0;
    m_openFailure = systemError != 0 ? std::strerror(systemError)
                                     : (connection != nullptr ? sqlite3_errmsg(connection) : sqlite3_errstr(result));
    sqlite3_close_v2(connection);
    // Before the first open succeeds, a failure is start-up finding out
    // whether the file exists; only later ones are faults.
    if (m_everOpened) {
      NoteFailure(result);
    }
    return result;
  }
  m_openFailure.clear();
  m_everOpened = true;
  ApplyBusyTimeout(connection, &m_busyTimeoutMs);
  // A write is acknowledged once it is on the disk: the WAL (or journal) is
  // synced at every commit. SQLite's own default, said here so that no
  // build or file setting weakens it.
  sqlite3_exec(connection, "PRAGMA synchronous=FULL;", nullptr, nullptr, nullptr);
  // SQLITE_DIRECTONLY: triggers and views stored in the file cannot call it.
  sqlite3_create_function_v2(connection, "visit_row", -1, SQLITE_UTF8 | SQLITE_DIRECTONLY, this, VisitRow, nullptr,
                             nullptr, nullptr);
  m_connection = connection;
  m_openMode = flags;
  m_isOpen = true;
  return SQLITE_OK;
}

std::unique_lock<std::recursive_mutex> CSQLiteDatabase::LockAndTakeHeldRead(bool* transactionOpen) {
  std::unique_lock<std::recursive_mutex> lock(m_mutex);
  const uint64_t commits = m_health->commits.load(std::memory_order_acquire);
  if (m_readHeld && commits != m_readSinceCommit) {
    EndHeldRead();  // another connection wrote since it began: read anew
  }
  if (!m_readHeld) {
    // Counted before the transaction the caller begins now takes its
    // snapshot, so that no later commit goes unnoticed.
    m_readSinceCommit = commits;
  }
  *transactionOpen = m_readHeld;
  m_readHeld = false;
  return lock;
}

void CSQLiteDatabase::SetReadHoldingEnabled(bool enabled) {
  const auto lock = Lock();
  EndHeldRead();
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
  EndHeldRead();
  LastStatementLine();  // before the entry it may need goes
  m_pendingEntry = nullptr;
  m_lastSql = nullptr;
  m_lastStatementEntry = nullptr;
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
  EndHeldRead();
  if (m_connection == nullptr) {
    return SQLITE_OK;
  }
  char* error = nullptr;
  const int result = sqlite3_exec(m_connection, sql.c_str(), nullptr, nullptr, &error);
  if (result != SQLITE_OK) {
    NoteFailure(result);
    LogError("SQL Error: ErrorMessage=[%s], SQL Query=[%s]", error != nullptr ? error : sqlite3_errstr(result),
             sql.c_str());
    sqlite3_free(error);
  }
  return result;
}

const CSQLiteDatabase::CachedStatement* CSQLiteDatabase::Prepare(const std::string& sql, int* result) {
  *result = SQLITE_OK;
  if (m_lastSql != nullptr && *m_lastSql == sql) {
    return m_lastStatementEntry;
  }
  auto cached = m_statements.find(sql);
  if (cached == m_statements.end()) {
    sqlite3_stmt* statement = nullptr;
    *result = sqlite3_prepare_v2(m_connection, sql.c_str(), -1, &statement, nullptr);
    if (*result != SQLITE_OK || statement == nullptr) {
      sqlite3_finalize(statement);
      return nullptr;
    }
    cached = m_statements.emplace(sql, CachedStatement{PreparedStatement(statement), SqlTemplate(sql)}).first;
  }
  // Entries are never removed while the connection stays open, so the key
  // and the entry stay where they are.
  m_lastSql = &cached->first;
  m_lastStatementEntry = &cached->second;
  return m_lastStatementEntry;
}

namespace {

const std::string kQueryLinePrefix = "FYI: SQL Query=[";
const std::string kQueryLineEnd = "]\n";

}  // namespace

void CSQLiteDatabase::SetLastStatement(const std::string& sql, const CachedStatement* entry, const SqlParams& params) {
  m_pendingEntry = entry;
  if (entry == nullptr) {
    m_pendingSql.assign(sql);
  }
  m_pendingParams = params;  // reuses the capacity of the last ones
  m_lastStatementWritten = false;
}

const std::string& CSQLiteDatabase::LastStatementLine() const {
  if (!m_lastStatementWritten) {
    m_lastStatementLine.assign(kQueryLinePrefix);
    if (m_pendingEntry != nullptr) {
      m_pendingEntry->text.AppendExpanded(m_lastStatementLine, m_pendingParams);
    } else {
      m_lastStatementLine += m_pendingSql;
    }
    m_lastStatementLine += kQueryLineEnd;
    m_lastStatementWritten = true;
  }
  return m_lastStatementLine;
}

std::string CSQLiteDatabase::LastStatement() const {
  const std::string& line = LastStatementLine();
  if (line.size() < kQueryLinePrefix.size() + kQueryLineEnd.size()) {
    return std::string();
  }
  return line.substr(kQueryLinePrefix.size(), line.size() - kQueryLinePrefix.size() - kQueryLineEnd.size());
}

int CSQLiteDatabase::Exec(const std::string& sql, const SqlParams& params, std::string* expandedSql) {
  const auto lock = Lock();
  EndHeldRead();
  int result = SQLITE_OK;
  const CachedStatement* entry = nullptr;
  if (m_connection != nullptr) {
    entry = Prepare(sql, &result);
  }
  SetLastStatement(sql, entry, params);
  if (m_connection != nullptr) {
    sqlite3_stmt* const statement = entry != nullptr ? entry->statement.get() : nullptr;
    const StatementUse use(statement);
    if (entry != nullptr) {
      result = Bind(statement, params);
    }
    if (result == SQLITE_OK && statement != nullptr) {
      result = sqlite3_step(statement);
      if (result == SQLITE_DONE || result == SQLITE_ROW) {
        result = SQLITE_OK;
      }
    }
    if (result != SQLITE_OK) {
      NoteFailure(result);
      LogError("SQL Error: ErrorMessage=[%s], SQL Query=[%s]", sqlite3_errmsg(m_connection), LastStatement().c_str());
    }
    if (statement != nullptr && sqlite3_stmt_readonly(statement) == 0) {
      NoteWriteOutcome(result);
    }
  }
  if (expandedSql != nullptr) {
    *expandedSql = LastStatement();
  }
  return result;
}

int CSQLiteDatabase::Query(const std::string& sql, SqlRows& rows) { return Query(sql, SqlParams{}, rows); }

int CSQLiteDatabase::Query(const std::string& sql, const SqlParams& params, SqlRows& rows, std::string* expandedSql) {
  const auto lock = Lock();
  const int result = RunQuery(sql, params, [&rows](const SqlRowView& view) {
    SqlRow& row = rows.emplace_back();
    for (int column = 0; column < view.ColumnCount(); ++column) {
      const char* name = view.Name(column);
      const char* text = view.Text(column);
      if (name != nullptr && text != nullptr) {
        row[name].assign(text, view.Length(column));
      }
    }
  });
  if (expandedSql != nullptr) {
    *expandedSql = LastStatement();
  }
  return result;
}

int CSQLiteDatabase::Query(const std::string& sql, const SqlParams& params, const SqlRowVisitor& onRow) {
  const auto lock = Lock();
  return RunQuery(sql, params, onRow);
}

int CSQLiteDatabase::RunQuery(const std::string& sql, const SqlParams& params, const SqlRowVisitor& onRow) {
  return RunStatement(sql, params, [&onRow](sqlite3_stmt* statement) {
    const SqlRowView view(statement);
    int step = sqlite3_step(statement);
    while (step == SQLITE_ROW) {
      onRow(view);
      step = sqlite3_step(statement);
    }
    return step;
  });
}

int CSQLiteDatabase::Scan(const std::string& sql, const SqlParams& params, const SqlValuesVisitor& onRow) {
  const auto lock = Lock();
  const SqlValuesVisitor* const outer = m_rowVisitor;
  m_rowVisitor = &onRow;
  const int result = RunStatement(sql, params, [](sqlite3_stmt* statement) {
    int step = sqlite3_step(statement);
    while (step == SQLITE_ROW) {
      step = sqlite3_step(statement);
    }
    return step;
  });
  m_rowVisitor = outer;
  return result;
}

void CSQLiteDatabase::VisitRow(sqlite3_context* context, int count, sqlite3_value** values) {
  const auto* database = static_cast<const CSQLiteDatabase*>(sqlite3_user_data(context));
  if (database->m_rowVisitor == nullptr) {
    sqlite3_result_error(context, "visit_row is for Scan only", -1);
    return;
  }
  (*database->m_rowVisitor)(SqlValuesView(values, count));
  sqlite3_result_int(context, 0);
}

int CSQLiteDatabase::RunStatement(const std::string& sql, const SqlParams& params,
                                  const std::function<int(sqlite3_stmt*)>& step) {
  if (m_connection == nullptr) {
    SetLastStatement(sql, nullptr, params);
    return SQLITE_OK;
  }
  int prepared = SQLITE_OK;
  const CachedStatement* const entry = Prepare(sql, &prepared);
  sqlite3_stmt* const statement = entry != nullptr ? entry->statement.get() : nullptr;
  const StatementUse use(statement);
  SetLastStatement(sql, entry, params);
  if (ConsoleLogEnabled(LogLevel::kDebug)) {
    const std::string& line = LastStatementLine();
    ConsoleWrite(LogLevel::kDebug, line.data(), line.size());
  }
  // Callers log their own failures; they are counted here.
  const auto failed = [this](int result) {
    NoteFailure(result);
    return result;
  };
  if (entry == nullptr) {
    return failed(prepared);
  }
  const int bound = Bind(statement, params);
  if (bound != SQLITE_OK) {
    return failed(bound);
  }
  const int last = step(statement);
  return last == SQLITE_DONE ? SQLITE_OK : failed(last);
}

void CSQLiteDatabase::SetHealth(DatabaseHealth* health) {
  const auto lock = Lock();
  m_health = health != nullptr ? health : &m_ownHealth;
}

void CSQLiteDatabase::NoteFailure(int result) {
  m_lastFailure = result & 0xFF;
  m_health->errors.fetch_add(1, std::memory_order_relaxed);
}

bool CSQLiteDatabase::LastFailureWasBusy() const {
  return m_lastFailure == SQLITE_BUSY || m_lastFailure == SQLITE_LOCKED;
}

void CSQLiteDatabase::NoteWriteOutcome(int result) {
  switch (result & 0xFF) {
    case SQLITE_OK:
      if (m_connection != nullptr && sqlite3_get_autocommit(m_connection) != 0) {
        m_health->lastWriteFailed.store(false, std::memory_order_relaxed);
        m_health->commits.fetch_add(1, std::memory_order_release);
      }
      break;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      m_health->busyWrites.fetch_add(1, std::memory_order_relaxed);
      break;
    // The file or its disk cannot take the write.
    case SQLITE_FULL:
    case SQLITE_IOERR:
    case SQLITE_READONLY:
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_NOLFS:
      m_health->lastWriteFailed.store(true, std::memory_order_relaxed);
      break;
    default:
      break;  // the statement's or the row's fault (a constraint, no such table), not the file's
  }
}

bool CSQLiteDatabase::InTransaction() {
  const auto lock = Lock();
  return m_connection != nullptr && sqlite3_get_autocommit(m_connection) == 0;
}

int64_t CSQLiteDatabase::ChangedRows() {
  const auto lock = Lock();
  return m_connection != nullptr ? sqlite3_changes64(m_connection) : 0;
}

std::string CSQLiteDatabase::ErrorMessage() {
  const auto lock = Lock();
  return sqlite3_errmsg(m_connection);
}
