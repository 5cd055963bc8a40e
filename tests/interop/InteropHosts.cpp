// InteropHosts.cpp - hosts and peers of the interoperability tests.
#include "InteropHosts.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <random>
#include <stdexcept>

namespace interop {
namespace {

constexpr int kIdlePollMs = 5;         // how long an idle server thread sleeps
constexpr int kAcceptPollMs = 20;      // how often the libmodbus server looks at its stop flag
constexpr int kWriteTimeoutMs = 1000;  // give up on a peer that stops reading
constexpr uint32_t kIndicationTimeoutUs = 50000;

// A Modbus TCP frame: 6 bytes, then as many as the length field at offset 4
// says (unit identifier and PDU, at most 1 + 253).
constexpr size_t kMbapPrefix = 6;
constexpr size_t kMaxMbapLength = 254;

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error(what + ": " + std::strerror(errno)); }

void SetNonBlocking(int fd) {
  const int flags = fcntl(fd, F_GETFL);
  if (flags < 0 || fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0) {
    Fail("fcntl");
  }
}

// Writes all bytes to a non-blocking socket or terminal, waiting a bounded
// time whenever it is full.
bool WriteAll(int fd, const uint8_t* bytes, size_t count, bool isSocket) {
  size_t done = 0;
  while (done < count) {
    const ssize_t n =
        isSocket ? send(fd, bytes + done, count - done, MSG_NOSIGNAL) : write(fd, bytes + done, count - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) {
      continue;
    }
    pollfd p{fd, POLLOUT, 0};
    if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK) || poll(&p, 1, kWriteTimeoutMs) <= 0) {
      return false;
    }
  }
  return true;
}

// Appends whatever the socket holds to pending. False when the peer closed
// the connection or it failed.
bool ReadAvailable(int fd, std::vector<uint8_t>& pending) {
  uint8_t chunk[512];
  for (;;) {
    const ssize_t n = recv(fd, chunk, sizeof chunk, MSG_DONTWAIT);
    if (n > 0) {
      pending.insert(pending.end(), chunk, chunk + n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
  }
}

// The stack takes the bytes of one receive call as one whole TCP message, so
// frames are cut from the byte stream here by their MBAP length field.
// Returns the first whole frame's size, 0 while it is incomplete, or -1 when
// the length field cannot belong to a Modbus frame.
long WholeFrameSize(const std::vector<uint8_t>& pending) {
  if (pending.size() < kMbapPrefix) {
    return 0;
  }
  const size_t length = static_cast<size_t>(pending[4] << 8 | pending[5]);
  if (length == 0 || length > kMaxMbapLength) {
    return -1;
  }
  return pending.size() >= kMbapPrefix + length ? static_cast<long>(kMbapPrefix + length) : 0;
}

// Moves the first whole frame into buffer; returns its size, 0 when there is
// none, -1 when the stream is corrupt.
long TakeFrame(std::vector<uint8_t>& pending, uint8_t* buffer, uint16_t room) {
  const long size = WholeFrameSize(pending);
  if (size <= 0) {
    return size;
  }
  if (size > room) {
    return -1;
  }
  std::memcpy(buffer, pending.data(), static_cast<size_t>(size));
  pending.erase(pending.begin(), pending.begin() + size);
  return size;
}

std::pair<int, uint16_t> ListenOnLoopback() {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    Fail("socket");
  }
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t size = sizeof address;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) < 0 || listen(fd, 8) < 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) < 0) {
    close(fd);
    Fail("listen on loopback");
  }
  SetNonBlocking(fd);
  return {fd, ntohs(address.sin_port)};
}

// ---- the server's tables and value callbacks

ServerTables g_tables;

bool Fits(uint32_t start, uint32_t count, size_t size) { return start + count <= size; }
bool Touches(uint32_t start, uint32_t count, uint16_t address) { return address >= start && address < start + count; }

bool Refuse(uint8_t* exceptionCode, uint8_t code) {
  *exceptionCode = code;
  return false;
}

bool TableGetValue(uint8_t, uint8_t function, uint16_t start, uint16_t length, uint16_t* values, uint16_t dataSize,
                   uint8_t* exceptionCode) {
  std::lock_guard<std::mutex> lock(g_tables.mutex);
  if (function == MODBUSSTACK_FC_READ_COILS || function == MODBUSSTACK_FC_READ_DISCRETE_INPUTS) {
    const std::vector<uint8_t>& bits = function == MODBUSSTACK_FC_READ_COILS ? g_tables.coils : g_tables.discreteInputs;
    if (!Fits(start, length, bits.size()) || (length + 7u) / 8u > dataSize) {
      return Refuse(exceptionCode, MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_ADDRESS);
    }
    uint8_t* packed = reinterpret_cast<uint8_t*>(values);  // wire order: first bit in bit 0 of byte 0
    for (uint16_t i = 0; i < length; ++i) {
      packed[i / 8] = static_cast<uint8_t>(packed[i / 8] | bits[start + i] << (i % 8));
    }
    return true;
  }
  if (function == MODBUSSTACK_FC_READ_HOLDING_REGISTERS || function == MODBUSSTACK_FC_READ_INPUT_REGISTERS ||
      function == MODBUSSTACK_FC_READ_WRITE_MULTIPLE_REGISTERS) {
    const std::vector<uint16_t>& registers =
        function == MODBUSSTACK_FC_READ_INPUT_REGISTERS ? g_tables.input : g_tables.holding;
    if (!Fits(start, length, registers.size()) || 2u * length > dataSize) {
      return Refuse(exceptionCode, MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_ADDRESS);
    }
    if (function == MODBUSSTACK_FC_READ_HOLDING_REGISTERS && Touches(start, length, kReadFailureAddress)) {
      return false;  // no code: the stack must turn this into exception 4
    }
    std::memcpy(values, registers.data() + start, 2u * length);
    return true;
  }
  return Refuse(exceptionCode, MODBUSSTACK_EXCEPTION_ILLEGAL_FUNCTION);
}

bool TableSetValue(uint8_t, uint8_t function, uint16_t start, uint16_t length, uint16_t* values, uint16_t dataSize,
                   uint8_t* exceptionCode) {
  std::lock_guard<std::mutex> lock(g_tables.mutex);
  switch (function) {
    case MODBUSSTACK_FC_WRITE_SINGLE_COIL:
      if (!Fits(start, 1, g_tables.coils.size())) {
        return Refuse(exceptionCode, MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_ADDRESS);
      }
      if (values[0] != 0xFF00 && values[0] != 0x0000) {
        return Refuse(exceptionCode, MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_VALUE);
      }
      g_tables.coils[start] = values[0] == 0xFF00 ? 1 : 0;
      return true;
    case MODBUSSTACK_FC_WRITE_MULTIPLE_COILS: {
      if (!Fits(start, length, g_tables.coils.size())) {
        return Refuse(exceptionCode, MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_ADDRESS);
      }
      // Only the dataSize bytes handed over are valid.
      const uint8_t* packed = reinterpret_cast<const uint8_t*>(values);
      for (uint16_t i = 0; i < length && i / 8 < dataSize; ++i) {
        g_tables.coils[start + i] = static_cast<uint8_t>(packed[i / 8] >> (i % 8) & 1);
      }
      return true;
    }
    case MODBUSSTACK_FC_WRITE_SINGLE_REGISTER:
    case MODBUSSTACK_FC_WRITE_MULTIPLE_REGISTERS:
    case MODBUSSTACK_FC_READ_WRITE_MULTIPLE_REGISTERS:
      if (!Fits(start, length, g_tables.holding.size())) {
        return Refuse(exceptionCode, MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_ADDRESS);
      }
      if (Touches(start, length, kBusyAddress)) {
        return Refuse(exceptionCode, kServerBusy);
      }
      std::memcpy(g_tables.holding.data() + start, values, 2u * length);
      return true;
    default:
      return Refuse(exceptionCode, MODBUSSTACK_EXCEPTION_ILLEGAL_FUNCTION);
  }
}

// ---- the TCP server host (touched only by the server thread)

struct Connection {
  int fd = -1;
  std::vector<uint8_t> pending;
};

struct TcpHost {
  int listenFd = -1;
  std::vector<Connection> connections;  // connection id = index + 1
  size_t nextToServe = 0;               // round robin over connections
} g_tcpHost;

void DropConnection(Connection& connection) {
  close(connection.fd);
  connection.fd = -1;
  connection.pending.clear();
}

uint16_t TcpServerReceive(uint32_t* connectionId, uint8_t* buffer, uint16_t room) {
  const size_t count = g_tcpHost.connections.size();
  for (size_t step = 0; step < count; ++step) {
    const size_t index = (g_tcpHost.nextToServe + step) % count;
    Connection& connection = g_tcpHost.connections[index];
    if (connection.fd < 0) {
      continue;
    }
    const bool open = ReadAvailable(connection.fd, connection.pending);
    const long size = TakeFrame(connection.pending, buffer, room);
    if (size < 0 || (size == 0 && !open)) {
      DropConnection(connection);
    }
    if (size > 0) {
      *connectionId = static_cast<uint32_t>(index + 1);
      g_tcpHost.nextToServe = index + 1;
      return static_cast<uint16_t>(size);
    }
  }
  return 0;
}

bool TcpServerSend(uint16_t connectionId, const uint8_t* frame, uint16_t length) {
  if (connectionId == 0 || connectionId > g_tcpHost.connections.size()) {
    return false;
  }
  const Connection& connection = g_tcpHost.connections[connectionId - 1u];
  return connection.fd >= 0 && WriteAll(connection.fd, frame, length, true);
}

void AcceptConnections() {
  for (;;) {
    const int fd = accept4(g_tcpHost.listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
      return;
    }
    g_tcpHost.connections.push_back(Connection{fd, {}});
  }
}

// Sleeps until a connection or bytes arrive, unless a frame is already held.
void AwaitTcpInput() {
  std::vector<pollfd> fds{{g_tcpHost.listenFd, POLLIN, 0}};
  for (const Connection& connection : g_tcpHost.connections) {
    if (connection.fd < 0) {
      continue;
    }
    if (WholeFrameSize(connection.pending) != 0) {
      return;
    }
    fds.push_back({connection.fd, POLLIN, 0});
  }
  poll(fds.data(), fds.size(), kIdlePollMs);
}

void CloseTcpHost() {
  for (Connection& connection : g_tcpHost.connections) {
    if (connection.fd >= 0) {
      close(connection.fd);
    }
  }
  close(g_tcpHost.listenFd);
  g_tcpHost = TcpHost{};
}

// ---- the RTU server host

int g_rtuHostFd = -1;

// Under RTU the stack collects bytes itself, so hand over whatever arrived.
uint16_t RtuReceive(uint32_t* connectionId, uint8_t* buffer, uint16_t room) {
  *connectionId = 1;
  const ssize_t n = read(g_rtuHostFd, buffer, room);
  return n > 0 ? static_cast<uint16_t>(n) : 0;
}

bool RtuSend(uint16_t, const uint8_t* frame, uint16_t length) { return WriteAll(g_rtuHostFd, frame, length, false); }

// ---- the client link

int g_clientFd = -1;
std::vector<uint8_t> g_clientPending;

bool ClientTcpSend(uint16_t, const uint8_t* frame, uint16_t length) {
  return WriteAll(g_clientFd, frame, length, true);
}

uint16_t ClientTcpReceive(uint32_t* connectionId, uint8_t* buffer, uint16_t room) {
  *connectionId = 1;
  ReadAvailable(g_clientFd, g_clientPending);
  const long size = TakeFrame(g_clientPending, buffer, room);
  return size > 0 ? static_cast<uint16_t>(size) : 0;
}

std::atomic<uint32_t> g_timeUnitMs{100};

}  // namespace

ServerTables& Tables() { return g_tables; }

void SeedTables(uint32_t seed) {
  std::mt19937 random(seed);
  std::lock_guard<std::mutex> lock(g_tables.mutex);
  auto word = [&random] { return static_cast<uint16_t>(random()); };
  auto bit = [&random] { return static_cast<uint8_t>(random() & 1); };
  g_tables.holding.assign(kRegisterCount, 0);
  g_tables.input.assign(kRegisterCount, 0);
  g_tables.coils.assign(kBitCount, 0);
  g_tables.discreteInputs.assign(kBitCount, 0);
  for (auto& value : g_tables.holding) value = word();
  for (auto& value : g_tables.input) value = word();
  for (auto& value : g_tables.coils) value = bit();
  for (auto& value : g_tables.discreteInputs) value = bit();
}

void SetTimeUnitMs(uint32_t milliseconds) { g_timeUnitMs = milliseconds; }

uint32_t CurrentTimeUnits() {
  static const auto epoch = std::chrono::steady_clock::now();
  const auto elapsed =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - epoch).count();
  return static_cast<uint32_t>(static_cast<uint64_t>(elapsed) / g_timeUnitMs.load());
}

// ---- StackServerHost

std::unique_ptr<StackServerHost> StackServerHost::StartTcp() {
  std::unique_ptr<StackServerHost> server(new StackServerHost);
  const auto [fd, port] = ListenOnLoopback();
  g_tcpHost = TcpHost{};
  g_tcpHost.listenFd = fd;
  server->port_ = port;
  ModbusStack_Init(MODBUSSTACK_PROTOCOL_TCP, TcpServerSend, TcpServerReceive, CurrentTimeUnits);
  ModbusStack_RegisterGetValue(TableGetValue);
  ModbusStack_RegisterSetValue(TableSetValue);
  server->thread_ = std::thread([stop = &server->stop_] {
    while (!stop->load()) {
      AwaitTcpInput();
      AcceptConnections();
      ModbusStack_Loop();
      ModbusStack_Flush();  // TCP: every receive is a message of its own
    }
    CloseTcpHost();
  });
  return server;
}

std::unique_ptr<StackServerHost> StackServerHost::StartRtu(int ptyMaster) {
  std::unique_ptr<StackServerHost> server(new StackServerHost);
  g_rtuHostFd = ptyMaster;
  ModbusStack_Init(MODBUSSTACK_PROTOCOL_RTU, RtuSend, RtuReceive, CurrentTimeUnits);
  if (!ModbusStack_SetSlaveId(1)) {
    throw std::runtime_error("ModbusStack_SetSlaveId(1) refused under RTU");
  }
  ModbusStack_RegisterGetValue(TableGetValue);
  ModbusStack_RegisterSetValue(TableSetValue);
  server->thread_ = std::thread([stop = &server->stop_] {
    while (!stop->load()) {
      // No flush here: an RTU request may arrive over several passes.
      pollfd p{g_rtuHostFd, POLLIN, 0};
      poll(&p, 1, kIdlePollMs);
      ModbusStack_Loop();
    }
  });
  return server;
}

StackServerHost::~StackServerHost() {
  stop_ = true;
  if (thread_.joinable()) {
    thread_.join();
  }
}

// ---- StackClientLink

std::unique_ptr<StackClientLink> StackClientLink::ConnectTcp(uint16_t port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    Fail("socket");
  }
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) < 0) {
    close(fd);
    Fail("connect");
  }
  SetNonBlocking(fd);
  g_clientFd = fd;
  g_clientPending.clear();
  ModbusStack_Init(MODBUSSTACK_PROTOCOL_TCP, ClientTcpSend, ClientTcpReceive, CurrentTimeUnits);
  return std::unique_ptr<StackClientLink>(new StackClientLink);
}

std::unique_ptr<StackClientLink> StackClientLink::OverRtu(int ptyMaster) {
  g_rtuHostFd = ptyMaster;
  ModbusStack_Init(MODBUSSTACK_PROTOCOL_RTU, RtuSend, RtuReceive, CurrentTimeUnits);
  return std::unique_ptr<StackClientLink>(new StackClientLink);
}

StackClientLink::~StackClientLink() {
  if (g_clientFd >= 0) {
    close(g_clientFd);
    g_clientFd = -1;
  }
  g_rtuHostFd = -1;
}

// ---- LibmodbusServer

LibmodbusServer::LibmodbusServer(modbus_t* context, Replies replies) : context_(context), replies_(replies) {
  if (context_ == nullptr) {
    Fail("modbus_new");
  }
  mapping_ = modbus_mapping_new(kMapBits, kMapInputBits, kMapRegisters, kMapInputRegisters);
  if (mapping_ == nullptr) {
    Fail("modbus_mapping_new");
  }
  std::mt19937 random(7);
  for (int i = 0; i < kMapBits; ++i) mapping_->tab_bits[i] = static_cast<uint8_t>(random() & 1);
  for (int i = 0; i < kMapInputBits; ++i) mapping_->tab_input_bits[i] = static_cast<uint8_t>(random() & 1);
  for (int i = 0; i < kMapRegisters; ++i) mapping_->tab_registers[i] = static_cast<uint16_t>(random());
  for (int i = 0; i < kMapInputRegisters; ++i) mapping_->tab_input_registers[i] = static_cast<uint16_t>(random());
  modbus_set_indication_timeout(context_, 0, kIndicationTimeoutUs);
}

std::unique_ptr<LibmodbusServer> LibmodbusServer::StartTcp(Replies replies) {
  std::unique_ptr<LibmodbusServer> server(new LibmodbusServer(modbus_new_tcp("127.0.0.1", 0), replies));
  server->listenFd_ = modbus_tcp_listen(server->context_, 1);
  sockaddr_in address{};
  socklen_t size = sizeof address;
  if (server->listenFd_ < 0 || getsockname(server->listenFd_, reinterpret_cast<sockaddr*>(&address), &size) < 0) {
    Fail("modbus_tcp_listen");
  }
  server->port_ = ntohs(address.sin_port);
  server->thread_ = std::thread([s = server.get()] {
    while (!s->stop_.load()) {
      pollfd p{s->listenFd_, POLLIN, 0};
      if (poll(&p, 1, kAcceptPollMs) > 0 && modbus_tcp_accept(s->context_, &s->listenFd_) >= 0) {
        s->Serve();
        modbus_close(s->context_);
      }
    }
  });
  return server;
}

std::unique_ptr<LibmodbusServer> LibmodbusServer::StartRtu(const std::string& device) {
  std::unique_ptr<LibmodbusServer> server(
      new LibmodbusServer(modbus_new_rtu(device.c_str(), 19200, 'N', 8, 1), Replies::kAnswer));
  server->rtu_ = true;
  if (modbus_set_slave(server->context_, 1) < 0 || modbus_connect(server->context_) < 0) {
    Fail("libmodbus RTU server on " + device);
  }
  server->thread_ = std::thread([s = server.get()] { s->Serve(); });
  return server;
}

// Answers requests until the stop flag is set or the TCP peer goes away.
void LibmodbusServer::Serve() {
  uint8_t request[MODBUS_TCP_MAX_ADU_LENGTH];
  while (!stop_.load()) {
    const int received = modbus_receive(context_, request);
    if (received > 0) {
      ++requests_;
      if (replies_ == Replies::kAnswer) {
        std::lock_guard<std::mutex> lock(mutex_);
        modbus_reply(context_, request, received, mapping_);
      }
    } else if (received < 0 && errno != ETIMEDOUT && !rtu_) {
      return;  // connection closed
    }
    // RTU: a frame for another slave (0) or a damaged one; keep listening.
  }
}

LibmodbusServer::~LibmodbusServer() {
  stop_ = true;
  if (thread_.joinable()) {
    thread_.join();
  }
  if (listenFd_ >= 0) {
    close(listenFd_);
  }
  if (context_ != nullptr) {
    modbus_close(context_);
    modbus_free(context_);
  }
  modbus_mapping_free(mapping_);
}

// ---- PtyPair

PtyPair::PtyPair() {
  if (openpty(&master, &slave, nullptr, nullptr, nullptr) < 0) {
    Fail("openpty");
  }
  char name[128];
  termios settings{};
  if (ttyname_r(slave, name, sizeof name) != 0 || tcgetattr(slave, &settings) < 0) {
    Fail("pty slave");
  }
  slaveName = name;
  cfmakeraw(&settings);  // no echo, no line editing, no CR/NL translation
  if (tcsetattr(slave, TCSANOW, &settings) < 0) {
    Fail("tcsetattr");
  }
  SetNonBlocking(master);
}

PtyPair::~PtyPair() {
  close(master);
  close(slave);
}

}  // namespace interop
