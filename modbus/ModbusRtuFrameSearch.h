// ModbusRtuFrameSearch.h - finding whole, CRC-valid Modbus RTU frames in a
// byte stream: requests for the server pass, replies for the client.
#pragma once

#include <cstdint>

namespace modbus_stack {

// The length, CRC included, of an RTU request whose first available bytes
// (at least address and function code) are at candidate: from the byte count
// for 15, 16 and 23, fixed for 43 and for every other function code. 0 while
// the byte count is still to come.
uint16_t RtuRequestLength(const uint8_t* candidate, uint16_t available);

// Looks for one complete request addressed to 0 or to the slave id, with a
// supported function code and a correct CRC, in the receive buffer. Stray
// bytes in front of it are dropped, so a found frame starts at position 0.
// At most 100 start positions are examined per call; a candidate whose bytes
// are still arriving stops the search until more come.
// Returns the frame's length including the CRC, or 0 when none is complete.
uint16_t FindRequestFrame();

// Finds the earliest start s in bytes[0..count) from which a CRC-valid frame
// of at least 4 bytes runs, taking the longest such frame for that start.
// Returns s and stores the frame's length (CRC included), or -1 when there is
// none.
int FindReplyFrame(const uint8_t* bytes, uint16_t count, uint16_t* frameLength);

}  // namespace modbus_stack
