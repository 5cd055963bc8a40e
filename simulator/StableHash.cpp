// StableHash.cpp - 64-bit FNV-1a: for each byte, xor it in, then multiply by
// the FNV prime.
#include "StableHash.h"

namespace weather_service {

uint64_t Fnv1a64(std::string_view text) {
  constexpr uint64_t kOffsetBasis = 0xCBF29CE484222325u;
  constexpr uint64_t kPrime = 0x100000001B3u;
  uint64_t hash = kOffsetBasis;
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= kPrime;
  }
  return hash;
}

}  // namespace weather_service
