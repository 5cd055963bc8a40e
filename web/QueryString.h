// QueryString.h - the request parameters, read from the query string with
// CivetWeb's mg_get_var, and limit and offset read as atoi reads them (the
// actions' id and value are read strictly, with ParseWholeNumber).
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
