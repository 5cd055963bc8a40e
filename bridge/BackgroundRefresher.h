// BackgroundRefresher.h - the thread that keeps the codes Modbus clients
// read fresh: it takes each code the refresh book says is due, fetches it
// from the weather service into the database through a connection of its
// own, and notes the outcome back. The Modbus thread never waits on it.
#pragma once

#include <atomic>
#include <string>
#include <thread>

#include "RefreshBook.h"
#include "SQLiteDatabase.h"

class BackgroundRefresher {
 public:
  // Starts the thread over the database file at databasePath.
  BackgroundRefresher(const std::string& databasePath, RefreshBook& book);
  // Stops the book and waits for the thread (a fetch under way runs to its
  // end, at most one weather time-out).
  ~BackgroundRefresher();
  BackgroundRefresher(const BackgroundRefresher&) = delete;
  BackgroundRefresher& operator=(const BackgroundRefresher&) = delete;

 private:
  void Run();

  RefreshBook& m_book;
  CSQLiteDatabase m_database;
  std::thread m_thread;
};
