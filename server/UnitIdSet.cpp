// UnitIdSet.cpp - reading and printing the answered unit identifiers.
#include "UnitIdSet.h"

#include <algorithm>
#include <vector>

#include "WholeNumber.h"

namespace {

// 0 is the broadcast identifier of Modbus TCP, 255 "no sub-device": the
// ones a client talking to the server itself rather than through a gateway
// uses.
constexpr uint8_t kUnitBroadcast = 0;
constexpr uint8_t kUnitNoSubDevice = 255;
constexpr int64_t kMaxUnitId = 255;

}  // namespace

UnitIdSet::UnitIdSet() {
  m_units.set(kUnitBroadcast);
  m_units.set(kUnitNoSubDevice);
}

UnitIdSet UnitIdSet::Only(uint8_t unit) {
  UnitIdSet only;
  only.m_units.reset();
  only.m_units.set(unit);
  return only;
}

std::string UnitIdSet::Describe() const {
  if (ContainsAll()) {
    return "0 to " + std::to_string(kMaxUnitId);
  }
  std::vector<std::string> ids;
  for (size_t unit = 0; unit < m_units.size(); ++unit) {
    if (m_units.test(unit)) {
      ids.push_back(std::to_string(unit));
    }
  }
  std::string text;
  for (size_t i = 0; i < ids.size(); ++i) {
    if (i != 0) {
      text += i + 1 == ids.size() ? " and " : ", ";
    }
    text += ids[i];
  }
  return text;
}

std::string UnitIdSet::ToString() const {
  if (ContainsAll()) {
    return "any";
  }
  std::string text;
  for (size_t unit = 0; unit < m_units.size(); ++unit) {
    if (m_units.test(unit)) {
      text += (text.empty() ? "" : ",") + std::to_string(unit);
    }
  }
  return text;
}

std::optional<UnitIdSet> UnitIdSet::Parse(const std::string& text, std::string* why) {
  UnitIdSet parsed;
  if (text == "any") {
    parsed.m_units.set();
    return parsed;
  }
  parsed.m_units.reset();
  size_t start = 0;
  while (start <= text.size()) {
    const size_t comma = std::min(text.find(',', start), text.size());
    const std::string item = text.substr(start, comma - start);
    const std::optional<int64_t> unit = ParseWholeNumber(item, 0, kMaxUnitId);
    if (!unit) {
      *why = "'" + item + "' is not a unit id from 0 to 255 (give a list such as 1,255, or any)";
      return std::nullopt;
    }
    parsed.m_units.set(static_cast<size_t>(*unit));
    start = comma + 1;
  }
  return parsed;
}
