// ModbusRtuFrameSearch.h - finding whole, CRC-valid Modbus RTU frames in a
// byte stream: requests for the server pass, replies for the client.
#pragma once

#include <cstdint>

namespace modbus_stack {

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
