// LibmodbusServer.cpp - libmodbus-bench-server: the benchmark's libmodbus
// peer. A Modbus TCP server on 127.0.0.1 with 65536 holding registers in
// memory, serving many clients from one select() loop. Option: --port P.
#include <modbus.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr int kRegisters = 65536;
constexpr int kListenBacklog = 64;

struct ContextFree {
  void operator()(modbus_t* context) const { modbus_free(context); }
};
struct MappingFree {
  void operator()(modbus_mapping_t* mapping) const { modbus_mapping_free(mapping); }
};

// The listening socket and every client socket, closed together.
class SocketSet {
 public:
  SocketSet() { FD_ZERO(&m_all); }
  ~SocketSet() {
    for (int socket = 0; socket <= m_highest; ++socket) {
      if (FD_ISSET(socket, &m_all)) {
        close(socket);
      }
    }
  }
  SocketSet(const SocketSet&) = delete;
  SocketSet& operator=(const SocketSet&) = delete;

  // select() can watch only descriptors below FD_SETSIZE.
  bool Add(int socket) {
    if (socket < 0 || socket >= FD_SETSIZE) {
      return false;
    }
    FD_SET(socket, &m_all);
    m_highest = std::max(m_highest, socket);
    return true;
  }
  void Remove(int socket) {
    FD_CLR(socket, &m_all);
    close(socket);
  }
  const fd_set& All() const { return m_all; }
  int Highest() const { return m_highest; }

 private:
  fd_set m_all;
  int m_highest = -1;
};

int ParsePort(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--port") == 0) {
    const int port = std::atoi(argv[2]);
    return port > 0 && port < 65536 ? port : -1;
  }
  return argc == 1 ? 1502 : -1;
}

}  // namespace

int main(int argc, char** argv) {
  const int port = ParsePort(argc, argv);
  if (port < 0) {
    std::fprintf(stderr, "usage: libmodbus-bench-server [--port P]\n");
    return 2;
  }
  const std::unique_ptr<modbus_t, ContextFree> context(modbus_new_tcp("127.0.0.1", port));
  const std::unique_ptr<modbus_mapping_t, MappingFree> mapping(modbus_mapping_new(0, 0, kRegisters, 0));
  if (!context || !mapping) {
    std::fprintf(stderr, "libmodbus-bench-server: %s\n", modbus_strerror(errno));
    return 1;
  }
  SocketSet sockets;
  const int listener = modbus_tcp_listen(context.get(), kListenBacklog);
  if (!sockets.Add(listener)) {
    std::fprintf(stderr, "libmodbus-bench-server: cannot listen on port %d: %s\n", port, modbus_strerror(errno));
    return 1;
  }
  std::printf("libmodbus-bench-server: listening on 127.0.0.1:%d\n", port);
  std::fflush(stdout);

  uint8_t query[MODBUS_TCP_MAX_ADU_LENGTH];
  for (;;) {
    fd_set ready = sockets.All();
    if (select(sockets.Highest() + 1, &ready, nullptr, nullptr, nullptr) < 0) {
      if (errno == EINTR) {
        continue;
      }
      std::fprintf(stderr, "libmodbus-bench-server: select: %s\n", std::strerror(errno));
      return 1;
    }
    for (int socket = 0; socket <= sockets.Highest(); ++socket) {
      if (!FD_ISSET(socket, &ready)) {
        continue;
      }
      if (socket == listener) {
        // modbus_tcp_accept returns the client's socket; it is given a copy
        // of the listener's, which it may close and reset on failure.
        int listenerCopy = listener;
        const int client = modbus_tcp_accept(context.get(), &listenerCopy);
        if (client >= 0) {
          const int one = 1;
          setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
          if (!sockets.Add(client)) {
            close(client);
          }
        }
        continue;
      }
      modbus_set_socket(context.get(), socket);
      const int length = modbus_receive(context.get(), query);
      if (length > 0) {
        modbus_reply(context.get(), query, length, mapping.get());
      } else if (length < 0) {
        sockets.Remove(socket);  // closed by the client, or a broken frame
      }
    }
  }
}
