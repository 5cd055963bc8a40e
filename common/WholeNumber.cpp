// WholeNumber.cpp - std::from_chars, with the leading "+" it does not take.
#include "WholeNumber.h"

#include <charconv>

std::optional<int64_t> ParseWholeNumber(std::string_view text, int64_t low, int64_t high) {
  const char* first = text.data();
  const char* const last = text.data() + text.size();
  const bool plus = first != last && *first == '+';
  if (plus) {
    ++first;  // from_chars takes a minus sign only
  }
  if (first == last || (*first == '-' && plus) || (*first != '-' && (*first < '0' || *first > '9'))) {
    return std::nullopt;
  }
  int64_t value = 0;
  const auto [end, error] = std::from_chars(first, last, value);
  if (error != std::errc() || end != last || value < low || value > high) {
    return std::nullopt;
  }
  return value;
}
