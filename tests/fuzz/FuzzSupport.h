// FuzzSupport.h - what both fuzz targets share: a fatal check, a reader over
// the fuzzer's input, a CRC-16/MODBUS of our own (bit by bit, so it cannot
// share a fault with the stack's table-driven one), and the checks every
// frame handed to the send callback must pass.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "ModbusStack.h"

namespace veld_fuzz {

constexpr uint16_t kMaxFrame = 260;  // 6 + unit + 253-byte PDU

// Aborts (which libFuzzer reports as a crash) with a note saying why.
inline void Require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "fuzz invariant violated: %s\n", what);
    std::abort();
  }
}

// Takes bytes off the front of the input; reads past the end give zeros.
class InputReader {
 public:
  InputReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t Byte() { return position_ < size_ ? data_[position_++] : 0; }
  uint16_t Word() {
    const uint16_t high = Byte();
    return static_cast<uint16_t>((high << 8) | Byte());
  }
  size_t Remaining() const { return size_ - position_; }
  const uint8_t* Take(size_t count) {
    const uint8_t* start = data_ + position_;
    position_ += count;
    return start;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
};

// CRC-16/MODBUS: reflected polynomial 0xA001, initial value 0xFFFF. On the
// wire the low-order byte goes first.
inline uint16_t BitwiseCrc16(const uint8_t* bytes, size_t count) {
  uint16_t crc = 0xFFFF;
  for (size_t i = 0; i < count; ++i) {
    crc ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc & 1u) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001u) : static_cast<uint16_t>(crc >> 1);
    }
  }
  return crc;
}

// The receive side of a session: the rest of the input cut into chunks, each
// a length byte followed by that many bytes (the last one may be cut short),
// handed out one per receive call.
class ChunkFeed {
 public:
  void Load(InputReader* input) {
    while (input->Remaining() > 0) {
      size_t length = input->Byte();
      length = length < input->Remaining() ? length : input->Remaining();
      chunks_.push_back(Chunk{input->Take(length), static_cast<uint16_t>(length)});
    }
  }
  size_t Count() const { return chunks_.size(); }
  bool Exhausted() const { return next_ >= chunks_.size(); }

  // Copies the next chunk into buffer, cut to room; with seal (RTU) its CRC
  // is appended first. Returns the bytes written, 0 when none are left.
  uint16_t Next(uint8_t* buffer, uint16_t room, bool seal) {
    if (Exhausted()) {
      return 0;
    }
    const Chunk chunk = chunks_[next_++];
    uint8_t bytes[255 + 2];
    std::memcpy(bytes, chunk.bytes, chunk.length);
    uint16_t length = chunk.length;
    if (seal) {
      const uint16_t crc = BitwiseCrc16(bytes, length);
      bytes[length++] = static_cast<uint8_t>(crc & 0xFF);
      bytes[length++] = static_cast<uint8_t>(crc >> 8);
    }
    length = length < room ? length : room;
    std::memcpy(buffer, bytes, length);
    return length;
  }

 private:
  struct Chunk {
    const uint8_t* bytes;
    uint16_t length;
  };
  std::vector<Chunk> chunks_;
  size_t next_ = 0;
};

// Every frame the stack sends, request or response, under either framing.
inline void CheckSentFrame(uint32_t protocol, const uint8_t* frame, uint16_t length) {
  Require(frame != nullptr, "send callback got no frame");
  Require(length >= 1 && length <= kMaxFrame, "sent frame length outside 1..260");
  volatile uint8_t sink = 0;
  for (uint16_t i = 0; i < length; ++i) {
    sink = static_cast<uint8_t>(sink ^ frame[i]);  // lets ASan see the whole frame
  }
  if (protocol == MODBUSSTACK_PROTOCOL_TCP) {
    Require(length >= 8, "TCP frame shorter than MBAP header and function code");
    Require(frame[2] == 0 && frame[3] == 0, "TCP frame with nonzero protocol identifier");
    const uint16_t lengthField = static_cast<uint16_t>((frame[4] << 8) | frame[5]);
    Require(lengthField == length - 6, "MBAP length field is not frame length - 6");
  } else {
    Require(length >= 4, "RTU frame shorter than address, function code and CRC");
    const uint16_t crc = BitwiseCrc16(frame, length - 2u);
    Require(frame[length - 2] == (crc & 0xFF) && frame[length - 1] == (crc >> 8), "RTU frame with a wrong CRC");
  }
}

}  // namespace veld_fuzz
