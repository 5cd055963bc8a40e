// ReadingScale.cpp - the scale table and the rounding and saturation of a
// scaled reading.
#include "ReadingScale.h"

#include <algorithm>
#include <cmath>
#include <limits>

ReadingScale ScaleOf(std::string_view name) {
  if (name == "temp") {
    return {10, true};
  }
  if (name == "wind.speed") {
    return {10, false};
  }
  return {1, false};
}

uint16_t RegisterWordOf(std::string_view name, double reading) {
  if (std::isnan(reading)) {
    return 0;
  }
  const ReadingScale scale = ScaleOf(name);
  const double low = scale.signedWord ? std::numeric_limits<int16_t>::min() : 0.0;
  const double high = scale.signedWord ? std::numeric_limits<int16_t>::max() : std::numeric_limits<uint16_t>::max();
  // Clamped before the cast, so that infinities and huge readings saturate
  // instead of overflowing.
  const double word = std::clamp(std::round(reading * scale.factor), low, high);
  return static_cast<uint16_t>(static_cast<int32_t>(word));
}
