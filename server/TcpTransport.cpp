// TcpTransport.cpp - the connection table, framing of the byte streams, and
// the send and receive paths with their log lines.
#include "TcpTransport.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "ConsoleLog.h"

namespace {

// MBAP header: protocol identifier at 2, length field at 4, 6 bytes in all.
constexpr uint16_t kMbapProtocolId = 2;
constexpr uint16_t kMbapLength = 4;
constexpr uint16_t kMbapFixedSize = 6;
// The unit identifier follows the header.
constexpr uint16_t kMbapUnitId = kMbapFixedSize;
// The stack answers Modbus TCP unit identifiers 0 and 255 only, and puts its
// own slave id into every answer. The server answers the identifiers of
// --unit-id instead, each answer carrying the request's own: the stack
// takes one request per ModbusStack_Loop call and answers it within that
// call, so the transport hands it an answered request as unit 255 (and any
// other as a unit it ignores), keeps the request's identifier with the
// connection, and writes it back into the answer's MBAP header on the way
// out. The stack's own behaviour stays as its manual describes it.
constexpr uint8_t kUnitTheStackAnswers = 255;
constexpr uint8_t kUnitTheStackIgnores = 1;
// The shortest pause between two log lines about unanswered unit
// identifiers on one connection: a client that polls or retries quickly
// still leaves one line a second.
constexpr std::chrono::seconds kUnansweredUnitLogInterval{1};
// After the header: the unit identifier, then the PDU's function code and,
// in an exception answer, the exception code.
constexpr uint16_t kFunctionCodeOffset = kMbapFixedSize + 1;
constexpr uint16_t kExceptionCodeOffset = kFunctionCodeOffset + 1;
constexpr uint8_t kExceptionFlag = 0x80;
// A frame carries at least a unit identifier and a function code.
constexpr uint16_t kMinLengthField = 2;
constexpr uint16_t kMaxLengthField = CTCP::kMaxFrameSize - kMbapFixedSize;
constexpr uint32_t kMaxConnectionId = 0xFFFF;  // 16 bits reach the stack
// The longest frame either direction carries (the stack never sends more).
constexpr uint16_t kMaxFrameBytes = CTCP::kMaxFrameSize;
// RTU over TCP: bytes of an unfinished frame are given up when the stream
// has been silent this long since; a client retries later than this.
constexpr std::chrono::milliseconds kRtuStreamIdleGap{500};

uint16_t ReadBigEndian16(const uint8_t* bytes) { return static_cast<uint16_t>((bytes[0] << 8) | bytes[1]); }

// The hex dump of a frame as one line: the head with the connection id, then
// "XX " for each byte. Built whole and written once, so that lines of other
// threads cannot land inside it. Only at the debug log level.
void LogDump(const char* head, uint32_t connectionId, const uint8_t* bytes, uint16_t length) {
  if (!ConsoleLogEnabled(LogLevel::kDebug)) {
    return;
  }
  static const char kHexDigits[] = "0123456789ABCDEF";
  char line[32 + 3 * kMaxFrameBytes + 2];
  int used = std::snprintf(line, 32, head, connectionId);
  if (used < 0) {
    used = 0;
  }
  size_t position = static_cast<size_t>(used);
  for (uint16_t i = 0; i < length && i < kMaxFrameBytes; ++i) {
    line[position++] = kHexDigits[bytes[i] >> 4];
    line[position++] = kHexDigits[bytes[i] & 0x0F];
    line[position++] = ' ';
  }
  line[position++] = '\n';
  ConsoleWrite(LogLevel::kDebug, line, position);
}

}  // namespace

FrameState InspectFrame(const uint8_t* bytes, uint16_t length, uint16_t* frameLength) {
  if (length < kMbapFixedSize) {
    return FrameState::Incomplete;
  }
  const uint16_t lengthField = ReadBigEndian16(bytes + kMbapLength);
  if (ReadBigEndian16(bytes + kMbapProtocolId) != 0 || lengthField < kMinLengthField || lengthField > kMaxLengthField) {
    return FrameState::Unusable;
  }
  *frameLength = static_cast<uint16_t>(kMbapFixedSize + lengthField);
  return length >= *frameLength ? FrameState::Complete : FrameState::Incomplete;
}

CTCP::~CTCP() { Teardown(); }

void CTCP::Teardown() {
  for (const Connection& connection : m_connections) {
    CloseSocket(connection.socket);
  }
  m_connections.clear();
  if (m_metrics != nullptr) {
    m_metrics->openConnections.store(0, std::memory_order_relaxed);
  }
  CloseSocket(m_listeningSocket);
  m_listeningSocket = kInvalidSocket;
}

uint32_t CTCP::AddConnection(SocketHandle socket) {
  uint32_t id = m_lastConnectionId;
  do {
    id = id >= kMaxConnectionId ? 1 : id + 1;
  } while (std::any_of(m_connections.begin(), m_connections.end(),
                       [id](const Connection& connection) { return connection.connectionId == id; }));
  m_lastConnectionId = id;
  Connection& connection = m_connections.emplace_back();
  connection.socket = socket;
  connection.connectionId = id;
  connection.lastRequestAt = std::chrono::steady_clock::now();
  connection.lastBytesAt = connection.lastRequestAt;
  connection.rtu = RtuGateway(RtuAddresses);
  if (m_metrics != nullptr) {
    Increment(m_metrics->connectionsAccepted);
    m_metrics->openConnections.store(static_cast<int64_t>(m_connections.size()), std::memory_order_relaxed);
    if (m_connections.size() == ConnectionMax) {
      Increment(m_metrics->connectionLimitReached);
    }
  }
  return id;
}

bool CTCP::EvictIdlest(TimePoint now) {
  const auto idlest = std::min_element(
      m_connections.begin(), m_connections.end(),
      [](const Connection& left, const Connection& right) { return left.lastRequestAt < right.lastRequestAt; });
  if (idlest == m_connections.end() || now - idlest->lastRequestAt < IdleBeforeEviction) {
    return false;
  }
  const auto idleSeconds = std::chrono::duration_cast<std::chrono::seconds>(now - idlest->lastRequestAt);
  LogWarning("CTCP::Accept - Closed the connection idle longest to make room. connectionId=[%u], idle=[%d] s\n",
             idlest->connectionId, static_cast<int>(idleSeconds.count()));
  Remove(idlest);
  if (m_metrics != nullptr) {
    Increment(m_metrics->connectionsClosedAtLimit);
  }
  return true;
}

void CTCP::Refuse(SocketHandle socket, const std::string& address, uint16_t port) {
  CloseSocket(socket);
  const auto threshold = std::chrono::duration_cast<std::chrono::seconds>(IdleBeforeEviction);
  LogWarning(
      "CTCP::Accept - Closed the new connection from IP address=[%s] port=[%u] at once: every place is taken and "
      "none has been idle for [%d] s\n",
      address.c_str(), port, static_cast<int>(threshold.count()));
  if (m_metrics != nullptr) {
    Increment(m_metrics->connectionsRefusedAtLimit);
  }
}

size_t CTCP::BufferedFrameCount() const {
  uint16_t frameLength = 0;
  return std::count_if(m_connections.begin(), m_connections.end(), [this, &frameLength](const Connection& connection) {
    return InspectPending(connection, &frameLength) != FrameState::Incomplete;
  });
}

FrameState CTCP::InspectPending(const Connection& connection, uint16_t* frameLength) const {
  if (Framing == ModbusFraming::kTcp) {
    return InspectFrame(connection.pending, connection.pendingLength, frameLength);
  }
  switch (InspectRtuRequest(connection.pending, connection.pendingLength, frameLength)) {
    case RtuFrameState::Complete:
      return FrameState::Complete;
    case RtuFrameState::Incomplete:
      return FrameState::Incomplete;
    case RtuFrameState::Corrupt:
      return FrameState::Unusable;
  }
  return FrameState::Unusable;
}

void CTCP::DropCorruptRtu(Connection& connection) {
  uint16_t frameLength = 0;
  for (;;) {
    const RtuFrameState state = InspectRtuRequest(connection.pending, connection.pendingLength, &frameLength);
    if (state == RtuFrameState::Complete) {
      connection.resynchronising = false;
    }
    if (state != RtuFrameState::Corrupt) {
      return;
    }
    if (!connection.resynchronising) {
      connection.resynchronising = true;
      if (m_metrics != nullptr) {
        Increment(m_metrics->rtuCrcErrors);
      }
      if (connection.rtu.NoteCorruptFrame(std::chrono::steady_clock::now())) {
        LogWarning("CTCP::GetMessage - Dropped an RTU frame with a wrong CRC. connectionId=[%u]\n",
                   connection.connectionId);
      }
    }
    --connection.pendingLength;
    std::memmove(connection.pending, connection.pending + 1, connection.pendingLength);
  }
}

void CTCP::DropStaleRtu(Connection& connection, TimePoint now) {
  if (connection.pendingLength == 0 || now - connection.lastBytesAt < kRtuStreamIdleGap) {
    return;
  }
  connection.pendingLength = 0;
  connection.resynchronising = false;
  if (m_metrics != nullptr) {
    Increment(m_metrics->rtuFramesDropped);
  }
}

bool CTCP::SendMessage(uint32_t connectionId, const uint8_t* answer, uint16_t length) {
  const auto connection =
      std::find_if(m_connections.begin(), m_connections.end(),
                   [connectionId](const Connection& candidate) { return candidate.connectionId == connectionId; });
  const bool rtu = connection != m_connections.end() && Framing == ModbusFraming::kRtuOverTcp;
  if (rtu && connection->rtu.WithholdsAnswer()) {
    return true;  // a broadcast is carried out, never answered
  }
  uint8_t bytes[kMaxFrameBytes];
  length = std::min(length, kMaxFrameBytes);
  std::memcpy(bytes, answer, length);
  if (connection != m_connections.end() && !rtu && length > kMbapUnitId) {
    bytes[kMbapUnitId] = connection->requestUnit;
  }
  uint8_t rtuFrame[kMaxRtuFrameSize];
  const uint8_t* wire = bytes;
  uint16_t wireLength = length;
  if (rtu) {
    wire = rtuFrame;
    wireLength = connection->rtu.ToWire(bytes, length, rtuFrame, sizeof rtuFrame);
  }
  LogDump("FYI: TX (%d): ", connectionId, wire, wireLength);
  if (connection == m_connections.end() || wireLength == 0) {
    LogError("Error: SendMessage failed.\n");
    return false;
  }
  const long sent = SendBytes(connection->socket, wire, wireLength);
  if (sent != static_cast<long>(wireLength)) {
    LogError("Error: SendMessage failed.\n");
    return false;
  }
  if (m_metrics != nullptr && length > kFunctionCodeOffset) {
    const bool isException = (bytes[kFunctionCodeOffset] & kExceptionFlag) != 0;
    m_metrics->NoteResponse(isException, length > kExceptionCodeOffset ? bytes[kExceptionCodeOffset] : 0);
  }
  return true;
}

uint16_t CTCP::GetMessage(uint32_t* connectionSlot, uint8_t* buffer, uint16_t room) {
  if (room == 0 || buffer == nullptr || m_connections.empty()) {
    return 0;
  }
  // Oldest first, but a connection served in the current round waits until
  // every other connection with a request has had its turn; otherwise a few
  // busy clients would starve the rest. When no one else has a request, a
  // new round begins with the connections passed over.
  for (int pass = 0; pass < 2; ++pass) {
    const uint32_t passedOver = m_round;
    if (pass == 1) {
      ++m_round;
    }
    for (auto connection = m_connections.begin(); connection != m_connections.end(); ++connection) {
      const bool servedThisRound = connection->servedInRound == passedOver;
      if (servedThisRound != (pass == 1)) {
        continue;
      }
      uint16_t frameLength = 0;
      switch (Visit(connection, &frameLength)) {
        case VisitResult::Nothing:
          continue;
        case VisitResult::Removed:
          return 0;
        case VisitResult::Frame:
          connection->servedInRound = m_round;
          return Deliver(*connection, frameLength, connectionSlot, buffer, room);
      }
    }
  }
  return 0;
}

size_t CTCP::MarkReadableConnections(const std::vector<pollfd>& sockets, size_t first) {
  size_t readable = 0;
  size_t at = first;
  for (Connection& connection : m_connections) {
    const bool found = at < sockets.size() && sockets[at].fd == connection.socket;
    connection.readable = found && sockets[at].revents != 0;
    readable += connection.readable ? 1 : 0;
    at += found ? 1 : 0;
  }
  return readable;
}

CTCP::VisitResult CTCP::Visit(std::list<Connection>::iterator connection, uint16_t* frameLength) {
  const bool rtu = Framing == ModbusFraming::kRtuOverTcp;
  if (rtu) {
    DropCorruptRtu(*connection);
  }
  FrameState state = InspectPending(*connection, frameLength);
  if (state == FrameState::Incomplete && !connection->readable) {
    return VisitResult::Nothing;
  }
  if (state == FrameState::Incomplete) {
    connection->readable = false;
    const TimePoint now = std::chrono::steady_clock::now();
    if (rtu) {
      DropStaleRtu(*connection, now);
    }
    const long received = ReceiveBytes(connection->socket, connection->pending + connection->pendingLength,
                                       kMaxFrameSize - connection->pendingLength);
    if (received == 0) {
      LogInfo("CTCP::GetMessage - The client disconnected. Disconnect this connection. connectionId=[%u]\n",
              connection->connectionId);
      Remove(connection);
      return VisitResult::Removed;
    }
    if (received < 0) {
      const int error = LastSocketError();
      if (error == kErrorWouldBlock) {
        return VisitResult::Nothing;
      }
      LogError("CTCP::GetMessage - Error=%d, connectionId=[%u]\n", error, connection->connectionId);
      if (error == kErrorLibraryConnectionReset || error == kErrorConnectionAborted || error == kErrorConnectionReset) {
        LogInfo("CTCP::GetMessage - The client disconnected. Disconnect this connection. connectionId=[%u]\n",
                connection->connectionId);
      } else {
        LogInfo("CTCP::GetMessage - recv error=[%d]\n", error);
      }
      Remove(connection);
      return VisitResult::Removed;
    }
    connection->pendingLength = static_cast<uint16_t>(connection->pendingLength + received);
    connection->lastBytesAt = now;
    if (rtu) {
      DropCorruptRtu(*connection);
    }
    state = InspectPending(*connection, frameLength);
  }
  if (state == FrameState::Unusable) {
    // No frame starts here: the stack sees the bytes as they came and
    // refuses them, and the stream starts afresh.
    *frameLength = connection->pendingLength;
    return VisitResult::Frame;
  }
  return state == FrameState::Complete ? VisitResult::Frame : VisitResult::Nothing;
}

uint16_t CTCP::Deliver(Connection& connection, uint16_t frameLength, uint32_t* connectionSlot, uint8_t* buffer,
                       uint16_t room) {
  const TimePoint now = std::chrono::steady_clock::now();
  connection.lastRequestAt = now;
  const uint32_t reportedId = connection.connectionId & kMaxConnectionId;
  LogDump("FYI: RX (%d): ", reportedId, connection.pending, std::min(frameLength, room));
  const uint16_t count = HandOver(connection, frameLength, buffer, room);
  if (connectionSlot != nullptr) {
    *connectionSlot = reportedId;
  }
  if (m_metrics != nullptr && count > kFunctionCodeOffset) {
    m_metrics->NoteRequest(buffer[kFunctionCodeOffset]);
  }
  if (Framing == ModbusFraming::kTcp) {
    TranslateUnit(connection, buffer, count, now);  // RTU frames: the gateway chose the unit
  }
  return count;
}

uint16_t CTCP::HandOver(Connection& connection, uint16_t frameLength, uint8_t* buffer, uint16_t room) {
  uint16_t count = std::min(frameLength, room);
  uint16_t consumed = count;
  if (Framing == ModbusFraming::kTcp) {
    std::memcpy(buffer, connection.pending, count);
  } else {
    count = connection.rtu.ToStack(connection.pending, frameLength, buffer, room);
    consumed = frameLength;
  }
  connection.pendingLength = static_cast<uint16_t>(connection.pendingLength - consumed);
  std::memmove(connection.pending, connection.pending + consumed, connection.pendingLength);
  return count;
}

void CTCP::TranslateUnit(Connection& connection, uint8_t* frame, uint16_t length, TimePoint now) {
  if (length <= kMbapUnitId) {
    return;  // no unit identifier; the stack answers nothing so short
  }
  const uint8_t unit = frame[kMbapUnitId];
  connection.requestUnit = unit;
  const bool answered = AnsweredUnits.Contains(unit);
  frame[kMbapUnitId] = answered ? kUnitTheStackAnswers : kUnitTheStackIgnores;
  uint16_t frameLength = 0;
  if (!answered && InspectFrame(frame, length, &frameLength) == FrameState::Complete) {
    LogUnansweredUnit(connection, unit, now);
  }
}

void CTCP::LogUnansweredUnit(Connection& connection, uint8_t unit, TimePoint now) {
  if (connection.unansweredUnitLoggedAt && now - *connection.unansweredUnitLoggedAt < kUnansweredUnitLogInterval) {
    return;
  }
  connection.unansweredUnitLoggedAt = now;
  LogInfo("FYI: A request for unit id [%u] is not answered; this server answers unit %s %s. connectionId=[%u]\n",
          static_cast<unsigned>(unit), AnsweredUnits.Count() == 1 ? "id" : "ids", AnsweredUnits.Describe().c_str(),
          connection.connectionId & kMaxConnectionId);
}

void CTCP::Remove(std::list<Connection>::iterator connection) {
  CloseSocket(connection->socket);
  m_connections.erase(connection);
  if (m_metrics != nullptr) {
    m_metrics->openConnections.store(static_cast<int64_t>(m_connections.size()), std::memory_order_relaxed);
  }
}

CTCP& TheTransport() {
  static CTCP transport;
  return transport;
}
