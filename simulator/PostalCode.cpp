// PostalCode.cpp - recognises zip codes (five digits) and Canadian postal codes
// (letter-digit-letter, optionally followed by digit-letter-digit). Character
// tests are plain ASCII so the locale cannot change which codes are valid.
#include "PostalCode.h"

#include <algorithm>

namespace weather_service {
namespace {

constexpr size_t kZipLength = 5;
constexpr size_t kCanadianHalf = 3;
constexpr size_t kCanadianFull = 6;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsUpperLetter(char c) { return c >= 'A' && c <= 'Z'; }
char ToUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsZipCode(std::string_view code) {
  return code.size() == kZipLength && std::all_of(code.begin(), code.end(), IsDigit);
}

// Letters stand at even positions, digits at odd ones: A9A or A9A9A9.
bool IsCanadianCode(std::string_view code) {
  if (code.size() != kCanadianHalf && code.size() != kCanadianFull) return false;
  for (size_t i = 0; i < code.size(); ++i) {
    const bool valid = (i % 2 == 0) ? IsUpperLetter(code[i]) : IsDigit(code[i]);
    if (!valid) return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> NormalisePostalCode(std::string_view code) {
  if (IsZipCode(code)) return std::string(code);

  // "A9A 9A9": the only place a blank may stand is between the two halves.
  const bool blankInTheMiddle = code.size() == kCanadianFull + 1 && code[kCanadianHalf] == ' ';
  std::string compact;
  for (size_t i = 0; i < code.size(); ++i) {
    if (blankInTheMiddle && i == kCanadianHalf) continue;
    compact += ToUpper(code[i]);
  }
  if (IsCanadianCode(compact)) return compact;
  return std::nullopt;
}

}  // namespace weather_service
