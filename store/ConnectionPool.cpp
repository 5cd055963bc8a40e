// ConnectionPool.cpp - taking, making and giving back connections.
#include "ConnectionPool.h"

#include <utility>

ConnectionPool::ConnectionPool(std::string path, DatabaseHealth* health) : m_path(std::move(path)), m_health(health) {}

ConnectionPool::Lease::~Lease() {
  if (m_connection != nullptr) {
    m_pool->GiveBack(m_connection);
  }
}

ConnectionPool::Lease::Lease(Lease&& other) noexcept : m_pool(other.m_pool), m_connection(other.m_connection) {
  other.m_connection = nullptr;
}

ConnectionPool::Lease ConnectionPool::Take() {
  {
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_idle.empty()) {
      CSQLiteDatabase* const connection = m_idle.back();
      m_idle.pop_back();
      return Lease(*this, connection);
    }
  }
  auto connection = std::make_unique<CSQLiteDatabase>();
  connection->SetFileName(m_path);
  connection->SetBusyTimeout(kWriteLockWaitMs);
  connection->SetHealth(m_health);
  // Read-write from the start: a connection that serves both views and
  // actions is then never reopened to change its mode.
  connection->Open(SQLITE_OPEN_READWRITE);
  CSQLiteDatabase* const taken = connection.get();
  const std::lock_guard<std::mutex> lock(m_mutex);
  m_connections.push_back(std::move(connection));
  return Lease(*this, taken);
}

void ConnectionPool::GiveBack(CSQLiteDatabase* connection) {
  const std::lock_guard<std::mutex> lock(m_mutex);
  m_idle.push_back(connection);
}
