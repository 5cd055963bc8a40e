// SQLiteDatabase.h - CSQLiteDatabase, one SQLite connection to the database
// file: opened on demand in the mode an operation needs and kept open for the
// next, with Exec for statements and Query for rows. Each thread role of the
// server has connections of its own (the Modbus loop, each web request, the
// refresher); the object's lock serialises whole data-store operations on
// its connection, and since every use of the connection holds it, SQLite's
// own per-call locking is switched off for the connection.
#pragma once

#include <sqlite3.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "DatabaseHealth.h"
#include "SqlExpansion.h"
#include "SqlTypes.h"

class CSQLiteDatabase {
 public:
  CSQLiteDatabase() = default;
  ~CSQLiteDatabase();
  CSQLiteDatabase(const CSQLiteDatabase&) = delete;
  CSQLiteDatabase& operator=(const CSQLiteDatabase&) = delete;

  // Stores the file name; a different name closes the open connection first.
  void SetFileName(const std::string& name);
  const std::string& FileName() const { return m_fileName; }

  // Opens the connection with SQLite's open flags (SQLITE_OPEN_READONLY,
  // SQLITE_OPEN_READWRITE, or that with SQLITE_OPEN_CREATE). An open
  // connection is kept when its mode equals flags, and a read-write one also
  // serves a read-only request; otherwise it is reopened. Returns an SQLite
  // result code; logs nothing.
  int Open(int flags);
  void Close();

  // How long a statement waits for another connection's lock before it
  // fails with SQLITE_BUSY; 0 (the default) fails at once. Kept across
  // reopening.
  void SetBusyTimeout(int milliseconds);

  // Where this connection counts its failures and reports its writes; a
  // count of its own until given one. Not owned: it must outlive the
  // connection.
  void SetHealth(DatabaseHealth* health);
  DatabaseHealth& Health() const { return *m_health; }

  // Runs every statement of a complete SQL text. On a closed handle does
  // nothing and returns 0. A failure logs the "SQL Error" line.
  int Exec(const std::string& sql);
  // Runs one statement with its values bound to its "?" parameters. The
  // statement as it ran (values filled in) is stored in expandedSql when
  // given, for the caller's own error line.
  int Exec(const std::string& sql, const SqlParams& params, std::string* expandedSql = nullptr);

  // Rows the last INSERT, UPDATE or DELETE changed (0 on a closed handle).
  // Read it under the lock that covered the statement.
  int64_t ChangedRows();

  // Runs the first statement of sql (values bound as for Exec), logs it, and
  // appends every result row to rows. On a closed handle does nothing and
  // returns 0. Returns an SQLite result code; rows read before a failing step
  // stay in rows.
  int Query(const std::string& sql, SqlRows& rows);
  int Query(const std::string& sql, const SqlParams& params, SqlRows& rows, std::string* expandedSql = nullptr);
  // The same, handing each result row to onRow in place of copying it.
  int Query(const std::string& sql, const SqlParams& params, const SqlRowVisitor& onRow);
  // Hands rows to onRow from inside SQLite's own loop over them, for reads
  // of many rows: stepping out to the caller once per row and reading its
  // columns one call each costs about a third more. sql calls the
  // connection's function visit_row(values...) where it wants a row
  // visited, for example
  //   SELECT NULL FROM Data WHERE ModbusOffset BETWEEN ? AND ?
  //       AND visit_row(ModbusOffset, Value)
  // visit_row hands its values to onRow and is false, so that the statement
  // itself gives no rows. Outside Scan it is an error. Logs and returns as
  // Query does.
  int Scan(const std::string& sql, const SqlParams& params, const SqlValuesVisitor& onRow);

  // The last statement that Exec with parameters or Query ran, values
  // filled in as logged. Read it under the lock that covered the call.
  std::string LastStatement() const;

  // SQLite's message for the connection's last result ("not an error" when
  // it succeeded, "out of memory" without a connection).
  std::string ErrorMessage();

  // Why the last Open failed, for the operator: the system's reason when
  // there was one ("No such file or directory"), else SQLite's message.
  // Empty after an Open that succeeded.
  std::string OpenFailure() const {
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_openFailure;
  }

  // Failed statements, and failed opens after the first open succeeded,
  // counted in this connection's health (shared with the process's other
  // connections once SetHealth gave one): for monitoring.
  uint64_t ErrorCount() const { return m_health->errors.load(std::memory_order_relaxed); }

  // SQLite's primary result code of the last statement or open that failed
  // on this connection (SQLITE_OK before any). Read it under the lock that
  // covered the failing operation.
  int LastFailure() const { return m_lastFailure; }
  // True when that failure was a wait for another connection's lock that
  // ran out (SQLITE_BUSY or SQLITE_LOCKED): contention, not a fault.
  bool LastFailureWasBusy() const;
  // Reports the result of a write to the health: a failure counts as busy
  // (contention), as a fault of the file (full, read-only, I/O error,
  // corrupt), or as the statement's own (a constraint, a missing table),
  // which the health does not mark; a success that leaves no transaction
  // open clears an earlier fault. Exec with parameters reports its writes itself; transactions
  // report their BEGIN and COMMIT (see WriteTransaction).
  void NoteWriteOutcome(int result);
  // True while a transaction is open on the connection.
  bool InTransaction();

  bool IsOpen() const { return m_isOpen; }
  int OpenMode() const { return m_openMode; }

  // Held around each whole data-store operation, from its Open to its last
  // statement. Recursive, because operations call each other (SaveValue
  // inserts through InsertValue, which asks GetNextModbusOffset). Exec and
  // Query take it too.
  std::unique_lock<std::recursive_mutex> Lock() { return std::unique_lock<std::recursive_mutex>(m_mutex); }

  // Held reads. While a stream of register reads comes in, the read
  // transaction of one read may stay open, without the lock, for the next
  // read to carry on with: SQLite then takes and checks its file locks once
  // for the stream rather than once per read. Other queries on this
  // connection run inside it as well; anything that may write ends it
  // first: Exec, an Open for writing, Close; and a commit through another
  // connection of the same health keeps it from being carried on, so reads
  // see every write the server acknowledged. The server ends it as soon as its loop goes
  // quiet. Off unless switched on, so that a transaction never outlives its
  // operation where nobody ends held reads.
  void SetReadHoldingEnabled(bool enabled);
  // Takes the lock and hands over the held read transaction, if there is
  // one and no connection of the same health has committed since it began,
  // instead of ending it: *transactionOpen tells which.
  std::unique_lock<std::recursive_mutex> LockAndTakeHeldRead(bool* transactionOpen);
  // Called with the lock and an open read transaction: keeps the
  // transaction open after the caller releases the lock when holding is
  // enabled (true), or leaves it to the caller to end (false).
  bool HoldRead();
  // Ends the held read transaction, if any.
  void EndHeldRead();

 private:
  // Notes a failed statement or open: counted, and kept as LastFailure.
  void NoteFailure(int result);

  struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
  };
  using PreparedStatement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;
  struct CachedStatement {
    PreparedStatement statement;
    SqlTemplate text;  // for the statement as logged
  };

  // The prepared statement for sql, from the cache or newly prepared (and
  // kept); null with the SQLite code in result when it cannot be prepared.
  const CachedStatement* Prepare(const std::string& sql, int* result);
  // Runs a prepared statement with params bound, logging it, and hands its
  // rows to onRow.
  int RunQuery(const std::string& sql, const SqlParams& params, const SqlRowVisitor& onRow);
  // What RunQuery and Scan share: prepares sql, notes and logs it, binds
  // params and hands the statement to step, which steps it to its end and
  // returns the last step's code. Returns SQLITE_OK when that is
  // SQLITE_DONE; failures are counted.
  int RunStatement(const std::string& sql, const SqlParams& params, const std::function<int(sqlite3_stmt*)>& step);
  // Sets the last statement: sql with params written in, or sql as it
  // stands without a prepared statement to take the parameters' places. The
  // line is only put together when it is logged or asked for (see
  // LastStatementLine), since a statement that is neither costs nothing.
  void SetLastStatement(const std::string& sql, const CachedStatement* entry, const SqlParams& params);
  // The last statement's log line, written out now if it was not yet.
  const std::string& LastStatementLine() const;

  // visit_row: registered on every connection with this object as its
  // data, it hands a row's values to m_rowVisitor (see Scan).
  static void VisitRow(sqlite3_context* context, int count, sqlite3_value** values);

  sqlite3* m_connection = nullptr;
  // The visitor of the Scan running, if one is.
  const SqlValuesVisitor* m_rowVisitor = nullptr;
  // Statements with parameters are prepared once per connection and reused:
  // the same few texts run for every register and every reading.
  std::unordered_map<std::string, CachedStatement> m_statements;
  // The entry used last: a register read runs the same statement again and
  // again, and this spares hashing its text each time.
  const std::string* m_lastSql = nullptr;
  const CachedStatement* m_lastStatementEntry = nullptr;
  // The last statement: its cache entry (or its text, when it has none) and
  // parameters, and its log line "FYI: SQL Query=[...]\n" once written out,
  // kept whole so that logging a query copies nothing (and for its
  // capacity). The entry stays valid until Close, which writes the line out.
  const CachedStatement* m_pendingEntry = nullptr;
  std::string m_pendingSql;
  SqlParams m_pendingParams;
  mutable bool m_lastStatementWritten = true;
  mutable std::string m_lastStatementLine;
  std::string m_fileName;
  std::string m_openFailure;
  int m_openMode = 0;
  int m_busyTimeoutMs = 0;
  bool m_isOpen = false;
  bool m_everOpened = false;
  bool m_readHoldingEnabled = false;
  bool m_readHeld = false;
  // The health's commit count when the held read's transaction began: a
  // held read that a commit has overtaken since is not carried on.
  uint64_t m_readSinceCommit = 0;
  int m_lastFailure = SQLITE_OK;
  DatabaseHealth m_ownHealth;
  DatabaseHealth* m_health = &m_ownHealth;
  mutable std::recursive_mutex m_mutex;
};
