// WholeNumber.h - reading a whole decimal number out of a text strictly, as
// options, configuration values and request parameters are read.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The whole text as a decimal integer from low to high: an optional sign and
// digits, nothing before or after them. Nothing for any other text.
std::optional<int64_t> ParseWholeNumber(std::string_view text, int64_t low, int64_t high);
