// WriteTransaction.cpp - BEGIN IMMEDIATE, COMMIT and ROLLBACK, each reported
// to the connection's health as a write.
#include "WriteTransaction.h"

#include "ConsoleLog.h"

WriteTransaction::WriteTransaction(CSQLiteDatabase& database) : m_database(database), m_lock(database.Lock()) {
  const int opened = m_database.Open(SQLITE_OPEN_READWRITE);
  if (opened != SQLITE_OK) {
    LogError("Error: Could not open the database for write\n");
    m_database.NoteWriteOutcome(opened);
    m_busy = (opened & 0xFF) == SQLITE_BUSY;
    return;
  }
  if (m_database.InTransaction()) {
    m_started = true;  // joined
    return;
  }
  const int begun = m_database.Exec("BEGIN IMMEDIATE;");
  m_database.NoteWriteOutcome(begun);
  m_busy = begun != SQLITE_OK && m_database.LastFailureWasBusy();
  m_started = begun == SQLITE_OK;
  m_owned = m_started;
}

WriteTransaction::~WriteTransaction() { RollBack(); }

bool WriteTransaction::Commit() {
  if (!m_started) {
    return false;
  }
  if (!m_owned) {
    return true;
  }
  const int committed = m_database.Exec("COMMIT;");
  m_database.NoteWriteOutcome(committed);
  if (committed != SQLITE_OK) {
    m_busy = m_database.LastFailureWasBusy();
    RollBack();
    return false;
  }
  m_owned = false;
  return true;
}

void WriteTransaction::RollBack() {
  if (!m_owned) {
    return;
  }
  if (m_database.InTransaction()) {
    m_database.Exec("ROLLBACK;");
  }
  m_owned = false;
  m_started = false;
}
