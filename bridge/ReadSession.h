// ReadSession.h - one read transaction held, with the database lock, across
// the many small lookups of one request (a Modbus read of up to 125
// registers), so that SQLite takes and checks its file locks once instead of
// once per statement. The session steps aside while a slow operation (a
// weather fetch) runs without the lock. At its end the transaction is left
// open for the next read when the database holds reads (see
// CSQLiteDatabase::HoldRead), and a new session carries on with it.
#pragma once

#include <mutex>

#include "SQLiteDatabase.h"

class ReadSession {
 public:
  explicit ReadSession(CSQLiteDatabase& database);
  ~ReadSession();
  ReadSession(const ReadSession&) = delete;
  ReadSession& operator=(const ReadSession&) = delete;

  // Ends the transaction and releases the lock; Resume takes both again.
  void Suspend();
  void Resume();

 private:
  CSQLiteDatabase& m_database;
  std::unique_lock<std::recursive_mutex> m_lock;
  bool m_inTransaction = false;
};
