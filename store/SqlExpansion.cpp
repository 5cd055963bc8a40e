// SqlExpansion.cpp - writing bound values into a statement's text. Done here
// rather than with sqlite3_expanded_sql because every register read logs its
// statement: SQLite tokenises the whole statement for each call.
#include "SqlExpansion.h"

#include <charconv>

namespace {

void AppendValue(std::string& out, const SqlParam* param) {
  if (param == nullptr || param->kind == SqlParam::Kind::Null) {
    out += "NULL";
    return;
  }
  if (param->kind == SqlParam::Kind::Integer) {
    char digits[24];
    const auto written = std::to_chars(digits, digits + sizeof digits, param->integer);
    out.append(digits, written.ptr);
    return;
  }
  out += '\'';
  for (const char c : param->text) {
    if (c == '\'') {
      out += '\'';
    }
    out += c;
  }
  out += '\'';
}

// The character that ends a quoted run opened by c, or 0 when c opens none.
char ClosingQuote(char c) {
  switch (c) {
    case '\'':
    case '"':
    case '`':
      return c;
    case '[':
      return ']';
    default:
      return 0;
  }
}

}  // namespace

SqlTemplate::SqlTemplate(const std::string& sql) {
  std::string piece;
  for (size_t i = 0; i < sql.size(); ++i) {
    const char c = sql[i];
    const char closing = ClosingQuote(c);
    if (closing != 0) {
      // A doubled closing quote inside the run is part of it and is met
      // again as the opening of the run that follows, which gives the same
      // copy.
      const size_t end = sql.find(closing, i + 1);
      const size_t last = end == std::string::npos ? sql.size() - 1 : end;
      piece.append(sql, i, last - i + 1);
      i = last;
    } else if (c == '?') {
      m_pieces.push_back(std::move(piece));
      piece.clear();
    } else {
      piece += c;
    }
  }
  m_pieces.push_back(std::move(piece));
}

void SqlTemplate::AppendExpanded(std::string& out, const SqlParams& params) const {
  for (size_t i = 0; i < m_pieces.size(); ++i) {
    if (i > 0) {
      AppendValue(out, i - 1 < params.size() ? &params[i - 1] : nullptr);
    }
    out += m_pieces[i];
  }
}
