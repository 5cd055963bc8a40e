// SqlExpansion.cpp - writing bound values into a statement's text. Done here
// rather than with sqlite3_expanded_sql because every register read logs its
// statement: this costs one pass over a short text and no allocation beyond
// the output's.
#include "SqlExpansion.h"

#include <cinttypes>
#include <cstdio>

namespace {

void AppendValue(std::string& out, const SqlParam* param) {
  if (param == nullptr || param->kind == SqlParam::Kind::Null) {
    out += "NULL";
    return;
  }
  if (param->kind == SqlParam::Kind::Integer) {
    char digits[24];
    const int length = std::snprintf(digits, sizeof digits, "%" PRId64, param->integer);
    out.append(digits, static_cast<size_t>(length));
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

void AppendExpandedSql(std::string& out, const std::string& sql, const SqlParams& params) {
  out.reserve(out.size() + sql.size() + 16 * params.size());
  size_t next = 0;
  for (size_t i = 0; i < sql.size(); ++i) {
    const char c = sql[i];
    const char closing = ClosingQuote(c);
    if (closing != 0) {
      // A doubled closing quote inside the run is part of it and is met
      // again as the opening of the run that follows, which gives the same
      // copy.
      const size_t end = sql.find(closing, i + 1);
      const size_t last = end == std::string::npos ? sql.size() - 1 : end;
      out.append(sql, i, last - i + 1);
      i = last;
    } else if (c == '?') {
      AppendValue(out, next < params.size() ? &params[next] : nullptr);
      ++next;
    } else {
      out += c;
    }
  }
}
