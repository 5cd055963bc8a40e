// QueryString.h - the request parameters, read from the query string with
// CivetWeb's mg_get_var, and the two ways their numbers are read: as atoi
// reads them (limit and offset) and strictly (the actions' id and value).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The value of the parameter name in query (which may be null), decoded as
// HTML forms encode it: "+" is a blank, "%" and two hexadecimal digits are
// that byte, any other "%" stays. CivetWeb's rules hold: the first parameter
// of that name counts, and names are compared without regard to case.
// Nothing when there is no such parameter; an empty text for "name=".
std::optional<std::string> QueryValue(const char* query, const char* name);

// The value as a text to store or look up: up to its first zero byte, and
// empty when there is no such parameter.
std::string QueryText(const char* query, const char* name);

// The leading number of text as atoi reads it (white space, sign, digits;
// 0 when there are none), saturating at the 32-bit limits.
int32_t ParseNumber(const std::string& text);

// The whole text as a decimal integer from low to high: an optional sign and
// digits, nothing before or after them. Nothing for any other text.
std::optional<int64_t> ParseInteger(const std::string& text, int64_t low, int64_t high);
