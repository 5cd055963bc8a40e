// ConnectionPool.h - connections to one database file for threads that come
// and go (the web server's workers): a request takes a connection to itself
// for as long as it runs and gives it back, so that requests never share a
// connection or wait for each other's lock, and a connection is made only
// when every one made so far is in use (so there are never more than
// requests at once).
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "DatabaseHealth.h"
#include "SQLiteDatabase.h"

class ConnectionPool {
 public:
  // Connections to the file at path, each waiting up to kWriteLockWaitMs
  // for another connection's lock and counting into health (not owned;
  // null: each its own count).
  explicit ConnectionPool(std::string path, DatabaseHealth* health = nullptr);
  ConnectionPool(const ConnectionPool&) = delete;
  ConnectionPool& operator=(const ConnectionPool&) = delete;

  // A connection taken from the pool for the lease's life.
  class Lease {
   public:
    Lease(ConnectionPool& pool, CSQLiteDatabase* connection) : m_pool(&pool), m_connection(connection) {}
    ~Lease();
    Lease(Lease&& other) noexcept;
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;
    Lease& operator=(Lease&&) = delete;

    CSQLiteDatabase& operator*() const { return *m_connection; }
    CSQLiteDatabase* operator->() const { return m_connection; }

   private:
    ConnectionPool* m_pool;
    CSQLiteDatabase* m_connection;
  };

  // A connection nobody else uses until the lease ends, opened for reading
  // and writing (a failed open is left to the first operation to report).
  Lease Take();

 private:
  void GiveBack(CSQLiteDatabase* connection);

  const std::string m_path;
  DatabaseHealth* const m_health;
  std::mutex m_mutex;
  std::vector<std::unique_ptr<CSQLiteDatabase>> m_connections;
  std::vector<CSQLiteDatabase*> m_idle;
};
