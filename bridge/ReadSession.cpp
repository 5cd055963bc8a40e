// ReadSession.cpp - taking and giving back the lock and the read transaction.
#include "ReadSession.h"

ReadSession::ReadSession(CSQLiteDatabase& database) : m_database(database) { Resume(); }

ReadSession::~ReadSession() {
  if (m_lock.owns_lock() && m_inTransaction && m_database.HoldRead()) {
    m_inTransaction = false;
    m_lock.unlock();
    return;
  }
  Suspend();
}

void ReadSession::Resume() {
  if (m_lock.owns_lock()) {
    return;
  }
  bool carriedOn = false;
  m_lock = m_database.LockAndTakeHeldRead(&carriedOn);
  // A failed open or BEGIN leaves each lookup to report its own failure.
  m_inTransaction =
      carriedOn || (m_database.Open(SQLITE_OPEN_READONLY) == SQLITE_OK && m_database.Exec("BEGIN;") == SQLITE_OK);
}

void ReadSession::Suspend() {
  if (!m_lock.owns_lock()) {
    return;
  }
  if (m_inTransaction) {
    m_database.Exec("COMMIT;");
    m_inTransaction = false;
  }
  m_lock.unlock();
}
