// SqlExpansion.h - a statement's text with its bound values written in, the
// way SQLite's sqlite3_expanded_sql writes them, for the log lines.
#pragma once

#include <string>
#include <vector>

#include "SqlTypes.h"

// A statement's text split at its "?" parameters outside quotes, made once
// per statement so that writing it out with values is a few appends.
class SqlTemplate {
 public:
  SqlTemplate() = default;
  explicit SqlTemplate(const std::string& sql);

  // Appends the text with each parameter replaced by its value: an integer
  // in decimal, text in single quotes (quotes inside doubled), NULL for a
  // null value or a parameter without a value. Text in '...', "...", `...`
  // or [...] stands as it is.
  void AppendExpanded(std::string& out, const SqlParams& params) const;

 private:
  std::vector<std::string> m_pieces;  // one more than there are parameters
};
