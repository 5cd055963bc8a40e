// TcpTransport.h - CTCP, the Modbus TCP transport: the listening socket and
// the table of accepted connections, each known to the stack by its
// connectionId. GetMessage hands the stack one whole Modbus TCP frame at a
// time, cut from each connection's byte stream by the MBAP length field;
// SendMessage writes an answer to the connection the stack names.
#pragma once

#include <poll.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <list>
#include <optional>
#include <string>
#include <vector>

#include "RtuGateway.h"
#include "ServerMetrics.h"
#include "SocketLayer.h"
#include "UnitIdSet.h"

// Where a connection's buffered bytes stand: a complete frame of frameLength
// bytes, not enough bytes yet, or a header no frame can start with.
enum class FrameState { Complete, Incomplete, Unusable };

class CTCP {
 public:
  // The largest Modbus TCP frame: 6 header bytes and a length field of at
  // most 254 (unit identifier and a 253-byte PDU).
  static constexpr uint16_t kMaxFrameSize = 260;
  // Connections admitted before the listener raises the limit.
  static constexpr uint32_t kDefaultConnectionMax = 5;
  // A connection without a request for this long gives its place up to a
  // newcomer when every place is taken.
  static constexpr std::chrono::seconds kDefaultIdleBeforeEviction{10};

  using TimePoint = std::chrono::steady_clock::time_point;

  struct Connection {
    SocketHandle socket = kInvalidSocket;
    uint32_t connectionId = 0;
    // Bytes received but not yet handed to the stack: at most one frame,
    // whole or in part, plus nothing else.
    uint8_t pending[kMaxFrameSize] = {};
    uint16_t pendingLength = 0;
    // The walk round in which the connection was last served.
    uint32_t servedInRound = 0;
    // When its last complete frame arrived, or when it was accepted if none
    // has yet.
    TimePoint lastRequestAt{};
    // Whether a receive may find bytes (or a hang-up): so when accepted, then
    // as the service loop's last wait found it; cleared by the receive.
    bool readable = true;
    // When a request for a unit identifier the server does not answer was
    // last logged for this connection; none yet when empty.
    std::optional<TimePoint> unansweredUnitLoggedAt;
    // RTU over TCP only: the conversion for the stack, when bytes last
    // arrived, and whether the stream is being searched for the next good
    // frame after a corrupt one.
    RtuGateway rtu;
    TimePoint lastBytesAt{};
    bool resynchronising = false;
    // The unit identifier of the request last handed to the stack, which
    // SendMessage writes into the answer.
    uint8_t requestUnit = 0;
  };

  CTCP() = default;
  ~CTCP();
  CTCP(const CTCP&) = delete;
  CTCP& operator=(const CTCP&) = delete;

  // Writes the unit identifier of the connection's last request into the
  // frame, logs it as "FYI: TX (id): XX XX ...", then sends it whole to the
  // connection whose id equals connectionId. False (logged as "Error:
  // SendMessage failed.") when there is no such connection or the send
  // fails or falls short; the connection stays.
  bool SendMessage(uint32_t connectionId, const uint8_t* bytes, uint16_t length);

  // Walks the connections oldest first and hands over the first complete
  // frame found (read from the socket, if readable, when none is buffered); a connection
  // served already in this round of the walk comes after all others that
  // have a frame, so no client is starved. The frame is logged as
  // "FYI: RX (id): ...", with the connection's id (low 16 bits) in the slot.
  // A header that cannot start a frame (protocol identifier not 0, length
  // field outside 2 to 254) hands over the buffered bytes as one message.
  // Either way the stack gets unit identifier 255 when AnsweredUnits holds
  // the request's, and one it ignores otherwise. A
  // closed, reset or failed connection is logged, removed, and ends the walk
  // with 0. Returns the number of bytes placed in buffer, 0 when none.
  uint16_t GetMessage(uint32_t* connectionSlot, uint8_t* buffer, uint16_t room);

  // Takes the answer of the service loop's wait (from sockets[first] on),
  // one entry per connection in the order of Connections(), and marks each
  // connection readable or not: GetMessage receives only from a
  // connection found readable, once per wait, so that a pass serving many
  // clients makes no receive that would only say "nothing yet". Returns how
  // many connections are readable.
  size_t MarkReadableConnections(const std::vector<pollfd>& sockets, size_t first);

  // Appends an accepted socket under the next free connectionId (1 to
  // 65535, wrapping past ids still in use) and returns that id.
  uint32_t AddConnection(SocketHandle socket);

  size_t ConnectionCount() const { return m_connections.size(); }
  const std::list<Connection>& Connections() const { return m_connections; }
  // How many connections hold a complete frame that no receive needs.
  size_t BufferedFrameCount() const;

  SocketHandle ListeningSocket() const { return m_listeningSocket; }
  void SetListeningSocket(SocketHandle socket) { m_listeningSocket = socket; }

  // Closes every connection and the listening socket.
  void Teardown();

  // Makes room for a newcomer when the table is full: closes the connection
  // whose last request lies furthest back, if that is at least
  // IdleBeforeEviction before now, logs it and returns true. False, with
  // the table untouched, when no connection has been idle that long.
  bool EvictIdlest(TimePoint now);

  // Closes a newcomer that found every place taken and no connection to
  // evict, with a log line naming its address, so that the client sees the
  // connection end instead of waiting.
  void Refuse(SocketHandle socket, const std::string& address, uint16_t port);

  // Most connections the accept step admits.
  uint32_t ConnectionMax = kDefaultConnectionMax;
  // How long a connection must have been without a request before
  // EvictIdlest may close it.
  std::chrono::steady_clock::duration IdleBeforeEviction = kDefaultIdleBeforeEviction;
  // The unit identifiers answered (--unit-id); 0 and 255 by default.
  UnitIdSet AnsweredUnits;

  // What the connections carry, and the slave address RTU requests are
  // answered under; set before the first connection.
  ModbusFraming Framing = ModbusFraming::kTcp;
  UnitIdSet RtuAddresses = UnitIdSet::Only(kDefaultRtuAddress);

  // Where requests, answers and connections are counted from now on; null
  // counts nothing. Not owned.
  void SetMetrics(ServerMetrics* metrics) { m_metrics = metrics; }

 private:
  // Hands the frame buffered in connection (frameLength bytes) to the stack.
  uint16_t Deliver(Connection& connection, uint16_t frameLength, uint32_t* connectionSlot, uint8_t* buffer,
                   uint16_t room);
  void Remove(std::list<Connection>::iterator connection);
  // Notes the frame's unit identifier as the connection's requestUnit and
  // puts in its place the one the stack is to see: 255 when the request's
  // is answered, one the stack ignores otherwise. Logs an unanswered one.
  void TranslateUnit(Connection& connection, uint8_t* frame, uint16_t length, TimePoint now);
  // Logs, at most once a second per connection, a frame whose unit
  // identifier is not answered, naming the ones that are: the server sends
  // such a client nothing, and a client's default unit (mbpoll's is 1)
  // would otherwise only time out without a hint.
  void LogUnansweredUnit(Connection& connection, uint8_t unit, TimePoint now);

  // Looks at one connection: a frame is ready (its length in frameLength),
  // nothing is, or the connection was found gone and removed.
  enum class VisitResult { Frame, Nothing, Removed };
  VisitResult Visit(std::list<Connection>::iterator connection, uint16_t* frameLength);
  // Where the connection's buffered bytes stand under the listener's
  // framing; a corrupt RTU frame counts as Unusable.
  FrameState InspectPending(const Connection& connection, uint16_t* frameLength) const;
  // RTU over TCP: drops bytes from the front, one at a time, while they
  // start a corrupt frame (counted and logged once per corrupt stretch), so
  // that the stream finds the next good frame.
  void DropCorruptRtu(Connection& connection);
  // RTU over TCP: drops the bytes of an unfinished frame when the stream has
  // been idle since they came, so that the next bytes start a frame afresh.
  void DropStaleRtu(Connection& connection, TimePoint now);
  // Copies (MBAP) or converts (RTU) the frame at the front of pending into
  // buffer; returns its length, 0 for an RTU request left alone.
  uint16_t HandOver(Connection& connection, uint16_t frameLength, uint8_t* buffer, uint16_t room);

  std::list<Connection> m_connections;
  uint32_t m_round = 1;
  uint32_t m_lastConnectionId = 0;
  SocketHandle m_listeningSocket = kInvalidSocket;
  ServerMetrics* m_metrics = nullptr;
};

FrameState InspectFrame(const uint8_t* bytes, uint16_t length, uint16_t* frameLength);

// The process's one transport, torn down at exit.
CTCP& TheTransport();
