// RtuGateway.h - Modbus RTU frames in and out of a stack set up for Modbus
// TCP: an RTU request (address, PDU, CRC) becomes an MBAP frame for unit 255,
// which the stack answers, and the stack's MBAP answer goes back out as an
// RTU frame under the request's address. Used by RTU over TCP and the serial
// line alike.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

#include "UnitIdSet.h"

// The longest RTU frame: address, a 253-byte PDU, CRC.
constexpr uint16_t kMaxRtuFrameSize = 256;
// The slave address RTU requests are answered under unless --unit-id names
// others; 1 to 247 are addresses of single slaves, 0 is broadcast.
constexpr uint8_t kDefaultRtuAddress = 1;
constexpr uint8_t kMaxRtuAddress = 247;
constexpr uint8_t kRtuBroadcastAddress = 0;

// What the Modbus TCP listener's connections carry: Modbus TCP (MBAP)
// frames, or RTU frames as serial-to-Ethernet converters pass them on.
enum class ModbusFraming { kTcp, kRtuOverTcp };

// Where the bytes at the head of an RTU byte stream stand: a whole request
// with a right CRC, not all there yet, or a request that its length rule
// says is whole but whose CRC is wrong (or whose length no request has).
enum class RtuFrameState { Complete, Incomplete, Corrupt };

// Looks at the request starting at bytes[0], cut by the length rule of its
// function code (the byte count of 15, 16 and 23; 43/14 is 5 bytes and the
// CRC; every other code 6 bytes and the CRC). frameLength is set for
// Complete and Corrupt.
RtuFrameState InspectRtuRequest(const uint8_t* bytes, uint16_t length, uint16_t* frameLength);

// What a server answering the slave addresses in answered (only 1 to 247
// count) does with a request: answer it; carry it out and answer nothing (a
// broadcast write: 5, 6, 15, 16); leave it alone (a request for another
// slave on the bus, or a broadcast of anything else).
enum class RtuAddressing { Answer, CarryOutSilently, Ignore };
RtuAddressing ClassifyRtuRequest(uint8_t address, uint8_t functionCode, const UnitIdSet& answered);

// True when answered holds an address of a single slave (1 to 247).
bool AnswersSomeRtuSlave(const UnitIdSet& answered);

// One RTU link's side of the exchange with the stack: it remembers the
// address of the request handed over, so that the answer goes out under it,
// and whether the answer is to be withheld.
class RtuGateway {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;

  explicit RtuGateway(UnitIdSet addresses = UnitIdSet::Only(kDefaultRtuAddress)) : m_addresses(addresses) {}

  // Writes into mbap (room bytes) the MBAP frame of the whole, CRC-checked
  // RTU request rtu (length bytes, CRC included): a transaction id of the
  // gateway's own counting, protocol 0, unit 255, the PDU. Returns its
  // length; 0 when the request is left alone (ClassifyRtuRequest) or too
  // short to carry a function code or too long for room.
  uint16_t ToStack(const uint8_t* rtu, uint16_t length, uint8_t* mbap, uint16_t room);

  // True when the last request handed over was a broadcast: its answer is
  // not sent.
  bool WithholdsAnswer() const { return m_withholdAnswer; }

  // Writes into rtu (room bytes) the RTU frame of the stack's MBAP answer
  // (length bytes): the last request's address, the PDU, the CRC. Returns
  // its length; 0 when mbap carries no PDU or the frame does not fit.
  uint16_t ToWire(const uint8_t* mbap, uint16_t length, uint8_t* rtu, uint16_t room) const;

  // Notes a corrupt frame at now; true when a log line about it is due (at
  // most one a second per link).
  bool NoteCorruptFrame(TimePoint now);

 private:
  UnitIdSet m_addresses;
  uint8_t m_requestAddress = 0;
  bool m_withholdAnswer = false;
  uint16_t m_transactionId = 0;
  std::optional<TimePoint> m_corruptLoggedAt;
};
