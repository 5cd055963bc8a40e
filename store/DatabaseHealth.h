// DatabaseHealth.h - what the connections of one process share about their
// database file, for monitoring: failed statements, writes that gave up
// waiting for another connection's write lock, whether the last write
// failed, and the file they opened, so that a file deleted or replaced
// under the server is noticed. Every field may be read and written from any
// thread.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <string>

// How long a connection waits for another connection's write lock before
// its write gives up as busy: long enough for a commit on a slow disk.
constexpr int kWriteLockWaitMs = 1000;

class DatabaseHealth {
 public:
  // Failed statements and opens (after the first open succeeded).
  std::atomic<uint64_t> errors{0};
  // Writes that gave up waiting for the write lock (contention, not a fault).
  std::atomic<uint64_t> busyWrites{0};
  // True from a write that failed on a fault (disk full, read-only file,
  // I/O error) until a write lands.
  std::atomic<bool> lastWriteFailed{false};
  // Writes landed (committed) through any of the connections: a connection
  // that keeps a read transaction open across reads starts a new one once
  // this moved, so that it reads what the others wrote.
  std::atomic<uint64_t> commits{0};

  // Remembers which file path names now, for FileStillThere. Called once,
  // before other threads look.
  void NoteFile(const std::string& path);
  // False when the noted path no longer names the file noted (deleted,
  // renamed or replaced); true when nothing was noted.
  bool FileStillThere() const;

 private:
  std::string m_path;
  dev_t m_device = 0;
  ino_t m_inode = 0;
  bool m_noted = false;
};
