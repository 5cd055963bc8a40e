// LoadConnection.h - one client connection of modbus-load: connects, then
// keeps one request in flight until the deadline, checking every reply.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "LoadOptions.h"

// A socket closed when its owner goes.
class OwnedSocket {
 public:
  OwnedSocket() = default;
  explicit OwnedSocket(int descriptor) : m_descriptor(descriptor) {}
  ~OwnedSocket();
  OwnedSocket(OwnedSocket&& other) noexcept;
  OwnedSocket& operator=(OwnedSocket&& other) noexcept;
  OwnedSocket(const OwnedSocket&) = delete;
  OwnedSocket& operator=(const OwnedSocket&) = delete;

  int Get() const { return m_descriptor; }
  bool IsOpen() const { return m_descriptor >= 0; }

 private:
  int m_descriptor = -1;
};

// What one connection did: replies that passed the check, replies that did
// not (or a lost connection), the latency of every reply in microseconds,
// and the first failure in words.
struct ConnectionResult {
  uint64_t requests = 0;
  uint64_t errors = 0;
  std::vector<uint32_t> latenciesUs;
  std::string firstError;
};

class LoadConnection {
 public:
  // index picks the registers a write uses, so connections write apart.
  LoadConnection(const LoadOptions& options, int index);

  // Opens the TCP connection with TCP_NODELAY; false with why on failure.
  bool Connect(std::string* why);

  // Sends requests one at a time until deadline; the reply to the last one
  // is awaited even after it.
  void Run(std::chrono::steady_clock::time_point deadline, ConnectionResult* result);

 private:
  bool Exchange(const uint8_t* request, size_t length, uint8_t* reply, size_t* replyLength, std::string* why);

  const LoadOptions& m_options;
  uint16_t m_firstRegister;
  uint16_t m_nextValue;
  OwnedSocket m_socket;
};
