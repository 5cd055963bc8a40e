// PostalCode.h - the postal codes the weather service knows: five-digit US zip
// codes and Canadian codes of three or six characters ("K1A", "K1A 0B1"), and
// the one spelling of each that readings are derived from.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace weather_service {

// The code upper-cased and without the blank a six-character Canadian code may
// have between its halves, so "k1a 0b1" and "K1A0B1" both give "K1A0B1".
// Empty when the code is neither a zip code nor a Canadian postal code.
std::optional<std::string> NormalisePostalCode(std::string_view code);

}  // namespace weather_service
