// UnitIdSet.h - the Modbus TCP unit identifiers the server answers
// (--unit-id): a list such as "1" or "1,255", or "any"; 0 and 255 unless
// set otherwise.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

class UnitIdSet {
 public:
  // 0 and 255, the ones a Modbus TCP server answers without being told.
  UnitIdSet();
  // unit alone.
  static UnitIdSet Only(uint8_t unit);

  bool Contains(uint8_t unit) const { return m_units.test(unit); }
  size_t Count() const { return m_units.count(); }
  // True when every unit identifier (0 to 255) is answered.
  bool ContainsAll() const { return m_units.all(); }

  // The identifiers for a log line, in ascending order and joined naturally:
  // "1", "0 and 255", "1, 7 and 255"; "0 to 255" for all.
  std::string Describe() const;
  // As the option writes it: "0,255", "any" for all.
  std::string ToString() const;

  // Reads "any" or a comma-separated list of numbers from 0 to 255. On
  // failure returns nothing and says why in *why.
  static std::optional<UnitIdSet> Parse(const std::string& text, std::string* why);

 private:
  std::bitset<256> m_units;
};
