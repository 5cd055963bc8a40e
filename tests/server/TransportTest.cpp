// TransportTest.cpp - CTCP and the service pass over real loopback sockets:
// accepting, the count lines and the connection limit, the walk over the
// connections, removal of closed and reset peers, connection ids, framing of
// the byte streams, answered unit ids, the RX/TX dumps, failed sends, socket
// options and the idle wait.
//
// Each test has a CTCP of its own with a listening socket on 127.0.0.1 and a
// free port. The stack's callbacks carry no context, so the ones registered
// here reach the test's transport through a test-global pointer.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ModbusListener.h"
#include "ModbusStack.h"
#include "StackEntryPoints.h"
#include "TcpTransport.h"
#include "TestDatabase.h"
#include "UnitIdSet.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

CTCP* g_transport = nullptr;

bool SendThroughTestTransport(uint16_t connectionId, const uint8_t* frame, uint16_t length) {
  return g_transport != nullptr && g_transport->SendMessage(connectionId, frame, length);
}

uint16_t ReceiveThroughTestTransport(uint32_t* connectionId, uint8_t* buffer, uint16_t room) {
  return g_transport == nullptr ? 0 : g_transport->GetMessage(connectionId, buffer, room);
}

uint32_t StoppedClock() { return 0; }

// Register N reads as 0x1000 + N.
uint16_t RegisterValue(uint16_t address) { return static_cast<uint16_t>(0x1000 + address); }

bool ReadRegisters(uint8_t, uint8_t, uint16_t start, uint16_t length, uint16_t* values, uint16_t, uint8_t*) {
  for (uint16_t i = 0; i < length; ++i) values[i] = RegisterValue(static_cast<uint16_t>(start + i));
  return true;
}

bool AcceptWrites(uint8_t, uint8_t, uint16_t, uint16_t, uint16_t*, uint16_t, uint8_t*) { return true; }

uint8_t High(uint16_t value) { return static_cast<uint8_t>(value >> 8); }
uint8_t Low(uint16_t value) { return static_cast<uint8_t>(value & 0xFF); }

// Read Holding Registers for one register, unit 255.
Bytes ReadRequest(uint16_t transaction, uint16_t address) {
  return {High(transaction), Low(transaction), 0, 0, 0, 6, 0xFF, 0x03, High(address), Low(address), 0, 1};
}

// The answer to ReadRequest: the request's unit 255, one register.
Bytes ReadAnswer(uint16_t transaction, uint16_t address) {
  const uint16_t value = RegisterValue(address);
  return {High(transaction), Low(transaction), 0, 0, 0, 5, 0xFF, 0x03, 0x02, High(value), Low(value)};
}

Bytes Join(Bytes first, const Bytes& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

size_t Occurrences(const std::string& text, const std::string& piece) {
  size_t count = 0;
  for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++count;
  return count;
}

// The lines of text that begin with head, in order.
std::vector<std::string> LinesStartingWith(const std::string& text, const std::string& head) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find('\n', start);
    const std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (line.compare(0, head.size(), head) == 0) lines.push_back(line);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

bool WaitReadable(int socket, milliseconds timeout) {
  pollfd entry{socket, POLLIN, 0};
  return poll(&entry, 1, static_cast<int>(timeout.count())) == 1;
}

// A plain blocking TCP client on loopback.
class Client {
 public:
  explicit Client(uint16_t port) : fd_(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    connected_ = connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  }
  ~Client() { Close(); }
  Client(const Client&) = delete;
  Client& operator=(const Client&) = delete;

  bool Connected() const { return connected_; }
  uint16_t LocalPort() const {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
  }
  void Send(const Bytes& bytes) const {
    ASSERT_EQ(send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(bytes.size()));
  }
  bool Readable(milliseconds wait) const { return WaitReadable(fd_, wait); }
  // One Modbus TCP frame, or what came before the time-out.
  Bytes ReadFrame(milliseconds timeout = milliseconds(2000)) const {
    Bytes frame;
    const auto deadline = Clock::now() + timeout;
    size_t wanted = 6;
    while (frame.size() < wanted && Clock::now() < deadline) {
      const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
      if (!WaitReadable(fd_, left)) break;
      uint8_t byte = 0;
      if (recv(fd_, &byte, 1, 0) != 1) break;
      frame.push_back(byte);
      if (frame.size() == 6) wanted = 6u + static_cast<size_t>((frame[4] << 8) | frame[5]);
    }
    return frame;
  }
  void Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }
  // Closes with a reset instead of the orderly end of the stream.
  void Reset() {
    const linger abort{1, 0};
    setsockopt(fd_, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    Close();
  }

 private:
  int fd_;
  bool connected_ = false;
};

class ServerPassTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::signal(SIGPIPE, SIG_DFL);  // a send that raised it would end the test binary
    FillStackEntryPoints();
    ASSERT_EQ(
        ModbusStack_Init(MODBUSSTACK_PROTOCOL_TCP, SendThroughTestTransport, ReceiveThroughTestTransport, StoppedClock),
        MODBUSSTACK_INIT_READY);
    ModbusStack_RegisterGetValue(ReadRegisters);
    ModbusStack_RegisterSetValue(AcceptWrites);
    g_transport = &transport_;
    transport_.SetMetrics(&metrics_);

    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(listener, reinterpret_cast<const sockaddr*>(&address), length), 0);
    ASSERT_EQ(listen(listener, kListenBacklog), 0);
    ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    port_ = ntohs(address.sin_port);
    transport_.SetListeningSocket(listener);
  }

  void TearDown() override {
    g_transport = nullptr;
    transport_.Teardown();
  }

  void Pass(int waitMs = 10) { RunServicePass(transport_, state_, waitMs); }

  // Passes until done() holds; false after two seconds without.
  bool PassUntil(const std::function<bool()>& done) {
    const auto deadline = Clock::now() + milliseconds(2000);
    while (!done()) {
      if (Clock::now() > deadline) return false;
      Pass();
    }
    return true;
  }

  // A client that the transport has accepted.
  std::unique_ptr<Client> Connect() {
    auto client = std::make_unique<Client>(port_);
    EXPECT_TRUE(client->Connected());
    const size_t before = transport_.ConnectionCount();
    EXPECT_TRUE(PassUntil([&] { return transport_.ConnectionCount() > before; })) << "not accepted";
    return client;
  }

  // The answer a client gets, passing until it is there.
  Bytes Answer(const Client& client) {
    EXPECT_TRUE(PassUntil([&] { return client.Readable(milliseconds(0)); })) << "no answer";
    return client.ReadFrame();
  }

  // Waits until every connection's socket holds at least the given number of
  // unread bytes (in table order), so that one receive takes them all.
  void WaitForServerBytes(const std::vector<int>& counts) {
    const auto deadline = Clock::now() + milliseconds(2000);
    for (;;) {
      size_t index = 0;
      bool all = true;
      for (const CTCP::Connection& connection : transport_.Connections()) {
        int queued = 0;
        ioctl(connection.socket, FIONREAD, &queued);
        if (index < counts.size() && queued < counts[index]) all = false;
        ++index;
      }
      if (all) return;
      ASSERT_LT(Clock::now(), deadline) << "the bytes did not arrive";
      std::this_thread::sleep_for(milliseconds(1));
    }
  }

  // One receive as the service loop makes it: after a wait that tells the
  // transport which connections are readable.
  Bytes Receive() {
    std::vector<pollfd> sockets;
    for (const CTCP::Connection& connection : transport_.Connections()) {
      sockets.push_back({connection.socket, POLLIN, 0});
    }
    poll(sockets.data(), sockets.size(), 0);
    transport_.MarkReadableConnections(sockets, 0);
    uint8_t buffer[CTCP::kMaxFrameSize] = {};
    uint32_t slot = 0;
    const uint16_t count = transport_.GetMessage(&slot, buffer, sizeof buffer);
    lastSlot_ = slot;
    return Bytes(buffer, buffer + count);
  }

  std::string Log() const { return log_.Text(); }
  size_t LogCount(const std::string& piece) const { return Occurrences(Log(), piece); }

  veld_test::CapturedLog log_;
  ServerMetrics metrics_;
  CTCP transport_;
  ServiceLoopState state_;
  uint16_t port_ = 0;
  uint32_t lastSlot_ = 0;
};

const char kClosedLine[] = "CTCP::GetMessage - The client disconnected. Disconnect this connection. connectionId=[";
const char kCountLine[] = "FYI: The number of connections changed to [";

// ---- Accepting, the count lines and the connection limit

using ServicePass = ServerPassTest;

TEST_F(ServicePass, LogsEachAcceptAndEachCountChangeOnce) {
  auto first = Connect();
  auto second = Connect();
  const std::string accepted = "CTCP::Accept - Received incoming connection from IP address=[127.0.0.1] port=[" +
                               std::to_string(second->LocalPort()) + "], connectionId=[2]\n" +
                               "FYI: Got a connection from IP address=[127.0.0.1] port=[" +
                               std::to_string(second->LocalPort()) + "]... \n";
  EXPECT_NE(Log().find(accepted), std::string::npos) << Log();

  first->Close();
  ASSERT_TRUE(PassUntil([&] { return LogCount(std::string(kCountLine) + "1]") == 2; })) << Log();
  for (int i = 0; i < 5; ++i) Pass();
  EXPECT_EQ(LinesStartingWith(Log(), kCountLine),
            (std::vector<std::string>{std::string(kCountLine) + "1]", std::string(kCountLine) + "2]",
                                      std::string(kCountLine) + "1]"}));
  EXPECT_EQ(LogCount(std::string(kClosedLine) + "1]\n"), 1u);
  EXPECT_EQ(LogCount("Error="), 0u) << "an orderly close is no error";
}

// A client that the server closed reads the end of the stream.
bool Ended(const Client& client) { return client.ReadFrame(milliseconds(100)).empty(); }

TEST_F(ServicePass, AtConnectionMaxClosesNewcomersWhenNoneHasBeenIdleLongEnough) {
  transport_.ConnectionMax = 2;
  auto first = Connect();
  auto second = Connect();
  log_.Clear();
  for (int i = 0; i < 3; ++i) {
    const Client refused(port_);
    ASSERT_TRUE(PassUntil([&] { return refused.Readable(milliseconds(0)); })) << "left waiting in the backlog";
    EXPECT_TRUE(Ended(refused));
  }
  EXPECT_EQ(transport_.ConnectionCount(), 2u);
  EXPECT_EQ(LogCount("CTCP::Accept - Closed the new connection from IP address=[127.0.0.1] port=["), 3u) << Log();
  EXPECT_EQ(LogCount("CTCP::Accept - Error Max connections reached\n"), 1u) << "at most once a second";
  EXPECT_EQ(Read(metrics_.connectionsRefusedAtLimit), 3u);
  first->Send(ReadRequest(9, 1));
  EXPECT_EQ(Answer(*first), ReadAnswer(9, 1)) << "the connections in the table stay";
}

TEST_F(ServicePass, AtConnectionMaxAdmitsANewcomerInPlaceOfTheConnectionIdleLongest) {
  transport_.ConnectionMax = 3;
  transport_.IdleBeforeEviction = milliseconds(500);
  auto first = Connect();
  auto second = Connect();
  auto third = Connect();
  std::this_thread::sleep_for(milliseconds(550));
  // The first was accepted before the second, but has asked since.
  first->Send(ReadRequest(1, 1));
  EXPECT_EQ(Answer(*first), ReadAnswer(1, 1));
  third->Send(ReadRequest(2, 2));
  EXPECT_EQ(Answer(*third), ReadAnswer(2, 2));

  const Client newcomer(port_);
  ASSERT_TRUE(PassUntil([&] { return second->Readable(milliseconds(0)); })) << Log();
  EXPECT_TRUE(Ended(*second));
  newcomer.Send(ReadRequest(3, 3));
  EXPECT_EQ(Answer(newcomer), ReadAnswer(3, 3));
  EXPECT_EQ(LogCount("CTCP::Accept - Closed the connection idle longest to make room. connectionId=[2], idle=["), 1u)
      << Log();
  EXPECT_EQ(Read(metrics_.connectionsClosedAtLimit), 1u);

  // No one left has been idle long enough: the next newcomer is closed.
  const Client late(port_);
  ASSERT_TRUE(PassUntil([&] { return late.Readable(milliseconds(0)); }));
  EXPECT_TRUE(Ended(late));
  EXPECT_EQ(transport_.ConnectionCount(), 3u);
  EXPECT_EQ(Read(metrics_.connectionsRefusedAtLimit), 1u);
}

// ---- The walk over the connections

TEST_F(ServicePass, ServesEveryReadyConnectionInOnePassOldestFirst) {
  auto first = Connect();
  auto second = Connect();
  auto third = Connect();
  second->Send(ReadRequest(2, 30));
  first->Send(Join(ReadRequest(1, 40), ReadRequest(3, 41)));
  WaitForServerBytes({24, 12});
  log_.Clear();
  Pass();
  ASSERT_TRUE(first->Readable(milliseconds(500)));
  ASSERT_TRUE(second->Readable(milliseconds(0))) << "both ready connections are served by one pass";
  EXPECT_EQ(first->ReadFrame(), ReadAnswer(1, 40));
  EXPECT_EQ(second->ReadFrame(), ReadAnswer(2, 30));
  EXPECT_LT(Log().find("FYI: RX (1): "), Log().find("FYI: RX (2): "));
  EXPECT_EQ(LogCount("FYI: RX"), 2u) << "each at most once per pass: " << Log();
  EXPECT_EQ(Answer(*first), ReadAnswer(3, 41));
  EXPECT_FALSE(third->Readable(milliseconds(0)));
}

TEST_F(ServicePass, ABusyConnectionWaitsUntilTheOthersHaveHadTheirTurn) {
  // The first client has three requests queued, the second one: oldest
  // first, but the first does not get a second turn before the second's.
  auto first = Connect();
  auto second = Connect();
  first->Send(Join(Join(ReadRequest(1, 40), ReadRequest(2, 41)), ReadRequest(3, 42)));
  second->Send(ReadRequest(4, 50));
  WaitForServerBytes({36, 12});
  std::vector<uint32_t> order;
  for (int i = 0; i < 4; ++i) {
    ASSERT_EQ(Receive().size(), 12u);
    order.push_back(lastSlot_);
  }
  EXPECT_EQ(order, (std::vector<uint32_t>{1, 2, 1, 1}));
}

TEST_F(ServicePass, AnswersTheSecondWhileTheFirstIsSilent) {
  auto first = Connect();
  auto second = Connect();
  for (uint16_t transaction = 1; transaction <= 3; ++transaction) {
    second->Send(ReadRequest(transaction, 50));
    EXPECT_EQ(Answer(*second), ReadAnswer(transaction, 50));
  }
  EXPECT_FALSE(first->Readable(milliseconds(0)));
  EXPECT_EQ(transport_.ConnectionCount(), 2u);
}

TEST_F(ServicePass, RemovesAResetConnectionWithError10054) {
  auto first = Connect();
  auto second = Connect();
  second->Reset();
  ASSERT_TRUE(PassUntil([&] { return transport_.ConnectionCount() == 1; }));
  EXPECT_NE(Log().find("CTCP::GetMessage - Error=10054, connectionId=[2]\n" + std::string(kClosedLine) + "2]\n"),
            std::string::npos)
      << Log();
  ASSERT_TRUE(PassUntil([&] { return LogCount(std::string(kCountLine) + "1]") == 2; }));
  first->Send(ReadRequest(4, 0));
  EXPECT_EQ(Answer(*first), ReadAnswer(4, 0)) << "the other connection is untouched";
}

// ---- Connection ids

TEST_F(ServicePass, GivesRisingIdsThatAreNotReusedAfterDisconnects) {
  auto first = Connect();
  auto second = Connect();
  first->Close();
  second->Close();
  ASSERT_TRUE(PassUntil([&] { return transport_.ConnectionCount() == 0; }));
  auto third = Connect();
  ASSERT_EQ(transport_.ConnectionCount(), 1u);
  EXPECT_EQ(transport_.Connections().front().connectionId, 3u);
  third->Send(ReadRequest(1, 7));
  EXPECT_EQ(Answer(*third), ReadAnswer(1, 7));
  EXPECT_EQ(LogCount("FYI: TX (3): "), 1u);
}

TEST(ConnectionIds, WrapPast65535ToTheNextIdNotInUse) {
  const veld_test::CapturedLog log;  // keeps tens of thousands of disconnect lines off the console
  CTCP transport;
  int kept[2][2];
  for (auto& pair : kept) ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair), 0);
  ASSERT_EQ(transport.AddConnection(kept[0][0]), 1u);
  ASSERT_EQ(transport.AddConnection(kept[1][0]), 2u);
  uint8_t buffer[CTCP::kMaxFrameSize];
  uint32_t slot = 0;
  // Connections 3 to 65535 come and go while 1 and 2 stay.
  for (uint32_t expected = 3; expected <= 0xFFFF; ++expected) {
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair), 0);
    ASSERT_EQ(transport.AddConnection(pair[0]), expected);
    close(pair[1]);
    ASSERT_EQ(transport.GetMessage(&slot, buffer, sizeof buffer), 0);
    ASSERT_EQ(transport.ConnectionCount(), 2u);
  }
  int fresh[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fresh), 0);
  EXPECT_EQ(transport.AddConnection(fresh[0]), 3u) << "1 and 2 are still in use";

  // The wrapped id names its connection on the way in and on the way out.
  const Bytes request = ReadRequest(1, 1);
  ASSERT_EQ(send(fresh[1], request.data(), request.size(), 0), 12);
  ASSERT_EQ(transport.GetMessage(&slot, buffer, sizeof buffer), 12);
  EXPECT_EQ(slot, 3u);
  const uint8_t answer[] = {0xAA, 0xBB};
  EXPECT_TRUE(transport.SendMessage(slot, answer, sizeof answer));
  uint8_t got[2] = {};
  EXPECT_EQ(recv(fresh[1], got, sizeof got, MSG_DONTWAIT), 2);
  EXPECT_EQ(got[0], 0xAA);
  close(fresh[1]);
  close(kept[0][1]);
  close(kept[1][1]);
}

// ---- Framing: one whole Modbus TCP frame per receive

using Framing = ServerPassTest;

TEST_F(Framing, AnswersARequestSplitOverTwoSegmentsOnce) {
  auto client = Connect();
  const Bytes request = ReadRequest(7, 25);
  for (const size_t split : {1u, 5u, 6u, 8u, 11u}) {
    log_.Clear();
    client->Send(Bytes(request.begin(), request.begin() + static_cast<long>(split)));
    WaitForServerBytes({static_cast<int>(split)});
    for (int i = 0; i < 3; ++i) Pass();
    EXPECT_FALSE(client->Readable(milliseconds(20))) << "answered a part of " << split << " bytes";
    EXPECT_EQ(LogCount("FYI: RX"), 0u) << split;
    client->Send(Bytes(request.begin() + static_cast<long>(split), request.end()));
    EXPECT_EQ(Answer(*client), ReadAnswer(7, 25)) << split;
    for (int i = 0; i < 3; ++i) Pass();
    EXPECT_FALSE(client->Readable(milliseconds(20))) << "answered twice after a split at " << split;
    EXPECT_EQ(LogCount("FYI: RX (1): 00 07 00 00 00 06 FF 03 00 19 00 01 \n"), 1u) << split;
  }
}

TEST_F(Framing, AnswersEveryRequestOfOneSegmentInOrder) {
  auto client = Connect();
  const Bytes third = ReadRequest(3, 62);
  // Two whole requests and the start of a third in one segment.
  client->Send(Join(Join(ReadRequest(1, 60), ReadRequest(2, 61)), Bytes(third.begin(), third.begin() + 4)));
  EXPECT_EQ(Answer(*client), ReadAnswer(1, 60));
  EXPECT_EQ(Answer(*client), ReadAnswer(2, 61));
  for (int i = 0; i < 3; ++i) Pass();
  EXPECT_FALSE(client->Readable(milliseconds(20))) << "the third request is not whole yet";
  client->Send(Bytes(third.begin() + 4, third.end()));
  EXPECT_EQ(Answer(*client), ReadAnswer(3, 62));
}

TEST_F(Framing, HandsAnUnusableHeaderOverAsOneMessageAndStartsAfresh) {
  auto client = Connect();
  const std::vector<Bytes> unusable = {
      {0x00, 0x05, 0x00, 0x01, 0x00, 0x06, 0xFF, 0x03, 0x00, 0x01, 0x00, 0x01},  // protocol 1
      {0x00, 0x05, 0x00, 0x00, 0x00, 0x01, 0xFF, 0x03, 0x00},                    // length 1
      {0x00, 0x05, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x03, 0x00, 0x01},              // length 255
      {0x00, 0x05, 0x00, 0x00, 0x00, 0x00, 0x01, 0x02, 0x03, 0x04, 0x05},        // length 0
  };
  for (const Bytes& bytes : unusable) {
    client->Send(bytes);
    WaitForServerBytes({static_cast<int>(bytes.size())});
    EXPECT_EQ(Receive(), bytes);
    EXPECT_EQ(lastSlot_, 1u);
    EXPECT_EQ(transport_.Connections().front().pendingLength, 0u) << "the buffer is emptied";
    EXPECT_EQ(Receive(), Bytes());
  }
  client->Send(ReadRequest(6, 3));
  EXPECT_EQ(Answer(*client), ReadAnswer(6, 3)) << "the next frame is framed afresh";
}

TEST_F(Framing, DeliversAFrameOfTheLargestSizeWhole) {
  auto client = Connect();
  // Write Multiple Registers, 123 registers and one byte over: length field
  // 254, 260 bytes in all.
  Bytes largest = {0x00, 0x09, 0x00, 0x00, 0x00, 0xFE, 0xFF, 0x10, 0x00, 0x14, 0x00, 0x7B, 0xF6};
  for (int i = 0; largest.size() < CTCP::kMaxFrameSize; ++i) largest.push_back(static_cast<uint8_t>(i));
  const Bytes next = ReadRequest(10, 20);
  client->Send(Join(largest, next));
  WaitForServerBytes({static_cast<int>(largest.size() + next.size())});
  EXPECT_EQ(Receive(), largest);
  EXPECT_EQ(Receive(), next);
  EXPECT_EQ(Receive(), Bytes());
}

// ---- Unit identifiers

using UnitIds = ServerPassTest;

// ReadRequest for another unit.
Bytes ReadRequestForUnit(uint16_t transaction, uint16_t address, uint8_t unit) {
  Bytes request = ReadRequest(transaction, address);
  request[6] = unit;
  return request;
}

TEST_F(UnitIds, AnswersTheListedUnitsUnderTheirOwnIdAndNamesThemForAnyOther) {
  std::string why;
  const std::optional<UnitIdSet> units = UnitIdSet::Parse("255,7,1", &why);
  ASSERT_TRUE(units) << why;
  transport_.AnsweredUnits = *units;
  auto client = Connect();
  client->Send(ReadRequestForUnit(1, 4, 7));
  Bytes answer = ReadAnswer(1, 4);
  answer[6] = 7;
  EXPECT_EQ(Answer(*client), answer);

  // Units 0 and 3 are not listed: only the request for unit 1 is answered.
  client->Send(Join(Join(ReadRequestForUnit(2, 4, 0), ReadRequestForUnit(3, 4, 3)), ReadRequestForUnit(4, 4, 1)));
  answer = ReadAnswer(4, 4);
  answer[6] = 1;
  EXPECT_EQ(Answer(*client), answer);
  EXPECT_EQ(LogCount("FYI: A request for unit id [0] is not answered; this server answers unit ids 1, 7 and 255. "
                     "connectionId=[1]\n"),
            1u)
      << Log();
  EXPECT_EQ(LogCount("is not answered"), 1u) << "at most once a second";
}

// ---- Dumps and sends

using Sending = ServerPassTest;

TEST_F(Sending, DumpsEachFrameReceivedAndSentByteByByte) {
  auto first = Connect();
  auto second = Connect();
  auto third = Connect();
  log_.Clear();
  third->Send(ReadRequest(0x0102, 0x0A));
  EXPECT_EQ(Answer(*third), ReadAnswer(0x0102, 0x0A));
  EXPECT_NE(Log().find("FYI: RX (3): 01 02 00 00 00 06 FF 03 00 0A 00 01 \n"), std::string::npos) << Log();
  EXPECT_NE(Log().find("FYI: TX (3): 01 02 00 00 00 05 FF 03 02 10 0A \n"), std::string::npos) << Log();
}

TEST_F(Sending, ToAGoneConnectionLogsTheDumpThenFails) {
  auto client = Connect();
  client->Close();
  ASSERT_TRUE(PassUntil([&] { return transport_.ConnectionCount() == 0; }));
  log_.Clear();
  const uint8_t frame[] = {0xAB, 0x01, 0xFF};
  EXPECT_FALSE(transport_.SendMessage(1, frame, sizeof frame));
  EXPECT_EQ(Log(), "FYI: TX (1): AB 01 FF \nError: SendMessage failed.\n");
}

TEST_F(Sending, ToAPeerThatLeftBeforeItsAnswerFailsWithoutSigpipe) {
  auto client = Connect();
  client->Send(ReadRequest(1, 20));
  WaitForServerBytes({12});
  ASSERT_EQ(Receive(), ReadRequest(1, 20));
  const int serverSide = transport_.Connections().front().socket;
  client->Reset();
  pollfd entry{serverSide, POLLIN, 0};
  ASSERT_EQ(poll(&entry, 1, 2000), 1) << "the reset did not arrive";
  log_.Clear();
  const Bytes answer = ReadAnswer(1, 20);
  // The first send reports the reset, the next one the broken pipe.
  EXPECT_FALSE(transport_.SendMessage(lastSlot_, answer.data(), static_cast<uint16_t>(answer.size())));
  EXPECT_FALSE(transport_.SendMessage(lastSlot_, answer.data(), static_cast<uint16_t>(answer.size())));
  EXPECT_EQ(LogCount("Error: SendMessage failed.\n"), 2u);
  EXPECT_EQ(transport_.ConnectionCount(), 1u) << "a failed send keeps the connection";
  EXPECT_EQ(Receive(), Bytes());
  EXPECT_EQ(transport_.ConnectionCount(), 0u) << "the next receive removes it";
}

// ---- Accepted sockets

TEST_F(ServicePass, SetsNoDelayAndKeepAliveOnAcceptedSockets) {
  auto client = Connect();
  const int socket = transport_.Connections().front().socket;
  const auto option = [socket](int level, int name) {
    int value = -1;
    socklen_t length = sizeof value;
    EXPECT_EQ(getsockopt(socket, level, name, &value, &length), 0);
    return value;
  };
  EXPECT_NE(option(IPPROTO_TCP, TCP_NODELAY), 0);
  EXPECT_NE(option(SOL_SOCKET, SO_KEEPALIVE), 0);
  EXPECT_EQ(option(IPPROTO_TCP, TCP_KEEPIDLE), 60);
  EXPECT_EQ(option(IPPROTO_TCP, TCP_KEEPINTVL), 10);
  EXPECT_EQ(option(IPPROTO_TCP, TCP_KEEPCNT), 3);
  EXPECT_NE(fcntl(socket, F_GETFL) & O_NONBLOCK, 0);
}

// ---- The idle wait

using IdleWait = ServerPassTest;

milliseconds TimePass(const std::function<void()>& pass) {
  const auto start = Clock::now();
  pass();
  return std::chrono::duration_cast<milliseconds>(Clock::now() - start);
}

TEST_F(IdleWait, AnIdlePassWaitsForTheBound) {
  auto client = Connect();
  const milliseconds idle = TimePass([&] { Pass(100); });
  EXPECT_GE(idle.count(), 90);
  EXPECT_LT(idle.count(), 1000);

  // A newcomer at a full table is closed, and the pass after waits again:
  // the listener does not stay ready.
  transport_.ConnectionMax = 1;
  const Client refused(port_);
  ASSERT_TRUE(PassUntil([&] { return refused.Readable(milliseconds(0)); }));
  const milliseconds full = TimePass([&] { Pass(100); });
  EXPECT_GE(full.count(), 90);
}

TEST_F(IdleWait, APassWithWorkReturnsAtOnce) {
  auto client = Connect();
  client->Send(Join(ReadRequest(1, 2), ReadRequest(2, 3)));
  WaitForServerBytes({24});
  EXPECT_LT(TimePass([&] { Pass(5000); }).count(), 1000);
  EXPECT_EQ(client->ReadFrame(), ReadAnswer(1, 2));
  EXPECT_LT(TimePass([&] { Pass(5000); }).count(), 1000) << "the second frame was already buffered";
  EXPECT_EQ(client->ReadFrame(), ReadAnswer(2, 3));
}

// What stays open only while requests stream in (a held read transaction)
// is let go when the loop goes quiet, not between busy passes.
TEST_F(IdleWait, PausesWhenQuietAndNotWhileRequestsAreWaiting) {
  int pauses = 0;
  state_.onPause = [&pauses] { ++pauses; };
  auto client = Connect();
  pauses = 0;
  client->Send(Join(ReadRequest(1, 2), ReadRequest(2, 3)));
  WaitForServerBytes({24});
  Pass(100);
  Pass(100);
  EXPECT_EQ(client->ReadFrame(), ReadAnswer(1, 2));
  EXPECT_EQ(client->ReadFrame(), ReadAnswer(2, 3));
  EXPECT_EQ(pauses, 0);
  Pass(20);
  EXPECT_EQ(pauses, 1) << "a pass that found nothing to do";
}

TEST_F(IdleWait, WakesWhenAClientConnectsOrARequestArrives) {
  std::unique_ptr<Client> client;
  std::thread connecter([&] {
    std::this_thread::sleep_for(milliseconds(100));
    client = std::make_unique<Client>(port_);
  });
  const milliseconds untilAccepted = TimePass([&] { Pass(5000); });
  connecter.join();
  EXPECT_LT(untilAccepted.count(), 2000);
  ASSERT_EQ(transport_.ConnectionCount(), 1u);

  std::thread sender([&] {
    std::this_thread::sleep_for(milliseconds(100));
    client->Send(ReadRequest(5, 5));
  });
  const milliseconds untilAnswered = TimePass([&] { Pass(5000); });
  sender.join();
  EXPECT_LT(untilAnswered.count(), 2000);
  EXPECT_EQ(client->ReadFrame(milliseconds(100)), ReadAnswer(5, 5));
}

}  // namespace
