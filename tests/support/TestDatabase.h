// TestDatabase.h - test fixtures for the data store: a fresh database file
// with the Data table in a temporary folder, console output captured as
// text, and a settable clock.
#pragma once

#include <cstdint>
#include <string>

#include "SQLiteDatabase.h"
#include "SqlTypes.h"

namespace veld_test {

// A temporary folder with "data.sqlite3" holding an empty Data table and
// an empty History table. The
// process database is pointed at it (closed first) and the folder removed
// when the object goes, with read holding switched off again.
class TemporaryDatabase {
 public:
  TemporaryDatabase();
  ~TemporaryDatabase();
  TemporaryDatabase(const TemporaryDatabase&) = delete;
  TemporaryDatabase& operator=(const TemporaryDatabase&) = delete;

  const std::string& Path() const { return m_path; }
  CSQLiteDatabase& Database();

  // Runs SQL on a connection of its own (not the process database), for
  // setting up and inspecting rows behind the code under test's back.
  void Run(const std::string& sql) const;
  // The same, returning SQLite's result code (a locked file answers
  // SQLITE_BUSY at once) instead of throwing.
  int TryRun(const std::string& sql) const;
  SqlRows Rows(const std::string& sql) const;
  // Inserts a row directly.
  void AddRow(int offset, const std::string& name, const std::string& code, int64_t value, int64_t lastUpdated) const;

 private:
  std::string m_folder;
  std::string m_path;
};

// Collects everything written through ConsoleLog while it lives.
class CapturedLog {
 public:
  CapturedLog();
  ~CapturedLog();
  CapturedLog(const CapturedLog&) = delete;
  CapturedLog& operator=(const CapturedLog&) = delete;

  std::string Text() const;
  bool Contains(const std::string& text) const { return Text().find(text) != std::string::npos; }
  void Clear();
};

// Sets the clock every data-store and weather function reads, while it lives.
class FixedClock {
 public:
  explicit FixedClock(int64_t now);
  ~FixedClock();
  FixedClock(const FixedClock&) = delete;
  FixedClock& operator=(const FixedClock&) = delete;
  void Set(int64_t now);
};

}  // namespace veld_test
