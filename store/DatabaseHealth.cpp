// DatabaseHealth.cpp - the file's identity, noted and checked by device and
// inode number.
#include "DatabaseHealth.h"

#include <sys/stat.h>

void DatabaseHealth::NoteFile(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) {
    return;
  }
  m_path = path;
  m_device = status.st_dev;
  m_inode = status.st_ino;
  m_noted = true;
}

bool DatabaseHealth::FileStillThere() const {
  if (!m_noted) {
    return true;
  }
  struct stat status {};
  return stat(m_path.c_str(), &status) == 0 && status.st_dev == m_device && status.st_ino == m_inode;
}
