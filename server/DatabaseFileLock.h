// DatabaseFileLock.h - one server per database file: an advisory lock
// (flock) on the file itself, taken at start-up and held for the life of
// the server. The system drops it when the process ends, however it ends.
#pragma once

#include <optional>
#include <string>

class DatabaseFileLock {
 public:
  // Takes an exclusive flock on the existing file at path, without waiting,
  // through a descriptor of its own (read-only, closed on exec, so that a
  // program the server starts does not inherit the lock). flock locks are
  // apart from the fcntl locks SQLite takes on the same file, so the two do
  // not disturb each other, and SQLite closing its own descriptors does not
  // drop this one. Returns the held lock; or nothing, with the reason in
  // *refusal, when another process holds the lock or the file cannot be
  // opened or locked. The holder is named when /proc/locks shows it:
  //   "The database file [PATH] is in use by another process, pid=[PID],
  //    name=[COMM]"
  // (name=[...] only when /proc/PID/comm can be read).
  static std::optional<DatabaseFileLock> Take(const std::string& path, std::string* refusal);

  DatabaseFileLock(DatabaseFileLock&& other) noexcept;
  DatabaseFileLock& operator=(DatabaseFileLock&& other) = delete;
  DatabaseFileLock(const DatabaseFileLock&) = delete;
  DatabaseFileLock& operator=(const DatabaseFileLock&) = delete;
  // Closes the descriptor, which releases the lock.
  ~DatabaseFileLock();

 private:
  explicit DatabaseFileLock(int descriptor) : m_descriptor(descriptor) {}

  int m_descriptor = -1;
};
