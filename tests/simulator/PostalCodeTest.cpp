// PostalCodeTest.cpp - which postal codes the weather service accepts and the
// normalised form readings are derived from.
#include <gtest/gtest.h>

#include "PostalCode.h"

namespace weather_service {
namespace {

TEST(PostalCode, AcceptsFiveDigitZipCodesUnchanged) {
  for (const char* code : {"10001", "00501", "99950"}) EXPECT_EQ(NormalisePostalCode(code), code);
}

TEST(PostalCode, AcceptsCanadianCodesOfThreeOrSixCharacters) {
  EXPECT_EQ(NormalisePostalCode("K1A"), "K1A");
  EXPECT_EQ(NormalisePostalCode("K1A0B1"), "K1A0B1");
  EXPECT_EQ(NormalisePostalCode("M5V 3L9"), "M5V3L9");
}

TEST(PostalCode, SpellingsOfOneCanadianCodeNormaliseAlike) {
  for (const char* code : {"K1A 0B1", "k1a 0b1", "k1a0b1", "K1a0B1"}) EXPECT_EQ(NormalisePostalCode(code), "K1A0B1");
  EXPECT_EQ(NormalisePostalCode("h2x"), "H2X");
}

TEST(PostalCode, RejectsEverythingElse) {
  const std::string_view invalid[] = {
      "",
      "1000",
      "100011",
      "1000A",
      "10 001",
      " 10001",
      "10001 ",
      "10001-1234",
      "K1A0B",
      "K1A 0B",
      "K1A0B1C",
      "1A1",
      "KAA",
      "K11",
      "K1A-0B1",
      "K1 A0B1",
      "K1A  0B1",
      " K1A",
      "K1A ",
      "K1A 0B1 ",
      "K1A\t0B1",
      "K1\xC3\x84",
      std::string_view("10001\0", 6),
      std::string_view("K1A\0", 4),
  };
  for (const std::string_view code : invalid) {
    EXPECT_FALSE(NormalisePostalCode(code).has_value()) << "accepted '" << code << "'";
  }
}

}  // namespace
}  // namespace weather_service
