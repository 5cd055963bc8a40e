// QueryString.h - the request parameters: the query string split into
// key=value pairs as they stand, numbers read as atoi reads them, and the
// percent-decoding of the values that need it.
#pragma once

#include <cstdint>
#include <map>
#include <string>

// Parameters by key, keys sorted byte-wise; a later pair replaces an earlier.
using QueryParameters = std::map<std::string, std::string>;

// Splits the query (which may be null) into pairs: each key runs up to the
// next "=" (it may contain "&"), each value up to the next "&". A part with
// no "=" ends the parse. Nothing is decoded. Returns the number of pairs.
int ParseQueryString(const char* query, QueryParameters& parameters);

// The leading number of text as atoi reads it (white space, sign, digits;
// 0 when there are none), saturating at the 32-bit limits.
int32_t ParseNumber(const std::string& text);

// Each "%" followed by two hexadecimal digits becomes that byte; "+" and any
// other "%" stay as they are; the result ends at its first zero byte.
std::string PercentDecode(const std::string& text);
