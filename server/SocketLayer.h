// SocketLayer.h - the few socket calls the Modbus transport needs, on POSIX
// sockets, with the error codes the transport's log lines carry: a call that
// would block reports 10035, an aborted connection 10053, a reset one 10054
// (the numbers Windows Sockets uses, which operators know from the logs).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

using SocketHandle = int;
constexpr SocketHandle kInvalidSocket = -1;
constexpr int kSocketError = -1;

// Error codes as the transport logs them.
constexpr int kErrorWouldBlock = 10035;
constexpr int kErrorConnectionAborted = 10053;
constexpr int kErrorConnectionReset = 10054;
// The C library's own number for a reset connection, which the transport
// treats like 10054.
constexpr int kErrorLibraryConnectionReset = 108;

// The error of the last failed socket call on this thread, mapped as above;
// other errno values are passed through.
int LastSocketError();

// A non-blocking TCP socket listening on host at port, with SO_REUSEADDR.
// host is a dotted IPv4 address ("0.0.0.0": every local address) or an IPv6
// address without brackets ("::": every local address, IPv4 ones too where
// the system allows dual-stack sockets). Returns
// kInvalidSocket (and leaves nothing open) when any step fails; errno then
// tells why (LastSocketError too).
SocketHandle OpenListeningSocket(const std::string& host, uint16_t port, int backlog);

// The local port a socket is bound to (the one the system chose for port 0),
// or 0.
uint16_t BoundPort(SocketHandle socket);

// Accepts one waiting connection, made non-blocking, with TCP_NODELAY and TCP
// keep-alive (idle 60 s, interval 10 s, 3 probes) so that a peer that
// vanished is found dead. Returns kInvalidSocket when none is waiting or on
// error (see LastSocketError). The peer's address (dotted IPv4, also for an
// IPv4 client of a dual-stack listener, or IPv6 text) and port go to
// peerAddress and peerPort.
SocketHandle AcceptConnection(SocketHandle listener, std::string* peerAddress, uint16_t* peerPort);

// recv without waiting: bytes received, 0 when the peer closed, kSocketError
// otherwise (kErrorWouldBlock when nothing is there).
long ReceiveBytes(SocketHandle socket, uint8_t* buffer, size_t room);

// send without raising SIGPIPE on a closed connection: bytes sent or
// kSocketError.
long SendBytes(SocketHandle socket, const uint8_t* bytes, size_t length);

void CloseSocket(SocketHandle socket);

// Raises the process's open-file limit, as far as its hard limit allows, so
// that count more descriptors than now can be open at once. Returns false
// when the limit stays below that.
bool MakeRoomForDescriptors(size_t count);
