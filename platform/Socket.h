#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Plain non-blocking IPv4 TCP sockets. Sockets are int handles, -1 for none.

int PlatformTcpSocket();
void PlatformCloseSocket(int socket);

// A dotted address ("127.0.0.1") to network order; false for anything else.
bool PlatformParseIPv4(const std::string& host, uint32_t* address);
// A host name through the resolver (AF_INET only).
bool PlatformResolveIPv4(const std::string& host, uint32_t* address);

enum class ConnectStart { Connected, InProgress, Failed };
ConnectStart PlatformConnect(int socket, uint32_t address, uint16_t port);
// The outcome of a connection in progress: 0 connected, else the error.
int PlatformConnectError(int socket);

enum class SocketWait { Ready, Timeout, Error };
// Waits up to `timeoutMs` for the socket to become readable (a closed peer
// counts as readable) or writable.
SocketWait PlatformWaitSocket(int socket, bool readable, bool writable, int timeoutMs);

// Bytes sent (> 0), 0 when it would block or was interrupted, -1 when the
// connection is gone. Never raises SIGPIPE.
long PlatformSocketSend(int socket, const char* data, size_t size);
// Bytes read (> 0), 0 at the end of the stream, -2 when it would block or was
// interrupted, -1 on error.
long PlatformSocketRecv(int socket, char* data, size_t size);

// For tests: a listening socket on 127.0.0.1 at a free port, and one accept
// that gives up after `timeoutMs` (-1 then).
int PlatformListenLoopback(uint16_t* port);
int PlatformAccept(int listener, int timeoutMs);
