// StableHash.h - a string hash whose value is fixed by its definition (64-bit
// FNV-1a), unlike std::hash, so a postal code gets the same simulated climate
// on every build and every run.
#pragma once

#include <cstdint>
#include <string_view>

namespace weather_service {

uint64_t Fnv1a64(std::string_view text);

}  // namespace weather_service
