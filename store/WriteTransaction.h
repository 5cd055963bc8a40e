// WriteTransaction.h - a write to the database as all or nothing: BEGIN
// IMMEDIATE takes the file's write lock up front (waiting out another
// connection's commit for up to the connection's busy time-out), and a
// transaction that is not committed is rolled back when the object goes.
// Inside a transaction the connection has open already, it joins that one
// and leaves committing or rolling back to its owner.
#pragma once

#include <mutex>

#include "SQLiteDatabase.h"

class WriteTransaction {
 public:
  // Takes the database's lock for the object's life, opens the connection
  // for writing and begins. Started tells whether that worked.
  explicit WriteTransaction(CSQLiteDatabase& database);
  // Rolls back unless committed.
  ~WriteTransaction();
  WriteTransaction(const WriteTransaction&) = delete;
  WriteTransaction& operator=(const WriteTransaction&) = delete;

  // False when the connection could not be opened for writing or the
  // transaction not begun; Busy then tells whether another connection held
  // the write lock past the wait.
  bool Started() const { return m_started; }
  // Commits (a joined transaction: leaves it to its owner). False, with
  // everything rolled back, when the commit fails.
  bool Commit();
  // Rolls back now (a joined transaction is left to its owner).
  void RollBack();
  // True when the last failure of the transaction (its open, BEGIN or
  // COMMIT) was contention for the write lock rather than a fault.
  bool Busy() const { return m_busy; }

 private:
  CSQLiteDatabase& m_database;
  std::unique_lock<std::recursive_mutex> m_lock;
  bool m_started = false;
  bool m_owned = false;  // begun here, not joined
  bool m_busy = false;
};
