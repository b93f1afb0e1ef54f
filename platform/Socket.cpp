#include "platform/Socket.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

int PlatformTcpSocket() { return socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP); }

void PlatformCloseSocket(int socket) {
    if (socket >= 0) close(socket);
}

bool PlatformParseIPv4(const std::string& host, uint32_t* address) {
    in_addr a{};
    if (inet_pton(AF_INET, host.c_str(), &a) != 1) return false;
    *address = a.s_addr;
    return true;
}

bool PlatformResolveIPv4(const std::string& host, uint32_t* address) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) return false;
    *address = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(found);
    return true;
}

ConnectStart PlatformConnect(int socket, uint32_t address, uint16_t port) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = address;
    to.sin_port = htons(port);
    if (connect(socket, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0) return ConnectStart::Connected;
    return errno == EINPROGRESS || errno == EINTR ? ConnectStart::InProgress : ConnectStart::Failed;
}

int PlatformConnectError(int socket) {
    int error = 0;
    socklen_t len = sizeof error;
    if (getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &len) != 0) return errno;
    return error;
}

SocketWait PlatformWaitSocket(int socket, bool readable, bool writable, int timeoutMs) {
    pollfd p{};
    p.fd = socket;
    p.events = static_cast<short>((readable ? POLLIN : 0) | (writable ? POLLOUT : 0));
    int n = poll(&p, 1, timeoutMs);
    if (n < 0) return errno == EINTR ? SocketWait::Timeout : SocketWait::Error;
    if (n == 0) return SocketWait::Timeout;
    if (p.revents & POLLNVAL) return SocketWait::Error;
    // A refused or reset connection reports POLLERR; the caller learns which
    // from connect's outcome or from the next read or write.
    return SocketWait::Ready;
}

long PlatformSocketSend(int socket, const char* data, size_t size) {
    ssize_t n = send(socket, data, size, MSG_NOSIGNAL);
    if (n >= 0) return n > 0 ? static_cast<long>(n) : 0;
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? 0 : -1;
}

long PlatformSocketRecv(int socket, char* data, size_t size) {
    ssize_t n = recv(socket, data, size, 0);
    if (n >= 0) return static_cast<long>(n);
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? -2 : -1;
}

int PlatformListenLoopback(uint16_t* port) {
    int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    if (s < 0) return -1;
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    at.sin_port = 0;
    socklen_t len = sizeof at;
    if (bind(s, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 || listen(s, 8) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&at), &len) != 0) {
        close(s);
        return -1;
    }
    *port = ntohs(at.sin_port);
    return s;
}

int PlatformAccept(int listener, int timeoutMs) {
    pollfd p{};
    p.fd = listener;
    p.events = POLLIN;
    if (poll(&p, 1, timeoutMs) != 1) return -1;
    return accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
}
