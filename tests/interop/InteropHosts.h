// InteropHosts.h - the peers of the interoperability tests against libmodbus:
// a host that runs the stack as a Modbus TCP or RTU server in a background
// thread over in-memory tables, transports for the stack's client role,
// libmodbus servers in a background thread, and a pseudo-terminal pair that
// stands in for a serial line.
//
// The stack is one global instance and not thread-safe: while a StackServerHost
// runs, only its thread touches the stack. The client links are used from the
// test's own thread.
#pragma once

#include <modbus.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ModbusStack.h"

namespace interop {

// ---- The stack server's data and value callbacks

constexpr uint16_t kRegisterCount = 200;  // holding and input registers
constexpr uint16_t kBitCount = 2000;      // coils and discrete inputs
// Fault injection. A read touching this holding register is refused without
// a code (the stack reports exception 4); a write touching this one is
// refused as busy (exception 6).
constexpr uint16_t kReadFailureAddress = 190;
constexpr uint16_t kBusyAddress = 191;
constexpr uint8_t kServerBusy = 6;

// Shared by the value callbacks (server thread) and the test (its thread);
// every access holds the mutex. Bits are stored one per byte, 0 or 1.
struct ServerTables {
  std::mutex mutex;
  std::vector<uint16_t> holding;
  std::vector<uint16_t> input;
  std::vector<uint8_t> coils;
  std::vector<uint8_t> discreteInputs;
};

ServerTables& Tables();
// Fills every table with pseudo-random contents drawn from seed.
void SeedTables(uint32_t seed);

// ---- Time callback shared by the client links

// The time callback counts units of this many milliseconds (default 100).
void SetTimeUnitMs(uint32_t milliseconds);
uint32_t CurrentTimeUnits();

// ---- The stack as a server

class StackServerHost {
 public:
  // Modbus TCP on 127.0.0.1 and an ephemeral port; slave id left as it is.
  static std::unique_ptr<StackServerHost> StartTcp();
  // Modbus RTU on the master side of a pseudo-terminal, slave id 1.
  static std::unique_ptr<StackServerHost> StartRtu(int ptyMaster);
  ~StackServerHost();
  StackServerHost(const StackServerHost&) = delete;
  StackServerHost& operator=(const StackServerHost&) = delete;

  uint16_t Port() const { return port_; }

 private:
  StackServerHost() = default;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  uint16_t port_ = 0;
};

// ---- Transport of the stack's client role

class StackClientLink {
 public:
  // Connects to 127.0.0.1:port and initialises the stack for Modbus TCP.
  static std::unique_ptr<StackClientLink> ConnectTcp(uint16_t port);
  // Initialises the stack for Modbus RTU over ptyMaster (not owned).
  static std::unique_ptr<StackClientLink> OverRtu(int ptyMaster);
  ~StackClientLink();
  StackClientLink(const StackClientLink&) = delete;
  StackClientLink& operator=(const StackClientLink&) = delete;

 private:
  StackClientLink() = default;
};

// ---- libmodbus as the server

constexpr int kMapBits = 100;
constexpr int kMapInputBits = 2000;
constexpr int kMapRegisters = 150;
constexpr int kMapInputRegisters = 150;

class LibmodbusServer {
 public:
  enum class Replies { kAnswer, kNever };
  // modbus_tcp_listen on 127.0.0.1 and an ephemeral port.
  static std::unique_ptr<LibmodbusServer> StartTcp(Replies replies);
  // Modbus RTU slave 1 on the given serial device.
  static std::unique_ptr<LibmodbusServer> StartRtu(const std::string& device);
  ~LibmodbusServer();
  LibmodbusServer(const LibmodbusServer&) = delete;
  LibmodbusServer& operator=(const LibmodbusServer&) = delete;

  uint16_t Port() const { return port_; }
  int RequestsSeen() const { return requests_.load(); }

  // Runs fn on the mapping while the server cannot touch it.
  template <typename Fn>
  void WithMapping(Fn&& fn) {
    std::lock_guard<std::mutex> lock(mutex_);
    fn(*mapping_);
  }

 private:
  LibmodbusServer(modbus_t* context, Replies replies);
  void Serve();

  modbus_t* context_ = nullptr;
  modbus_mapping_t* mapping_ = nullptr;
  Replies replies_;
  bool rtu_ = false;
  int listenFd_ = -1;
  uint16_t port_ = 0;
  std::mutex mutex_;
  std::atomic<int> requests_{0};
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// ---- A pseudo-terminal pair in raw mode; the master is non-blocking.

struct PtyPair {
  PtyPair();
  ~PtyPair();
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  int master = -1;
  int slave = -1;  // kept open so that the master never sees a hang-up
  std::string slaveName;
};

}  // namespace interop
