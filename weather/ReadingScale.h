// ReadingScale.h - how a reading becomes its register word: each reading name
// has one fixed scale and range, applied once, when the reading is stored.
#pragma once

#include <cstdint>
#include <string_view>

// The scale of a reading name: "temp" (signed) and "wind.speed" in tenths,
// every other name in whole units, unsigned.
struct ReadingScale {
  int factor = 1;           // register word = reading x factor
  bool signedWord = false;  // the word is a signed 16-bit number
};

ReadingScale ScaleOf(std::string_view name);

// The register word of a reading of name: the reading times the name's
// factor, rounded to the nearest integer (halves away from zero), saturated
// to -32768..32767 for a signed name and 0..65535 for the others, and stored
// as the 16-bit word (a negative value as its two's complement). NaN gives 0.
uint16_t RegisterWordOf(std::string_view name, double reading);
