// LoadFrames.h - the Modbus TCP requests modbus-load sends and the strict
// check of each reply against the request it answers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "LoadOptions.h"

// MBAP header: transaction id, protocol id, length field, unit identifier.
constexpr size_t kMbapSize = 7;
// The largest Modbus TCP frame: the MBAP header and a 253-byte PDU.
constexpr size_t kMaxTcpFrame = 260;
// The largest request modbus-load builds: FC16 with 10 registers.
constexpr size_t kMaxLoadRequest = kMbapSize + 6 + 2 * 10;

// Writes the request for mode into out (room for kMaxLoadRequest bytes) and
// returns its length. firstRegister is the first register read or written;
// a write sets value, value + 1, ... into consecutive registers.
size_t BuildLoadRequest(LoadMode mode, uint16_t transactionId, uint8_t unit, uint16_t firstRegister, uint16_t value,
                        uint8_t* out);

// The length of the whole frame whose MBAP header is header, or 0 when the
// length field cannot belong to a Modbus TCP frame.
size_t FrameLengthFromHeader(const uint8_t* header);

// Checks a whole reply against its request: transaction id echoed, protocol
// 0, length field consistent, same function code without the exception bit,
// byte count or echo as the function prescribes. The unit is not checked.
// On a mismatch writes why and returns false.
bool CheckLoadReply(const uint8_t* request, const uint8_t* reply, size_t replyLength, std::string* why);
