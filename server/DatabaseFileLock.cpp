// DatabaseFileLock.cpp - the flock on the database file, and naming the
// process that holds it from /proc/locks and /proc/PID/comm.
#include "DatabaseFileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

// The process holding a flock on the file described by file, as
// /proc/locks lists it: "N: FLOCK  ADVISORY  WRITE PID MAJOR:MINOR:INODE
// START END", the device numbers in hex. A process waiting for the lock is
// listed as "N: -> FLOCK ..." and is skipped. Nothing when no line matches
// or the holder lives in a process namespace this one cannot see (pid 0).
std::optional<long> FlockHolder(const struct stat& file) {
  std::ifstream locks("/proc/locks");
  std::string line;
  while (std::getline(locks, line)) {
    std::istringstream fields(line);
    std::string number;
    std::string kind;
    std::string mode;
    std::string access;
    long pid = 0;
    std::string where;
    if (!(fields >> number >> kind >> mode >> access >> pid >> where) || kind != "FLOCK") {
      continue;
    }
    unsigned deviceMajor = 0;
    unsigned deviceMinor = 0;
    unsigned long long inode = 0;
    if (std::sscanf(where.c_str(), "%x:%x:%llu", &deviceMajor, &deviceMinor, &inode) == 3 && pid > 0 &&
        inode == static_cast<unsigned long long>(file.st_ino) && deviceMajor == major(file.st_dev) &&
        deviceMinor == minor(file.st_dev)) {
      return pid;
    }
  }
  return std::nullopt;
}

// The command name of process pid (/proc/PID/comm, at most 15 bytes), or
// empty when it cannot be read.
std::string CommandName(long pid) {
  std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
  std::string name;
  std::getline(comm, name);
  return name;
}

std::string InUseText(const std::string& path, const struct stat& file) {
  std::string text = "The database file [" + path + "] is in use by another process";
  const std::optional<long> holder = FlockHolder(file);
  if (!holder) {
    return text + ", which /proc/locks does not name";
  }
  text += ", pid=[" + std::to_string(*holder) + "]";
  const std::string name = CommandName(*holder);
  return name.empty() ? text : text + ", name=[" + name + "]";
}

}  // namespace

std::optional<DatabaseFileLock> DatabaseFileLock::Take(const std::string& path, std::string* refusal) {
  const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) {
    *refusal = "Can not open the database file [" + path + "] to lock it: " + std::strerror(errno);
    return std::nullopt;
  }
  DatabaseFileLock lock(descriptor);
  if (flock(descriptor, LOCK_EX | LOCK_NB) == 0) {
    return lock;
  }
  if (errno != EWOULDBLOCK) {
    *refusal = "Can not lock the database file [" + path + "]: " + std::strerror(errno);
    return std::nullopt;
  }
  struct stat file {};
  *refusal = fstat(descriptor, &file) == 0 ? InUseText(path, file)
                                           : "The database file [" + path + "] is in use by another process";
  return std::nullopt;
}

DatabaseFileLock::DatabaseFileLock(DatabaseFileLock&& other) noexcept : m_descriptor(other.m_descriptor) {
  other.m_descriptor = -1;
}

DatabaseFileLock::~DatabaseFileLock() {
  if (m_descriptor >= 0) {
    close(m_descriptor);
  }
}
