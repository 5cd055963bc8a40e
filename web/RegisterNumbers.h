// RegisterNumbers.h - the register numbers integrators and the pages show
// beside a register's offset (its PDU address, which goes on the wire): the
// 5-digit convention 4xxxx and the 6-digit one 4xxxxx of holding registers.
#pragma once

#include <cstdint>

constexpr int64_t kFiveDigitRegisterBase = 40001;
// 40001 + 9998 = 49999: the 5-digit numbers reach no further.
constexpr int64_t kFiveDigitLastOffset = 9998;
constexpr int64_t kSixDigitRegisterBase = 400001;
